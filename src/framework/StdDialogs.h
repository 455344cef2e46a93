#pragma once
// The dialog services screens call; all go through Dialogs() (TDialogs.h). UI thread only.

#include <exception>
#include <optional>
#include <string>

#include "framework/MsgDlg.h"

class TClientDataSet;
class TDataSource;
struct TServerAnswer;

// Modal message box; returns the TModalResult (mrYes = 6 when answered Yes).
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext);

// Shows text as an error; with abort true it then throws EAbort and does not return.
void MensErro(const std::string& text, bool abort);

// The answer's payload when the call succeeded. Otherwise shows the server's message as an error
// and, with abort true, throws EAbort; with abort false returns "". helpContext is unused.
std::string CheckResultServ(const TServerAnswer& answer, bool abort, int helpContext);

// The application's standard error report for an exception: EAbort shows nothing; anything else
// shows its message (a generic text when it has none). Never throws.
void ShowException(std::exception_ptr error);

// Modal search over source's record set (see TDialogs::Pesquisar); false when the data source has
// no active record set.
bool Pesquisar(TDataSource& source, const std::string& text, bool multiSelect, bool showFilter);

// The locate dialog over an active record set; false when inactive or nothing found.
bool Procura(TClientDataSet& dataSet);

// The standard file dialogs (see TDialogs::SaveFileName, OpenFileName); nullopt when cancelled.
std::optional<std::string> SaveFileName(const std::string& caption, const std::string& suggested,
                                        const std::string& filter);
std::optional<std::string> OpenFileName(const std::string& caption, const std::string& filter);
