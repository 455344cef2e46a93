// The screen in a person's hands: each script is what a user does, key by key and click by click,
// sent to whatever has the focus, against the real application server on a fresh copy of the demo
// data. Each row says which dialogs the user saw and what the server holds afterwards.
//
// Script words, separated by spaces:
//   @grid:row:FIELD  click that cell (grid: grupo, princ, relac); @@… double-clicks it
//   'text            types the text (no spaces: '_' types one)
//   clip=text        puts text on the clipboard
//   yes no cancel    the answer to the next question
//   close            closes the screen as its close button does
//   button:sbtName   clicks that tool button (sbtCancelar, sbtConfirmar…)
//   other:delete-main, other:restore-main  another user deletes or puts back the current main
//                    product of the screen's current group; other:stop  the server goes away
//   any other word   a key with its modifiers, as QKeySequence spells it (F2, Ctrl+PgDown, Space)
// VLP_SCRIPT_TRACE=1 prints each word with the screen's state after it.
#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <sstream>

#include "ScreenE2E.h"
#include "controls/TDBGrid.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

namespace {

const std::string kCafe = "0000000001";      // group "Café da Manhã"
const std::string kChurrasco = "0000000002";  // group "Churrasco"
const char* const kGrava = "MessageDlg 3: Grava as alterações?";
const char* const kReenvia = "MessageDlg 3: Há alterações não gravadas. Envia de novo?";
const char* const kMainGone = "MessageDlg 1: Produto principal não cadastrado neste grupo.";

class KeyScripts;
using TProbe = std::function<std::string(KeyScripts&)>;

struct TKeyScript {
    std::string name;
    std::string steps;
    std::vector<std::string> dialogs;  // every dialog shown, in order
    TProbe probe;                      // what the server (or the screen) holds afterwards
    std::string expected;
};

class KeyScripts : public ScreenE2E {
  public:
    TfrmSugestaoProd* Form() { return Cli_vlp27000::boIdCriado ? Cli_vlp27000::frmSugestaoProd : nullptr; }

    // "N S|S S": the flags of each main product of a group, in the server's order.
    std::string MainFlags(const std::string& group) {
        return Joined(other->Values("GetArvProd", {group}, "cdsArvProd", "IDQUANTPRODPRINC"),
                      other->Values("GetArvProd", {group}, "cdsArvProd", "IDTOTALPRODPRINC"));
    }
    // The same for the related products of the group's first main product.
    std::string RelatedFlags(const std::string& group) {
        const std::string main = FirstMain(group);
        return Joined(other->Values("GetProdRelac", {group, main}, "cdsProdRelac", "IDQUANTPROD"),
                      other->Values("GetProdRelac", {group, main}, "cdsProdRelac", "IDTOTALPROD"));
    }
    std::string FirstMain(const std::string& group) {
        const auto mains = other->Values("GetArvProd", {group}, "cdsArvProd", "CDPRODUTO");
        return mains.empty() ? "" : mains.front();
    }
    // Whether the server relates product to the group's first main product, or has it as main.
    std::string Holds(const std::string& group, const std::string& product, bool related) {
        const auto codes =
            related ? other->Values("GetProdRelac", {group, FirstMain(group)}, "cdsProdRelac",
                                    "CDPRODUTORELAC")
                    : other->Values("GetArvProd", {group}, "cdsArvProd", "CDPRODUTO");
        return std::count(codes.begin(), codes.end(), product) ? "sim" : "não";
    }
    // The group's line as the server serves it; "" when it has none.
    std::string GroupLine(const std::string& code) {
        std::istringstream lines(other->Groups());
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(code + "|", 0) == 0) return line;
        return "";
    }
    // The screen's state in a word or two: "fechada", or the page, the focused grid's record set
    // and its state.
    std::string ScreenState() {
        TfrmSugestaoProd* form = Form();
        if (!form) return "fechada";
        const bool products = form->pgcPadrao->ActivePage() == form->tshProduto;
        QWidget* focus = form->ActiveControl();
        const char* grid = focus == form->dbgPadrao      ? "grupo"
                           : focus == form->dbgProduto   ? "princ"
                           : focus == form->dbgProdRelac ? "relac"
                                                         : "nenhuma";
        auto state = [](const TClientDataSet& r) {
            switch (r.State()) {
                case TDataSetState::dsEdit: return "edit";
                case TDataSetState::dsInsert: return "insert";
                case TDataSetState::dsBrowse: return "browse";
                default: return "inactive";
            }
        };
        return std::string(products ? "Produto" : "Grupo") + " " + grid + " grupos:" +
               state(form->cdsGrupSegProd) + " princ:" + state(form->cdsArvProd) + "/" +
               std::to_string(form->cdsArvProd.RecordCount()) + " relac:" +
               state(form->cdsProdRelac) + "/" + std::to_string(form->cdsProdRelac.ChangeCount());
    }

