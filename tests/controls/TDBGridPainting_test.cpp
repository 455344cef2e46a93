// The grid's painting and layout: each cell painted from its own row, the handler's canvas, and
// column settings and widths applied at once.
#include "TDBGridFixture.h"

#include <QHeaderView>
#include <QPainter>
#include <map>

#include "controls/TDBGridModel.h"

namespace {

TEST_F(TDBGridTest, EachCellIsPaintedWithItsOwnRowsValuesAndNothingMoves) {
    grid->SetSelectedIndex(1);
    ds->Edit();
    ds->FieldByName("NMPRODUTO").SetAsString("Editado");
    std::map<int, std::string> seen;  // painted row -> the name the handler read
    grid->OnDrawColumnCell = [&](QObject*, const QRect& rect, int, TColumn& column, int) {
        if (column.FieldName == "NMPRODUTO")
            seen[grid->rowAt(rect.center().y())] = column.Field()->AsString();
    };
    grid->grab();
    EXPECT_EQ(seen[0], "Editado");  // the current row shows its pending edit
    EXPECT_EQ(seen[1], "Chá");
    EXPECT_EQ(seen[2], "Mate");
    EXPECT_EQ(ds->RecNo(), 0);
    EXPECT_EQ(ds->State(), TDataSetState::dsEdit);
    EXPECT_EQ(ds->FieldByName("NMPRODUTO").AsString(), "Editado");
}

TEST_F(TDBGridTest, ColumnSettingsTakeEffectAtOnceWithACellOpen) {
    Type("9");
    ASSERT_NE(OpenEditor(), nullptr);
    const int width = OpenEditor()->width();
    grid->Columns()[0].ButtonStyle = cbsEllipsis;  // room for the button, the cell stays open
    ASSERT_NE(OpenEditor(), nullptr);
    EXPECT_LT(OpenEditor()->width(), width);
    grid->Columns()[0].ReadOnly = true;  // no typing any more: the cell closes unwritten
    EXPECT_EQ(OpenEditor(), nullptr);
    EXPECT_EQ(ds->FieldByName("CDARVPROD").AsString(), "1.01");
}

TEST_F(TDBGridTest, DrawColumnCellGetsTheCellAndABrushOfItsBackground) {
    std::vector<std::string> cells;
    bool sawSelected = false;
    grid->OnDrawColumnCell = [&](QObject*, const QRect& rect, int, TColumn& column,
                                 TGridDrawState state) {
        cells.push_back(column.FieldName);
        ASSERT_NE(grid->Canvas(), nullptr);
        if (state & gdSelected) sawSelected = true;
        grid->Canvas()->FillRect(rect);
    };
    grid->viewport()->repaint();
    EXPECT_EQ(cells.size(), 6u);
    EXPECT_TRUE(sawSelected);
    EXPECT_EQ(grid->Canvas(), nullptr);
}

TEST(TCanvasTest, BrushCopyDrawsTheTransparentColourInTheBrush) {
    QImage picture(4, 2, QImage::Format_RGB32);
    picture.fill(QColor(128, 128, 0));
    picture.setPixelColor(1, 0, Qt::black);
    QImage target(10, 4, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    TCanvas canvas(painter);
    canvas.Brush = QColor(0, 0, 255);
    canvas.BrushCopy(QRect(5, 0, 4, 4), picture, QRect(0, 0, 4, 4), QColor(128, 128, 0));
    painter.end();
    EXPECT_EQ(target.pixelColor(5, 0), QColor(0, 0, 255));
    EXPECT_EQ(target.pixelColor(6, 0), QColor(Qt::black));
    EXPECT_EQ(target.pixelColor(4, 0), QColor(Qt::white));  // outside the destination
    EXPECT_EQ(target.pixelColor(5, 3), QColor(Qt::white));  // below the picture: untouched
}

TEST_F(TDBGridTest, RecalcLayoutDuringAnEditKeepsTheEditorAndTheCursor) {
    ds->MoveTo(2);
    grid->SetSelectedIndex(1);
    grid->OnColEnter = [&](QObject*) { grid->Perform(TDBGrid::kRecalcLayoutMessage, 0, 0); };
    source.OnStateChange = [&](TDataSource&) {
        grid->Perform(TDBGrid::kRecalcLayoutMessage, 0, 0);
    };
    Type("Ab");
    grid->Perform(TDBGrid::kRecalcLayoutMessage, 0, 0);
    ASSERT_NE(OpenEditor(), nullptr);
    EXPECT_EQ(OpenEditor()->text(), "Ab");
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(2, 1));
    source.OnStateChange = nullptr;
}

TEST_F(TDBGridTest, RecalcLayoutAppliesWidthsAndDefaultsFromDisplayWidth) {
    grid->Columns()[1].Width = 0;
    grid->Perform(TDBGrid::kRecalcLayoutMessage, 0, 0);
    int expected = 50 * grid->fontMetrics().horizontalAdvance(QLatin1Char('0')) + 4;
    EXPECT_EQ(grid->columnWidth(0), 120);
    EXPECT_EQ(grid->columnWidth(1), expected);
    grid->horizontalHeader()->resizeSection(0, 150);  // the user widens a column
    ds->SetData(ds->Data());                          // a reload keeps it
    EXPECT_EQ(grid->columnWidth(0), 150);
    grid->Columns()[0].Title.Caption = "Produto";
    grid->RecalcLayoutAndRepaint();
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Produto");
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "Nome");
}

}  // namespace
