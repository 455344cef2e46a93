#pragma once
// Shared by the screen benchmarks: loopback fake app servers alive for the whole run, the host's
// main window, opening and closing the screen, and per-iteration timing for figures that are set
// beside an anchor measured in the same run.

#include <benchmark/benchmark.h>

#include <QMainWindow>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "support/Support.h"
#include "dataaccess/TNetConnection.h"

class TfrmSugestaoProd;

// One loopback server per key, scripted once by `script` when first asked for.
FakeAppServer& LoopbackServer(const std::string& key,
                              const std::function<void(FakeAppServer&)>& script);

// The host configuration names this server.
void PointHostAt(FakeAppServer& server);

// Opens the screen (CriaSugestaoProd) with the focus in the group grid, as the user finds it.
TfrmSugestaoProd& OpenScreenOnGroups();
// The same, turned to page "Produto" (the current group's products read) with the focus in the
// main products, as the user finds it after turning the page.
TfrmSugestaoProd& OpenScreenOnProducts();
// A key pressed and released on widget, as the keyboard sends it.
void PressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void CloseScreen();

// What the host sets up while it lives: its main window with the MDI area the screen opens in
// (and the busy animation covers), and the wait pump that paints while a call waits.
class TBenchHost {
  public:
    TBenchHost();
    ~TBenchHost();
    TBenchHost(const TBenchHost&) = delete;
    TBenchHost& operator=(const TBenchHost&) = delete;

  private:
    QMainWindow m_window;
};

// Runs fn as one iteration of a benchmark with manual time; returns its seconds.
template <class Fn>
double TimeIteration(benchmark::State& state, Fn fn) {
    const auto start = std::chrono::steady_clock::now();
    fn();
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(spent.count());
    return spent.count();
}

// Sets the counter to this benchmark's mean seconds per iteration over the anchor's (nothing
// when the anchor did not run).
void ReportRatio(benchmark::State& state, const char* counter, double totalSeconds,
                 double anchorMeanSeconds);

// An anchor of a read: `method` called bare on a connection of its own and its packet loaded
// into a record set of the screen's definition, one iteration each; returns the mean seconds
// (0 when nothing ran) and fails the benchmark unless `rows` rows were loaded.
double TimeReadAndLoad(benchmark::State& state, FakeAppServer& server, const char* method,
                       const std::vector<TRemoteArg>& args, const char* recordSet, int rows);
