// Page "Grupo" against the real application server: groups created, renamed and deleted through
// the screen as a user does, duplicates refused with the screen's messages, and saves the server
// refuses because another user got there first. After every step the grid holds what the server
// holds.
#include "ScreenE2E.h"
#include "controls/TDBGrid.h"

namespace {

class GroupEdits : public ScreenE2E {
  protected:
    static std::string Error(const std::string& text) { return "MessageDlg 1: " + text; }
};

TEST_P(GroupEdits, CreateRenameAndDeleteKeepTheGridEqualToTheServer) {
    TfrmSugestaoProd& form = OpenScreen();
    const std::string demo = other->Groups();

    InsertGroup(form, "42", "Lanche da Tarde", "6");
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{});
    EXPECT_EQ(form.cdsGrupSegProd.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(form.cdsGrupSegProd.ChangeCount(), 0);
    EXPECT_EQ(SortedRows(form.cdsGrupSegProd), other->Groups());
    EXPECT_NE(other->Groups().find("0000000042|Lanche da Tarde|6\n"), std::string::npos);

    RenameGroup(form, "0000000042", "Lanche");
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{});
    EXPECT_EQ(SortedRows(form.cdsGrupSegProd), other->Groups());
    EXPECT_NE(other->Groups().find("0000000042|Lanche|6\n"), std::string::npos) << other->Groups();

    DeleteGroup(form, "0000000042");
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{"MessageDlg 3: Confirma exclusão?"});
    EXPECT_EQ(SortedRows(form.cdsGrupSegProd), other->Groups());
    EXPECT_EQ(other->Groups(), demo);
}

// The other fields hold free values, typed first; the duplicate is typed last and confirmed.
TEST_P(GroupEdits, NewGroupDuplicatingAnotherIsRefusedWithTheScreensMessage) {
    struct Case {
        const char* field;
        const char* value;
        const char* message;
    } cases[] = {
        {"CDGRUSUGESPROD", "1", "Código já cadastrado."},
        {"NMGRUSUGESPROD", "Churrasco", "Nome já cadastrado."},
        {"NMGRUSUGESPROD", "CAFÉ DA MANHÃ", "Nome já cadastrado."},
        {"NRORDEM", "2", "Ordem já cadastrada."},
    };
    const std::pair<const char*, const char*> free[] = {
        {"CDGRUSUGESPROD", "42"}, {"NMGRUSUGESPROD", "Lanche"}, {"NRORDEM", "6"}};
    TfrmSugestaoProd& form = OpenScreen();
    const std::string demo = other->Groups();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        dialogs.Clear();
        Click(form.sbtIncluir);
        const int row = form.cdsGrupSegProd.RecNo();
        for (const auto& [field, value] : free) {
            if (std::string(field) == c.field) continue;
            ClickCell(*form.dbgPadrao, row, field);
            Type(*form.dbgPadrao, value);
        }
        ClickCell(*form.dbgPadrao, row, c.field);
        Type(*form.dbgPadrao, c.value);
        Click(form.sbtConfirmar);

        EXPECT_EQ(dialogs.Log, std::vector<std::string>{Error(c.message)});
        EXPECT_EQ(form.cdsGrupSegProd.State(), TDataSetState::dsInsert);
        EXPECT_EQ(CurrentColumn(form), c.field);
        EXPECT_EQ(other->Groups(), demo);

        dialogs.QueueAnswer(mrYes);
        Click(form.sbtCancelar);
        EXPECT_EQ(form.cdsGrupSegProd.State(), TDataSetState::dsBrowse);
        EXPECT_EQ(SortedRows(form.cdsGrupSegProd), demo);
    }
}

TEST_P(GroupEdits, DuplicateCodeIsRefusedAlreadyWhenLeavingItsColumn) {
    TfrmSugestaoProd& form = OpenScreen();
    Click(form.sbtIncluir);
    Type(*form.dbgPadrao, "3");
    Key(*form.dbgPadrao, Qt::Key_Tab);
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{Error("Código já cadastrado.")});
    EXPECT_EQ(CurrentColumn(form), "CDGRUSUGESPROD");
    EXPECT_EQ(form.cdsGrupSegProd.FieldByName("CDGRUSUGESPROD").AsString(), "0000000003");
}

TEST_P(GroupEdits, RenameToAnotherGroupsNameIsRefusedButACaseChangeOfItsOwnIsSaved) {
    TfrmSugestaoProd& form = OpenScreen();
    const std::string demo = other->Groups();
    RenameGroup(form, "0000000002", "Festa Infantil");
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{Error("Nome já cadastrado.")});
    EXPECT_EQ(form.cdsGrupSegProd.State(), TDataSetState::dsEdit);
    dialogs.QueueAnswer(mrYes);
    Click(form.sbtCancelar);
    EXPECT_EQ(SortedRows(form.cdsGrupSegProd), demo);
    EXPECT_EQ(other->Groups(), demo);

    dialogs.Clear();
    RenameGroup(form, "0000000002", "CHURRASCO");
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{});
    EXPECT_EQ(SortedRows(form.cdsGrupSegProd), other->Groups());
    EXPECT_NE(other->Groups().find("0000000002|CHURRASCO|2\n"), std::string::npos);
}

TEST_P(GroupEdits, CancelThrowsAChangedNameAwayAndSendsNothing) {
    TfrmSugestaoProd& form = OpenScreen();
    const std::string demo = other->Groups();
    ClickCell(*form.dbgPadrao, GroupRow(form, "0000000002"), "NMGRUSUGESPROD");
    Click(form.sbtAlterar);
    Type(*form.dbgPadrao, "Lanche");
    dialogs.QueueAnswer(mrYes);
    Click(form.sbtCancelar);
    EXPECT_EQ(dialogs.Count("MessageDlg 3: "), 1) << dialogs.Last();
    EXPECT_EQ(form.cdsGrupSegProd.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(SortedRows(form.cdsGrupSegProd), demo);
    EXPECT_EQ(other->Groups(), demo);
}

E2E_BACKENDS(GroupEdits);

}  // namespace
