// The history dialog's first page for a group with 100,000 history rows, from Ctrl+H on the group
// grid to its rows painted: the page read from the real application server (over SQLite, on
// loopback HTTP), the dialog built and shown, its table painted. Anchor in the same run: the same
// GetHistorico call alone, its packet loaded into a record set of the screen's definition. The
// target is under 100 ms.
#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "Cli_vlp27000/THistoryDialog.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"
#include "ScreenBench.h"
#include "dataaccess/TClientDataSet.h"
#include "declarations/RecordSetDefs.h"
#include "framework/TApplication.h"
#include "support/AppServerProcess.h"
#include "support/BulkSuggestionFiles.h"
#include "wire/RemoteModule.h"

namespace {

const std::string kGroup = "0000000001";
double g_anchorSeconds = 0;

// One group of 1,000 main products with 100 related products each, imported whole: its history
// holds a row for each of the 100,000 related products, the main products and the group.
class THistoryServer {
  public:
    THistoryServer() {
        const BulkSuggestionFiles files{1, 1000, 100};
        const std::string dir = m_dir.path().toStdString();
        const std::string db = "sqlite:" + dir + "/historico.sqlite";
        files.writeProducts(dir + "/produtos.csv");
        files.writeSuggestions(dir + "/sugestoes.csv");
        std::string output;
        if (AppServerProcess::runToExit({"products", "import", dir + "/produtos.csv", "--db", db},
                                        &output) != 0 ||
            AppServerProcess::runToExit({"import", dir + "/sugestoes.csv", "--db", db}, &output) !=
                0 ||
            !m_process.start({"--db", db})) {
            std::fprintf(stderr, "the history's server did not start:\n%s%s\n", output.c_str(),
                         m_process.output().c_str());
            std::abort();
        }
    }
    int port() const { return m_process.port(); }

  private:
    QTemporaryDir m_dir;
    AppServerProcess m_process;
};

THistoryServer& HistoryServer() {
    static THistoryServer server;
    return server;
}

std::vector<TRemoteArg> FirstPage() {
    return {TRemoteArg::Text(kGroup), TRemoteArg::Text(""), TRemoteArg::Text("")};
}

void BM_AnchorGetHistoricoAndLoad(benchmark::State& state) {
    TClientDataSet page("cdsHistorico", declarations::RecordSetDef("cdsHistorico").Fields);
    TNetConnection net;
    net.ServerName = wire::kModuleName;
    net.Port = HistoryServer().port();
    net.SetConnected(true);
    double total = 0;
    for (auto _ : state)
        total += TimeIteration(state, [&] {
            page.SetData(net.AppServer().Call("GetHistorico", FirstPage()).Payload);
        });
    if (page.RecordCount() != wire::kHistoryPageRows) state.SkipWithError("not a whole page");
    // Ids grow with each row written: the newest tells how many the group's history holds.
    else if (std::stol(std::string(page.ValueAt(0, 0).value_or("0"))) < 100000)
        state.SkipWithError("fewer than 100,000 history rows");
    if (state.iterations()) g_anchorSeconds = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_AnchorGetHistoricoAndLoad)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_HistoryDialogFirstPage(benchmark::State& state) {
    TBenchHost host;
    THostConfig config;
    config.WebURL = "127.0.0.1";
    config.WebPort = HistoryServer().port();
    Application().SetConfig(config);
    TfrmSugestaoProd& form = OpenScreenOnGroups();
    double total = 0;
    for (auto _ : state) {
        int rows = 0;
        auto start = std::chrono::steady_clock::now();
        // Asked at every turn of the event loop (the call's wait pump turns it too) until the
        // dialog is shown: its rows are painted, the clock stops, and it goes.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<THistoryDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            poll.stop();
            dialog->Table()->viewport()->repaint();
            const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
            state.SetIterationTime(spent.count());
            total += spent.count();
            rows = dialog->Model()->rowCount();
            dialog->reject();
        });
        poll.start(0);
        // As the keyboard sends it, through the shortcuts of the active window.
        QApplication::setActiveWindow(form.window());
        form.dbgPadrao->setFocus(Qt::OtherFocusReason);
        start = std::chrono::steady_clock::now();
        QTest::keyClick(form.dbgPadrao, Qt::Key_H, Qt::ControlModifier);
        if (rows != wire::kHistoryPageRows) {
            state.SkipWithError("the dialog did not show a whole page");
            break;
        }
    }
    ReportRatio(state, "ratio_to_anchor", total, g_anchorSeconds);
}
BENCHMARK(BM_HistoryDialogFirstPage)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
