#include "Cli_vlp27000/TImportPreviewModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <array>

namespace {

const std::array<const char*, 4> kTitles{"Linha", "Coluna", "Ação", "Descrição"};

}  // namespace

TImportPreviewModel::TImportPreviewModel(const TImportPreview& preview, QObject* parent)
    : TTitledTableModel(kTitles, parent), m_preview(preview) {}

int TImportPreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_preview.Rows().size());
}

QVariant TImportPreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const TImportPreviewRow& row = m_preview.Rows()[std::size_t(index.row())];
    switch (role) {
        case Qt::DisplayRole: {
            const std::string* cells[] = {&row.Line, &row.Column, &row.Action, &row.Description};
            return QString::fromStdString(*cells[index.column()]);
        }
        case Qt::ForegroundRole:
            return row.IsError() ? QVariant(QBrush(QColor(0xb0, 0x00, 0x20))) : QVariant();
        case Qt::FontRole:
            if (!row.IsError()) return {};
            {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
        case Qt::TextAlignmentRole:
            return index.column() < 2 ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
        default:
            return {};
    }
}
