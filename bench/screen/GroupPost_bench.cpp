// Posting a new group from the confirm command (sbtConfirmarClick with the row in insert state),
// through the three checks' look-ups and the save, to the merged change log: the screen in the
// host's MDI area against a scriptable app server over loopback HTTP. Anchor in the same run:
// the bare SetGrupSegProd call of the same change log over a TNetConnection. ratio_to_anchor:
// the target is <= 3. ratio_to_its_calls sets the post beside the four calls it makes, bare.
#include <QApplication>
#include <QToolButton>

#include "Packets.h"
#include "declarations/RecordSetDefs.h"
#include "ScreenBench.h"
#include "dataaccess/TClientDataSet.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"

namespace {

constexpr int kGroups = 100;
double g_anchorSeconds = 0;  // mean per call, set by the anchor, which runs first
double g_callsSeconds = 0;   // mean of the post's four calls, bare

// The checks find nothing; SetGrupSegProd is left unscripted and so accepted.
FakeAppServer& GroupServer() {
    return LoopbackServer("group post", [](FakeAppServer& server) {
        server.on("GetGrupSegProd").answerPacket(GroupsPacket(kGroups));
        for (const char* check : {"GetVerifGrupo", "GetNmGrupo", "GetVerifOrd"})
            server.on(check).answerPacket(GroupsPacket(0));
    });
}

void FillNewGroup(TClientDataSet& groups, int n) {
    groups.FieldByName("CDGRUSUGESPROD").SetAsString(std::to_string(1'000'000'000 + n));
    groups.FieldByName("NMGRUSUGESPROD").SetAsString("Sugestão de verão " + std::to_string(n));
    groups.FieldByName("NRORDEM").SetAsString(std::to_string(n % 10000));
}

// The new group's change log, as the screen sends it.
std::string NewGroupDelta() {
    TClientDataSet groups("cdsGrupSegProd", declarations::RecordSetDef("cdsGrupSegProd").Fields);
    groups.SetData(GroupsPacket(kGroups));
    groups.Insert();
    FillNewGroup(groups, 1);
    groups.Post();
    return groups.Delta();
}

// Mean seconds of `call` over the benchmark's iterations, on a connection of its own.
template <class Call>
double TimeCalls(benchmark::State& state, Call call) {
    TNetConnection net;
    net.ServerName = FakeAppServer::kModule;
    net.Port = GroupServer().port();
    net.SetConnected(true);
    double total = 0;
    for (auto _ : state) total += TimeIteration(state, [&] { call(net.AppServer()); });
    return state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
}

void BM_AnchorSetGrupSegProdCall(benchmark::State& state) {
    TBenchHost host;
    const std::string delta = NewGroupDelta();
    g_anchorSeconds = TimeCalls(state, [&](TAppServer& server) {
        if (!server.Call("SetGrupSegProd", {TRemoteArg::Packet(delta)}).Ok)
            state.SkipWithError("the save was refused");
    });
}
BENCHMARK(BM_AnchorSetGrupSegProdCall)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The three look-ups of the checks, then the save: what the post waits for at the least.
void BM_PostsCallsBare(benchmark::State& state) {
    TBenchHost host;
    const std::string delta = NewGroupDelta();
    g_callsSeconds = TimeCalls(state, [&](TAppServer& server) {
        server.Call("GetVerifGrupo", {TRemoteArg::Text("1000000001")});
        server.Call("GetNmGrupo", {TRemoteArg::Text("Sugestão de verão 1")});
        server.Call("GetVerifOrd", {TRemoteArg::Text("1")});
        if (!server.Call("SetGrupSegProd", {TRemoteArg::Packet(delta)}).Ok)
            state.SkipWithError("the save was refused");
    });
}
BENCHMARK(BM_PostsCallsBare)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_PostGroupFromConfirm(benchmark::State& state) {
    TBenchHost host;
    PointHostAt(GroupServer());
    TfrmSugestaoProd& form = OpenScreenOnGroups();
    TClientDataSet& groups = form.cdsGrupSegProd;
    double total = 0;
    int n = 0;
    for (auto _ : state) {
        // The list keeps about the same size through the run.
        if (groups.RecordCount() > kGroups + 500) groups.SetData(GroupsPacket(kGroups));
        groups.Insert();
        FillNewGroup(groups, ++n);
        QApplication::processEvents();  // the new row painted, as the user typed it
        try {
            total += TimeIteration(state, [&] { form.sbtConfirmarClick(form.sbtConfirmar); });
        } catch (...) {
            state.SkipWithError("the confirm command failed");
            break;
        }
        if (groups.State() != TDataSetState::dsBrowse || groups.ChangeCount() != 0) {
            state.SkipWithError("the group was not posted and merged");
            break;
        }
    }
    ReportRatio(state, "ratio_to_anchor", total, g_anchorSeconds);
    ReportRatio(state, "ratio_to_its_calls", total, g_callsSeconds);
}
BENCHMARK(BM_PostGroupFromConfirm)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
