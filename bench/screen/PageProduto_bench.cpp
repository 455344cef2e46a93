// Turning to page "Produto" (TPageControl::TurnTo, as the user turns it) for a group with 1,000
// main products, until both product grids are painted: the main-product read, the related-product
// read and the focus moving into the main-product grid, with the screen in the host's MDI area
// against a scriptable app server over loopback HTTP. Anchor in the same run: the bare GetArvProd
// call and loading its packet into a record set. The target is under 50 ms.
#include <QApplication>

#include "CataloguePackets.h"
#include "Packets.h"
#include "declarations/RecordSetDefs.h"
#include "ScreenBench.h"
#include "dataaccess/TClientDataSet.h"
#include "controls/TDBGrid.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"

namespace {

constexpr int kMainProducts = 1000;
constexpr int kRelatedProducts = 12;
const std::string kGroup = "0000000001";
double g_anchorSeconds = 0;  // mean per read and load, set by the anchor, which runs first

FakeAppServer& ProductServer() {
    return LoopbackServer("page produto", [](FakeAppServer& server) {
        server.on("GetGrupSegProd").answerPacket(GroupsPacket(10));
        server.on("GetArvProd").answerPacket(CatalogueMainProducts(kMainProducts, kGroup));
        server.on("GetProdRelac")
            .answerPacket(
                CatalogueRelatedProducts(kRelatedProducts, kGroup, CatalogueProductCode(1)));
    });
}

void BM_AnchorGetArvProdAndLoad(benchmark::State& state) {
    TBenchHost host;
    TClientDataSet mainProducts("cdsArvProd", declarations::RecordSetDef("cdsArvProd").Fields);
    TNetConnection net;
    net.ServerName = FakeAppServer::kModule;
    net.Port = ProductServer().port();
    net.SetConnected(true);
    double total = 0;
    for (auto _ : state) {
        total += TimeIteration(state, [&] {
            TServerAnswer answer = net.AppServer().Call("GetArvProd", {TRemoteArg::Text(kGroup)});
            mainProducts.SetData(answer.Payload);
        });
    }
    if (mainProducts.RecordCount() != kMainProducts) state.SkipWithError("not every row loaded");
    if (state.iterations()) g_anchorSeconds = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_AnchorGetArvProdAndLoad)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_TurnToPageProduto(benchmark::State& state) {
    TBenchHost host;
    PointHostAt(ProductServer());
    TfrmSugestaoProd& form = OpenScreenOnGroups();
    TPageControl& pages = *form.pgcPadrao;
    const int produto = pages.indexOf(form.tshProduto);
    const int grupo = pages.indexOf(form.tshPadrao);
    double total = 0;
    for (auto _ : state) {
        bool turned = false;
        total += TimeIteration(state, [&] {
            turned = pages.TurnTo(produto);
            QApplication::processEvents();
            form.dbgProduto->viewport()->repaint();
            form.dbgProdRelac->viewport()->repaint();
        });
        if (!turned || form.cdsArvProd.RecordCount() != kMainProducts ||
            form.cdsProdRelac.RecordCount() != kRelatedProducts) {
            state.SkipWithError("page Produto did not show the group's products");
            break;
        }
        pages.TurnTo(grupo);  // the groups are kept: no server call on the way back
        QApplication::processEvents();
    }
    ReportRatio(state, "ratio_to_anchor", total, g_anchorSeconds);
}
BENCHMARK(BM_TurnToPageProduto)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
