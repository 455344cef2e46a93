// Pesquisar: which rows a search lists and in what order, the words highlighted, the count line,
// and the dialog driven with the keyboard.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

#include "framework/StdDialogs.h"
#include "dataaccess/TDataSource.h"
#include "framework/TLocateDialog.h"
#include "support/TScriptedDialogs.h"
#include "framework/TSearchDialog.h"
#include "framework/TSearchHighlight.h"
#include "framework/TSearchIndex.h"
#include "framework/TSearchModel.h"
#include "framework/TSearchRowAction.h"
#include "support/TestDataSets.h"

namespace {

// Code, internal code (hidden, not searched), name.
std::unique_ptr<TClientDataSet> Catalogue() {
    return MakeProducts({{"1.01.001.0012", "10", "Arroz Integral Bom Grão 5kg"},
                         {"1.01.001.0013", "11", "Arroz Branco 5kg"},
                         {"1.02.003.0120", "12", "Feijão Carioca 1kg"},
                         {"2.01.001.0001", "13", "Café Torrado 500g"},
                         {"2.01.002.0012", "14", "Chá Mate Integral"},
                         {"3.05.010.0001", "15", "INTEGRAL Açúcar Mascavo"}});
}

// Typed text -> record rows listed, in the order shown.
const struct {
    const char* typed;
    const char* rows;
} kSearches[] = {
    {"", "012345"},
    {"integral 5kg", "0"},
    {"5kg INTEGRAL", "0"},  // any order, any case
    {"integral bom grao", "0"},
    {"Grão", "0"},  // accents typed or not
    {"feijao", "2"},
    {"acucar", "5"},
    {"1010010012", "0"},  // digits against a dotted code
    {"0012", "04"},
    {"0012 arroz", "0"},
    {"101", "01"},
    {"500", "3"},
    {"13", "1"},        // the hidden internal code of row 3 is not searched
    {"arroz xyz", ""},  // a word matching nothing
    {"arroz arroz 5kg", "01"},
    {"  arroz   5kg  ", "01"},
    {"0012arroz", ""},     // no word spans two columns
    {"integral", "504"},   // a name starting with the first word comes first
    {"2 integral", "40"},  // so does a code
    {"mate integral", "4"},
    {"integral mate", "4"},
};

std::string Joined(const std::vector<int>& rows) {
    std::string out;
    for (int row : rows) out += std::to_string(row);
    return out;
}

TEST(TSearchIndexTest, ListsTheRowsHoldingEveryWordInAnyOrder) {
    auto ds = Catalogue();
    TSearchIndex shared(*ds, {0, 2});  // goes from each search to the next
    for (const auto& search : kSearches) {
        TSearchIndex fresh(*ds, {0, 2});
        EXPECT_EQ(Joined(fresh.Filter(search.typed)), search.rows) << search.typed;
        EXPECT_EQ(Joined(shared.Filter(search.typed)), search.rows)
            << "after others: " << search.typed;
    }
}

TEST(TSearchHighlightTest, MarksTheWordsWhereTheyStandInTheOriginalText) {
    const struct {
        const char* typed;
        const char* text;
        const char* marked;
    } cases[] = {
        {"grao integral", "Arroz Integral Bom Grão", "Arroz [Integral] Bom [Grão]"},
        {"e", "Café Éden", "Caf[é] [É]d[e]n"},
        {"0012", "1.01.001.0012", "1.01.001.[0012]"},
        {"1010010012", "1.01.001.0012", "[1.01.001.0012]"},
        {"rr ar", "Arroz", "[Arr]oz"},
        {"xyz", "Arroz", "Arroz"},
    };
    TSearchHighlight highlight;
    for (const auto& c : cases) {
        highlight.SetQuery(TSearchQuery(c.typed));
        QString text = QString::fromUtf8(c.text), marked;
        int at = 0;
        for (auto [start, length] : highlight.Spans(text)) {
            marked += text.mid(at, start - at) + '[' + text.mid(start, length) + ']';
            at = start + length;
        }
        EXPECT_EQ(marked + text.mid(at), QString::fromUtf8(c.marked)) << c.typed;
    }
}

TEST(TSearchModelTest, ShowsTheVisibleFieldsOfTheRankedRows) {
    auto ds = Catalogue();
    TSearchModel model(*ds);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Código");
    model.SetFilter("integral");
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString(), "INTEGRAL Açúcar Mascavo");
    EXPECT_EQ(model.RecordRow(0), 5);
    EXPECT_EQ(model.ModelRowOf(0), 1);
    EXPECT_EQ(model.ModelRowOf(4), 2);
    EXPECT_EQ(model.ModelRowOf(1), -1);
}

