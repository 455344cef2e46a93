#pragma once
// A seeded random walk of user actions over the screen and the real application server (see
// RandomWalk_e2e.cpp): the walk itself, the step's action performed on the screen, and the checks
// after each step.

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ScreenE2E.h"
#include "ScreenProbes.h"
#include "UserActions.h"
#include "WalkDialogs.h"

// A fault of the screen as it stands: its check counts what it meets, and fails the walk once
// `checked` is switched on.
struct KnownFault {
    bool checked;
    const char* what;
};

// The screen as a step found it.
struct StepStart {
    std::vector<Pending> pending;  // in the order of ScreenLists
    std::string main;              // the current main product
    std::size_t logFrom;           // the first dialog of the step
    bool commandsStale;            // a known fault had left the commands wrong
    bool editedUnfocused;          // a grid without the focus was being edited
};

class RandomWalk : public ScreenE2E {
  protected:
    using Snapshot = std::map<std::string, std::string>;

    void Walk(unsigned seed, int steps);
    StepStart Start(TfrmSugestaoProd& f) const;
    std::string Perform(TfrmSugestaoProd& f, const UserAction& a);
    void Check(TfrmSugestaoProd& f, const UserAction& a, const StepStart& start);
    void CheckFocusedGrid(TfrmSugestaoProd& f, const StepStart& start);
    void CheckSaves(TfrmSugestaoProd& f, const UserAction& a, const StepStart& start);
    void CheckNothingLost(TfrmSugestaoProd& f, const UserAction& a, const StepStart& start);
    void CloseAndCheck(UserActions& actions);
    void Report(unsigned seed, int step);

    void Meet(const KnownFault& fault, const std::string& detail);
    void Fail(const std::string& problem);
    std::set<std::string> SavesSent() const;
    bool Sent(const std::string& method) const;
    std::string Fresh(TfrmSugestaoProd& f, const ScreenList& list);
    static std::string Unexplained(const Snapshot& before, const Snapshot& after,
                                   const std::set<std::string>& saves, const std::string& group);

    std::optional<WalkDialogs> m_dialogs;
    std::string m_problem;  // the first problem met; ends the walk
    std::map<std::string, int> m_met;
    Snapshot m_lastAck;  // the server after the last acknowledged save
    std::deque<std::string> m_trail;
    std::string m_did;              // the step's action as performed
    std::set<std::string> m_stale;  // lists a known fault left unlike the server, till re-read
    bool m_commandsStale = false;   // commands a known fault left wrong, till right again
    int m_saveSteps = 0;
};