    // Where the cursor of the focused grid stood as the last message was shown: "grid:FIELD".
    std::string CellAtMessage() { return m_cellAtMessage; }

    void Run(const std::string& steps) {
        dialogs.OnShow = [this] {
            TfrmSugestaoProd* form = Form();
            auto* grid = form ? qobject_cast<TDBGrid*>(form->ActiveControl()) : nullptr;
            TField* field = grid ? grid->SelectedField() : nullptr;
            m_cellAtMessage = field ? field->FieldName() : "-";
        };
        std::istringstream words(steps);
        for (std::string word; words >> word;) {
            SCOPED_TRACE("at \"" + word + "\"");
            Step(word);
            if (getenv("VLP_SCRIPT_TRACE")) {
                auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
                fprintf(stderr, "%s -> %s [%s]\n", word.c_str(), ScreenState().c_str(),
                        line ? qPrintable(line->text()) : "-");
            }
            if (HasFatalFailure()) return;
        }
    }

  private:
    static std::string Joined(const std::vector<std::string>& a, const std::vector<std::string>& b) {
        std::string out;
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
            out += (i ? "|" : "") + a[i] + " " + b[i];
        return out;
    }

    TDBGrid* GridNamed(const std::string& name) {
        TfrmSugestaoProd* form = Form();
        if (!form) return nullptr;
        if (name == "grupo") return form->dbgPadrao;
        if (name == "princ") return form->dbgProduto;
        if (name == "relac") return form->dbgProdRelac;
        return nullptr;
    }

    void Step(const std::string& word) {
        TfrmSugestaoProd* form = Form();
        if (word[0] == '@') {
            const bool twice = word.rfind("@@", 0) == 0;
            std::istringstream cell(word.substr(twice ? 2 : 1));
            std::string grid, row, field;
            std::getline(cell, grid, ':');
            std::getline(cell, row, ':');
            std::getline(cell, field);
            TDBGrid* target = GridNamed(grid);
            ASSERT_NE(target, nullptr) << "no grid " << grid;
            ClickCell(*target, std::stoi(row), field.c_str());
            if (twice) {
                const QModelIndex index = target->currentIndex();
                QTest::mouseDClick(target->viewport(), Qt::LeftButton, {},
                                   target->visualRect(index).center());
                QApplication::processEvents();
            }
        } else if (word[0] == '\'') {
            QString text = QString::fromUtf8(word.substr(1)).replace('_', ' ');
            for (QChar c : text) {
                QWidget* focus = QApplication::focusWidget();
                ASSERT_NE(focus, nullptr) << "no widget has the focus";
                QTest::keyClicks(focus, QString(c));
            }
        } else if (word.rfind("clip=", 0) == 0) {
            QApplication::clipboard()->setText(QString::fromUtf8(word.substr(5)));
        } else if (word == "yes" || word == "no" || word == "cancel") {
            dialogs.QueueAnswer(word == "yes" ? mrYes : word == "no" ? mrNo : mrCancel);
        } else if (word == "close") {
            ASSERT_NE(form, nullptr);
            form->Close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        } else if (word == "other:delete-main" || word == "other:restore-main") {
            ASSERT_NE(form, nullptr);
            const std::string group = form->cdsGrupSegProd.FieldByName("CDGRUSUGESPROD").AsString();
            const std::string main = word == "other:delete-main"
                                         ? form->cdsArvProd.FieldByName("CDPRODUTO").AsString()
                                         : m_deletedMain;
            m_deletedMain = main;
            ASSERT_EQ(word == "other:delete-main" ? other->DeleteMainProduct(group, main)
                                                  : other->InsertMainProduct(group, main),
                      "ok");
        } else if (word.rfind("button:", 0) == 0) {
            ASSERT_NE(form, nullptr);
            auto* button = form->findChild<QToolButton*>(QString::fromStdString(word.substr(7)));
            ASSERT_NE(button, nullptr) << word;
            Click(button);
        } else if (word == "other:stop") {
            server.reset();
        } else {
            const QKeySequence key = QKeySequence::fromString(QString::fromStdString(word));
            ASSERT_FALSE(key.isEmpty()) << "unknown word " << word;
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr) << "no widget has the focus";
            QTest::keyClick(focus, key[0].key(), key[0].keyboardModifiers());
        }
        QApplication::processEvents();
    }

    std::string m_deletedMain;
    std::string m_cellAtMessage;
};