TEST(TSearchDialogCountTest, GroupsThousandsTheBrazilianWayWhateverTheLocale) {
    QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(TSearchDialog::CountLine(3, 4722), "3 de 4.722 registros");
    EXPECT_EQ(TSearchDialog::CountLine(1, 4722), "1 de 4.722 registros");
    EXPECT_EQ(TSearchDialog::CountLine(4722, 4722), "4.722 registros");
    EXPECT_EQ(TSearchDialog::CountLine(1, 1), "1 registro");
    QLocale::setDefault(saved);
}

class TSearchDialogTest : public ::testing::Test {
  protected:
    // Runs script while the dialog is open, then closes it if the script did not; true when a
    // row was chosen. Keys go to the focused widget, as the user's do.
    bool RunWith(TSearchDialog& dialog, const std::function<void()>& script) {
        QTimer::singleShot(0, [&] {
            if (QTest::qWaitForWindowActive(&dialog))
                script();
            else
                ADD_FAILURE() << "the dialog never became active";
            if (dialog.isVisible()) dialog.reject();
        });
        return dialog.Run();
    }
    static void Type(const char* text) {
        for (QChar c : QString::fromUtf8(text)) {  // QTest maps only ASCII to keys
            if (c.unicode() < 0x80)
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                                    QString(c), Qt::NoModifier);
        }
    }
    static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    static std::string Listed(const TSearchDialog& dialog) {
        std::string out;
        for (int row = 0; row < dialog.Model()->rowCount(); ++row)
            out += std::to_string(dialog.Model()->RecordRow(row));
        return out;
    }
    static QString Count(const TSearchDialog& dialog) {
        return dialog.findChild<QLabel*>()->text();
    }

    std::unique_ptr<TClientDataSet> ds = Catalogue();
    TDataSource source{ds.get()};
};

TEST_F(TSearchDialogTest, TypingKeyByKeyListsWhatAFreshSearchLists) {
    TSearchDialog dialog(source, "Produto|Produto não cadastrado.");
    RunWith(dialog, [&] {
        ASSERT_EQ(QApplication::focusWidget(), dialog.FilterBox());
        for (const auto& search : kSearches) {
            Key(Qt::Key_A, Qt::ControlModifier);
            Key(Qt::Key_Backspace);
            Type(search.typed);
            EXPECT_EQ(Listed(dialog), search.rows) << search.typed;
        }
    });
}

TEST_F(TSearchDialogTest, CountsTheRowsAndEnterChoosesTheFirstListed) {
    TSearchDialog dialog(source, "Produto|Produto não cadastrado.");
    EXPECT_EQ(dialog.windowTitle(), "Pesquisar Produto");
    EXPECT_TRUE(RunWith(dialog, [&] {
        EXPECT_EQ(Count(dialog), "6 registros");
        Type("arroz 5kgx");
        EXPECT_EQ(Count(dialog), "Produto não cadastrado.");
        Key(Qt::Key_Backspace);
        EXPECT_EQ(Count(dialog), "2 de 6 registros");
        Key(Qt::Key_A, Qt::ControlModifier);
        Type("integral");
        EXPECT_EQ(Count(dialog), "3 de 6 registros");
        Key(Qt::Key_Down);
        Key(Qt::Key_Return);
    }));
    EXPECT_EQ(ds->RecNo(), 0);  // "INTEGRAL Açúcar" first, then "Arroz Integral"
}

