// Main and related products included on page "Produto" against the real application server, the
// product entered by typing its tree code (digits only: the code column's edit mask adds the
// dots) or chosen in the search: the name comes from the server, the confirm saves the row as an
// insertion and reads the list again with the new row current, and another connection reads the
// same rows with the new row's flags "N" and "S".
#include <algorithm>

#include "ScreenE2E.h"
#include "controls/TDBGrid.h"

namespace {

const std::string kGroup = "0000000001";

class ProductsInsert : public ScreenE2E {};

TEST_P(ProductsInsert, TypedOrSearchedProductIsSavedOnceAndReadBackCurrent) {
    struct Case {
        const char* what;
        bool related;
        const char* typed;  // nullptr: chosen in the search instead
        const char* tree;   // the product's tree code as the server holds it
    } cases[] = {
        {"related product typed", true, "1010010001", "1.01.001.0001"},
        {"related product searched", true, nullptr, "1.01.001.0002"},
        {"main product typed", false, "1010010003", "1.01.001.0003"},
        {"main product searched", false, nullptr, "1.01.001.0004"},
    };
    RecordCalls();
    TfrmSugestaoProd& form = OpenScreen();
    TurnToProducts(form, kGroup);
    // Every product, in the order of the main-product search, which lists them all.
    const auto trees = other->Values("GetPesqProdPrinc", {}, "cdsPesqProdPrinc", "CDARVPROD");
    const auto codes = other->Values("GetPesqProdPrinc", {}, "cdsPesqProdPrinc", "CDPRODUTO");
    const auto names = other->Values("GetPesqProdPrinc", {}, "cdsPesqProdPrinc", "NMPRODUTO");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TDBGrid& grid = c.related ? *form.dbgProdRelac : *form.dbgProduto;
        TClientDataSet& rows = c.related ? form.cdsProdRelac : form.cdsArvProd;
        const char* codeField = c.related ? "CDARVPRODRELAC" : "CDARVPROD";
        const char* nameField = c.related ? "NMPRODUTORELAC" : "NMPRODUTO";
        const auto at = std::find(trees.begin(), trees.end(), c.tree) - trees.begin();
        ASSERT_LT(at, static_cast<long>(trees.size())) << c.tree << " is not in the demo catalogue";
        const std::string product = codes[at], name = names[at];
        const std::string main = form.cdsArvProd.FieldByName("CDPRODUTO").AsString();

        ClickCell(grid, 0, nameField);
        dialogs.Clear();
        sent.clear();
        Click(form.sbtIncluir);
        ASSERT_EQ(rows.State(), TDataSetState::dsInsert);
        std::vector<std::string> shown;
        if (c.typed) {
            Type(grid, c.typed);
            Key(grid, Qt::Key_Tab);
        } else {
            // The related search lists only what the main product may take: its own order.
            const auto offered =
                c.related ? other->Values("GetPesqProd", {main, kGroup}, "cdsPesqProd", "CDARVPROD")
                          : trees;
            const auto pick = std::find(offered.begin(), offered.end(), c.tree) - offered.begin();
            ASSERT_LT(pick, static_cast<long>(offered.size())) << c.tree << " is not offered";
            dialogs.QueueSearchPick(static_cast<int>(pick));
            Key(grid, Qt::Key_Return, Qt::ControlModifier);
            shown.push_back("Pesquisar: Produto|Produto não cadastrado.");
        }
        EXPECT_EQ(rows.FieldByName(nameField).AsString(), name);
        Click(form.sbtConfirmar);

        EXPECT_EQ(dialogs.Log, shown);
        EXPECT_EQ(TakeSaves(), c.related ? "SetProdRelac(I)" : "SetArvProd(I)");
        EXPECT_EQ(Cli_vlp27000::stInsert, "");
        EXPECT_EQ(rows.State(), TDataSetState::dsBrowse);
        EXPECT_EQ(rows.ChangeCount(), 0);
        EXPECT_EQ(rows.FieldByName(codeField).AsString(), c.tree) << "the new row is not current";
        ExpectProductsAsOnServer(form);
        const std::string saved =
            c.related ? kGroup + "|" + main + "|" + product + "|" + c.tree + "|" + name + "|N|S\n"
                      : std::string(c.tree) + "|" + product + "|" + name + "|" + kGroup + "|N|S\n";
        const std::string onServer =
            c.related ? other->Rows("GetProdRelac", {kGroup, main}, "cdsProdRelac")
                      : other->Rows("GetArvProd", {kGroup}, "cdsArvProd");
        EXPECT_NE(onServer.find(saved), std::string::npos) << onServer;
    }
}

E2E_BACKENDS(ProductsInsert);

}  // namespace
