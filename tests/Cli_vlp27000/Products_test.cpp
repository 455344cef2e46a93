// Page "Produto" through the real widgets: the product checks and searches of both families, the
// column locks by state, and every save with its operation code (stInsert).
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include "Cli_vlp27000/Cli_vlp27000.h"
#include "framework/FrameworkUtils.h"
#include "ScreenFixture.h"
#include "controls/TDBGrid.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

namespace {

const char* const kKnown = "1.03.001.0001";  // what the server knows the typed code as
const std::string kProduct = ProductsPacket({{"P9", kKnown, "Açúcar"}});

class ProductPage : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        fake.on("GetArvProd").answerPacket(MainProductsPacket(3));
        fake.on("GetProdRelac").answerPacket(RelatedPacket(2));
        fake.on("GetVerifProduto").answerPacket(kProduct);
        fake.on("GetVdProdPrinc").answerPacket(MainProductsPacket(0));
        fake.on("GetVdProduto").answerPacket(ProductsPacket({}));
        fake.on("GetPesqProdPrinc").answerPacket(ProductsPacket({{"P8", "2.01", "Sal"}, {"P9", kKnown, "Açúcar"}}));
        fake.on("GetPesqProd").answerPacket(ProductsPacket({{"P7", "3.01", "Mel"}}));
    }

    // The screen on page "Produto" with the focus in the grid of one family.
    TfrmSugestaoProd& OpenOn(bool related) {
        TfrmSugestaoProd& f = Open();
        EXPECT_TRUE(FocusOn(f, f.dbgPadrao));
        EXPECT_TRUE(f.pgcPadrao->TurnTo(f.pgcPadrao->indexOf(f.tshProduto)));
        EXPECT_TRUE(FocusOn(f, related ? f.dbgProdRelac : f.dbgProduto));
        fake.clearCalls();
        dialogs.Clear();
        return f;
    }

    // To the grid's open cell when there is one, else to the grid.
    static void Key(TDBGrid* grid, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus && grid->isAncestorOf(focus) ? focus : grid, key, mods);
    }
};

struct Family {
    bool related;
    const char* code;
    const char* product;  // internal code of the chosen product in the row
    const char* name;
    const char* save;
    const char* secondCheck;  // the second look-up with its leading arguments
    const char* search;
};
const Family kFamilies[] = {
    {false, "CDARVPROD", "CDPRODUTO", "NMPRODUTO", "SetArvProd",
     R"(GetVdProdPrinc("0000000001", )", "GetPesqProdPrinc()"},
    {true, "CDARVPRODRELAC", "CDPRODUTORELAC", "NMPRODUTORELAC", "SetProdRelac",
     R"(GetVdProduto("0000000001", "P1", )", R"(GetPesqProd("P1", "0000000001"))"},
};

TEST_F(ProductPage, ANewRowTakesACodeOnlyAfterTheServerKnowsItAndItIsNotThereYet) {
    struct Case {
        const char* what;
        const char* typed;
        bool unknown;   // GetVerifProduto answers no row
        bool present;   // the second look-up answers a row
        bool post;      // confirm instead of leaving the code column
        int checks;     // look-ups made
        const char* message;
        const char* codeAfter;
    } cases[] = {
        {"empty code left", "", false, false, false, 0, "", ""},
        {"empty code posted", "", false, false, true, 0, "MessageDlg 1: Produto deve ser informado.",
         ""},
        {"unknown code", "9.99", true, false, false, 1, "MessageDlg 1: Produto não cadastrado.",
         "9.99"},
        {"already there", "1.3.1.1", false, true, false, 2, "MessageDlg 1: Produto já cadastrado.",
         "1.3.1.1"},
        {"accepted in the server's form", "1.3.1.1", false, false, false, 2, "", kKnown},
    };
    for (const Family& family : kFamilies) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(family.code) + ": " + c.what);
            TfrmSugestaoProd& f = OpenOn(family.related);
            TClientDataSet& cds = family.related ? f.cdsProdRelac : f.cdsArvProd;
            fake.on("GetVerifProduto").answerPacket(c.unknown ? ProductsPacket({}) : kProduct);
            const char* second = family.related ? "GetVdProduto" : "GetVdProdPrinc";
            if (family.related)
                fake.on(second).answerPacket(c.present ? kProduct : ProductsPacket({}));
            else
                fake.on(second).answerPacket(MainProductsPacket(c.present ? 1 : 0));
            f.sbtIncluir->click();
            ASSERT_EQ(cds.State(), TDataSetState::dsInsert);
            EXPECT_EQ(Cli_vlp27000::stInsert, "I");
            cds.FieldByName(family.code).SetAsString(c.typed);
            FocusOn(f, family.related ? f.dbgProdRelac : f.dbgProduto);
            fake.clearCalls();
            if (c.post)
                f.sbtConfirmar->click();
            else
                Key(family.related ? f.dbgProdRelac : f.dbgProduto, Qt::Key_Tab);

            std::string calls;
            if (c.checks >= 1) calls += std::string(R"(GetVerifProduto(inout ")") + c.typed + "\")";
            if (c.checks >= 2)
                calls += std::string(" ") + family.secondCheck + "inout \"" + c.typed + "\")";
            EXPECT_EQ(Calls(), calls);
            EXPECT_EQ(dialogs.Last(), c.message);
            EXPECT_EQ(cds.State(), TDataSetState::dsInsert);
            EXPECT_EQ(cds.FieldByName(family.code).AsString(), c.codeAfter);
            TDBGrid* grid = family.related ? f.dbgProdRelac : f.dbgProduto;
            if (*c.message) {
                EXPECT_EQ(grid->SelectedField()->FieldName(), family.code);
            } else if (*c.typed) {
                EXPECT_EQ(cds.FieldByName(family.product).AsString(), "P9");
                EXPECT_EQ(cds.FieldByName(family.name).AsString(), "Açúcar");
                EXPECT_EQ(cds.FieldByName("CDGRUSUGESPROD").AsString(), "0000000001");
                if (family.related) {
                    EXPECT_EQ(cds.FieldByName("CDPRODUTO").AsString(), "P1");
                }
            }
            cds.Cancel();
            CloseScreen();
        }
    }
}

