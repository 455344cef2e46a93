// The grid's model adapter: Qt's model checker over every kind of record-set change, and the
// translation of notifications into model signals.
#include "controls/TDBGridModel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "support/TestDataSets.h"
#include "controls/TDBGridColumn.h"
#include "dataaccess/TDataSource.h"

namespace {

class TDBGridModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ds = MakeProducts({{"1.01", "1", "Café"}, {"1.02", "2", "Chá"}});
        source.SetDataSet(ds.get());
        model.SetDataSource(&source);
    }
    void TearDown() override { model.SetDataSource(nullptr); }

    std::unique_ptr<TClientDataSet> ds;
    TDataSource source;
    TDBGridColumns columns;
    TDBGridModel model{columns};
};

TEST_F(TDBGridModelTest, PassesTheModelTesterThroughEditsInsertsDeletesAndReloads) {
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ds->Edit();
    ds->FieldByName("NMPRODUTO").SetAsString("Café forte");
    ds->Post();
    ds->Append();
    ds->FieldByName("CDARVPROD").SetAsString("1.03");
    ds->Post();
    ds->Insert();
    ds->Cancel();
    ds->First();
    ds->Delete();
    ds->SetData(MakeProducts({{"9", "9", "Nove"}})->Data());
    ds->Close();
    ds->Open();
    source.SetDataSet(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(TDBGridModelTest, DefaultColumnsAreTheVisibleFieldsWithTheirLabels) {
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Código");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Nome");
    EXPECT_EQ(model.data(model.index(1, 1), Qt::DisplayRole).toString(), "Chá");
}

TEST_F(TDBGridModelTest, HiddenColumnsAreSkippedAndAColumnMayShowAHiddenField) {
    columns.Clear();
    columns.Add("CDPRODUTO");
    columns.Add("NMPRODUTO").Visible = false;
    columns.Add("NOSUCHFIELD");
    model.RelayoutColumns();
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), "1");
    EXPECT_EQ(model.ColumnIndexOf(1), 2);
    EXPECT_EQ(model.ModelColumnOf(1), -1);
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);  // no field behind it
    EXPECT_FALSE(model.data(model.index(0, 1), Qt::DisplayRole).toString().size());
}

TEST_F(TDBGridModelTest, AnEditedValueIsAnnouncedForItsRowOnly) {
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    ds->MoveTo(1);
    ds->Edit();
    ds->FieldByName("NMPRODUTO").SetAsString("Chá verde");
    ASSERT_GE(changed.count(), 1);
    EXPECT_EQ(changed.last().at(0).value<QModelIndex>().row(), 1);
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(model.data(model.index(1, 1), Qt::DisplayRole).toString(), "Chá verde");
}

TEST_F(TDBGridModelTest, SetDataWritesTheFieldAndKeepsARefusalForTheGrid) {
    EXPECT_TRUE(model.setData(model.index(0, 1), QString("Café moído"), Qt::EditRole));
    EXPECT_EQ(ds->State(), TDataSetState::dsEdit);
    EXPECT_EQ(ds->FieldByName("NMPRODUTO").AsString(), "Café moído");
    EXPECT_FALSE(model.setData(model.index(0, 1), QString(51, QLatin1Char('x')), Qt::EditRole));
    EXPECT_TRUE(model.LastError);
    EXPECT_EQ(ds->FieldByName("NMPRODUTO").AsString(), "Café moído");
}

TEST_F(TDBGridModelTest, ANullValueShowsBlank) {
    ds->Edit();
    ds->FieldByName("NMPRODUTO").Clear();
    EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString(), "");
}

}  // namespace
