// The seven commands act on the page shown and the grid holding the focus: one case per cell of
// the routing, each from a fresh screen, observed as record-set states, server calls, dialogs
// and the pending operation code.
#include <QTabBar>
#include <map>
#include <QToolButton>

#include "Cli_vlp27000/Cli_vlp27000.h"
#include "ScreenFixture.h"
#include "controls/TDBGrid.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

namespace {

enum class Focus { Groups, Main, Related, Other };

class Routing : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        fake.on("GetArvProd").answerPacket(MainProductsPacket(3));
        fake.on("GetProdRelac").answerPacket(RelatedPacket(2));
    }

    // "G b3 M e3 R b2": state letter and row count of groups, main and related products.
    static std::string States(TfrmSugestaoProd& f) {
        auto one = [](const char* name, const TClientDataSet& ds) {
            const char* letters = "-bei";
            return std::string(name) + " " + letters[static_cast<int>(ds.State())] +
                   std::to_string(ds.RecordCount());
        };
        return one("G", f.cdsGrupSegProd) + " " + one("M", f.cdsArvProd) + " " +
               one("R", f.cdsProdRelac);
    }
};

TEST_F(Routing, EachCommandActsWhereThePageAndTheFocusSay) {
    struct Case {
        bool produto;
        Focus focus;
        const char* command;
        const char* prepare;  // "M edit", "R edit", "G edit" or ""
        int answer;           // to the question asked, if any
        const char* states;
        const char* calls;
        const char* dialog;
    } cases[] = {
        // Page "Produto".
        // A new main product is a move: the related products of the new (empty) row are read.
        {true, Focus::Main, "Incluir", "", mrYes, "G b3 M i4 R b2",
         R"(GetProdRelac("0000000001", ""))", ""},
        {true, Focus::Related, "Incluir", "", mrYes, "G b3 M b3 R i3", "", ""},
        {true, Focus::Other, "Incluir", "", mrYes, "G b3 M b3 R i3", "", ""},
        {true, Focus::Main, "Alterar", "", mrYes, "G b3 M e3 R b2", "", ""},
        {true, Focus::Other, "Alterar", "", mrYes, "G b3 M b3 R e2", "", ""},
        {true, Focus::Main, "Excluir", "", mrNo, "G b3 M b3 R b2", "",
         "MessageDlg 3: Confirma exclusão?"},
        {true, Focus::Related, "Excluir", "R edit", mrYes, "G b3 M b3 R e2", "",
         "MessageDlg 3: Confirma exclusão?"},
        {true, Focus::Main, "Procurar", "", mrYes, "G b3 M b3 R b2", "", "Procura: cdsArvProd"},
        {true, Focus::Other, "Procurar", "", mrYes, "G b3 M b3 R b2", "", "Procura: cdsProdRelac"},
        {true, Focus::Main, "Verificar", "", mrYes, "G b3 M b3 R b2",
         R"(GetArvProd("0000000001") GetProdRelac("0000000001", "P1"))", ""},
        {true, Focus::Related, "Verificar", "", mrYes, "G b3 M b3 R b2",
         R"(GetProdRelac("0000000001", "P1"))", ""},
        {true, Focus::Other, "Verificar", "", mrYes, "G b3 M b3 R b2", "", ""},
        {true, Focus::Related, "Confirmar", "R edit", mrYes, "G b3 M b3 R b2", "", ""},
        {true, Focus::Other, "Confirmar", "R edit", mrYes, "G b3 M b3 R e2", "", ""},
        {true, Focus::Main, "Cancelar", "M edit", mrYes, "G b3 M b3 R b2", "",
         "MessageDlg 3: Cancela as alterações?"},
        {true, Focus::Other, "Cancelar", "R edit", mrYes, "G b3 M b3 R e2", "", ""},
        // Page "Grupo".
        {false, Focus::Other, "Incluir", "", mrYes, "G i4 M b3 R b2", "", ""},
        {false, Focus::Other, "Alterar", "", mrYes, "G e3 M b3 R b2", "", ""},
        {false, Focus::Other, "Excluir", "", mrYes, "G b3 M b3 R b2", "", ""},
        {false, Focus::Groups, "Procurar", "", mrYes, "G b3 M b3 R b2", "",
         "Procura: cdsGrupSegProd"},
        {false, Focus::Other, "Procurar", "", mrYes, "G b3 M b3 R b2", "", ""},
        {false, Focus::Groups, "Verificar", "", mrYes, "G b3 M b3 R b2", "GetGrupSegProd()", ""},
        {false, Focus::Other, "Verificar", "", mrYes, "G b3 M b3 R b2", "", ""},
        {false, Focus::Other, "Cancelar", "G edit", mrYes, "G b3 M b3 R b2", "",
         "MessageDlg 3: Cancela as alterações?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.produto ? "Produto " : "Grupo ") + c.command + " focus " +
                     std::to_string(static_cast<int>(c.focus)));
        TfrmSugestaoProd& f = Open();
        ASSERT_TRUE(FocusOn(f, f.dbgPadrao));
        ASSERT_TRUE(f.pgcPadrao->TurnTo(f.pgcPadrao->indexOf(f.tshProduto)));
        if (!c.produto) {
            ASSERT_TRUE(f.pgcPadrao->TurnTo(f.pgcPadrao->indexOf(f.tshPadrao)));
        }
        QWidget* const focuses[] = {f.dbgPadrao, f.dbgProduto, f.dbgProdRelac,
                                    f.pgcPadrao->tabBar()};
        QWidget* focus = focuses[static_cast<int>(c.focus)];
        ASSERT_TRUE(FocusOn(f, focus));
        const std::string prepare = c.prepare;
        if (prepare == "M edit") f.cdsArvProd.Edit();
        if (prepare == "R edit") f.cdsProdRelac.Edit();
        if (prepare == "G edit") f.cdsGrupSegProd.Edit();
        Cli_vlp27000::stInsert = "I";
        fake.clearCalls();
        dialogs.Clear();
        dialogs.DefaultAnswer = c.answer;

        // The handler itself: whether the command is enabled is the button state's business.
        QToolButton* button = f.findChild<QToolButton*>(QString("sbt") + c.command);
        const std::map<std::string, void (TfrmSugestaoProd::*)(QObject*)> handlers = {
            {"Incluir", &TfrmSugestaoProd::sbtIncluirClick},
            {"Alterar", &TfrmSugestaoProd::sbtAlterarClick},
            {"Excluir", &TfrmSugestaoProd::sbtExcluirClick},
            {"Procurar", &TfrmSugestaoProd::sbtProcurarClick},
            {"Verificar", &TfrmSugestaoProd::sbtVerificarClick},
            {"Confirmar", &TfrmSugestaoProd::sbtConfirmarClick},
            {"Cancelar", &TfrmSugestaoProd::sbtCancelarClick}};
        (f.*handlers.at(c.command))(button);

        EXPECT_EQ(States(f), c.states);
        EXPECT_EQ(Calls(), c.calls);
        EXPECT_EQ(dialogs.Last(), c.dialog);
        EXPECT_EQ(Cli_vlp27000::stInsert, std::string(c.command) == "Cancelar" ? "" : "I");
        for (TClientDataSet* ds : {&f.cdsGrupSegProd, &f.cdsArvProd, &f.cdsProdRelac}) ds->Cancel();
        CloseScreen();
    }
}

TEST_F(Routing, IncludeOnGrupoKeepsProdutoClosedUntilTheNewGroupIsDone) {
    TfrmSugestaoProd& f = Open();
    ASSERT_TRUE(FocusOn(f, f.dbgPadrao));
    f.sbtIncluir->click();
    EXPECT_FALSE(f.tshProduto->Enabled());
    EXPECT_FALSE(f.pgcPadrao->TurnTo(f.pgcPadrao->indexOf(f.tshProduto)));
    f.sbtCancelar->click();  // answered Yes
    EXPECT_TRUE(f.tshProduto->Enabled());
}

}  // namespace