TEST_F(ProductPage, ColumnsLockByStateAndFlagsStartAsNotQuantityButTotal) {
    for (const Family& family : kFamilies) {
        TfrmSugestaoProd& f = OpenOn(family.related);
        TClientDataSet& cds = family.related ? f.cdsProdRelac : f.cdsArvProd;
        TDBGrid* grid = family.related ? f.dbgProdRelac : f.dbgProduto;
        auto locks = [&] {
            const TColumn& code = grid->Columns()[IndiceCol(*grid, family.code)];
            const TColumn& name = grid->Columns()[IndiceCol(*grid, family.name)];
            return std::string(code.ReadOnly ? "R" : "W") +
                   (code.ButtonStyle == cbsEllipsis ? "..." : "") + " " +
                   (name.ReadOnly ? "R" : "W");
        };
        EXPECT_EQ(locks(), "R R");
        f.sbtIncluir->click();
        EXPECT_EQ(locks(), "W... R");
        EXPECT_EQ(cds.FieldByName(family.related ? "IDQUANTPROD" : "IDQUANTPRODPRINC").AsString(),
                  "N");
        EXPECT_EQ(cds.FieldByName(family.related ? "IDTOTALPROD" : "IDTOTALPRODPRINC").AsString(),
                  "S");
        cds.Cancel();
        f.sbtAlterar->click();
        EXPECT_EQ(cds.State(), TDataSetState::dsEdit);
        EXPECT_EQ(locks(), "R R");
        cds.Cancel();
        CloseScreen();
    }
}

TEST_F(ProductPage, TheSearchListsAnewAndFillsTheRowWithTheChoice) {
    for (const Family& family : kFamilies) {
        for (int pick : {0, -1}) {
            SCOPED_TRACE(std::string(family.code) + (pick < 0 ? " cancelled" : " chosen"));
            TfrmSugestaoProd& f = OpenOn(family.related);
            TClientDataSet& cds = family.related ? f.cdsProdRelac : f.cdsArvProd;
            f.sbtIncluir->click();
            fake.clearCalls();
            dialogs.QueueSearchPick(pick);
            Key(family.related ? f.dbgProdRelac : f.dbgProduto, Qt::Key_Return,
                Qt::ControlModifier);  // the code column's button
            EXPECT_EQ(Calls(), family.search);
            EXPECT_EQ(dialogs.Last(), "Pesquisar: Produto|Produto não cadastrado.");
            const std::string chosen = family.related ? "3.01" : "2.01";
            EXPECT_EQ(cds.FieldByName(family.code).AsString(), pick < 0 ? "" : chosen);
            EXPECT_EQ(cds.FieldByName(family.product).AsString(),
                      pick < 0 ? "" : (family.related ? "P7" : "P8"));
            cds.Cancel();
            CloseScreen();
        }
    }
}

