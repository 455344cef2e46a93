#include "ScreenBench.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <map>
#include <memory>

#include "framework/BusyAnimation.h"
#include "Cli_vlp27000/Cli_vlp27000.h"
#include "Pkg_vlp27000/PackageInfo.h"
#include "declarations/RecordSetDefs.h"
#include "framework/TApplication.h"
#include "dataaccess/TClientDataSet.h"
#include "controls/TDBGrid.h"
#include "dataaccess/TNetConnection.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"

FakeAppServer& LoopbackServer(const std::string& key,
                              const std::function<void(FakeAppServer&)>& script) {
    static std::map<std::string, std::unique_ptr<FakeAppServer>> servers;
    auto& server = servers[key];
    if (!server) {
        server = std::make_unique<FakeAppServer>();
        server->keepCalls(false);  // millions of calls need no memory
        script(*server);
        server->listen();
    }
    return *server;
}

void PointHostAt(FakeAppServer& server) {
    THostConfig config;
    config.WebURL = "127.0.0.1";
    config.WebPort = server.port();
    Application().SetConfig(config);
}

TfrmSugestaoProd& OpenScreenOnGroups() {
    Cli_vlp27000::CriaSugestaoProd();
    TfrmSugestaoProd& form = *Cli_vlp27000::frmSugestaoProd;
    QApplication::setActiveWindow(form.window());
    form.dbgPadrao->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    return form;
}

TfrmSugestaoProd& OpenScreenOnProducts() {
    TfrmSugestaoProd& form = OpenScreenOnGroups();
    form.pgcPadrao->TurnTo(form.pgcPadrao->indexOf(form.tshProduto));
    form.dbgProduto->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    return form;
}

void PressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(widget, &release);
}

void CloseScreen() {
    if (!Cli_vlp27000::boIdCriado) return;
    Cli_vlp27000::frmSugestaoProd->Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

TBenchHost::TBenchHost() {
    auto* area = new QMdiArea(&m_window);
    m_window.setCentralWidget(area);
    m_window.resize(1600, 900);
    m_window.show();
    Application().SetMainForm(&m_window, area);
    InstallWaitPump();
}

TBenchHost::~TBenchHost() {
    CloseScreen();
    TNetConnection::SetWaitPump(nullptr);
    Application().SetMainForm(nullptr, nullptr);
}

void ReportRatio(benchmark::State& state, const char* counter, double totalSeconds,
                 double anchorMeanSeconds) {
    if (anchorMeanSeconds <= 0 || state.iterations() == 0) return;
    const double mean = totalSeconds / static_cast<double>(state.iterations());
    state.counters[counter] = mean / anchorMeanSeconds;
}

double TimeReadAndLoad(benchmark::State& state, FakeAppServer& server, const char* method,
                       const std::vector<TRemoteArg>& args, const char* recordSet, int rows) {
    TClientDataSet loaded(recordSet, declarations::RecordSetDef(recordSet).Fields);
    TNetConnection net;
    net.ServerName = FakeAppServer::kModule;
    net.Port = server.port();
    net.SetConnected(true);
    double total = 0;
    for (auto _ : state) {
        total += TimeIteration(state, [&] {
            TServerAnswer answer = net.AppServer().Call(method, args);
            loaded.SetData(answer.Payload);
        });
    }
    if (loaded.RecordCount() != rows) state.SkipWithError("not every row loaded");
    return state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Initialize();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseScreen();
    Finalize();
    return 0;
}
