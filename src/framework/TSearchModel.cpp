#include "framework/TSearchModel.h"

#include <algorithm>

#include "dataaccess/TClientDataSet.h"

TSearchModel::TSearchModel(const TClientDataSet& dataSet, QObject* parent)
    : QAbstractTableModel(parent), m_dataSet(dataSet) {
    for (int i = 0; i < dataSet.FieldCount(); ++i)
        if (dataSet.Fields(i).Visible()) m_fields.push_back(i);
    m_index = std::make_unique<TSearchIndex>(dataSet, m_fields);
}

TSearchModel::~TSearchModel() = default;

void TSearchModel::SetFilter(const std::string& text) {
    beginResetModel();
    m_index->Filter(text);
    endResetModel();
}

int TSearchModel::RecordRow(int modelRow) const {
    const auto& rows = m_index->Rows();
    return modelRow >= 0 && modelRow < static_cast<int>(rows.size())
               ? rows[static_cast<size_t>(modelRow)]
               : -1;
}

int TSearchModel::ModelRowOf(int recordRow) const {
    const auto& rows = m_index->Rows();  // ranked, so not sorted
    auto it = std::find(rows.begin(), rows.end(), recordRow);
    return it != rows.end() ? static_cast<int>(it - rows.begin()) : -1;
}

int TSearchModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_index->Rows().size());
}

int TSearchModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_fields.size());
}

QVariant TSearchModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    int row = RecordRow(index.row());
    if (row < 0 || row >= m_dataSet.RecordCount()) return {};
    auto value = m_dataSet.ValueAt(row, m_fields[static_cast<size_t>(index.column())]);
    return value ? QString::fromUtf8(value->data(), static_cast<qsizetype>(value->size()))
                 : QString();
}

QVariant TSearchModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(m_fields.size()))
        return {};
    return QString::fromStdString(
        m_dataSet.Fields(m_fields[static_cast<size_t>(section)]).DisplayLabel());
}
