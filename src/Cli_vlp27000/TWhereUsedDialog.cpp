#include "Cli_vlp27000/TWhereUsedDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "Cli_vlp27000/TWhereUsedModel.h"
#include "controls/SafeCall.h"

TWhereUsedDialog::TWhereUsedDialog(TProductRef product, TAction replace, TAction removeAll,
                                   QWidget* parent)
    : QDialog(parent), m_product(std::move(product)) {
    setWindowTitle(QStringLiteral("Onde é usado"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(
        QStringLiteral("Produto %1").arg(QString::fromStdString(m_product.Shown()).trimmed()),
        this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblContagem"));
    layout->addWidget(m_count);

    m_model = new TWhereUsedModel(this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("tblOndeUsado"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    for (auto [column, width] : {std::pair{0, 90}, {1, 200}, {2, 120}, {3, 220}})
        m_table->setColumnWidth(column, width);
    layout->addWidget(m_table, 1);
    connect(m_table, &QAbstractItemView::doubleClicked, this, [this] { GoTo(); });

    auto* buttons = new QDialogButtonBox(this);
    m_goTo = buttons->addButton(QStringLiteral("&Ir para"), QDialogButtonBox::ActionRole);
    m_replace =
        buttons->addButton(QStringLiteral("&Substituir por…"), QDialogButtonBox::ActionRole);
    m_remove =
        buttons->addButton(QStringLiteral("&Remover de todos"), QDialogButtonBox::ActionRole);
    QPushButton* close =
        buttons->addButton(QStringLiteral("&Fechar"), QDialogButtonBox::RejectRole);
    for (QPushButton* button : {m_goTo, m_replace, m_remove, close}) button->setAutoDefault(false);
    m_goTo->setDefault(true);
    connect(m_goTo, &QPushButton::clicked, this, [this] { GoTo(); });
    auto run = [this](TAction action) {
        return [this, action = std::move(action)] {
            SafeCall([&] { action(*this); });
            m_table->setFocus();
        };
    };
    connect(m_replace, &QPushButton::clicked, this, run(std::move(replace)));
    connect(m_remove, &QPushButton::clicked, this, run(std::move(removeAll)));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    m_table->setFocus();
    resize(820, 420);
}

void TWhereUsedDialog::SetRows(std::vector<TWhereUsedRow> rows) {
    m_model->SetRows(std::move(rows));
    const int count = m_model->rowCount();
    m_count->setText(count == 0   ? QStringLiteral("Não está em nenhuma lista de sugestões.")
                     : count == 1 ? QStringLiteral("Está em 1 lista de sugestões.")
                                  : QStringLiteral("Está em %1 listas de sugestões.").arg(count));
    for (QPushButton* button : {m_goTo, m_replace, m_remove}) button->setEnabled(count > 0);
    if (count > 0) m_table->selectRow(0);
}

std::optional<TWhereUsedRow> TWhereUsedDialog::Run() {
    m_chosen.reset();
    exec();
    return m_chosen;
}

void TWhereUsedDialog::GoTo() {
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid()) return;
    m_chosen = m_model->Rows()[std::size_t(current.row())];
    accept();
}
