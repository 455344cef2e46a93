// The grid's rows under real key presses and clicks: typing starts an edit, leaving a row posts
// it, Esc cancels, Ctrl+Delete deletes, new rows come and go, and leaving the grid is told apart
// from a click that only borrows the focus.
#include "TDBGridFixture.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>

namespace {

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
        d.SetData(MakeProducts({{"1.03", "3", "Mate"},
                                {"1.02", "2", "Chá"},
                                {"1.00", "0", "Novo"},
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
