#pragma once
// The screen against the real application server over loopback, once per database the server
// runs on (the PostgreSQL run is skipped when VLP_TEST_PG is unset), driven as a user drives it:
// clicks on the tool buttons and the grid's cells, keys typed into the grid, dialogs answered by
// TScriptedDialogs. `other` is a second user on its own connection, who also reads what the
// server holds for the comparisons.

#include <QMainWindow>
#include <QToolButton>
#include <memory>

#include "ModalKeys.h"
#include "OtherUserE2E.h"
#include "RealServer.h"
#include "ScreenFixture.h"

class TDBGrid;

class ScreenE2E : public ScreenTest, public ::testing::WithParamInterface<TBackend> {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A server of its own on a fresh copy of the demo data; the next screen opened uses it.
    void StartServer();
    // Opens the screen on the server; the focus is in the group grid.
    TfrmSugestaoProd& OpenScreen();

    // What the user does. A disabled button or a missing row fails the test.
    void Click(QToolButton* button);
    void ClickCell(TDBGrid& grid, int row, const char* fieldName);
    void Type(TDBGrid& grid, const char* text);  // into the open cell, or opening one
    void Key(TDBGrid& grid, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // The current group row's cells from the code column on, Tab between them.
    void TypeGroup(TDBGrid& grid, const char* code, const char* name, const char* order);
    // Alt+R opens "Registro" from the focused widget, the letter chooses the item; the dialogs
    // that come are answered by steps, each of which must come.
    void ChooseFromMenu(TfrmSugestaoProd& form, Qt::Key letter, std::deque<ModalKeys::TStep> steps);
    // Include, type, confirm.
    void InsertGroup(TfrmSugestaoProd& form, const char* code, const char* name, const char* order);
    // Click the group's name cell, change, type, confirm.
    void RenameGroup(TfrmSugestaoProd& form, const char* code, const char* name);
    // Click the group's row, delete, answer Yes.
    void DeleteGroup(TfrmSugestaoProd& form, const char* code);

    // The row of the group with that code in the screen's grid; -1 when none.
    static int GroupRow(TfrmSugestaoProd& form, const char* code);
    // Runs `meanwhile` once, after the screen's checks of the next group post and before its
    // save: as when another user saves in between.
    static void BetweenChecksAndSave(TfrmSugestaoProd& form, std::function<void()> meanwhile);
    // The field of the group grid's current column; "" when none.
    static std::string CurrentColumn(TfrmSugestaoProd& form);

    // The row of dataSet whose field holds value; -1 when none.
    static int Row(const TClientDataSet& dataSet, const char* field, const std::string& value);
    // The same for any record set's posts: checks first, then `meanwhile`, then the save.
    static void BetweenChecksAndSave(TClientDataSet& dataSet, std::function<void()> meanwhile);
    // Page "Produto" for that group, as the user turns to it; the focus in the main products.
    void TurnToProducts(TfrmSugestaoProd& form, const std::string& group);
    // Both product lists of the screen against a fresh read of the same group and main product.
    void ExpectProductsAsOnServer(TfrmSugestaoProd& form);

    // From the next OpenScreen on, every call the screen sends is kept in `sent`.
    void RecordCalls();
    // The saves in `sent` with their operation codes, then cleared: "SetArvProd(D) ...".
    std::string TakeSaves();
    std::vector<FakeCall> sent;

    std::unique_ptr<QMainWindow> host;
    std::unique_ptr<RealServer> server;
    std::unique_ptr<OtherUserE2E> other;
};

std::string BackendName(const ::testing::TestParamInfo<TBackend>& info);

#define E2E_BACKENDS(Suite)                                                                        \
    INSTANTIATE_TEST_SUITE_P(Both, Suite, ::testing::Values(TBackend::Sqlite, TBackend::Postgres), \
                             BackendName)
