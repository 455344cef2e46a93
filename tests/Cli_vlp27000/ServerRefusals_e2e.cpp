// Saves the real application server refuses although the screen's checks passed: another user on
// another connection saved first, or the group still has products. The screen shows the server's
// message and drops the refused change, so its grid holds what it held before; verify then
// brings it level with the server.
#include "ScreenE2E.h"
#include "controls/TDBGrid.h"

namespace {

constexpr const char* kChangedMeanwhile =
    "O registro foi alterado por outro usuário. Atualize a lista e tente novamente.";
constexpr const char* kHasProducts =
    "O grupo possui produtos principais e não pode ser excluído. Exclua os produtos primeiro.";

class ServerRefusals : public ScreenE2E {};

TEST_P(ServerRefusals, RefusedSaveShowsTheServersMessageAndDropsTheChange) {
    enum class Action { Insert, Rename, Delete };
    struct Case {
        const char* what;
        Action action;
        const char* code;  // of the group the screen inserts, renames or deletes
        const char* name;  // inserted or new name
        const char* order;
        std::function<std::string(OtherUserE2E&)> otherUser;  // "ok" when it saved
        const char* message;
    } cases[] = {
        {"same code saved between the checks and the save", Action::Insert, "42", "Lanche", "6",
         [](OtherUserE2E& o) { return o.InsertGroup("0000000042", "Merenda", "7"); },
         "Código já cadastrado."},
        {"same name saved between the checks and the save", Action::Insert, "43", "Ceia", "8",
         [](OtherUserE2E& o) { return o.InsertGroup("0000000044", "ceia", "9"); },
         "Nome já cadastrado."},
        {"same order saved between the checks and the save", Action::Insert, "45", "Jantar", "10",
         [](OtherUserE2E& o) { return o.InsertGroup("0000000046", "Almoço", "10"); },
         "Ordem já cadastrada."},
        {"group renamed between the checks and the save", Action::Rename, "0000000003", "Lar", "",
         [](OtherUserE2E& o) { return o.RenameGroup("0000000003", "Faxina"); }, kChangedMeanwhile},
        {"group deleted before this screen deletes it", Action::Delete, "0000000050", "", "",
         [](OtherUserE2E& o) { return o.DeleteGroup("0000000050"); }, kChangedMeanwhile},
        {"group that still has products", Action::Delete, "0000000001", "", "", nullptr,
         kHasProducts},
    };
    ASSERT_EQ(other->InsertGroup("0000000050", "Avulso", "50"), "ok");
    TfrmSugestaoProd& form = OpenScreen();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.Clear();
        const std::string before = SortedRows(form.cdsGrupSegProd);
        std::string otherSaved = "not run";
        std::vector<std::string> expected{"MessageDlg 1: " + std::string(c.message)};
        auto otherUser = [&] { otherSaved = c.otherUser ? c.otherUser(*other) : "ok"; };
        switch (c.action) {
            case Action::Insert:
                BetweenChecksAndSave(form, otherUser);
                InsertGroup(form, c.code, c.name, c.order);
                break;
            case Action::Rename:
                BetweenChecksAndSave(form, otherUser);
                RenameGroup(form, c.code, c.name);
                break;
            case Action::Delete:
                otherUser();
                DeleteGroup(form, c.code);
                expected.insert(expected.begin(), "MessageDlg 3: Confirma exclusão?");
                break;
        }
        EXPECT_EQ(otherSaved, "ok");
        EXPECT_EQ(dialogs.Log, expected);
        EXPECT_EQ(form.cdsGrupSegProd.State(), TDataSetState::dsBrowse);
        EXPECT_EQ(form.cdsGrupSegProd.ChangeCount(), 0);
        EXPECT_EQ(SortedRows(form.cdsGrupSegProd), before);

        Click(form.sbtVerificar);
        EXPECT_EQ(SortedRows(form.cdsGrupSegProd), other->Groups());
    }
}

E2E_BACKENDS(ServerRefusals);

}  // namespace
