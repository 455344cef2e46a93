#include "framework/TQtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "framework/TGiveFocusBack.h"
#include "framework/TLocateDialog.h"
#include "framework/TSearchDialog.h"
#include "framework/TSignInDialog.h"

namespace {

QWidget* DialogParent() {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    return QApplication::activeWindow();
}

struct ButtonSpec {
    TMsgDlgBtn button;
    const char* caption;
    QMessageBox::ButtonRole role;
    int result;
};

// Portuguese captions and the modal result each button gives.
const ButtonSpec kButtons[] = {
    {mbYes, "&Sim", QMessageBox::YesRole, mrYes},
    {mbNo, "&Não", QMessageBox::NoRole, mrNo},
    {mbOK, "OK", QMessageBox::AcceptRole, mrOk},
    {mbCancel, "Cancelar", QMessageBox::RejectRole, mrCancel},
    {mbAbort, "&Abortar", QMessageBox::RejectRole, mrAbort},
    {mbRetry, "&Repetir", QMessageBox::AcceptRole, mrRetry},
    {mbIgnore, "&Ignorar", QMessageBox::AcceptRole, mrIgnore},
};

QMessageBox::Icon IconOf(TMsgDlgType type) {
    switch (type) {
        case mtWarning:
            return QMessageBox::Warning;
        case mtError:
            return QMessageBox::Critical;
        case mtInformation:
            return QMessageBox::Information;
        case mtConfirmation:
            return QMessageBox::Question;
        default:
            return QMessageBox::NoIcon;
    }
}

const char* TitleOf(TMsgDlgType type) {
    switch (type) {
        case mtWarning:
            return "Aviso";
        case mtError:
            return "Erro";
        case mtInformation:
            return "Informação";
        case mtConfirmation:
            return "Confirmação";
        default:
            return "Mensagem";
    }
}

}  // namespace

int TQtDialogs::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                           int /*helpContext*/) {
    if (buttons.Empty()) buttons = {mbOK};
    QMessageBox box(IconOf(type), QString::fromUtf8(TitleOf(type)), QString::fromStdString(text),
                    QMessageBox::NoButton, DialogParent());
    std::vector<std::pair<QAbstractButton*, int>> results;
    QAbstractButton* escape = nullptr;
    for (const ButtonSpec& button : kButtons) {
        if (!buttons.Contains(button.button)) continue;
        QPushButton* b = box.addButton(QString::fromUtf8(button.caption), button.role);
        results.emplace_back(b, button.result);
        if (!escape || button.button == mbCancel) escape = b;
        if (button.button == mbNo && !buttons.Contains(mbCancel)) escape = b;
    }
    box.setEscapeButton(escape);
    box.setDefaultButton(qobject_cast<QPushButton*>(results.front().first));
    TGiveFocusBack focusBack;
    box.exec();
    for (auto& [button, result] : results)
        if (box.clickedButton() == button) return result;
    return buttons.Contains(mbCancel) ? mrCancel : buttons.Contains(mbNo) ? mrNo : mrCancel;
}

void TQtDialogs::ShowError(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Erro"), QString::fromStdString(text),
                    QMessageBox::Ok, DialogParent());
    TGiveFocusBack focusBack;
    box.exec();
}

bool TQtDialogs::Pesquisar(TDataSource& source, const std::string& text, bool /*multiSelect*/,
                           bool /*showFilter*/) {
    TSearchDialog dialog(source, text, DialogParent());
    TGiveFocusBack focusBack;
    return dialog.Run();
}

bool TQtDialogs::Procura(TClientDataSet& dataSet) {
    TLocateDialog dialog(dataSet, DialogParent());
    TGiveFocusBack focusBack;
    return dialog.Run();
}

std::optional<TCredentials> TQtDialogs::SignIn(const TSignInRequest& request) {
    TSignInDialog dialog(QString::fromStdString(request.Server),
                         QString::fromStdString(request.Reason),
                         QString::fromStdString(request.UserName), DialogParent());
    TGiveFocusBack focusBack;
    return dialog.Run();
}

namespace {

std::optional<std::string> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

}  // namespace

std::optional<std::string> TQtDialogs::SaveFileName(const std::string& caption,
                                                    const std::string& suggested,
                                                    const std::string& filter) {
    TGiveFocusBack focusBack;
    return Chosen(QFileDialog::getSaveFileName(DialogParent(), QString::fromStdString(caption),
                                               QString::fromStdString(suggested),
                                               QString::fromStdString(filter)));
}

std::optional<std::string> TQtDialogs::OpenFileName(const std::string& caption,
                                                    const std::string& filter) {
    TGiveFocusBack focusBack;
    return Chosen(QFileDialog::getOpenFileName(DialogParent(), QString::fromStdString(caption),
                                               QString(), QString::fromStdString(filter)));
}
