// Page "Grupo" through the real widgets: the key filter of the code, the checks at column exit
// and before a post, and the save of every post and delete against the scriptable server.
#include <QTabBar>
#include <QTest>

#include "ScreenButtons.h"
#include "ScreenFixture.h"
#include "controls/TDBGrid.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

namespace {

class GroupPage : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        GroupLookUpsFindNothing();
    }


    // Each character goes where the keyboard focus is: the grid, or its open cell.
    static void Type(TDBGrid* grid, const QString& text) {
        for (QChar c : text) {
            QWidget* focus = QApplication::focusWidget();
            QWidget* target = focus && grid->isAncestorOf(focus) ? focus : grid;
            if (c == '\b')
                QTest::keyClick(target, Qt::Key_Backspace);
            else
                QTest::keyClicks(target, QString(c));
        }
    }

    // A new group row with the values given, typed column by column.
    void NewGroup(TfrmSugestaoProd& f, const QString& code, const QString& name,
                  const QString& order) {
        f.sbtIncluir->click();
        const QString values[] = {code, name, order};
        for (int column = 0; column < 3; ++column) {
            if (values[column].isEmpty()) continue;
            f.dbgPadrao->SetSelectedIndex(column);
            Type(f.dbgPadrao, values[column]);
            f.dbgPadrao->CommitEditor();
        }
    }

    static void Tab() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }

    static std::string Row(TfrmSugestaoProd& f) {
        return f.cdsGrupSegProd.FieldByName("CDGRUSUGESPROD").AsString() + "|" +
               f.cdsGrupSegProd.FieldByName("NMGRUSUGESPROD").AsString() + "|" +
               f.cdsGrupSegProd.FieldByName("NRORDEM").AsString();
    }
};

TEST_F(GroupPage, TheCodeTakesOnlyDigitsAndBackspaceOtherColumnsTakeEverything) {
    struct Case {
        int column;
        const char* typed;
        const char* field;
        const char* kept;
    } cases[] = {
        {0, "1a -2\b3", "CDGRUSUGESPROD", "13"},
        {1, "a -1", "NMGRUSUGESPROD", "a -1"},
        {2, "7x", "NRORDEM", "7x"},
    };
    for (const Case& c : cases) {
        TfrmSugestaoProd& f = OpenOnGroups();
        f.sbtIncluir->click();
        f.dbgPadrao->SetSelectedIndex(c.column);
        Type(f.dbgPadrao, QString::fromUtf8(c.typed));
        f.dbgPadrao->CommitEditor();
        EXPECT_EQ(f.cdsGrupSegProd.FieldByName(c.field).AsString(), c.kept) << c.typed;
        CloseScreen();
    }
}

