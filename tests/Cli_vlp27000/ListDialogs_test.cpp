// The dialogs of where used, history and copy of a group, driven with keys without a server: the
// history read a page at a time as the user goes down (never all at once), a save's rows taken
// together, the line chosen in where used, and the copy kept open on a refusal.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <stdexcept>

#include "Cli_vlp27000/TCopyGroupDialog.h"
#include "Cli_vlp27000/THistoryDialog.h"
#include "Cli_vlp27000/TWhereUsedDialog.h"
#include "ModalKeys.h"
#include "framework/EAbort.h"
#include "support/TScriptedDialogs.h"

namespace {

// A history of `rows` entries, newest first, `perSave` entries to a save, served in pages of
// `pageRows` after the NRHISTORICO asked for; every read is noted.
struct TFakeHistory {
    int rows, perSave, pageRows;
    std::vector<std::string> asked;
    bool failNext = false;

    std::vector<THistoryRow> Page(const std::string& before) {
        asked.push_back(before);
        if (failNext) {
            failNext = false;
            throw std::runtime_error("Servidor fora do ar.");
        }
        std::vector<THistoryRow> page;
        int id = before.empty() ? rows : std::stoi(before) - 1;
        for (; id >= 1 && int(page.size()) < pageRows; --id)
            page.push_back({std::to_string(id), std::to_string((id - 1) / perSave + 1),
                            "09/12/2026 10:00:00", "ana", "SetProdRelac",
                            "alteração " + std::to_string(id)});
        return page;
    }
    THistoryModel::TReadPage Reader() {
        return [this](const std::string& before) { return Page(before); };
    }
};

TEST(HistoryModel, ReadsAPageAtATimeAndStopsAfterAShortOrFailedOne) {
    const struct {
        const char* name;
        int rows, fetches;
        bool failSecond;
        int shown;
        const char* asked;  // the NRHISTORICO each read started after
        bool atEnd;
    } cases[] = {
        {"first page only", 450, 0, false, 200, "-", false},
        {"two more pages, the last short", 450, 5, false, 450, "- 251 51", true},
        {"exactly two pages: one more read finds none", 400, 5, false, 400, "- 201 1", true},
        {"a failed read stops until reloaded", 450, 3, true, 200, "- 251", true},
        {"empty history", 0, 2, false, 0, "-", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TScriptedDialogs dialogs;  // the failed read's message
        TFakeHistory history{c.rows, 3, 200, {}};
        THistoryModel model(history.Reader(), 200);
        QAbstractItemModelTester tester(&model);
        model.Reload();
        history.failNext = c.failSecond;
        for (int i = 0; i < c.fetches; ++i) model.fetchMore({});
        EXPECT_EQ(model.rowCount(), c.shown);
        std::string asked;
        for (const std::string& before : history.asked)
            asked += (asked.empty() ? "" : " ") + (before.empty() ? "-" : before);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(model.AtEnd(), c.atEnd);
        EXPECT_EQ(dialogs.Count("Error: Servidor fora do ar."), c.failSecond ? 1 : 0);
    }
}

TEST(HistoryModel, ASavesRowsStandTogetherItsColumnsOnItsFirstRowOnly) {
    TFakeHistory history{10, 4, 200, {}};
    THistoryModel model(history.Reader(), 200);
    model.Reload();
    // Ids 10..1 under saves 3,3,2,2,2,2,1,1,1,1.
    const struct {
        int row, first, last;
        const char* saveShown;
    } cases[] = {{0, 0, 1, "3"}, {1, 0, 1, ""}, {2, 2, 5, "2"}, {5, 2, 5, ""}, {9, 6, 9, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(model.SaveRows(c.row), std::make_pair(c.first, c.last));
        EXPECT_EQ(model.index(c.row, 0).data().toString().toStdString(), c.saveShown);
        EXPECT_EQ(model.index(c.row, 4).data().toString().toStdString(),
                  "alteração " + std::to_string(10 - c.row));
    }
    EXPECT_NE(model.index(0, 0).data(Qt::BackgroundRole),
              model.index(2, 0).data(Qt::BackgroundRole))
        << "neighbouring saves on different bands";
}

// In the dialog the user's keys read the pages: going down to the end (Ctrl+End, PgDn, Down)
// reads the next one.
TEST(HistoryDialog, GoingDownToTheEndReadsTheNextPageAndEnterUndoesTheSaveUnderTheCursor) {
    TFakeHistory history{450, 3, 200, {}};
    std::vector<std::string> undone;
    THistoryDialog dialog("Grupo 0000000001 Café", history.Reader(), 200,
                          [&](const THistoryRow& save) {
                              undone.push_back(save.Save);
                              return true;
                          });
    dialog.Model()->Reload();
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(history.asked.size(), 1u) << "one page when shown";
        EXPECT_TRUE(dialog.UndoButton()->isEnabled());
        ModalKeys::Type(dialog, "Down Down Down Down");
        EXPECT_EQ(dialog.Table()->selectionModel()->selectedRows().size(), 3)
            << "row 4 belongs to save 149 with rows 3 to 5";
        EXPECT_NE(dialog.DetailLabel()->text().indexOf("alteração 446"), -1);
        ModalKeys::Type(dialog, "Return");
        EXPECT_EQ(undone, std::vector<std::string>{"149"});
        EXPECT_EQ(history.asked.size(), 2u) << "read again from the top after the undo";
        for (int i = 0; i < 3; ++i) ModalKeys::Type(dialog, "Ctrl+End");
        EXPECT_EQ(dialog.Model()->rowCount(), 450);
        EXPECT_TRUE(dialog.Model()->AtEnd());
        EXPECT_EQ(dialog.StatusLabel()->text(), "Todas as 450 alteração(ões).");
        ModalKeys::Type(dialog, "Escape");
    });
    dialog.exec();
    EXPECT_FALSE(dialog.isVisible());
}

std::vector<TWhereUsedRow> Uses(int count) {
    std::vector<TWhereUsedRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({"000000000" + std::to_string(i),
                        "Grupo " + std::to_string(i),
                        {std::to_string(i), "1.01.001.000" + std::to_string(i), "Café"},
                        i % 2 == 1});
    return rows;
}

TEST(WhereUsedDialog, EnterGoesToTheLineEscChoosesNothingAndAnActionReadsTheListAgain) {
    const struct {
        const char* name;
        int listed;
        const char* keys;
        const char* chosen;  // group, "" none
        int removals;
    } cases[] = {
        {"Enter on the first", 2, "Return", "0000000001", 0},
        {"Down then Enter", 2, "Down Return", "0000000002", 0},
        {"Esc", 2, "Escape", "", 0},
        {"Remover de todos empties the list", 2, "Alt+R Return Escape", "", 1},
        {"nothing to go to", 0, "Return Escape", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int removals = 0;
        TWhereUsedDialog dialog(
            {"7", "1.01.001.0007", "Café"}, [](TWhereUsedDialog&) {},
            [&](TWhereUsedDialog& shown) {
                ++removals;
                shown.SetRows({});
            });
        dialog.SetRows(Uses(c.listed));
        ModalKeys keys({{c.keys, nullptr}});
        const std::optional<TWhereUsedRow> chosen = dialog.Run();
        EXPECT_EQ(chosen ? chosen->Group : "", c.chosen);
        EXPECT_EQ(removals, c.removals);
        if (c.removals) {
            EXPECT_EQ(dialog.CountLabel()->text(), "Não está em nenhuma lista de sugestões.");
        }
    }
}

// The group checks refuse by throwing after their message; the dialog keeps what was typed.
TEST(CopyGroupDialog, TheCodeTakesDigitsOnlyAndARefusalKeepsTheDialogOnTheBoxAtFault) {
    const struct {
        const char* name;
        const char* keys;
        bool refuse;
        const char* code;  // in the box after Enter
        bool copied;
    } cases[] = {
        {"digits and a letter", "1 2 X 3 Return", false, "0000000123", true},
        {"refused name", "4 2 Return Escape", true, "0000000042", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int copies = 0;
        TCopyGroupDialog dialog("0000000001 Café", {"", "Cópia de Café", "9"}, 10, 40, 4,
                                [&](TCopyGroupDialog& shown, TNewGroup& group) {
                                    ++copies;
                                    group.Code =
                                        std::string(10 - group.Code.size(), '0') + group.Code;
                                    if (c.refuse) {
                                        shown.FocusBox(TCopyGroupDialog::kName);
                                        throw EAbort();
                                    }
                                });
        std::string focused;
        ModalKeys keys({{c.keys, [&](QDialog& shown) {
                             EXPECT_EQ(shown.focusWidget(), dialog.Box(TCopyGroupDialog::kCode));
                         }}});
        QObject::connect(dialog.Box(TCopyGroupDialog::kName), &QLineEdit::selectionChanged,
                         [&] { focused = "nome"; });
        EXPECT_EQ(dialog.Run(), c.copied);
        EXPECT_EQ(copies, 1);
        EXPECT_EQ(dialog.Box(TCopyGroupDialog::kCode)->text().toStdString(), c.code);
        EXPECT_EQ(focused, c.refuse ? "nome" : "");
    }
}

}  // namespace
