// The grid's standard behaviours, driven by real key presses and clicks.
#include "TDBGrid.h"

#include <gtest/gtest.h>

#include <map>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>

#include "EAbort.h"
#include "TestDataSets.h"
#include "TDBGridModel.h"
#include "TDataSource.h"
#include "TScriptedDialogs.h"

namespace {

class TDBGridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ds = MakeProducts({{"1.01", "1", "Café"}, {"1.02", "2", "Chá"}, {"1.03", "3", "Mate"}});
        source.SetDataSet(ds.get());
        grid = new TDBGrid(&window);
        other = new QLineEdit(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(grid);
        layout->addWidget(other);
        grid->Columns().Add("CDARVPROD", 120);
        grid->Columns().Add("NMPRODUTO", 200);
        grid->SetDataSource(&source);
        window.resize(500, 300);
        window.show();
        window.activateWindow();
        grid->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { grid->SetDataSource(nullptr); }

    QLineEdit* Editor() { return grid->findChild<QLineEdit*>(); }
    QLineEdit* OpenEditor() {  // closed editors linger hidden until deleted
        for (QLineEdit* e : grid->findChildren<QLineEdit*>())
            if (e->isVisible()) return e;
        return nullptr;
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* target = OpenEditor() ? static_cast<QWidget*>(OpenEditor()) : grid;
        QTest::keyClick(target, static_cast<Qt::Key>(key), mods);
    }
    // Each key goes where the keyboard focus is: the grid, or its editor once one is open.
    void Type(const char* text) {
        for (QChar c : QString::fromUtf8(text)) {
            QWidget* target = OpenEditor() ? static_cast<QWidget*>(OpenEditor()) : grid;
            QTest::keyClicks(target, QString(c));
        }
    }

    TScriptedDialogs dialogs;
    std::unique_ptr<TClientDataSet> ds;
    TDataSource source;
    QWidget window;
    TDBGrid* grid;
    QLineEdit* other;
};

TEST_F(TDBGridTest, TypingInABrowseRowStartsAnEditAndLeavingTheRowPosts) {
    grid->SetSelectedIndex(1);
    Type("X");
    EXPECT_EQ(ds->State(), TDataSetState::dsEdit);
    ASSERT_NE(OpenEditor(), nullptr);
    Type("is");
    Key(Qt::Key_Down);
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_EQ(Column(*ds, 2), "Xis,Chá,Mate");
    EXPECT_EQ(ds->ChangeCount(), 1);
}

TEST_F(TDBGridTest, EscClosesTheOpenCellFirstThenCancelsTheRowEdit) {
    Type("9");
    ASSERT_EQ(ds->State(), TDataSetState::dsEdit);
    Key(Qt::Key_Escape);
    EXPECT_EQ(OpenEditor(), nullptr);
    EXPECT_EQ(ds->State(), TDataSetState::dsEdit);
    EXPECT_EQ(Column(*ds, 0), "1.01,1.02,1.03");
    Key(Qt::Key_Escape);
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
}

TEST_F(TDBGridTest, ARefusedExitKeepsTheFocusAndHidingTheGridIsLeavingIt) {
    int enters = 0, exits = 0;
    grid->OnEnter = [&](QObject*) { ++enters; };
    grid->OnExit = [&](QObject*) {
        ++exits;
        if (ds->State() != TDataSetState::dsBrowse) ds->Post();
    };
    ds->BeforePost = [](TClientDataSet& d) {
        if (d.FieldByName("NMPRODUTO").AsString().empty())
            throw EDatabaseError("Nome deve ser informado.");
    };
    ds->Edit();
    ds->FieldByName("NMPRODUTO").SetAsString("");
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(enters, 0);
    EXPECT_TRUE(grid->hasFocus() || grid->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(ds->State(), TDataSetState::dsEdit);
    EXPECT_EQ(dialogs.Last(), "Error: Nome deve ser informado.");

    ds->FieldByName("NMPRODUTO").SetAsString("Café");
    grid->hide();  // the page holding the grid turned away
    QApplication::processEvents();
    EXPECT_EQ(exits, 2);
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
}

TEST_F(TDBGridTest, ACancelledInsertGivesTheCursorBackToTheRowItWasInsertedBefore) {
    for (int from : {0, 1, 2}) {
        ds->MoveTo(from);
        ds->Insert();
        ds->Cancel();
        EXPECT_EQ(ds->RecNo(), from);
        EXPECT_EQ(grid->currentIndex().row(), from);
    }
}

// Per-column settings made on entering a column (a flag column not typed into) must hold however
// the cursor arrives; only the user leaving a column runs its exit checks.
TEST_F(TDBGridTest, FocusControlRaisesColumnEnterButNotColumnExit) {
    std::string events;
    grid->OnColExit = [&](QObject*) { events += "exit "; };
    grid->OnColEnter = [&](QObject*) {
        events += "enter:" + grid->SelectedField()->FieldName() + " ";
    };
    ds->FieldByName("NMPRODUTO").FocusControl();
    EXPECT_EQ(grid->SelectedField()->FieldName(), "NMPRODUTO");
    EXPECT_EQ(events, "enter:NMPRODUTO ");
    ds->FieldByName("NMPRODUTO").FocusControl();  // already there: nothing entered
    EXPECT_EQ(events, "enter:NMPRODUTO ");
    grid->SetSelectedIndex(0);  // a move the user asks for raises both
    EXPECT_EQ(events, "enter:NMPRODUTO exit enter:CDARVPROD ");
}

TEST_F(TDBGridTest, RefusedPostKeepsTheCursorOnTheRowAndReportsTheError) {
    ds->BeforePost = [](TClientDataSet&) { throw EDatabaseError("Nome deve ser informado."); };
    grid->SetSelectedIndex(1);
    Type("Z");
    Key(Qt::Key_Down);
    EXPECT_EQ(ds->RecNo(), 0);
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_EQ(ds->State(), TDataSetState::dsEdit);
    EXPECT_EQ(dialogs.Last(), "Error: Nome deve ser informado.");
}

TEST_F(TDBGridTest, CtrlDeleteAsksAndDeletesOnlyWhenConfirmed) {
    dialogs.QueueAnswer(mrNo);
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ds->RecordCount(), 3);
    EXPECT_EQ(dialogs.Last(), "MessageDlg 3: Confirma exclusão?");
    dialogs.QueueAnswer(mrYes);
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Column(*ds, 0), "1.02,1.03");

