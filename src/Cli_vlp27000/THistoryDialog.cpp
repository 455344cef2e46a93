#include "Cli_vlp27000/THistoryDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "controls/SafeCall.h"

THistoryDialog::THistoryDialog(const QString& subject, THistoryModel::TReadPage readPage,
                               int pageRows, TUndo undo, QWidget* parent)
    : QDialog(parent), m_undoSave(std::move(undo)) {
    setWindowTitle(QStringLiteral("Histórico"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(subject, this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    m_model = new THistoryModel(std::move(readPage), pageRows, this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("tblHistorico"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    for (auto [column, width] : {std::pair{0, 80}, {1, 140}, {2, 110}, {3, 110}})
        m_table->setColumnWidth(column, width);
    layout->addWidget(m_table, 1);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblSituacao"));
    layout->addWidget(m_status);
    m_detail = new QLabel(this);
    m_detail->setObjectName(QStringLiteral("lblDetalhe"));
    m_detail->setWordWrap(true);
    m_detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_detail);

    auto* buttons = new QDialogButtonBox(this);
    m_undo = buttons->addButton(QStringLiteral("&Desfazer gravação"), QDialogButtonBox::ActionRole);
    QPushButton* close =
        buttons->addButton(QStringLiteral("&Fechar"), QDialogButtonBox::RejectRole);
    for (QPushButton* button : {m_undo, close}) button->setAutoDefault(false);
    m_undo->setDefault(true);
    m_undo->setEnabled(false);
    connect(m_undo, &QPushButton::clicked, this, [this] { Undo(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_model, &THistoryModel::PageRead, this, [this] { ShowStatus(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_model->rowCount() > 0) m_table->setCurrentIndex(m_model->index(0, 0));
    });
    // Queued: the view selects the row it moved to after telling, which would undo the save's.
    connect(
        m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) { RowChanged(current.row()); }, Qt::QueuedConnection);
    m_table->setFocus();
    resize(900, 520);
}

void THistoryDialog::ShowStatus() {
    const int rows = m_model->rowCount();
    if (rows == 0)
        m_status->setText(QStringLiteral("Nenhuma alteração gravada."));
    else if (m_model->AtEnd())
        m_status->setText(QStringLiteral("Todas as %1 alteração(ões).").arg(rows));
    else
        m_status->setText(QStringLiteral("%1 alteração(ões) mais recentes; desça até o fim da "
                                         "lista para ler as anteriores.")
                              .arg(rows));
    if (rows > 0 && !m_table->currentIndex().isValid())
        m_table->setCurrentIndex(m_model->index(0, 0));
    m_undo->setEnabled(rows > 0);
}

// The whole save is selected, so that what Desfazer reverts shows.
void THistoryDialog::RowChanged(int row) {
    if (row < 0 || row >= m_model->rowCount() || row != m_table->currentIndex().row()) {
        m_detail->clear();
        return;
    }
    const auto [first, last] = m_model->SaveRows(row);
    m_table->selectionModel()->select(
        QItemSelection(m_model->index(first, 0), m_model->index(last, m_model->columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
    const THistoryRow& shown = m_model->Row(row);
    m_detail->setText(QStringLiteral("Gravação %1, %2, por %3 (%4): %5")
                          .arg(QString::fromStdString(shown.Save),
                               QString::fromStdString(shown.When),
                               QString::fromStdString(shown.User).trimmed(),
                               QString::fromStdString(shown.Origin).trimmed(),
                               QString::fromStdString(shown.Change)));
}

void THistoryDialog::Undo() {
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid()) return;
    const THistoryRow save = m_model->Row(current.row());
    bool undone = false;
    SafeCall([&] { undone = m_undoSave(save); });
    if (undone) Reload();
    m_table->setFocus();
}

void THistoryDialog::Reload() {
    SafeCall([this] { m_model->Reload(); });
}

void THistoryDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        Reload();
        return;
    }
    QDialog::keyPressEvent(event);
}
