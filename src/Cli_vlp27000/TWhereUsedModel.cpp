#include "Cli_vlp27000/TWhereUsedModel.h"

#include <array>

namespace {

const std::array<const char*, 5> kTitles{"Grupo", "Nome do grupo", "Produto principal", "Nome",
                                         "Uso"};

}  // namespace

TWhereUsedModel::TWhereUsedModel(QObject* parent) : TTitledTableModel(kTitles, parent) {}

void TWhereUsedModel::SetRows(std::vector<TWhereUsedRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int TWhereUsedModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant TWhereUsedModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    const TWhereUsedRow& row = m_rows[std::size_t(index.row())];
    const std::string cells[] = {row.Group, row.GroupName, row.Main.TreeCode, row.Main.Name,
                                 row.AsMain ? "principal" : "relacionado"};
    return QString::fromStdString(cells[index.column()]).trimmed();
}
