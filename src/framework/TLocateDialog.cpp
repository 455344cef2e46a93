#include "framework/TLocateDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "controls/SafeCall.h"
#include "framework/StdDialogs.h"
#include "dataaccess/TClientDataSet.h"
#include "framework/TMessages.h"

TLocateDialog::TLocateDialog(TClientDataSet& dataSet, QWidget* parent)
    : QDialog(parent), m_dataSet(dataSet) {
    setWindowTitle(QStringLiteral("Procurar"));
    m_field = new QComboBox(this);
    for (int i = 0; i < dataSet.FieldCount(); ++i) {
        const TField& field = dataSet.Fields(i);
        if (field.Visible())
            m_field->addItem(QString::fromStdString(field.DisplayLabel()),
                             QString::fromStdString(field.FieldName()));
    }
    m_value = new QLineEdit(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Procurar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("&Campo:"), m_field);
    layout->addRow(QStringLiteral("&Valor:"), m_value);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { TryLocate(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool TLocateDialog::Run() {
    m_value->setFocus();
    exec();
    return m_found;
}

bool TLocateDialog::TryLocate() {
    std::string field = m_field->currentData().toString().toStdString();
    std::string value = m_value->text().toStdString();
    if (field.empty()) return false;
    bool found = false;
    if (!SafeCall([&] { found = m_dataSet.Locate(field, value); })) return false;
    if (!found) {
        MessageDlg(TMessages::Standard().Msg("NaoEncontrado"), mtInformation, {mbOK}, 0);
        m_value->setFocus();
        m_value->selectAll();
        return false;
    }
    m_found = true;
    accept();
    return true;
}
