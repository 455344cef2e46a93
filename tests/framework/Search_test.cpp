// Pesquisar: the filter's matching rules, its model, and choosing a row with the keyboard.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "TestDataSets.h"
#include "StdDialogs.h"
#include "TDataSource.h"
#include "TLocateDialog.h"
#include "TScriptedDialogs.h"
#include "TSearchDialog.h"
#include "TSearchIndex.h"
#include "TSearchModel.h"

namespace {

std::unique_ptr<TClientDataSet> Catalogue() {
    return MakeProducts({{"1.01", "10", "Café Torrado"},
                         {"1.02", "20", "Chá Mate"},
                         {"2.01", "30", "AÇÚCAR cristal"},
                         {"2.02", "40", "Adoçante"}});
}

std::string Rows(TSearchIndex& index, const char* needle) {
    std::string out;
    for (int row : index.Filter(needle)) out += std::to_string(row);
    return out;
}

TEST(TSearchIndexTest, ContainsIgnoresCaseAndAccentsOverTheVisibleColumnsOnly) {
    auto ds = Catalogue();
    TSearchIndex index(*ds, {0, 2});
    EXPECT_EQ(Rows(index, ""), "0123");
    EXPECT_EQ(Rows(index, "cafe"), "0");
    EXPECT_EQ(Rows(index, "AÇU"), "2");
    EXPECT_EQ(Rows(index, "acucar"), "2");
    EXPECT_EQ(Rows(index, "a"), "0123");
    EXPECT_EQ(Rows(index, "ado"), "03");  // "torrADO", "ADOçante"
    EXPECT_EQ(Rows(index, "2.0"), "23");
    EXPECT_EQ(Rows(index, "30"), "");    // the hidden internal code is not searched
    EXPECT_EQ(Rows(index, "01ca"), "");  // no match across two columns
}

TEST(TSearchIndexTest, NarrowingAndWideningGiveTheSameAnswersAsAFreshSearch) {
    auto ds = Catalogue();
    TSearchIndex index(*ds, {0, 2});
    EXPECT_EQ(Rows(index, "c"), "0123");
    EXPECT_EQ(Rows(index, "ch"), "1");
    EXPECT_EQ(Rows(index, "cha"), "1");
    EXPECT_EQ(Rows(index, "c"), "0123");  // backspace
    EXPECT_EQ(Rows(index, "mate"), "1");
    EXPECT_EQ(Rows(index, "x"), "");
    EXPECT_EQ(Rows(index, ""), "0123");
}

TEST(TSearchModelTest, ShowsTheVisibleFieldsOfTheFilteredRows) {
    auto ds = Catalogue();
    TSearchModel model(*ds);
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Código");
    model.SetFilter("ado");
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(1, 1), Qt::DisplayRole).toString(), "Adoçante");
    EXPECT_EQ(model.RecordRow(1), 3);
    EXPECT_EQ(model.ModelRowOf(3), 1);
    EXPECT_EQ(model.ModelRowOf(1), -1);
}

class TSearchDialogTest : public ::testing::Test {
  protected:
    std::unique_ptr<TClientDataSet> ds = Catalogue();
    TDataSource source{ds.get()};
};

TEST_F(TSearchDialogTest, TypingFiltersDownMovesAndEnterChoosesTheRow) {
    TSearchDialog dialog(source, "Produto|Produto não cadastrado.");
    EXPECT_EQ(dialog.windowTitle(), "Pesquisar Produto");
    bool chosen = false;
    QTimer::singleShot(0, [&] {
        QTest::keyClicks(dialog.FilterBox(), "a");
        EXPECT_EQ(dialog.Model()->rowCount(), 4);
        QTest::keyClicks(dialog.FilterBox(), "do");
        EXPECT_EQ(dialog.Model()->rowCount(), 2);
        QTest::keyClick(dialog.FilterBox(), Qt::Key_Down);
        QTest::keyClick(dialog.FilterBox(), Qt::Key_Return);
    });
    chosen = dialog.Run();
    EXPECT_TRUE(chosen);
    EXPECT_EQ(ds->RecNo(), 3);
}

TEST_F(TSearchDialogTest, EscLeavesTheRecordSetWhereItWas) {
    ds->MoveTo(1);
    TSearchDialog dialog(source, "cafe");
    EXPECT_EQ(dialog.FilterBox()->text(), "cafe");
    EXPECT_EQ(dialog.Model()->rowCount(), 1);
    QTimer::singleShot(0, [&] { QTest::keyClick(dialog.FilterBox(), Qt::Key_Escape); });
    EXPECT_FALSE(dialog.Run());
    EXPECT_EQ(ds->RecNo(), 1);
}

TEST_F(TSearchDialogTest, EnterWithNothingListedChoosesNothing) {
    TSearchDialog dialog(source, "");
    QTimer::singleShot(0, [&] {
        QTest::keyClicks(dialog.FilterBox(), "zzz");
        QTest::keyClick(dialog.FilterBox(), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        dialog.reject();
    });
    EXPECT_FALSE(dialog.Run());
}

TEST(PesquisarTest, AnInactiveRecordSetIsNotSearched) {
    TClientDataSet ds("cdsVazio", {{"CODIGO", 5, "", 0, true}});
    TDataSource source(&ds);
    EXPECT_FALSE(Pesquisar(source, "x", false, true));
    TDataSource detached;
    EXPECT_FALSE(Pesquisar(detached, "x", false, true));
}

}  // namespace

namespace {

TEST(TLocateDialogTest, FindsTheExactValueOrSaysSoAndStaysOpen) {
    TScriptedDialogs dialogs;
    auto ds = Catalogue();
    TLocateDialog dialog(*ds);
    ASSERT_EQ(dialog.FieldBox()->count(), 2);  // visible fields only
    dialog.FieldBox()->setCurrentIndex(1);
    dialog.ValueBox()->setText("chá mate");  // exact, with case
    EXPECT_FALSE(dialog.TryLocate());
    EXPECT_EQ(dialogs.Last(), "MessageDlg 2: Registro não encontrado.");
    EXPECT_EQ(ds->RecNo(), 0);
    dialog.ValueBox()->setText("Chá Mate");
    EXPECT_TRUE(dialog.TryLocate());
    EXPECT_EQ(ds->RecNo(), 1);
}

TEST(ProcuraTest, GoesThroughTheDialogsOnlyForAnOpenRecordSet) {
    TScriptedDialogs dialogs;
    auto ds = Catalogue();
    dialogs.QueueProcura("CDARVPROD", "2.01");
    EXPECT_TRUE(Procura(*ds));
    EXPECT_EQ(ds->RecNo(), 2);
    ds->Close();
    EXPECT_FALSE(Procura(*ds));
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{"Procura: cdsProdutos"});
}

}  // namespace