TEST_F(ProductPage, SavesCarryTheOperationCodeAndAFailedOneTravelsWithTheNext) {
    for (const Family& family : kFamilies) {
        SCOPED_TRACE(family.code);
        TfrmSugestaoProd& f = OpenOn(family.related);
        TClientDataSet& cds = family.related ? f.cdsProdRelac : f.cdsArvProd;
        const std::string save = family.save;
        const std::string reread =
            family.related ? R"(GetProdRelac("0000000001", "P1"))"
                           : R"(GetArvProd("0000000001") GetProdRelac("0000000001", "P1"))";
        const char* flag = family.related ? "IDQUANTPROD" : "IDQUANTPRODPRINC";

        // A new row: checked again at the post, sent as "I", the list read again.
        f.sbtIncluir->click();
        cds.FieldByName(family.code).SetAsString(kKnown);
        fake.clearCalls();
        f.sbtConfirmar->click();
        EXPECT_EQ(Calls(), std::string(R"(GetVerifProduto(inout "1.03.001.0001") )") +
                               family.secondCheck + R"(inout "1.03.001.0001") )" + save +
                               R"((inout "I", log) )" + reread);
        EXPECT_EQ(Cli_vlp27000::stInsert, "");
        EXPECT_EQ(cds.ChangeCount(), 0);

        // A flag changed and refused: the change stays pending with its code.
        fake.on(family.save).fail(-32000, "Servidor indisponível.");
        auto toggle = [&] {
            TField& field = cds.FieldByName(flag);
            field.SetAsString(field.AsString() == "S" ? "N" : "S");
        };
        f.sbtAlterar->click();
        toggle();
        fake.clearCalls();
        f.sbtConfirmar->click();
        EXPECT_EQ(Calls(), save + R"((inout "E", log))");
        EXPECT_EQ(dialogs.Last(), "MessageDlg 1: Servidor indisponível.");
        EXPECT_EQ(cds.ChangeCount(), 1);
        EXPECT_EQ(Cli_vlp27000::stInsert, "E");

        // The next change goes with it, and with the code the failed save left.
        fake.on(family.save).answerNull();
        cds.MoveTo(1);
        f.sbtAlterar->click();
        toggle();
        fake.clearCalls();
        f.sbtConfirmar->click();
        ASSERT_EQ(fake.callsTo(family.save).size(), 1u);
        EXPECT_EQ(cds.ChangeCount(), 0);
        const FakeCall sent = fake.callsTo(family.save)[0];
        EXPECT_EQ(sent.args[0].value, "E");
        EXPECT_EQ(Cli_vlp27000::stInsert, "");

        // A delete goes as the plain text "D"; nothing is read again.
        fake.clearCalls();
        const int rows = cds.RecordCount();
        f.sbtExcluir->click();  // answered Yes
        EXPECT_EQ(Calls().substr(0, save.size() + 4), save + R"(("D")");
        EXPECT_EQ(cds.RecordCount(), rows - 1);

        // A cancel by the command empties the code; a cancel of the record set itself leaves it.
        f.sbtIncluir->click();
        f.sbtCancelar->click();  // answered Yes
        EXPECT_EQ(Cli_vlp27000::stInsert, "");
        f.sbtIncluir->click();
        cds.Cancel();
        EXPECT_EQ(cds.State(), TDataSetState::dsBrowse);
        EXPECT_EQ(Cli_vlp27000::stInsert, "I");
        CloseScreen();
    }
}

TEST_F(ProductPage, TheCodeTravelsInAndOutAndAFailedSearchShowsNoDialog) {
    for (const Family& family : kFamilies) {
        SCOPED_TRACE(family.code);
        TfrmSugestaoProd& f = OpenOn(family.related);
        TClientDataSet& cds = family.related ? f.cdsProdRelac : f.cdsArvProd;
        // The server hands back its own form of the code; the second look-up gets that one.
        fake.on("GetVerifProduto").answerPacket(kProduct).answerOut({kKnown});
        f.sbtIncluir->click();
        cds.FieldByName(family.code).SetAsString("1.3.1.1");
        fake.clearCalls();
        f.sbtConfirmar->click();
        const std::vector<FakeCall> calls = fake.calls();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[0].values().back(), "1.3.1.1");
        EXPECT_EQ(calls[1].values().back(), kKnown);

        // A search the server fails: the message, no dialog, the new row as it was.
        f.sbtIncluir->click();
        fake.on(family.related ? "GetPesqProd" : "GetPesqProdPrinc").fail(-32000, "Falhou.");
        dialogs.Clear();
        Key(family.related ? f.dbgProdRelac : f.dbgProduto, Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(dialogs.Log, std::vector<std::string>{"MessageDlg 1: Falhou."});
        EXPECT_EQ(cds.FieldByName(family.code).AsString(), "");
        EXPECT_EQ(cds.State(), TDataSetState::dsInsert);
        EXPECT_FALSE(AviShowing());
        cds.Cancel();
        fake.on("GetVerifProduto").answerPacket(kProduct).answerOut({});
        CloseScreen();
    }
}

}  // namespace
