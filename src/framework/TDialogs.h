#pragma once
// The seam between the framework and the user's eyes: every modal dialog the framework or a screen
// shows goes through the current TDialogs. The default shows Qt dialogs; tests install scripted
// ones (tests/support/TScriptedDialogs.h) that answer as told and record what was shown.
// UI thread only.

#include <optional>
#include <string>

#include "framework/MsgDlg.h"
#include "dataaccess/TSignInRequest.h"

class TClientDataSet;
class TDataSource;

class TDialogs {
  public:
    virtual ~TDialogs();

    // A modal message box; returns the TModalResult of the button pressed (Esc gives mrCancel,
    // or mrNo when there is no Cancel button).
    virtual int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                           int helpContext) = 0;
    // The application's standard error report (uncaught errors, failed creation).
    virtual void ShowError(const std::string& text) = 0;
    // Modal search over the data source's record set; true when a row was chosen, which is then
    // the record set's current row. text is "title|hint" or a plain initial filter.
    virtual bool Pesquisar(TDataSource& source, const std::string& text, bool multiSelect,
                           bool showFilter) = 0;
    // The locate dialog: field plus value, located in the record set; true when found.
    virtual bool Procura(TClientDataSet& dataSet) = 0;
    // The sign-in dialog for a server that refused who calls; nullopt when cancelled.
    virtual std::optional<TCredentials> SignIn(const TSignInRequest& request) = 0;
    // The standard file dialogs: the path chosen (UTF-8), nullopt when cancelled. filter as Qt
    // writes it ("Arquivos CSV (*.csv)"); suggested is the name offered. Saving asks before
    // replacing a file that exists.
    virtual std::optional<std::string> SaveFileName(const std::string& caption,
                                                    const std::string& suggested,
                                                    const std::string& filter) = 0;
    virtual std::optional<std::string> OpenFileName(const std::string& caption,
                                                    const std::string& filter) = 0;
};

// The dialogs in force; never null (the Qt dialogs unless replaced).
TDialogs& Dialogs();
// Installs dialogs (not owned; must outlive their use); nullptr restores the Qt dialogs.
void SetDialogs(TDialogs* dialogs);