TEST_F(GroupPage, ColumnExitIsLenientAndAPostChecksAllThreeInOrder) {
    struct Case {
        const char* name;
        const char* code;
        const char* groupName;
        const char* order;
        const char* taken;  // the look-up that finds a row, "" for none
        bool post;          // post (confirm) rather than leave the column being filled last
        const char* calls;
        const char* message;
        const char* cursorOn;
        const char* rowAfter;
    } cases[] = {
        {"empty code left", "", "", "", "", false, "", "", "NMGRUSUGESPROD", "||"},
        {"empty code posted", "", "", "", "", true, "", "MessageDlg 1: Código deve ser informado.",
         "CDGRUSUGESPROD", "||"},
        {"code normalised then the name missing", "12", "", "", "", true,
         R"(GetVerifGrupo("0000000012"))", "MessageDlg 1: Nome deve ser informado.",
         "NMGRUSUGESPROD", "0000000012||"},
        {"code taken at the column exit", "12", "", "", "GetVerifGrupo", false,
         R"(GetVerifGrupo("0000000012"))", "MessageDlg 1: Código já cadastrado.",
         "CDGRUSUGESPROD", "0000000012||"},
        {"order taken at the post", "12", "Doces", "4", "GetVerifOrd", true,
         R"(GetVerifGrupo("0000000012") GetNmGrupo("Doces") GetVerifOrd("4"))",
         "MessageDlg 1: Ordem já cadastrada.", "NRORDEM", "0000000012|Doces|4"},
        {"name taken by a new group", "12", "Doces", "", "GetNmGrupo", true,
         R"(GetVerifGrupo("0000000012") GetNmGrupo("Doces"))", "MessageDlg 1: Nome já cadastrado.",
         "NMGRUSUGESPROD", "0000000012|Doces|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrmSugestaoProd& f = OpenOnGroups();
        if (*c.taken) fake.on(c.taken).answerPacket(GroupsPacket(1));
        f.sbtIncluir->click();
        // Typed as a user does, Tab between the columns, stopping at the last value.
        const char* values[] = {c.code, c.groupName, c.order};
        int last = 2;
        while (last > 0 && !*values[last]) --last;
        for (int column = 0; column <= last; ++column) {
            if (column > 0) Tab();
            Type(f.dbgPadrao, QString::fromUtf8(values[column]));
        }
        fake.clearCalls();
        dialogs.Clear();
        if (c.post)
            f.sbtConfirmar->click();
        else
            Tab();  // leaving the code column
        EXPECT_EQ(Calls(), c.calls);
        EXPECT_EQ(dialogs.Last(), c.message);
        EXPECT_EQ(f.dbgPadrao->SelectedField()->FieldName(), c.cursorOn);
        EXPECT_EQ(f.cdsGrupSegProd.State(), TDataSetState::dsInsert);
        EXPECT_EQ(Row(f), c.rowAfter);
        if (*c.taken) fake.on(c.taken).answerPacket(GroupsPacket(0));
        f.cdsGrupSegProd.Cancel();
        CloseScreen();
    }
}

TEST_F(GroupPage, AnEditedGroupIsCheckedByNameOnlyAndMayFindItselfInAnotherCase) {
    struct Case {
        const char* former;
        const char* typed;
        std::vector<std::array<std::string, 3>> found;
        bool accepted;
    } cases[] = {
        {"Bebidas", "BEBIDAS", {{"0000000001", "bebidas", "1"}}, true},
        {"Pão", "Pães", {{"0000000001", "PÃO", "1"}}, false},  // only a to z change case
        {"Doces", "Salgados", {{"0000000002", "Salgados", "2"}}, false},
        {"Doces", "Doce", {{"0000000001", "DOCES", "1"}, {"0000000002", "Doce", "2"}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        fake.on("GetGrupSegProd").answerPacket(GroupsPacket({{"1", c.former, "1"}}));
        TfrmSugestaoProd& f = OpenOnGroups();
        fake.on("GetNmGrupo").answerPacket(GroupsPacket(c.found));
        f.cdsGrupSegProd.Edit();
        f.cdsGrupSegProd.FieldByName("NRORDEM").SetAsString("2");  // taken: not asked in edit
        f.cdsGrupSegProd.FieldByName("NMGRUSUGESPROD").SetAsString(c.typed);
        f.sbtConfirmar->click();
        std::string expected = std::string("GetNmGrupo(\"") + c.typed + "\")";
        if (c.accepted) expected += " SetGrupSegProd(log)";
        EXPECT_EQ(Calls(), expected);
        EXPECT_EQ(f.cdsGrupSegProd.State(),
                  c.accepted ? TDataSetState::dsBrowse : TDataSetState::dsEdit);
        EXPECT_EQ(f.cdsGrupSegProd.FieldByName("CDGRUSUGESPROD").AsString(), "0000000001");
        if (!c.accepted) {
            EXPECT_EQ(dialogs.Last(), "MessageDlg 1: Nome já cadastrado.");
            f.cdsGrupSegProd.Cancel();
        }
        CloseScreen();
    }
}

TEST_F(GroupPage, EverySaveGoesAtOnceAndAFailedOneLeavesTheLastSavedState) {
    enum class Server { Accepts, Refuses, Drops };
    enum class Change { Insert, Edit, Delete };
    struct Case {
        Change change;
        Server server;
        int rows;
        const char* current;  // the current row afterwards
        const char* message;
    } cases[] = {
        {Change::Insert, Server::Accepts, 4, "0000000009|Novo|9", ""},
        {Change::Insert, Server::Refuses, 3, "0000000001|Grupo 1|1",
         "MessageDlg 1: Código já cadastrado."},
        {Change::Edit, Server::Accepts, 3, "0000000001|Outro|1", ""},
        {Change::Edit, Server::Drops, 3, "0000000001|Grupo 1|1", "Error: "},
        {Change::Delete, Server::Accepts, 2, "0000000002|Grupo 2|2", ""},
        {Change::Delete, Server::Refuses, 3, "0000000002|Grupo 2|2",
         "MessageDlg 1: Código já cadastrado."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.change) * 10 + static_cast<int>(c.server));
        TfrmSugestaoProd& f = OpenOnGroups();
        if (c.server == Server::Refuses) fake.on("SetGrupSegProd").fail(-32000, "Código já cadastrado.");
        if (c.server == Server::Drops) fake.on("SetGrupSegProd").fault(FakeFault::CloseWithoutAnswer);
        if (c.change == Change::Insert) {
            NewGroup(f, "9", "Novo", "9");
            f.sbtConfirmar->click();
        } else if (c.change == Change::Edit) {
            f.sbtAlterar->click();
            f.cdsGrupSegProd.FieldByName("NMGRUSUGESPROD").SetAsString("Outro");
            f.sbtConfirmar->click();
        } else {
            f.sbtExcluir->click();  // answered Yes
        }
        EXPECT_EQ(fake.callsTo("SetGrupSegProd").size(), 1u);
        EXPECT_EQ(f.cdsGrupSegProd.ChangeCount(), 0);
        EXPECT_EQ(f.cdsGrupSegProd.State(), TDataSetState::dsBrowse);
        EXPECT_EQ(f.cdsGrupSegProd.RecordCount(), c.rows);
        EXPECT_EQ(Row(f), c.current);
        EXPECT_FALSE(AviShowing());
        EXPECT_EQ(dialogs.Last().substr(0, std::string(c.message).size()), c.message);
        if (*c.message == '\0') {
            EXPECT_EQ(dialogs.Count("Error"), 0);
        }
        EXPECT_EQ(Buttons(f), kBrowseWithRows);
        fake.on("SetGrupSegProd").answerNull().healed();
        CloseScreen();
    }
}

TEST_F(GroupPage, CancelAsksDropsTheChangeAndReturnsToTheRowCurrentBeforeTheInsert) {
    TfrmSugestaoProd& f = OpenOnGroups();
    f.cdsGrupSegProd.MoveTo(1);
    f.sbtIncluir->click();
    EXPECT_FALSE(f.tshProduto->Enabled());
    EXPECT_EQ(f.dbgPadrao->Columns()[0].ButtonStyle, cbsEllipsis);
    dialogs.QueueAnswer(mrNo);
    f.sbtCancelar->click();
    EXPECT_EQ(f.cdsGrupSegProd.State(), TDataSetState::dsInsert);
    f.sbtCancelar->click();  // answered Yes
    EXPECT_EQ(dialogs.Count("MessageDlg 3: "), 2);
    EXPECT_EQ(f.cdsGrupSegProd.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(Row(f), "0000000002|Grupo 2|2");
    EXPECT_EQ(f.dbgPadrao->currentIndex().row(), 1);
    EXPECT_EQ(f.dbgPadrao->Columns()[0].ButtonStyle, cbsNone);
    EXPECT_TRUE(f.tshProduto->Enabled());
    EXPECT_EQ(Buttons(f), kBrowseWithRows);
    EXPECT_EQ(Calls(), "");
}

TEST_F(GroupPage, LeavingTheGridPostsAndARefusalKeepsTheFocusOnTheFailingCell) {
    TfrmSugestaoProd& f = OpenOnGroups();
    NewGroup(f, "9", "", "9");
    fake.clearCalls();
    dialogs.Clear();
    QWidget* tabs = f.pgcPadrao->tabBar();
    FocusOn(f, tabs);  // elsewhere in the form
    EXPECT_EQ(dialogs.Last(), "MessageDlg 1: Nome deve ser informado.");
    EXPECT_EQ(f.ActiveControl(), f.dbgPadrao);
    EXPECT_EQ(f.dbgPadrao->SelectedField()->FieldName(), "NMGRUSUGESPROD");
    EXPECT_EQ(f.cdsGrupSegProd.State(), TDataSetState::dsInsert);

    f.cdsGrupSegProd.FieldByName("NMGRUSUGESPROD").SetAsString("Novo");
    fake.clearCalls();
    FocusOn(f, tabs);
    EXPECT_EQ(Calls(),
              R"(GetVerifGrupo("0000000009") GetNmGrupo("Novo") GetVerifOrd("9") SetGrupSegProd(log))");
    EXPECT_EQ(f.cdsGrupSegProd.State(), TDataSetState::dsBrowse);
}

TEST_F(GroupPage, TheKeyboardAloneKeepsGroups) {
    TfrmSugestaoProd& f = OpenOnGroups();
    QWidget* focus = f.dbgPadrao;
    auto key = [&](Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : focus;
        QTest::keyClick(target, k, mods);
    };
    key(Qt::Key_Insert);  // include
    ASSERT_EQ(f.cdsGrupSegProd.State(), TDataSetState::dsInsert);
    Type(f.dbgPadrao, "7");
    key(Qt::Key_Tab);
    Type(f.dbgPadrao, "Sete");
    key(Qt::Key_Tab);
    Type(f.dbgPadrao, "7");
    key(Qt::Key_F10);  // confirm takes the open cell first
    EXPECT_EQ(f.cdsGrupSegProd.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(Row(f), "0000000007|Sete|7");
    EXPECT_EQ(fake.callsTo("SetGrupSegProd").size(), 1u);

    key(Qt::Key_F2);  // change, then Esc twice: the cell, then the row (asking first)
    Type(f.dbgPadrao, "x");
    key(Qt::Key_Escape);
    EXPECT_EQ(f.cdsGrupSegProd.State(), TDataSetState::dsEdit);
    key(Qt::Key_Escape);
    EXPECT_EQ(dialogs.Last(), "MessageDlg 3: Cancela as alterações?");
    EXPECT_EQ(f.cdsGrupSegProd.State(), TDataSetState::dsBrowse);

    key(Qt::Key_Delete, Qt::ControlModifier);  // delete, answered Yes
    EXPECT_EQ(dialogs.Last(), "MessageDlg 3: Confirma exclusão?");
    EXPECT_EQ(fake.callsTo("SetGrupSegProd").size(), 2u);
    EXPECT_EQ(f.cdsGrupSegProd.RecordCount(), 3);
}

}  // namespace
