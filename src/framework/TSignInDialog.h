#pragma once
// The sign-in dialog, "Entrar": the server's reason for asking above the fields "Usuário" and
// "Senha" (never echoed). Focus starts in Usuário, or in Senha when the name is known; Enter signs
// in once both are filled (while one is empty it moves there instead), Esc cancels. The password
// leaves the dialog only inside the credentials Run returns; its field is emptied then.

#include <QDialog>
#include <optional>

#include "dataaccess/TCredentials.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TSignInDialog : public QDialog {
    Q_OBJECT
  public:
    TSignInDialog(const QString& server, const QString& reason, const QString& userName,
                  QWidget* parent = nullptr);

    std::optional<TCredentials> Run();  // modal; nullopt when cancelled

    QLabel* ReasonLabel() const { return m_reason; }
    QLineEdit* UserBox() const { return m_user; }
    QLineEdit* PasswordBox() const { return m_password; }
    QPushButton* SignInButton() const { return m_signIn; }

  private:
    void OnReturn();
    std::string TakePassword();

    QLabel* m_reason;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QPushButton* m_signIn;
};
