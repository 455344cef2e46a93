#include "framework/TSignInDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TSignInDialog::TSignInDialog(const QString& server, const QString& reason, const QString& userName,
                             QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Entrar"));
    m_reason = new QLabel(reason, this);
    m_reason->setTextFormat(Qt::PlainText);  // the server's words, never markup
    m_reason->setWordWrap(true);
    m_reason->setVisible(!reason.isEmpty());
    auto* where = new QLabel(QStringLiteral("Servidor de aplicação %1").arg(server), this);
    where->setTextFormat(Qt::PlainText);
    m_user = new QLineEdit(userName, this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(this);
    m_signIn = buttons->addButton(QStringLiteral("&Entrar"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    m_signIn->setDefault(true);

    auto* layout = new QFormLayout(this);
    layout->addRow(m_reason);
    layout->addRow(where);
    layout->addRow(QStringLiteral("&Usuário:"), m_user);
    layout->addRow(QStringLiteral("&Senha:"), m_password);
    layout->addRow(buttons);
    setTabOrder(m_user, m_password);
    setTabOrder(m_password, m_signIn);
    setTabOrder(m_signIn, cancel);

    auto update = [this] {
        m_signIn->setEnabled(!m_user->text().isEmpty() && !m_password->text().isEmpty());
    };
    update();
    connect(m_user, &QLineEdit::textChanged, this, update);
    connect(m_password, &QLineEdit::textChanged, this, update);
    connect(m_user, &QLineEdit::returnPressed, this, &TSignInDialog::OnReturn);
    connect(m_password, &QLineEdit::returnPressed, this, &TSignInDialog::OnReturn);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

// Enter with a field still empty goes there; with both filled the default button signs in.
void TSignInDialog::OnReturn() {
    if (m_user->text().isEmpty())
        m_user->setFocus();
    else if (m_password->text().isEmpty())
        m_password->setFocus();
}

std::optional<TCredentials> TSignInDialog::Run() {
    (m_user->text().isEmpty() ? m_user : m_password)->setFocus();
    const bool signIn = exec() == QDialog::Accepted && m_signIn->isEnabled();
    std::string password = TakePassword();
    if (!signIn) {
        TCredentials::Wipe(password);
        return std::nullopt;
    }
    return TCredentials(m_user->text().toStdString(), std::move(password));
}

// The field lets go of its text first, so the copy taken here is the only one left to wipe.
std::string TSignInDialog::TakePassword() {
    QString text = m_password->text();
    m_password->clear();
    QByteArray utf8 = text.toUtf8();
    text.fill(QChar(0));
    std::string password(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    utf8.fill('\0');
    return password;
}
