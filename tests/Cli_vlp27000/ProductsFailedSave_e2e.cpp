// A related product whose save the real application server refuses, because another user on
// another connection changed the group first, and the save that follows once it is mended: the
// refused row stays in the grid with its change pending, the next save carries it, and in the end
// the server holds every product once and the grid equals the server after a verify.
#include <algorithm>

#include "ScreenE2E.h"
#include "controls/TDBGrid.h"

namespace {

const std::string kGroup = "0000000001";
const std::string kArroz = "0000000001";  // tree code 1.01.001.0001, related to nothing

class ProductsFailedSave : public ScreenE2E {
  protected:
    // The focus in the related products of the group's first main product; returns its code.
    std::string OnFirstMainProduct(TfrmSugestaoProd& form) {
        TurnToProducts(form, kGroup);
        ClickCell(*form.dbgProdRelac, 0, "NMPRODUTORELAC");
        dialogs.Clear();
        sent.clear();
        return form.cdsArvProd.FieldByName("CDPRODUTO").AsString();
    }

    void IncludeRelated(TfrmSugestaoProd& form, const char* digits) {
        Click(form.sbtIncluir);
        Type(*form.dbgProdRelac, digits);
        Key(*form.dbgProdRelac, Qt::Key_Tab);
        Click(form.sbtConfirmar);
    }

    // The server's related products of main that hold product.
    int Held(const std::string& main, const std::string& product) {
        const auto held =
            other->Values("GetProdRelac", {kGroup, main}, "cdsProdRelac", "CDPRODUTORELAC");
        return static_cast<int>(std::count(held.begin(), held.end(), product));
    }

    void ExpectRefusedAndKept(TfrmSugestaoProd& form, const char* message) {
        EXPECT_EQ(dialogs.Log, std::vector<std::string>{"MessageDlg 1: " + std::string(message)});
        EXPECT_EQ(TakeSaves(), "SetProdRelac(I)");
        EXPECT_EQ(form.cdsProdRelac.State(), TDataSetState::dsBrowse);
        EXPECT_EQ(form.cdsProdRelac.ChangeCount(), 1);
        EXPECT_EQ(Cli_vlp27000::stInsert, "I");
        EXPECT_NE(Row(form.cdsProdRelac, "CDPRODUTORELAC", kArroz), -1)
            << "the refused row is lost";
    }
};

// The main product is deleted (with its related products) by another user, who then puts it
// back: the refused insertion travels with the user's next change of the row and is saved.
TEST_P(ProductsFailedSave, RowRefusedForAMissingMainProductIsSavedWithTheNextChange) {
    RecordCalls();
    TfrmSugestaoProd& form = OpenScreen();
    const std::string main = OnFirstMainProduct(form);
    ASSERT_EQ(other->DeleteMainProduct(kGroup, main), "ok");

    IncludeRelated(form, "1010010001");
    ExpectRefusedAndKept(form, "Produto principal não cadastrado neste grupo.");
    EXPECT_EQ(other->Rows("GetProdRelac", {kGroup, main}, "cdsProdRelac"), "");

    ASSERT_EQ(other->InsertMainProduct(kGroup, main), "ok");
    dialogs.Clear();
    ClickCell(*form.dbgProdRelac, Row(form.cdsProdRelac, "CDPRODUTORELAC", kArroz), "IDQUANTPROD");
    Key(*form.dbgProdRelac, Qt::Key_Space);
    Click(form.sbtConfirmar);
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{});
    EXPECT_EQ(TakeSaves(), "SetProdRelac(I)");  // the code the refused save left
    EXPECT_EQ(form.cdsProdRelac.ChangeCount(), 0);
    EXPECT_EQ(Cli_vlp27000::stInsert, "");
    EXPECT_EQ(other->Rows("GetProdRelac", {kGroup, main}, "cdsProdRelac"),
              kGroup + "|" + main + "|" + kArroz +
                  "|1.01.001.0001|Arroz Branco Tipo 1 Bom Grão 1kg|S|S\n");
    Click(form.sbtVerificar);
    ExpectProductsAsOnServer(form);
}

// Both users relate the same product; the other saves first, between this screen's checks and its
// save. A verify asks whether to send the refused row again; answered Não, it drops it, and the
// next product is saved as usual.
TEST_P(ProductsFailedSave, RowRefusedAsRelatedMeanwhileGoesWithAVerifyAndTheNextIsSaved) {
    RecordCalls();
    TfrmSugestaoProd& form = OpenScreen();
    const std::string main = OnFirstMainProduct(form);
    std::string otherSaved = "not run";
    BetweenChecksAndSave(form.cdsProdRelac,
                         [&] { otherSaved = other->RelateProduct(kGroup, main, kArroz); });

    IncludeRelated(form, "1010010001");
    EXPECT_EQ(otherSaved, "ok");
    ExpectRefusedAndKept(form, "Produto já cadastrado.");
    EXPECT_EQ(Held(main, kArroz), 1);

    dialogs.Clear();
    dialogs.QueueAnswer(mrNo);
    Click(form.sbtVerificar);
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{
                               "MessageDlg 3: Há alterações não gravadas. Envia de novo?"});
    EXPECT_EQ(form.cdsProdRelac.ChangeCount(), 0);
    EXPECT_EQ(Cli_vlp27000::stInsert, "");
    dialogs.Clear();
    ExpectProductsAsOnServer(form);

    IncludeRelated(form, "1010010002");
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{});
    EXPECT_EQ(TakeSaves(), "SetProdRelac(I)");
    EXPECT_EQ(form.cdsProdRelac.ChangeCount(), 0);
    EXPECT_EQ(Held(main, kArroz), 1);
    EXPECT_EQ(Held(main, "0000000002"), 1);
    ExpectProductsAsOnServer(form);
}

E2E_BACKENDS(ProductsFailedSave);

}  // namespace