TEST_F(TSearchDialogTest, EscLeavesTheRecordSetWhereItWas) {
    ds->MoveTo(1);
    TSearchDialog dialog(source, "arroz");
    EXPECT_EQ(dialog.FilterBox()->text(), "arroz");
    EXPECT_EQ(Listed(dialog), "01");
    EXPECT_FALSE(RunWith(dialog, [] { Key(Qt::Key_Escape); }));
    EXPECT_EQ(ds->RecNo(), 1);
}

TEST_F(TSearchDialogTest, EnterWithNothingListedChoosesNothing) {
    TSearchDialog dialog(source, "");
    EXPECT_FALSE(RunWith(dialog, [&] {
        Type("zzz");
        Key(Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
    }));
}

// The row action's key acts on the highlighted row once the dialog is closed, choosing nothing;
// without an action alive the same key is only a key of the filter box.
TEST_F(TSearchDialogTest, ARowActionsKeyClosesAndActsOnTheHighlightedRow) {
    const struct {
        const char* name;
        bool withAction;
        const char* typed;
        int acted;  // record row handed to the action, -1 none
        bool open;  // the dialog still open after the key
    } cases[] = {
        {"the second row listed", true, "arroz", 1, false},
        {"nothing listed", true, "zzz", -1, true},
        {"no action alive", false, "arroz", -1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ds->MoveTo(3);
        int acted = -1;
        std::optional<TSearchRowAction> action;
        if (c.withAction)
            action.emplace(QKeySequence(Qt::CTRL | Qt::Key_U), "Ctrl+U: onde é usado",
                           [&](int row) { acted = row; });
        TSearchDialog dialog(source, "");
        EXPECT_EQ(dialog.findChild<QLabel*>("lblAcaoLinha") != nullptr, c.withAction);
        bool open = false;
        EXPECT_FALSE(RunWith(dialog, [&] {
            Type(c.typed);
            Key(Qt::Key_Down);
            Key(Qt::Key_U, Qt::ControlModifier);
            open = dialog.isVisible();
        }));
        EXPECT_EQ(acted, c.acted);
        EXPECT_EQ(open, c.open);
        EXPECT_EQ(ds->RecNo(), 3) << "the record set stays where it was";
    }
}

TEST(PesquisarTest, AnInactiveRecordSetIsNotSearched) {
    TClientDataSet ds("cdsVazio", {{"CODIGO", 5, "", 0, true}});
    TDataSource source(&ds);
    EXPECT_FALSE(Pesquisar(source, "x", false, true));
    TDataSource detached;
    EXPECT_FALSE(Pesquisar(detached, "x", false, true));
}

TEST(TLocateDialogTest, FindsTheExactValueOrSaysSoAndStaysOpen) {
    TScriptedDialogs dialogs;
    auto ds = Catalogue();
    TLocateDialog dialog(*ds);
    ASSERT_EQ(dialog.FieldBox()->count(), 2);  // visible fields only
    dialog.FieldBox()->setCurrentIndex(1);
    dialog.ValueBox()->setText("chá mate integral");  // exact, with case
    EXPECT_FALSE(dialog.TryLocate());
    EXPECT_EQ(dialogs.Last(), "MessageDlg 2: Registro não encontrado.");
    EXPECT_EQ(ds->RecNo(), 0);
    dialog.ValueBox()->setText("Chá Mate Integral");
    EXPECT_TRUE(dialog.TryLocate());
    EXPECT_EQ(ds->RecNo(), 4);
}

TEST(ProcuraTest, GoesThroughTheDialogsOnlyForAnOpenRecordSet) {
    TScriptedDialogs dialogs;
    auto ds = Catalogue();
    dialogs.QueueProcura("CDARVPROD", "2.01.001.0001");
    EXPECT_TRUE(Procura(*ds));
    EXPECT_EQ(ds->RecNo(), 3);
    ds->Close();
    EXPECT_FALSE(Procura(*ds));
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{"Procura: cdsProdutos"});
}

}  // namespace
