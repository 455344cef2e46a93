// The grid's cells under real key presses and clicks: how the cursor enters and leaves a column,
// and every way text enters a cell, through the key filters, the button, the size and the mask.
#include "TDBGridFixture.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <functional>

namespace {

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

TEST_F(TDBGridTest, FocusControlPutsTheCursorOnTheFieldsCell) {
    ds->MoveTo(2);
    ds->FieldByName("NMPRODUTO").FocusControl();
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_EQ(grid->SelectedField()->FieldName(), "NMPRODUTO");
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

}  // namespace
