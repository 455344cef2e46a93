#include "Cli_vlp27000/TCopyGroupDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "controls/SafeCall.h"

TCopyGroupDialog::TCopyGroupDialog(const QString& source, TNewGroup proposed, int codeSize,
                                   int nameSize, int orderSize, TCopy copy, QWidget* parent)
    : QDialog(parent), m_copy(std::move(copy)) {
    setWindowTitle(QStringLiteral("Copiar grupo"));
    auto* layout = new QVBoxLayout(this);
    auto* about = new QLabel(QStringLiteral("Copia o grupo %1 com todos os produtos principais e "
                                            "relacionados e suas marcas para um grupo novo.")
                                 .arg(source),
                             this);
    about->setWordWrap(true);
    layout->addWidget(about);

    auto box = [this](const std::string& text, int size, const char* name) {
        auto* edit = new QLineEdit(QString::fromStdString(text), this);
        edit->setObjectName(QLatin1String(name));
        edit->setMaxLength(size);
        return edit;
    };
    m_code = box(proposed.Code, codeSize, "edtCodigo");
    // Digits only, however they arrive, as in the group grid's code column.
    m_code->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(codeSize)), m_code));
    m_name = box(proposed.Name, nameSize, "edtNome");
    m_order = box(proposed.Order, orderSize, "edtOrdem");
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Código:"), m_code);
    form->addRow(QStringLiteral("&Nome:"), m_name);
    form->addRow(QStringLiteral("&Ordem:"), m_order);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    m_copyButton = buttons->addButton(QStringLiteral("Co&piar"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole);
    m_copyButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Copy(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_code->setFocus();
}

bool TCopyGroupDialog::Run() { return exec() == QDialog::Accepted; }

QLineEdit* TCopyGroupDialog::Box(TBox box) const {
    return box == kCode ? m_code : box == kName ? m_name : m_order;
}

void TCopyGroupDialog::FocusBox(TBox box) {
    Box(box)->setFocus();
    Box(box)->selectAll();
}

void TCopyGroupDialog::Copy() {
    TNewGroup group{m_code->text().toStdString(), m_name->text().toStdString(),
                    m_order->text().toStdString()};
    const bool copied = SafeCall([&] { m_copy(*this, group); });
    m_code->setText(QString::fromStdString(group.Code));  // as the check filled it
    if (!copied) return;
    m_group = group;
    accept();
}