// Opening page "Produto" on the first group, with the focus in its main products.
const std::string kOnCafe = "@grupo:0:NMGRUSUGESPROD Ctrl+PgDown ";
const std::string kOnChurrasco = "@grupo:1:NMGRUSUGESPROD Ctrl+PgDown ";
// A related product saved while another user deleted its main product: refused, kept.
const std::string kFailedSave =
    kOnCafe + "@relac:0:NMPRODUTORELAC other:delete-main Insert '1010010001 Tab F10 ";

TProbe MainFlags(const std::string& g) { return [g](KeyScripts& t) { return t.MainFlags(g); }; }
TProbe RelatedFlags(const std::string& g) {
    return [g](KeyScripts& t) { return t.RelatedFlags(g); };
}
TProbe Holds(const std::string& g, const char* product, bool related) {
    return [=](KeyScripts& t) { return t.Holds(g, product, related); };
}
TProbe GroupLine(const std::string& code) {
    return [code](KeyScripts& t) { return t.GroupLine(code); };
}
TProbe CellAtMessage() {
    return [](KeyScripts& t) { return t.CellAtMessage(); };
}
TProbe Screen() {
    return [](KeyScripts& t) { return t.ScreenState(); };
}
TProbe Both(TProbe a, TProbe b) {
    return [=](KeyScripts& t) { return a(t) + " / " + b(t); };
}

