// The flag columns of both product grids: what is drawn is what is stored ("S" checked, anything
// else unchecked, 30 pixels from the cell's left edge over the cell's own background), and the
// space key and a double click switch them as their tables say.
#include <QTest>
#include <QToolButton>

#include "declarations/CheckImages.h"
#include "framework/FrameworkUtils.h"
#include "ScreenFixture.h"
#include "controls/TDBGrid.h"
#include "controls/TDBGridModel.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

namespace {

// Main products whose "Quantidade" holds the given values (JSON: "\"S\"", "null", ...).
std::string MainProductsWithFlags(const std::vector<std::string>& quantities) {
    std::string json =
        R"({"fields":[{"name":"CDARVPROD","size":20},{"name":"CDPRODUTO","size":10},)"
        R"({"name":"NMPRODUTO","size":50},{"name":"CDGRUSUGESPROD","size":10},)"
        R"({"name":"IDQUANTPRODPRINC","size":1},{"name":"IDTOTALPRODPRINC","size":1}],"rows":[)";
    for (std::size_t i = 0; i < quantities.size(); ++i)
        json += std::string(i ? "," : "") + "[\"1.0" + std::to_string(i) + "\",\"P" +
                std::to_string(i) + "\",\"Produto\",\"0000000001\"," + quantities[i] + ",\"S\"]";
    return json + "]}";
}

class Flags : public ScreenTest {
  protected:
    TfrmSugestaoProd& OpenWith(const std::vector<std::string>& quantities) {
        fake.on("GetArvProd").answerPacket(MainProductsWithFlags(quantities));
        fake.on("GetProdRelac").answerPacket(RelatedPacket(0));
        TfrmSugestaoProd& f = Open();
        EXPECT_TRUE(FocusOn(f, f.dbgPadrao));
        EXPECT_TRUE(f.pgcPadrao->TurnTo(f.pgcPadrao->indexOf(f.tshProduto)));
        EXPECT_TRUE(FocusOn(f, f.dbgProduto));
        return f;
    }

    // Whether picture is drawn at the cell's left + 30 with its olive replaced by the cell's
    // background (read where the picture does not reach).
    static bool Drawn(const QImage& shot, const QRect& cell, const QImage& picture) {
        const QRgb background = shot.pixel(cell.left() + 2, cell.top() + 2);
        const QRgb olive = declarations::CheckTransparentColor().rgb();
        const int rows = std::min(picture.height(), cell.height());
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb want = picture.pixel(x, y) == olive ? background : picture.pixel(x, y);
                if (shot.pixel(cell.left() + 30 + x, cell.top() + y) != want) return false;
            }
        return true;
    }
};

TEST_F(Flags, WhatIsDrawnIsWhatIsStoredInNormalAndSelectedCells) {
    TfrmSugestaoProd& f = OpenWith({"\"S\"", "\"N\"", "\"X\"", "null"});
    TDBGrid* grid = f.dbgProduto;
    const int column = IndiceCol(*grid, "IDQUANTPRODPRINC");
    grid->SetSelectedIndex(column);  // the first row's flag cell is the selected one
    const QImage shot = grid->viewport()->grab().toImage();
    const bool checked[] = {true, false, false, false};
    for (int row = 0; row < 4; ++row) {
        const QRect cell = grid->visualRect(grid->Model()->index(row, column));
        EXPECT_TRUE(Drawn(shot, cell, checked[row] ? f.imgCheck : f.imgUnCheck)) << row;
        EXPECT_FALSE(Drawn(shot, cell, checked[row] ? f.imgUnCheck : f.imgCheck)) << row;
    }
    const QRect selected = grid->visualRect(grid->Model()->index(0, column));
    const QRect normal = grid->visualRect(grid->Model()->index(1, column));
    EXPECT_NE(shot.pixel(selected.left() + 2, selected.top() + 2),
              shot.pixel(normal.left() + 2, normal.top() + 2));
}

TEST_F(Flags, SpaceAndDoubleClickSwitchAsTheirTablesSay) {
    enum class Act { Space, ShiftSpace, CtrlSpace, DoubleClick };
    struct Case {
        const char* stored;  // JSON of the value before
        Act act;
        bool editing;        // the row already in edit
        const char* after;
        TDataSetState state;
    } cases[] = {
        {"\"N\"", Act::Space, false, "S", TDataSetState::dsEdit},
        {"\"S\"", Act::Space, false, "N", TDataSetState::dsEdit},
        {"null", Act::Space, false, "S", TDataSetState::dsEdit},
        {"\"X\"", Act::Space, false, "N", TDataSetState::dsEdit},
        {"\"N\"", Act::ShiftSpace, false, "N", TDataSetState::dsBrowse},
        {"\"N\"", Act::CtrlSpace, false, "N", TDataSetState::dsBrowse},
        {"\"N\"", Act::DoubleClick, false, "S", TDataSetState::dsEdit},
        {"\"S\"", Act::DoubleClick, false, "N", TDataSetState::dsEdit},
        {"null", Act::DoubleClick, false, "S", TDataSetState::dsEdit},
        {"\"X\"", Act::DoubleClick, false, "X", TDataSetState::dsBrowse},
        {"\"S\"", Act::Space, true, "N", TDataSetState::dsEdit},
        {"\"N\"", Act::DoubleClick, true, "S", TDataSetState::dsEdit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + " act " + std::to_string(static_cast<int>(c.act)));
        TfrmSugestaoProd& f = OpenWith({c.stored});
        TDBGrid* grid = f.dbgProduto;
        const int column = IndiceCol(*grid, "IDQUANTPRODPRINC");
        grid->SetSelectedIndex(column);
        EXPECT_EQ(grid->Options.count(dgEditing), 0u);  // a flag column is never typed into
        if (c.editing) f.cdsArvProd.Edit();
        const QRect cell = grid->visualRect(grid->Model()->index(0, column));
        switch (c.act) {
            case Act::Space:
                QTest::keyClick(grid, Qt::Key_Space);
                break;
            case Act::ShiftSpace:
                QTest::keyClick(grid, Qt::Key_Space, Qt::ShiftModifier);
                break;
            case Act::CtrlSpace:
                QTest::keyClick(grid, Qt::Key_Space, Qt::ControlModifier);
                break;
            case Act::DoubleClick:
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
                break;
        }
        EXPECT_EQ(f.cdsArvProd.FieldByName("IDQUANTPRODPRINC").AsString(), c.after);
        EXPECT_EQ(f.cdsArvProd.State(), c.state);
        EXPECT_EQ(f.cdsArvProd.FieldByName("IDTOTALPRODPRINC").AsString(), "S");  // untouched
        f.cdsArvProd.Cancel();
        CloseScreen();
    }
}

TEST_F(Flags, AFlagOfARowBeingInsertedSwitchesInInsertAndOtherColumnsTakeTypingAgain) {
    TfrmSugestaoProd& f = OpenWith({"\"S\""});
    TDBGrid* grid = f.dbgProduto;
    f.sbtIncluir->click();
    grid->SetSelectedIndex(IndiceCol(*grid, "IDTOTALPRODPRINC"));
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(f.cdsArvProd.FieldByName("IDTOTALPRODPRINC").AsString(), "N");
    EXPECT_EQ(f.cdsArvProd.State(), TDataSetState::dsInsert);
    grid->SetSelectedIndex(IndiceCol(*grid, "NMPRODUTO"));
    EXPECT_EQ(grid->Options.count(dgEditing), 1u);
    f.cdsArvProd.Cancel();
}

}  // namespace
