#include "ScreenBench.h"

#include <QApplication>
#include <QMdiArea>
#include <map>
#include <memory>

#include "BusyAnimation.h"
#include "Cli_vlp27000.h"
#include "PackageInfo.h"
#include "TApplication.h"
#include "TDBGrid.h"
#include "TNetConnection.h"
#include "TfrmSugestaoProd.h"

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
