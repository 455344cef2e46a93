// The screen opened against the real application server on loopback, over a fresh database
// seeded with the demo catalogue: what it reads is what the server holds.
#include "ScreenE2E.h"
#include "controls/TDBGrid.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

namespace {

class EndToEnd : public ScreenE2E {};

TEST_P(EndToEnd, OpensWithTheDemoGroupsAndClosesCleanly) {
    TfrmSugestaoProd& form = OpenScreen();
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{});
    EXPECT_TRUE(form.NetSugProd.Connected());
    EXPECT_FALSE(form.cdsGrupSegProd.IsEmpty());
    EXPECT_EQ(SortedRows(form.cdsGrupSegProd), other->Groups());
    EXPECT_TRUE(form.tshProduto->Enabled());
    CloseScreen();
    EXPECT_FALSE(Cli_vlp27000::boIdCriado);
}

TEST_P(EndToEnd, TurningToPageProdutoShowsTheGroupsProductsAsTheServerHoldsThem) {
    TfrmSugestaoProd& form = OpenScreen();
    for (const char* code : {"0000000002", "0000000005"}) {
        SCOPED_TRACE(code);
        ClickCell(*form.dbgPadrao, GroupRow(form, code), "NMGRUSUGESPROD");
        ASSERT_TRUE(form.pgcPadrao->TurnTo(form.pgcPadrao->indexOf(form.tshProduto)));
        QApplication::processEvents();
        EXPECT_EQ(dialogs.Log, std::vector<std::string>{});
        EXPECT_EQ(form.ActiveControl(), form.dbgProduto);
        ASSERT_FALSE(form.cdsArvProd.IsEmpty());
        EXPECT_EQ(SortedRows(form.cdsArvProd), other->Rows("GetArvProd", {code}, "cdsArvProd"));
        const std::string main = form.cdsArvProd.FieldByName("CDPRODUTO").AsString();
        EXPECT_EQ(SortedRows(form.cdsProdRelac),
                  other->Rows("GetProdRelac", {code, main}, "cdsProdRelac"));
        ASSERT_TRUE(form.pgcPadrao->TurnTo(form.pgcPadrao->indexOf(form.tshPadrao)));
        QApplication::processEvents();
    }
}

E2E_BACKENDS(EndToEnd);

}  // namespace