    grid->Options.erase(dgConfirmDelete);
    dialogs.Clear();
    ds->Edit();  // a row being edited is confirmed or cancelled, not deleted
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ds->RecordCount(), 2);
    ds->Cancel();
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ds->RecordCount(), 1);
    EXPECT_TRUE(dialogs.Log.empty());
}

TEST_F(TDBGridTest, DownOnTheLastRowAppendsOnceAndLeavingTheGridCancelsTheUntouchedRow) {
    int exits = 0;
    grid->OnExit = [&](QObject*) { ++exits; };
    ds->Last();
    Key(Qt::Key_Down);
    EXPECT_EQ(ds->State(), TDataSetState::dsInsert);
    EXPECT_EQ(ds->RecordCount(), 4);
    Key(Qt::Key_Down);  // an untouched new row is not followed by another
    EXPECT_EQ(ds->RecordCount(), 4);
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds->RecordCount(), 3);
}

TEST_F(TDBGridTest, LeavingTheGridKeepsATouchedNewRowAndEnterIsRaisedOnReturn) {
    int enters = 0;
    grid->OnEnter = [&](QObject*) { ++enters; };
    ds->Last();
    Key(Qt::Key_Down);
    Type("4.04");
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(ds->State(), TDataSetState::dsInsert);
    EXPECT_EQ(ds->FieldByName("CDARVPROD").AsString(), "4.04");  // the typed value was kept
    grid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(enters, 1);
}

TEST_F(TDBGridTest, MovingOffAnUntouchedNewRowDropsItInsteadOfPostingIt) {
    ds->MoveTo(1);
    ds->Insert();
    ASSERT_EQ(ds->RecordCount(), 4);
    Key(Qt::Key_Up);
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(Column(*ds, 0), "1.01,1.02,1.03");
    EXPECT_EQ(ds->RecNo(), 0);
    EXPECT_EQ(grid->currentIndex().row(), 0);
}

