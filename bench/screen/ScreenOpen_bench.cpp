// Opening the screen, from CriaSugestaoProd to the painted group grid, against a scriptable app
// server over loopback HTTP. Anchors in the same run: the bare GetGrupSegProd call over the same
// kind of connection, and loading its packet into a record set.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPointer>

#include "Cli_vlp27000.h"
#include "PackageInfo.h"
#include "Packets.h"
#include "RecordSetDefs.h"
#include "Support.h"
#include "TApplication.h"
#include "TClientDataSet.h"
#include "TDBGrid.h"
#include "TNetConnection.h"
#include "TfrmSugestaoProd.h"

namespace {

// One loopback server per list size, alive for the whole run.
FakeAppServer& ServerWith(int groups) {
    static std::map<int, std::unique_ptr<FakeAppServer>> servers;
    auto& server = servers[groups];
    if (!server) {
        server = std::make_unique<FakeAppServer>();
        server->keepCalls(false);
        server->on("GetGrupSegProd").answerPacket(GroupsPacket(groups));
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

void CloseScreen() {
    if (!Cli_vlp27000::boIdCriado) return;
    Cli_vlp27000::frmSugestaoProd->Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

void BM_OpenScreen(benchmark::State& state) {
    PointHostAt(ServerWith(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        Cli_vlp27000::CriaSugestaoProd();
        TfrmSugestaoProd* form = Cli_vlp27000::frmSugestaoProd;
        QApplication::processEvents();
        form->dbgPadrao->viewport()->repaint();
        if (form->cdsGrupSegProd.RecordCount() != state.range(0))
            state.SkipWithError("the groups were not read");
        state.PauseTiming();
        CloseScreen();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenScreen)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AnchorGetGrupSegProdCall(benchmark::State& state) {
    FakeAppServer& server = ServerWith(static_cast<int>(state.range(0)));
    TNetConnection net;
    net.ServerName = FakeAppServer::kModule;
    net.Port = server.port();
    net.SetConnected(true);
    for (auto _ : state) {
        TServerAnswer answer = net.AppServer().Call("GetGrupSegProd", {});
        benchmark::DoNotOptimize(answer.Payload.data());
    }
}
BENCHMARK(BM_AnchorGetGrupSegProdCall)
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_AnchorSetData(benchmark::State& state) {
    const std::string packet = GroupsPacket(static_cast<int>(state.range(0)));
    TClientDataSet groups("cdsGrupSegProd", model::RecordSetDef("cdsGrupSegProd").Fields);
    for (auto _ : state) groups.SetData(packet);
}
BENCHMARK(BM_AnchorSetData)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

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
