#include "framework/StdDialogs.h"

#include <typeinfo>

#include "framework/EAbort.h"
#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TDataSource.h"
#include "framework/TDialogs.h"
#include "dataaccess/TNetConnection.h"

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
    return Dialogs().MessageDlg(text, type, buttons, helpContext);
}

void MensErro(const std::string& text, bool abort) {
    Dialogs().MessageDlg(text, mtError, {mbOK}, 0);
    if (abort) throw EAbort(text);
}

std::string CheckResultServ(const TServerAnswer& answer, bool abort, int /*helpContext*/) {
    if (answer.Ok) return answer.Payload;
    std::string text = answer.ErrorMessage.empty() ? "O servidor recusou a operação (código " +
                                                         std::to_string(answer.ErrorCode) + ")."
                                                   : answer.ErrorMessage;
    Dialogs().MessageDlg(text, mtError, {mbOK}, 0);
    if (abort) throw EAbort(text);
    return {};
}

void ShowException(std::exception_ptr error) {
    if (!error) return;
    std::string text;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return;
    } catch (const std::bad_alloc&) {
        text = "Memória insuficiente para concluir a operação.";
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
    }
    if (text.empty()) text = "Ocorreu um erro inesperado.";
    try {
        Dialogs().ShowError(text);
    } catch (...) {
        // The report itself failed; nothing better can be done without risking a loop.
    }
}

bool Pesquisar(TDataSource& source, const std::string& text, bool multiSelect, bool showFilter) {
    TClientDataSet* dataSet = source.DataSet();
    if (!dataSet || !dataSet->Active()) return false;
    return Dialogs().Pesquisar(source, text, multiSelect, showFilter);
}

bool Procura(TClientDataSet& dataSet) {
    if (!dataSet.Active()) return false;
    return Dialogs().Procura(dataSet);
}

std::optional<std::string> SaveFileName(const std::string& caption, const std::string& suggested,
                                        const std::string& filter) {
    return Dialogs().SaveFileName(caption, suggested, filter);
}

std::optional<std::string> OpenFileName(const std::string& caption, const std::string& filter) {
    return Dialogs().OpenFileName(caption, filter);
}
