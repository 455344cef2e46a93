#include "Cli_vlp27000/TImportPreviewDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "Cli_vlp27000/TImportPreviewModel.h"

namespace {

QString Advice(const TImportPreview& preview, const TPreviewTexts& texts) {
    if (preview.Errors() > 0) return texts.ErrorAdvice.arg(preview.Errors());
    if (preview.Changes() == 0) return texts.NothingAdvice;
    return texts.ApplyAdvice.arg(preview.Changes());
}

bool AnyRowHasItsPlace(const TImportPreview& preview) {
    for (const TImportPreviewRow& row : preview.Rows())
        if (!row.Line.empty() || !row.Column.empty()) return true;
    return false;
}

}  // namespace

const QString kApplyAdvice = QStringLiteral(
    "Aplicar grava as %1 mudança(s) abaixo de uma só vez; se algo falhar, nada é gravado.");

TPreviewTexts TPreviewTexts::Import(const QString& fileName, const QString& mode) {
    return {QStringLiteral("Importar sugestões"),
            QStringLiteral("Arquivo %1, modo %2.").arg(fileName, mode),
            QStringLiteral("O arquivo tem %1 erro(s), listados primeiro: nada será importado. "
                           "Corrija o arquivo e importe de novo."),
            QStringLiteral("O arquivo não muda nada do que está gravado."),
            kApplyAdvice,
            QStringLiteral("Nada foi importado: os dados mudaram desde a prévia e o arquivo agora "
                           "tem %1 erro(s). Importe de novo para ver a prévia.")};
}

TPreviewTexts TPreviewTexts::AcrossLists(const QString& title, const QString& subject) {
    return {title,
            subject,
            QStringLiteral("Há %1 erro(s), listados primeiro: nada será gravado."),
            QStringLiteral("Nada muda no que está gravado."),
            kApplyAdvice,
            QStringLiteral("Nada foi gravado: as listas mudaram desde a prévia e agora há %1 "
                           "erro(s). Peça a prévia de novo.")};
}

TImportPreviewDialog::TImportPreviewDialog(const TImportPreview& preview, const QString& fileName,
                                           const QString& mode, QWidget* parent)
    : TImportPreviewDialog(preview, TPreviewTexts::Import(fileName, mode), parent) {}

TImportPreviewDialog::TImportPreviewDialog(const TImportPreview& preview,
                                           const TPreviewTexts& texts, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(texts.Title);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(texts.Subject, this));

    m_summary = new QLabel(QString::fromStdString(preview.Summary()), this);
    m_summary->setObjectName(QStringLiteral("lblResumo"));
    QFont bold = m_summary->font();
    bold.setBold(true);
    m_summary->setFont(bold);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_summary);

    m_advice = new QLabel(Advice(preview, texts), this);
    m_advice->setWordWrap(true);
    if (preview.Errors() > 0) m_advice->setStyleSheet(QStringLiteral("color: #b00020;"));
    layout->addWidget(m_advice);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("tblPrevia"));
    m_table->setModel(new TImportPreviewModel(preview, m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(0, 60);
    m_table->setColumnWidth(1, 60);
    m_table->setColumnWidth(2, 80);
    if (!AnyRowHasItsPlace(preview)) {  // an action across lists has no file lines to point at
        m_table->hideColumn(0);
        m_table->hideColumn(1);
    }
    layout->addWidget(m_table, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_apply = buttons->addButton(QStringLiteral("&Aplicar"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole);
    const bool canApply = preview.Errors() == 0;
    m_apply->setEnabled(canApply);
    // Enter applies only what may be applied; with errors it closes, applying nothing.
    (canApply ? m_apply : m_cancel)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    m_table->setFocus();
    if (!preview.Rows().empty()) m_table->selectRow(0);
    resize(760, 460);
}

bool TImportPreviewDialog::Run() { return exec() == QDialog::Accepted && m_apply->isEnabled(); }
