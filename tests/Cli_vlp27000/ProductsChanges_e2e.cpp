// Existing main and related products changed on page "Produto" against the real application
// server: flags switched with the space bar and saved as edits, a related product deleted alone,
// a main product deleted with its related products. The screen's lists are compared with a fresh
// read through another connection after every step.
#include "ScreenE2E.h"
#include "controls/TDBGrid.h"

namespace {

const std::string kGroup = "0000000001";

class ProductsChanges : public ScreenE2E {};

TEST_P(ProductsChanges, FlagSwitchedWithTheSpaceBarIsSavedAsAnEdit) {
    struct Case {
        bool related;
        int row;
        const char* flag;
    } cases[] = {
        {false, 0, "IDQUANTPRODPRINC"},
        {false, 1, "IDTOTALPRODPRINC"},  // another main product: its related products are read
        {true, 0, "IDQUANTPROD"},
        {true, 1, "IDTOTALPROD"},
    };
    RecordCalls();
    TfrmSugestaoProd& form = OpenScreen();
    TurnToProducts(form, kGroup);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flag);
        TDBGrid& grid = c.related ? *form.dbgProdRelac : *form.dbgProduto;
        TClientDataSet& rows = c.related ? form.cdsProdRelac : form.cdsArvProd;
        const char* key = c.related ? "CDPRODUTORELAC" : "CDPRODUTO";
        ClickCell(grid, c.row, c.flag);
        const std::string product = rows.FieldByName(key).AsString();
        const std::string switched = rows.FieldByName(c.flag).AsString() == "S" ? "N" : "S";
        dialogs.Clear();
        sent.clear();
        Key(grid, Qt::Key_Space);
        EXPECT_EQ(rows.State(), TDataSetState::dsEdit);
        Click(form.sbtConfirmar);

        EXPECT_EQ(dialogs.Log, std::vector<std::string>{});
        EXPECT_EQ(TakeSaves(), c.related ? "SetProdRelac(E)" : "SetArvProd(E)");
        EXPECT_EQ(rows.State(), TDataSetState::dsBrowse);
        EXPECT_EQ(rows.ChangeCount(), 0);
        EXPECT_EQ(rows.FieldByName(key).AsString(), product) << "the edited row is not current";
        EXPECT_EQ(rows.FieldByName(c.flag).AsString(), switched);
        ExpectProductsAsOnServer(form);
    }
}

TEST_P(ProductsChanges, RelatedProductGoesAloneAndAMainProductTakesItsRelatedAlong) {
    struct Step {
        bool related;
        int row;
        const char* key;
        const char* save;
    } steps[] = {
        {true, 1, "CDPRODUTORELAC", "SetProdRelac(D)"},  // of the first main product
        {false, 0, "CDPRODUTO", "SetArvProd(D)"},        // the first main product
    };
    RecordCalls();
    TfrmSugestaoProd& form = OpenScreen();
    TurnToProducts(form, kGroup);
    const std::string main = form.cdsArvProd.FieldByName("CDPRODUTO").AsString();
    ASSERT_GE(form.cdsProdRelac.RecordCount(), 2);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.save);
        TDBGrid& grid = step.related ? *form.dbgProdRelac : *form.dbgProduto;
        TClientDataSet& rows = step.related ? form.cdsProdRelac : form.cdsArvProd;
        ClickCell(grid, step.row, step.related ? "NMPRODUTORELAC" : "NMPRODUTO");
        const std::string gone = rows.FieldByName(step.key).AsString();
        const int count = rows.RecordCount();
        dialogs.Clear();
        sent.clear();
        dialogs.QueueAnswer(mrYes);
        Click(form.sbtExcluir);

        EXPECT_EQ(dialogs.Log, std::vector<std::string>{"MessageDlg 3: Confirma exclusão?"});
        EXPECT_EQ(TakeSaves(), step.save);
        EXPECT_EQ(rows.RecordCount(), count - 1);
        EXPECT_EQ(Row(rows, step.key, gone), -1);
        EXPECT_EQ(rows.ChangeCount(), 0);
        ExpectProductsAsOnServer(form);  // after the main product, the next one's related
    }
    EXPECT_EQ(other->Rows("GetProdRelac", {kGroup, main}, "cdsProdRelac"), "")
        << "the related products outlived their main product";
}

E2E_BACKENDS(ProductsChanges);

}  // namespace