std::vector<TKeyScript> Scripts() {
    std::vector<TKeyScript> scripts = {
        // Flags switched by keys: F2 puts the cursor on "Quantidade", Space switches it.
        {"F2 Space F10 on a main product", kOnCafe + "@princ:0:NMPRODUTO F2 Space F10", {},
         MainFlags(kCafe), "S S|S S|N S|S S"},
        {"F2 Space F10 on a related product", kOnCafe + "@relac:0:NMPRODUTORELAC F2 Space F10",
         {}, RelatedFlags(kCafe), "S S|N S|S S|S S|N S"},
        {"F2 then a double click on Totalizador",
         kOnCafe + "@princ:1:NMPRODUTO F2 @@princ:1:IDTOTALPRODPRINC F10", {}, MainFlags(kCafe),
         "N S|S N|N S|S S"},
        {"F2 then a double click on a related Totalizador",
         kOnCafe + "@relac:1:NMPRODUTORELAC F2 @@relac:1:IDTOTALPROD F10", {},
         RelatedFlags(kCafe), "N S|N N|S S|S S|N S"},
        // The group code takes digits only, however they come.
        {"letters pasted with Ctrl+V into the group code",
         "Insert '1 clip=2a Ctrl+V Tab 'Novo_Grupo Tab '99 F10", {}, GroupLine("0000000012"),
         "0000000012|Novo Grupo|99"},
        {"letters pasted with Shift+Insert into the group code",
         "Insert '3 clip=a4b Shift+Ins Tab 'Novo_Grupo Tab '99 F10", {}, GroupLine("0000000034"),
         "0000000034|Novo Grupo|99"},
        {"Enter in the code column takes nothing", "Insert '12 Return '3 Tab 'Novo Tab '98 F10",
         {}, GroupLine("0000000123"), "0000000123|Novo|98"},
        // Cancelling throws away what is typed in the open cell, never writes it elsewhere.
        {"Cancelar with the new group's name cell open",
         "@grupo:1:NMGRUSUGESPROD Insert '42 Tab 'Lanche yes button:sbtCancelar",
         {"MessageDlg 3: Cancela as alterações?"}, Both(GroupLine(kChurrasco), Screen()),
         kChurrasco + "|Churrasco|2 / Grupo grupo grupos:browse princ:inactive/0 relac:inactive/0"},
        {"Cancelar with a new related product's code cell open",
         kOnCafe + "@relac:1:NMPRODUTORELAC Insert '10100100 yes button:sbtCancelar",
         {"MessageDlg 3: Cancela as alterações?"}, Both(RelatedFlags(kCafe), Screen()),
         "N S|N S|S S|S S|N S / Produto relac grupos:browse princ:browse/4 relac:browse/0"},
        // Closing with work the server does not have asks first.
        {"close with a group renamed, Sim",
         "@grupo:1:NMGRUSUGESPROD F2 'Churrasco_Premium yes close", {kGrava},
         Both(GroupLine(kChurrasco), Screen()), kChurrasco + "|Churrasco Premium|2 / fechada"},
        {"close with a group renamed, Não", "@grupo:1:NMGRUSUGESPROD F2 'Churrasco_Premium no close",
         {kGrava}, Both(GroupLine(kChurrasco), Screen()), kChurrasco + "|Churrasco|2 / fechada"},
        {"close with a group renamed, Cancelar",
         "@grupo:1:NMGRUSUGESPROD F2 'Churrasco_Premium cancel close", {kGrava},
         Both(GroupLine(kChurrasco), Screen()),
         kChurrasco + "|Churrasco|2 / Grupo grupo grupos:edit princ:inactive/0 relac:inactive/0"},
        {"close with a new group, Sim", "Insert '77 Tab 'Grupo_Novo Tab '77 yes close", {kGrava},
         GroupLine("0000000077"), "0000000077|Grupo Novo|77"},
        {"close with a new group, Não", "Insert '77 Tab 'Grupo_Novo Tab '77 no close", {kGrava},
         Both(GroupLine("0000000077"), Screen()), " / fechada"},
        {"close with a new group refused by its checks, Sim",
         "Insert '77 Tab Tab '1 yes close", {kGrava, "MessageDlg 1: Nome deve ser informado."},
         Both(GroupLine("0000000077"), Screen()),
         " / Grupo grupo grupos:insert princ:inactive/0 relac:inactive/0"},
        {"close with an untouched new group asks nothing", "Insert close", {}, Screen(),
         "fechada"},
        // A product save the server refused stays, and is neither lost nor resent unasked.
        {"close after a failed product save, Sim, still refused", kFailedSave + "yes close",
         {kMainGone, kGrava, kMainGone}, Screen(),
         "Produto relac grupos:browse princ:browse/4 relac:browse/1"},
        {"close after a failed product save, Sim, once mended",
         kFailedSave + "other:restore-main yes close", {kMainGone, kGrava},
         Both(Holds(kCafe, "0000000001", true), Screen()), "sim / fechada"},
        {"close after a failed product save, Não", kFailedSave + "no close", {kMainGone, kGrava},
         Screen(), "fechada"},
        {"close after a failed product save, Cancelar", kFailedSave + "cancel close",
         {kMainGone, kGrava}, Screen(), "Produto relac grupos:browse princ:browse/4 relac:browse/1"},
        {"a page turn after a failed product save asks, Não drops",
         kFailedSave + "Ctrl+PgUp no Ctrl+PgDown", {kMainGone, kReenvia}, Screen(),
         "Produto princ grupos:browse princ:browse/3 relac:browse/0"},
        {"a page turn after a failed product save asks, Sim sends again",
         kFailedSave + "other:restore-main Ctrl+PgUp yes Ctrl+PgDown", {kMainGone, kReenvia},
         Both(Holds(kCafe, "0000000001", true), Screen()),
         "sim / Produto princ grupos:browse princ:browse/4 relac:browse/0"},
        {"Verificar after a failed product save asks, Sim refused again keeps the change",
         kFailedSave + "yes F5", {kMainGone, kReenvia, kMainGone}, Screen(),
         "Produto relac grupos:browse princ:browse/4 relac:browse/1"},
        // A refusal puts the cursor on the cell it is about before saying why.
        {"a new related product posted without a code", kOnCafe + "@relac:0:NMPRODUTORELAC Insert "
         "@relac:0:IDQUANTPROD Space F10", {"MessageDlg 1: Produto deve ser informado."},
         CellAtMessage(), "CDARVPRODRELAC"},
        {"a new main product posted without a code", kOnCafe + "@princ:0:NMPRODUTO Insert "
         "@princ:0:IDTOTALPRODPRINC Space F10", {"MessageDlg 1: Produto deve ser informado."},
         CellAtMessage(), "CDARVPROD"},
        // A new product row with nothing but its default flags is nobody's work.
        {"a default-only new main product left behind is dropped",
         kOnCafe + "@princ:0:NMPRODUTO Insert @relac:0:NMPRODUTORELAC", {}, Screen(),
         "Produto relac grupos:browse princ:browse/4 relac:browse/0"},
        {"Space on a flag of an empty product list makes no row",
         kOnCafe + "@princ:0:IDQUANTPRODPRINC Ctrl+PgUp Insert '50 Tab 'Vazio Tab '50 F10 "
                   "Ctrl+PgDown Space",
         {}, Screen(), "Produto princ grupos:browse princ:browse/0 relac:browse/0"},
        {"a failed read of the main products turns back to Grupo",
         "@grupo:0:NMGRUSUGESPROD other:stop Ctrl+PgDown", {"*"}, Screen(),
         "Grupo grupo grupos:browse princ:inactive/0 relac:inactive/0"},
    };
    // Include from every column of each product grid: the code cell takes the typed code.
    for (const char* field : {"CDARVPROD", "NMPRODUTO", "IDQUANTPRODPRINC", "IDTOTALPRODPRINC"})
        scripts.push_back({std::string("include from main column ") + field,
                           kOnChurrasco + "@princ:0:" + field + " Insert '1010010001 Tab F10", {},
                           Holds(kChurrasco, "0000000001", false), "sim"});
    for (const char* field : {"CDARVPRODRELAC", "NMPRODUTORELAC", "IDQUANTPROD", "IDTOTALPROD"})
        scripts.push_back({std::string("include from related column ") + field,
                           kOnChurrasco + "@relac:0:" + field + " Insert '1010010001 Tab F10", {},
                           Holds(kChurrasco, "0000000001", true), "sim"});
    for (const char* field : {"CDGRUSUGESPROD", "NMGRUSUGESPROD", "NRORDEM"})
        scripts.push_back({std::string("include from group column ") + field,
                           "@grupo:0:" + std::string(field) + " Insert '88 Tab 'Oitenta Tab '88 F10",
                           {}, GroupLine("0000000088"), "0000000088|Oitenta|88"});
    return scripts;
}

TEST_P(KeyScripts, EachScriptShowsItsDialogsAndLeavesTheServerAsExpected) {
    for (const TKeyScript& script : Scripts()) {
        SCOPED_TRACE(script.name);
        StartServer();
        dialogs.Clear();
        OpenScreen();
        dialogs.Clear();
        Run(script.steps);
        if (script.dialogs == std::vector<std::string>{"*"})
            EXPECT_EQ(dialogs.Log.size(), 1u) << "one error reported";
        else
            EXPECT_EQ(dialogs.Log, script.dialogs);
        EXPECT_EQ(script.probe(*this), script.expected);
        // Whatever the script left is dropped: the next one starts from nothing.
        dialogs.DefaultAnswer = mrNo;
        CloseScreen();
        dialogs.DefaultAnswer = mrYes;
        if (Cli_vlp27000::boIdCriado) FAIL() << "the screen would not close";
    }
}

E2E_BACKENDS(KeyScripts);

}  // namespace