// A save that reads the list again on the post reorders the rows under the click that posted.
TEST_F(TDBGridTest, ClickingAnotherRowToPostANewOneLandsOnTheRowClicked) {
    ds->AfterPost = [](TClientDataSet& d) {
        d.SetData(MakeProducts({{"1.03", "3", "Mate"}, {"1.02", "2", "Chá"}, {"1.00", "0", "Novo"},
                                {"1.01", "1", "Café"}})
                      ->Data());
        d.Locate("NMPRODUTO", "Novo");
    };
    ds->MoveTo(1);
    ds->Insert();  // before "Chá": rows Café, (new), Chá, Mate
    grid->SetSelectedIndex(1);
    Type("Novo");
    const QRect mate = grid->visualRect(grid->model()->index(3, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, mate.center());
    EXPECT_EQ(ds->FieldByName("NMPRODUTO").AsString(), "Mate");
    EXPECT_EQ(grid->currentIndex().row(), ds->RecNo());
}

TEST_F(TDBGridTest, RowsWithChangesWaitingForTheServerAreMarkedWithTheHint) {
    auto marks = [&] {
        std::string out;
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            const QModelIndex cell = grid->model()->index(row, 1);
            out += cell.data(Qt::BackgroundRole).isValid() ? "*" : "-";
            out += cell.data(Qt::ToolTipRole).toString().toStdString();
        }
        return out;
    };
    ds->MoveTo(1);
    ds->Edit();
    ds->FieldByName("NMPRODUTO").SetAsString("Chá verde");
    ds->Post();
    EXPECT_EQ(marks(), "---") << "no hint, no mark: a save under way is not a failure";
    grid->SetPendingChangesHint("Recusado.");
    EXPECT_EQ(marks(), "-*Recusado.-");
    ds->MergeChangeLog();
    EXPECT_EQ(marks(), "---");
}

TEST_F(TDBGridTest, TabMovesAcrossColumnsThenToTheNextRow) {
    std::string entered;
    grid->OnColEnter = [&](QObject*) { entered += grid->SelectedField()->FieldName() + " "; };
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(1, 0));
    EXPECT_EQ(ds->RecNo(), 1);
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(0, 1));
    EXPECT_EQ(entered, "NMPRODUTO CDARVPROD NMPRODUTO ");
}

TEST_F(TDBGridTest, ReadOnlyColumnsAndTheEditingOptionBlockTyping) {
    grid->Columns()[0].ReadOnly = true;
    Type("7");
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    grid->SetSelectedIndex(1);
    grid->Options.erase(dgEditing);
    Type("7");
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(OpenEditor(), nullptr);
    grid->Options.insert(dgEditing);
    Type("7");
    EXPECT_EQ(ds->State(), TDataSetState::dsEdit);
}

TEST_F(TDBGridTest, ColExitThatThrowsKeepsTheCursorInTheColumn) {
    std::string log;
    grid->OnColExit = [&](QObject*) {
        log += "exit:" + grid->SelectedField()->FieldName() + " ";
        throw EAbort();
    };
    grid->OnColEnter = [&](QObject*) { log += "enter "; };
    Key(Qt::Key_Right);
    EXPECT_EQ(grid->SelectedIndex(), 0);
    EXPECT_EQ(grid->currentIndex().column(), 0);
    EXPECT_EQ(log, "exit:CDARVPROD ");
    EXPECT_TRUE(dialogs.Log.empty());  // a silent abort shows nothing

    grid->OnColExit = [&](QObject*) { log += "ok "; };
    Key(Qt::Key_Right);
    EXPECT_EQ(grid->SelectedField()->FieldName(), "NMPRODUTO");
    EXPECT_EQ(log, "exit:CDARVPROD ok enter ");
}

TEST_F(TDBGridTest, KeyPressCanDropOrReplaceTypedCharacters) {
    grid->OnKeyPress = [](QObject*, char32_t& key) {
        if (key == U'a') key = 0;
        if (key == U'b') key = U'B';
    };
    grid->SetSelectedIndex(1);
    Type("a");
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    Type("xab");
    ASSERT_NE(OpenEditor(), nullptr);
    EXPECT_EQ(OpenEditor()->text(), "xB");
    Key(Qt::Key_Return);
    EXPECT_EQ(ds->FieldByName("NMPRODUTO").AsString(), "xB");
}

