#include "framework/TChoiceDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TChoiceDialog::TChoiceDialog(const QString& title, const QString& question,
                             std::vector<TChoice> choices, int chosen, QWidget* parent)
    : QDialog(parent), m_group(new QButtonGroup(this)) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* questionLabel = new QLabel(question, this);
    questionLabel->setWordWrap(true);
    layout->addWidget(questionLabel);

    for (std::size_t i = 0; i < choices.size(); ++i) {
        auto* button = new QRadioButton(choices[i].Caption, this);
        button->setEnabled(choices[i].Enabled);
        m_group->addButton(button, static_cast<int>(i));
        m_buttons.push_back(button);
        layout->addWidget(button);
        auto* explanation = new QLabel(choices[i].Explanation, this);
        explanation->setWordWrap(true);
        explanation->setEnabled(choices[i].Enabled);
        // Indented under its button, so that it reads as that answer's meaning.
        explanation->setContentsMargins(button->sizeHint().height(), 0, 0, 6);
        layout->addWidget(explanation);
    }
    if (chosen < 0 || chosen >= static_cast<int>(m_buttons.size()) ||
        !m_buttons[chosen]->isEnabled())
        chosen = -1;
    for (std::size_t i = 0; chosen < 0 && i < m_buttons.size(); ++i)
        if (m_buttons[i]->isEnabled()) chosen = static_cast<int>(i);
    if (chosen >= 0) {
        m_buttons[chosen]->setChecked(true);
        m_buttons[chosen]->setFocus();
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    ok->setEnabled(chosen >= 0);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::optional<int> TChoiceDialog::Run() {
    if (exec() != QDialog::Accepted || Chosen() < 0) return std::nullopt;
    return Chosen();
}

int TChoiceDialog::Chosen() const { return m_group->checkedId(); }

QRadioButton* TChoiceDialog::Choice(int index) const {
    return index >= 0 && index < static_cast<int>(m_buttons.size()) ? m_buttons[index] : nullptr;
}
