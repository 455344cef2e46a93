// Where used, history, undo and copy of a group in a person's hands, against the real
// application server: Ctrl+U and Ctrl+H on the focused grid, the menu with Alt+R and the item's
// letter, each dialog answered with keys; what the server then holds is read by another user.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include "Cli_vlp27000/THistoryDialog.h"
#include "Cli_vlp27000/TImportPreviewDialog.h"
#include "Cli_vlp27000/TWhereUsedDialog.h"
#include "Cli_vlp27000/TWhereUsedModel.h"
#include "CsvLines.h"
#include "ScreenE2E.h"
#include "framework/TPageControl.h"
#include "framework/TQtDialogs.h"
#include "framework/TSearchDialog.h"
#include "framework/TSearchModel.h"
#include "framework/TTabSheet.h"

namespace {

const std::string kCafe = "0000000001";

// "group/main product/P|R" words, in the server's order.
std::string Words(const std::vector<TWhereUsedRow>& rows) {
    std::string words;
    for (const TWhereUsedRow& row : rows)
        words += (words.empty() ? "" : " ") + row.Group + "/" + row.Main.Code + "/" +
                 (row.AsMain ? "P" : "R");
    return words;
}

std::string Shown(QDialog& dialog) {
    auto* whereUsed = qobject_cast<TWhereUsedDialog*>(&dialog);
    if (!whereUsed) return "another dialog: " + dialog.windowTitle().toStdString();
    return Words(qobject_cast<TWhereUsedModel*>(whereUsed->Table()->model())->Rows());
}

class ListActions : public ScreenE2E {
  protected:
    std::string UsesOnServer(const std::string& product) {
        const auto column = [&](const char* field) {
            return other->Values("GetOndeUsado", {product}, "cdsOndeUsado", field);
        };
        const auto groups = column("CDGRUSUGESPROD"), mains = column("CDPRODUTO"),
                   kinds = column("TPUSO");
        std::vector<TWhereUsedRow> rows;
        for (std::size_t i = 0; i < groups.size(); ++i)
            rows.push_back({groups[i], "", {mains[i], "", ""}, kinds[i] == "P"});
        return Words(rows);
    }
    // A catalogue product in no list (its row in the catalogue search), to replace another with.
    std::pair<int, std::string> UnusedProduct() {
        const auto codes = other->Values("GetPesqProdPrinc", {}, "cdsPesqProdPrinc", "CDPRODUTO");
        for (int row = int(codes.size()) - 1; row >= 0; --row)
            if (UsesOnServer(codes[std::size_t(row)]).empty())
                return {row, codes[std::size_t(row)]};
        ADD_FAILURE() << "every product is in some list";
        return {-1, ""};
    }
    std::vector<std::string> ServerLines(const std::string& group) {
        return other->Values("GetExportaSugestoes", {group}, "cdsExportaSugestoes", "TXLINHA");
    }
    // Ctrl+U or Ctrl+H on the focused grid, the dialogs answered by steps.
    void Press(TDBGrid& grid, Qt::Key key, std::deque<ModalKeys::TStep> steps) {
        ModalKeys keys(std::move(steps));
        Key(grid, key, Qt::ControlModifier);
        EXPECT_EQ(keys.Left(), 0u) << "dialogs that never came";
    }
    static std::string Current(const TClientDataSet& dataSet, const char* field) {
        return dataSet.FieldByName(field).AsString();
    }
};

// Ctrl+U on either product grid lists every list the product is in; Enter on the last line goes
// to that group, main product and row.
TEST_P(ListActions, WhereUsedFromAProductCellGoesToTheLineChosen) {
    const struct {
        const char* name;
        bool related;
    } cases[] = {{"a main product", false}, {"a related product", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TfrmSugestaoProd& form = OpenScreen();
        TurnToProducts(form, kCafe);
        TDBGrid& grid = c.related ? *form.dbgProdRelac : *form.dbgProduto;
        ClickCell(grid, 0, c.related ? "NMPRODUTORELAC" : "NMPRODUTO");
        const std::string product = Current(c.related ? form.cdsProdRelac : form.cdsArvProd,
                                            c.related ? "CDPRODUTORELAC" : "CDPRODUTO");
        const std::string expected = UsesOnServer(product);
        ASSERT_FALSE(expected.empty());
        std::string shown, last;
        Press(grid, Qt::Key_U, {{"Ctrl+End Return", [&](QDialog& dialog) {
                                     shown = Shown(dialog);
                                     last = shown.substr(shown.rfind(' ') + 1);
                                 }}});
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(Current(form.cdsGrupSegProd, "CDGRUSUGESPROD") + "/" +
                      Current(form.cdsArvProd, "CDPRODUTO") + "/" +
                      (form.ActiveControl() == form.dbgProduto ? "P" : "R"),
                  last);
        if (form.ActiveControl() == form.dbgProdRelac) {
            EXPECT_EQ(Current(form.cdsProdRelac, "CDPRODUTORELAC"), product);
        }
        ExpectProductsAsOnServer(form);
        CloseScreen();
    }
}

// In the product search the highlighted row's Ctrl+U closes the search choosing nothing and
// shows where that product is used; the row being included stays as it was.
TEST_P(ListActions, WhereUsedFromTheSearchDialogKeepsTheRowBeingIncluded) {
    TfrmSugestaoProd& form = OpenScreen();
    TurnToProducts(form, kCafe);
    ClickCell(*form.dbgProdRelac, 0, "NMPRODUTORELAC");
    Key(*form.dbgProdRelac, Qt::Key_Insert);
    TQtDialogs qtDialogs;  // the real search dialog, keys and all
    SetDialogs(&qtDialogs);
    std::string highlighted, shown;
    ModalKeys keys(
        {{"Down Down Ctrl+U",
          [&](QDialog& dialog) {
              auto* search = qobject_cast<TSearchDialog*>(&dialog);
              ASSERT_NE(search, nullptr) << dialog.windowTitle().toStdString();
              const int row = search->Model()->RecordRow(2);
              highlighted = form.cdsPesqProd.ValueAt(row, 0).value_or("?").data();
              highlighted = std::string(
                  form.cdsPesqProd.ValueAt(row, form.cdsPesqProd.FieldByName("CDPRODUTO").Index())
                      .value_or(""));
          }},
         {"Escape", [&](QDialog& dialog) { shown = Shown(dialog); }}});
    Key(*form.dbgProdRelac, Qt::Key_Return, Qt::ControlModifier);
    SetDialogs(&dialogs);
    EXPECT_EQ(keys.Left(), 0u);
    ASSERT_FALSE(highlighted.empty());
    EXPECT_EQ(shown, UsesOnServer(highlighted));
    EXPECT_EQ(form.cdsProdRelac.State(), TDataSetState::dsInsert) << "the new row is kept";
    EXPECT_EQ(form.ActiveControl(), form.dbgProdRelac);
    dialogs.QueueAnswer(mrYes);
    Key(*form.dbgProdRelac, Qt::Key_Escape);
}

// "Substituir por…" and "Remover de todos" preview first; only Aplicar changes every list, and the
// screen and the dialog then show what the server holds.
TEST_P(ListActions, ReplaceOrRemoveEverywhereAfterThePreview) {
    const struct {
        const char* name;
        const char* action;   // in the where-used dialog
        const char* preview;  // in the preview
        bool applied;
        bool removed;
    } cases[] = {
        {"Substituir por…, Aplicar", "Alt+S", "Return", true, false},
        {"Remover de todos, Aplicar", "Alt+R", "Return", true, true},
        {"Substituir por…, Cancelar", "Alt+S", "Escape", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartServer();
        TfrmSugestaoProd& form = OpenScreen();
        TurnToProducts(form, kCafe);
        ClickCell(*form.dbgProdRelac, 0, "NMPRODUTORELAC");
        const std::string product = Current(form.cdsProdRelac, "CDPRODUTORELAC");
        const std::string before = UsesOnServer(product);
        const auto [row, replacement] = UnusedProduct();
        dialogs.Clear();
        if (!c.removed) dialogs.QueueSearchPick(row);
        std::string summary, shownAfter;
        bool canApply = false;
        Press(*form.dbgProdRelac, Qt::Key_U,
              {{c.action, {}},
               {c.preview,
                [&](QDialog& dialog) {
                    auto* preview = qobject_cast<TImportPreviewDialog*>(&dialog);
                    ASSERT_NE(preview, nullptr) << dialog.windowTitle().toStdString();
                    summary = preview->SummaryLabel()->text().toStdString();
                    canApply = preview->ApplyButton()->isEnabled();
                }},
               {"Escape", [&](QDialog& dialog) { shownAfter = Shown(dialog); }}});
        EXPECT_TRUE(canApply) << summary;
        EXPECT_FALSE(summary.empty());
        EXPECT_EQ(UsesOnServer(product), c.applied ? "" : before);
        EXPECT_EQ(shownAfter, c.applied ? "" : before);
        const std::string expected = c.applied && !c.removed ? before : "";
        EXPECT_EQ(UsesOnServer(replacement), expected);
        if (c.applied) {
            EXPECT_EQ(dialogs.Last().rfind(c.removed ? "MessageDlg 2: Remoção concluída."
                                                     : "MessageDlg 2: Substituição concluída.",
                                           0),
                      0u)
                << dialogs.Last();
        }
        ExpectProductsAsOnServer(form);
        CloseScreen();
    }
}

// Ctrl+H lists the first page of the saves, newest first: the group's on page "Grupo", the main
// product's on page "Produto".
TEST_P(ListActions, HistoryOfTheGroupOrOfTheMainProductShown) {
    const struct {
        const char* name;
        bool onProducts;
    } cases[] = {{"page Grupo: the whole group", false}, {"page Produto: the main product", true}};
    TfrmSugestaoProd& form = OpenScreen();
    TurnToProducts(form, kCafe);
    ClickCell(*form.dbgProdRelac, 0, "IDQUANTPROD");
    Key(*form.dbgProdRelac, Qt::Key_Space);  // one save more, of this main product
    Key(*form.dbgProdRelac, Qt::Key_F10);
    const std::string main = Current(form.cdsArvProd, "CDPRODUTO");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.onProducts)
            form.pgcPadrao->TurnTo(form.pgcPadrao->indexOf(form.tshPadrao));
        else
            TurnToProducts(form, kCafe);
        TDBGrid& grid = c.onProducts ? *form.dbgProdRelac : *form.dbgPadrao;
        if (c.onProducts) ClickCell(grid, 0, "NMPRODUTORELAC");
        const std::vector<std::string> expected = other->Values(
            "GetHistorico", {kCafe, c.onProducts ? main : "", ""}, "cdsHistorico", "NRHISTORICO");
        std::vector<std::string> shown;
        std::string first;
        Press(grid, Qt::Key_H, {{"Escape", [&](QDialog& dialog) {
                                     auto* history = qobject_cast<THistoryDialog*>(&dialog);
                                     ASSERT_NE(history, nullptr);
                                     for (int row = 0; row < history->Model()->rowCount(); ++row)
                                         shown.push_back(history->Model()->Row(row).Id);
                                     first = history->DetailLabel()->text().toStdString();
                                 }}});
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(shown, expected);
        EXPECT_NE(first.find("Quantidade"), std::string::npos) << first;
    }
}

// Desfazer on the newest save, after its preview, puts back what that save changed: a flag
// switched on the screen, or an import.
TEST_P(ListActions, UndoOfTheNewestSaveAfterThePreview) {
    const struct {
        const char* name;
        bool import;
    } cases[] = {{"a flag switched", false}, {"an import", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartServer();
        const std::vector<std::string> before = ServerLines(kCafe);
        TfrmSugestaoProd& form = OpenScreen();
        if (c.import) {
            QTemporaryDir dir;
            const std::string path = dir.filePath("importar.csv").toStdString();
            WriteTextFile(path, Joined(FlagSwitched(before)));
            dialogs.QueueFileName(path);
            ChooseFromMenu(form, Qt::Key_T, {{"Return", {}}, {"Return", {}}});
            TurnToProducts(form, kCafe);
        } else {
            TurnToProducts(form, kCafe);
            ClickCell(*form.dbgProdRelac, 0, "IDQUANTPROD");
            Key(*form.dbgProdRelac, Qt::Key_Space);
            Key(*form.dbgProdRelac, Qt::Key_F10);
        }
        ASSERT_NE(ServerLines(kCafe), before) << "nothing to undo";
        ClickCell(*form.dbgProdRelac, 0, "NMPRODUTORELAC");
        dialogs.Clear();
        std::string origin;
        bool canApply = false;
        Press(*form.dbgProdRelac, Qt::Key_H,
              {{"Return",
                [&](QDialog& dialog) {
                    auto* history = qobject_cast<THistoryDialog*>(&dialog);
                    ASSERT_NE(history, nullptr);
                    origin = history->Model()->Row(0).Origin;
                }},
               {"Return",
                [&](QDialog& dialog) {
                    canApply =
                        qobject_cast<TImportPreviewDialog*>(&dialog)->ApplyButton()->isEnabled();
                }},
               {"Escape", {}}});
        EXPECT_EQ(origin.find("importa") != std::string::npos, c.import) << origin;
        EXPECT_TRUE(canApply);
        EXPECT_EQ(ServerLines(kCafe), before);
        EXPECT_EQ(dialogs.Last().rfind("MessageDlg 2: Gravação ", 0), 0u) << dialogs.Last();
        ExpectProductsAsOnServer(form);
        CloseScreen();
    }
}

// Copiar grupo… on page "Grupo": checked as a new group row, the copy current once made.
TEST_P(ListActions, CopyOfAGroupCheckedAsTheGroupGridChecks) {
    const std::vector<std::string> orders =
        other->Values("GetGrupSegProd", {}, "cdsGrupSegProd", "NRORDEM");
    const struct {
        const char* name;
        std::string keys;
        const char* refusal;  // "" copied
    } cases[] = {
        {"a code in use", "1 Tab Tab 8 7 6 5 Return Escape", "Código já cadastrado."},
        {"no order", "7 7 Return Escape", "Ordem deve ser informada."},
        {"copied", "7 7 Tab Tab 8 7 6 5 Return", ""},
    };
    ASSERT_EQ(std::count(orders.begin(), orders.end(), "8765"), 0);
    TfrmSugestaoProd& form = OpenScreen();
    ClickCell(*form.dbgPadrao, GroupRow(form, kCafe.c_str()), "NMGRUSUGESPROD");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.Clear();
        ChooseFromMenu(form, Qt::Key_U, {{c.keys, {}}});
        if (*c.refusal) {
            EXPECT_EQ(dialogs.Log,
                      std::vector<std::string>{std::string("MessageDlg 1: ") + c.refusal});
            EXPECT_EQ(GroupRow(form, "0000000077"), -1);
            continue;
        }
        EXPECT_EQ(Current(form.cdsGrupSegProd, "CDGRUSUGESPROD"), "0000000077");
        EXPECT_EQ(Current(form.cdsGrupSegProd, "NRORDEM"), "8765");
        const std::vector<std::string> copied =
            other->Values("GetArvProd", {"0000000077"}, "cdsArvProd", "CDPRODUTO");
        EXPECT_EQ(copied, other->Values("GetArvProd", {kCafe}, "cdsArvProd", "CDPRODUTO"));
        EXPECT_FALSE(copied.empty());
    }
}

E2E_BACKENDS(ListActions);

}  // namespace
