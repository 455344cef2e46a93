#pragma once
// The dialogs users see: QMessageBox for messages and errors, TSearchDialog for Pesquisar,
// TLocateDialog for Procura, TSignInDialog for SignIn, QFileDialog for the files. Parented to the active window so they stay
// on top of it.

#include "framework/TDialogs.h"

class TQtDialogs : public TDialogs {
  public:
    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                   int helpContext) override;
    void ShowError(const std::string& text) override;
    bool Pesquisar(TDataSource& source, const std::string& text, bool multiSelect,
                   bool showFilter) override;
    bool Procura(TClientDataSet& dataSet) override;
    std::optional<TCredentials> SignIn(const TSignInRequest& request) override;
    std::optional<std::string> SaveFileName(const std::string& caption,
                                            const std::string& suggested,
                                            const std::string& filter) override;
    std::optional<std::string> OpenFileName(const std::string& caption,
                                            const std::string& filter) override;
};
