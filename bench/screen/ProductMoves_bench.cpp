// Moving down through a group's 1,000 main products with the Down key, one iteration per move:
// the main-product grid moves, the related products of the new row are read (GetProdRelac) and
// both grids are painted, with the screen in the host's MDI area against a scriptable app server
// over loopback HTTP. Anchor in the same run: the bare GetProdRelac call and loading its packet
// into a record set. The target is under 16 ms per move (worst_ms shows the slowest). The server
// counts the reads: related_reads_per_move must be 1 and moves_not_read_once 0, a read counting
// only when it names the row just made current.
#include <QApplication>
#include <atomic>
#include <mutex>

#include "CataloguePackets.h"
#include "Packets.h"
#include "declarations/RecordSetDefs.h"
#include "ScreenBench.h"
#include "dataaccess/TClientDataSet.h"
#include "controls/TDBGrid.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"

namespace {

constexpr int kMainProducts = 1000;
constexpr int kRelatedProducts = 12;
const std::string kGroup = "0000000001";
double g_anchorSeconds = 0;  // mean per read and load, set by the anchor, which runs first

// What the server saw of GetProdRelac: how many reads, and the main product of the last one.
std::atomic<int> g_reads{0};
std::mutex g_lastLock;
std::string g_lastMain;

std::string LastMain() {
    std::lock_guard lock(g_lastLock);
    return g_lastMain;
}

FakeAppServer& MovesServer() {
    return LoopbackServer("product moves", [](FakeAppServer& server) {
        server.on("GetGrupSegProd").answerPacket(GroupsPacket(10));
        server.on("GetArvProd").answerPacket(CatalogueMainProducts(kMainProducts, kGroup));
        const std::string related =
            CatalogueRelatedProducts(kRelatedProducts, kGroup, CatalogueProductCode(1));
        server.on("GetProdRelac").answerWith([related](const FakeCall& call) {
            {
                std::lock_guard lock(g_lastLock);
                g_lastMain = call.values().size() == 2 ? call.values()[1] : "";
            }
            ++g_reads;
            return FakeReply::packet(related);
        });
    });
}

void BM_AnchorGetProdRelacAndLoad(benchmark::State& state) {
    TBenchHost host;
    g_anchorSeconds =
        TimeReadAndLoad(state, MovesServer(), "GetProdRelac",
                        {TRemoteArg::Text(kGroup), TRemoteArg::Text(CatalogueProductCode(1))},
                        "cdsProdRelac", kRelatedProducts);
}
BENCHMARK(BM_AnchorGetProdRelacAndLoad)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_DownThroughMainProducts(benchmark::State& state) {
    TBenchHost host;
    PointHostAt(MovesServer());
    TfrmSugestaoProd& form = OpenScreenOnProducts();
    TClientDataSet& mains = form.cdsArvProd;
    TDBGrid& grid = *form.dbgProduto;
    if (mains.RecordCount() != kMainProducts) {
        state.SkipWithError("the group's main products were not read");
        return;
    }
    double total = 0, worst = 0;
    int moves = 0, reads = 0, wrongReads = 0;
    for (auto _ : state) {
        if (mains.RecNo() == kMainProducts - 1) {  // Down on the last row would begin a new one
            state.PauseTiming();
            mains.MoveTo(0);
            QApplication::processEvents();
            state.ResumeTiming();
        }
        const int readsBefore = g_reads;
        const int target = mains.RecNo() + 1;
        const double spent = TimeIteration(state, [&] {
            PressKey(&grid, Qt::Key_Down);
            QApplication::processEvents();
            grid.viewport()->repaint();
            form.dbgProdRelac->viewport()->repaint();
        });
        total += spent;
        worst = std::max(worst, spent);
        ++moves;
        if (mains.RecNo() != target || mains.State() != TDataSetState::dsBrowse) {
            state.SkipWithError("Down did not move to the next main product");
            break;
        }
        reads += g_reads - readsBefore;
        if (g_reads - readsBefore != 1 || LastMain() != mains.FieldByName("CDPRODUTO").AsString())
            ++wrongReads;
    }
    ReportRatio(state, "ratio_to_anchor", total, g_anchorSeconds);
    state.counters["worst_ms"] = worst * 1000;
    state.counters["moves"] = moves;
    if (moves) state.counters["related_reads_per_move"] = static_cast<double>(reads) / moves;
    state.counters["moves_not_read_once"] = wrongReads;
}
BENCHMARK(BM_DownThroughMainProducts)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(kMainProducts - 1);

}  // namespace