// The key filter sees every way text enters an open cell, not only keys typed one by one.
TEST_F(TDBGridTest, KeyPressFiltersEveryWayTextEntersTheCell) {
    const std::pair<const char*, std::function<void(QLineEdit&)>> entries[] = {
        {"typed", [&](QLineEdit&) { Type("2ab"); }},
        {"Ctrl+V", [](QLineEdit& e) { QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier); }},
        {"Shift+Insert",
         [](QLineEdit& e) { QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier); }},
        {"context menu", [](QLineEdit& e) { e.paste(); }},
        {"drop",
         [](QLineEdit& e) {
             QMimeData data;
             data.setText("2ab");
             QDropEvent drop(QPointF(e.rect().center()), Qt::CopyAction, &data, Qt::LeftButton,
                             Qt::NoModifier);
             // Straight to the editor: the application passes on only drops of a real drag.
             static_cast<QObject&>(e).event(&drop);
         }},
        {"input method",
         [](QLineEdit& e) {
             QInputMethodEvent commit;
             commit.setCommitString("2ab");
             QApplication::sendEvent(&e, &commit);
         }},
    };
    grid->OnKeyPress = [](QObject*, char32_t& key) {
        if (key == U'a') key = 0;
        if (key == U'b') key = U'B';
    };
    grid->SetSelectedIndex(1);
    for (const auto& [how, enter] : entries) {
        QApplication::clipboard()->setText("2ab");
        Type("1");
        ASSERT_NE(OpenEditor(), nullptr) << how;
        enter(*OpenEditor());
        EXPECT_EQ(OpenEditor()->text(), "12B") << how;
        EXPECT_TRUE(grid->CommitEditor());
        EXPECT_EQ(ds->FieldByName("NMPRODUTO").AsString(), "12B") << how;
        Key(Qt::Key_Escape);
    }
}

TEST_F(TDBGridTest, EnterIsOfferedToTheKeyFilterBeforeItTakesTheCell) {
    bool dropEnter = true;
    grid->OnKeyPress = [&](QObject*, char32_t& key) {
        if (key == VK_RETURN && dropEnter) key = 0;
    };
    grid->SetSelectedIndex(1);
    Type("X");
    Key(Qt::Key_Return);
    ASSERT_NE(OpenEditor(), nullptr) << "a dropped Enter takes nothing";
    EXPECT_EQ(ds->FieldByName("NMPRODUTO").AsString(), "Café");
    dropEnter = false;
    Key(Qt::Key_Return);
    EXPECT_EQ(OpenEditor(), nullptr);
    EXPECT_EQ(ds->FieldByName("NMPRODUTO").AsString(), "X");
}

TEST_F(TDBGridTest, KeyDownSeesVirtualKeysAndCanSwallowThem) {
    std::string seen;
    grid->OnKeyDown = [&](QObject*, int& key, TShiftState shift) {
        seen += std::to_string(key) + (shift & ssCtrl ? "c " : " ");
        if (key == VK_SPACE) key = 0;
    };
    Key(Qt::Key_Space);
    Key(Qt::Key_Space, Qt::ControlModifier);
    Key(Qt::Key_Down);
    EXPECT_EQ(seen, "32 17c 32c 40 ");  // Ctrl itself is a key down too
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
}

TEST_F(TDBGridTest, EllipsisRaisesEditButtonClickByKeyAndByClick) {
    int clicks = 0;
    grid->OnEditButtonClick = [&](QObject*) { ++clicks; };
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 0);  // no ellipsis on this column
    grid->Columns()[0].ButtonStyle = cbsEllipsis;
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 1);
    QRect cell = grid->visualRect(grid->currentIndex());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      QPoint(cell.right() - 4, cell.center().y()));
    EXPECT_EQ(clicks, 2);
}

