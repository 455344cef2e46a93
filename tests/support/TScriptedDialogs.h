#pragma once
// Scriptable dialogs for tests of the framework and of screens: answers come from queues (or the
// defaults when a queue is empty), and everything shown is recorded in Log as one line each:
//   "MessageDlg <type>: <text>", "Error: <text>", "Pesquisar: <text>", "Procura: <record set>",
//   "SignIn <server>: <reason> [<name>]", "SaveFileName <caption>: <suggested>",
//   "OpenFileName <caption>".
// Installs itself on construction and restores the previous dialogs on destruction.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/TDialogs.h"

class TScriptedDialogs : public TDialogs {
  public:
    TScriptedDialogs();
    ~TScriptedDialogs() override;
    TScriptedDialogs(const TScriptedDialogs&) = delete;
    TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

    void QueueAnswer(int modalResult);  // next MessageDlg answer
    int DefaultAnswer = mrYes;          // when no answer is queued
    void QueueSearchPick(int row);      // next Pesquisar makes row current; -1 cancels
    void QueueProcura(std::string fieldName, std::string value);  // next Procura locates it
    // Next SignIn answers these credentials; with none queued it cancels.
    void QueueSignIn(std::string user, std::string password);
    // Next file dialog (save or open) answers this path; "" or none queued cancels.
    void QueueFileName(std::string path);

    std::vector<std::string> Log;
    std::function<void()> OnShow;  // runs as each message is shown, before it is answered
    int Count(const std::string& prefix) const;  // Log lines starting with prefix
    std::string Last() const;                    // last Log line, "" when none
    void Clear() { Log.clear(); }

    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                   int helpContext) override;
    void ShowError(const std::string& text) override;
    bool Pesquisar(TDataSource& source, const std::string& text, bool multiSelect,
                   bool showFilter) override;
    bool Procura(TClientDataSet& dataSet) override;
    std::optional<TCredentials> SignIn(const TSignInRequest& request) override;
    std::optional<std::string> SaveFileName(const std::string& caption,
                                            const std::string& suggested,
                                            const std::string& filter) override;
    std::optional<std::string> OpenFileName(const std::string& caption,
                                            const std::string& filter) override;

  private:
    TDialogs* m_previous;
    std::deque<int> m_answers;
    std::deque<int> m_picks;
    std::deque<std::pair<std::string, std::string>> m_locates;
    std::deque<std::pair<std::string, std::string>> m_signIns;
    std::deque<std::string> m_fileNames;
    std::optional<std::string> NextFileName();
};
