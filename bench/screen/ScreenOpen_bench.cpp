// Opening the screen, from CriaSugestaoProd to the painted group grid, against a scriptable app
// server over loopback HTTP. Anchors in the same run: the bare GetGrupSegProd call over the same
// kind of connection, and loading its packet into a record set.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "Cli_vlp27000/Cli_vlp27000.h"
#include "Packets.h"
#include "declarations/RecordSetDefs.h"
#include "ScreenBench.h"
#include "dataaccess/TClientDataSet.h"
#include "controls/TDBGrid.h"
#include "dataaccess/TNetConnection.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"

namespace {

FakeAppServer& ServerWith(int groups) {
    return LoopbackServer("groups " + std::to_string(groups), [groups](FakeAppServer& server) {
        server.on("GetGrupSegProd").answerPacket(GroupsPacket(groups));
    });
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
    TClientDataSet groups("cdsGrupSegProd", declarations::RecordSetDef("cdsGrupSegProd").Fields);
    for (auto _ : state) groups.SetData(packet);
}
BENCHMARK(BM_AnchorSetData)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