TEST_F(TDBGridTest, EachCellIsPaintedWithItsOwnRowsValuesAndNothingMoves) {
    grid->SetSelectedIndex(1);
    ds->Edit();
    ds->FieldByName("NMPRODUTO").SetAsString("Editado");
    std::map<int, std::string> seen;  // painted row -> the name the handler read
    grid->OnDrawColumnCell = [&](QObject*, const QRect& rect, int, TColumn& column, int) {
        if (column.FieldName == "NMPRODUTO") seen[grid->rowAt(rect.center().y())] =
            column.Field()->AsString();
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

TEST_F(TDBGridTest, TheButtonFillsTheCellWithTheChoiceNotWithWhatWasTyped) {
    grid->Columns()[0].ButtonStyle = cbsEllipsis;
    grid->OnEditButtonClick = [&](QObject*) { ds->FieldByName("CDARVPROD").SetAsString("7.77"); };
    Type("12");
    ASSERT_NE(OpenEditor(), nullptr);
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(OpenEditor(), nullptr);
    Key(Qt::Key_Down);  // leaving the row posts it
    EXPECT_EQ(Column(*ds, 0), "7.77,1.02,1.03");
}

TEST_F(TDBGridTest, TooLongValueIsReportedAndTheEditorKeepsTheText) {
    grid->SetSelectedIndex(1);
    ds->Edit();
    // The editor caps typing at the field size; a longer value can only come from outside.
    Type("a");
    ASSERT_NE(OpenEditor(), nullptr);
    EXPECT_EQ(OpenEditor()->maxLength(), 50);
    OpenEditor()->setMaxLength(100);
    OpenEditor()->setText(QString(60, QLatin1Char('y')));
    OpenEditor()->setModified(true);
    EXPECT_FALSE(grid->CommitEditor());
    ASSERT_NE(OpenEditor(), nullptr);
    EXPECT_EQ(OpenEditor()->text().size(), 60);
    EXPECT_EQ(dialogs.Count("Error: "), 1);
    EXPECT_EQ(ds->FieldByName("NMPRODUTO").AsString(), "Café");
}

TEST_F(TDBGridTest, EditMaskAppliesToTypingAndHalfFilledValuesAreRefused) {
    ds->FieldByName("CDARVPROD").EditMask = "9.99;_";
    Type("12");
    ASSERT_NE(OpenEditor(), nullptr);
    EXPECT_FALSE(grid->CommitEditor());
    Type("3");
    EXPECT_TRUE(grid->CommitEditor());
    EXPECT_EQ(ds->FieldByName("CDARVPROD").AsString(), "1.23");
}

TEST_F(TDBGridTest, FocusControlPutsTheCursorOnTheFieldsCell) {
    ds->MoveTo(2);
    ds->FieldByName("NMPRODUTO").FocusControl();
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_EQ(grid->SelectedField()->FieldName(), "NMPRODUTO");
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
    grid->OnColEnter = [&](QObject*) { grid->Perform(45070, 0, 0); };
    source.OnStateChange = [&](TDataSource&) { grid->Perform(45070, 0, 0); };
    Type("Ab");
    grid->Perform(45070, 0, 0);
    ASSERT_NE(OpenEditor(), nullptr);
    EXPECT_EQ(OpenEditor()->text(), "Ab");
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(2, 1));
    source.OnStateChange = nullptr;
}

TEST_F(TDBGridTest, RecalcLayoutAppliesWidthsAndDefaultsFromDisplayWidth) {
    grid->Columns()[1].Width = 0;
    grid->Perform(45070, 0, 0);
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

namespace {

// In the host the grid lives in an MDI child: a click on a tool button that takes no focus
// lends the focus to the child's frame for an instant, which is not leaving the grid.
TEST(TDBGridInMdi, AClickOnAToolButtonIsNotLeavingTheGrid) {
    QMainWindow main;
    auto* mdi = new QMdiArea;
    main.setCentralWidget(mdi);
    auto* form = new QWidget;
    auto* button = new QToolButton(form);
    button->setFocusPolicy(Qt::NoFocus);
    button->setText("Confirmar");
    auto* grid = new TDBGrid(form);
    auto* layout = new QVBoxLayout(form);
    layout->addWidget(button);
    layout->addWidget(grid);
    auto ds = MakeProducts({{"1.01", "1", "Café"}});
    TDataSource source(ds.get());
    grid->Columns().Add("NMPRODUTO", 200);
    grid->SetDataSource(&source);
    int exits = 0;
    grid->OnExit = [&](QObject*) { ++exits; };
    mdi->addSubWindow(form)->show();
    main.resize(600, 400);
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    grid->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(grid->hasFocus());
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(grid->hasFocus());
    grid->SetDataSource(nullptr);
}

}  // namespace
