#include "controls/TDBGridModel.h"

#include "dataaccess/TClientDataSet.h"
#include "controls/TDBGridColumn.h"
#include "dataaccess/TDataSource.h"

TDBGridModel::TDBGridModel(TDBGridColumns& columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(columns) {}

TDBGridModel::~TDBGridModel() {
    if (m_source) m_source->RemoveObserver(this);
}

void TDBGridModel::SetDataSource(TDataSource* source) {
    if (m_source == source) return;
    if (m_source) m_source->RemoveObserver(this);
    m_source = source;
    if (m_source) m_source->AddObserver(this);
    DataSetReset();
}

TClientDataSet* TDBGridModel::DataSet() const { return m_source ? m_source->DataSet() : nullptr; }

void TDBGridModel::RelayoutColumns() {
    beginResetModel();
    TClientDataSet* dataSet = DataSet();
    if (m_columns.Count() == 0 && dataSet && dataSet->Active()) {
        for (int i = 0; i < dataSet->FieldCount(); ++i)
            if (dataSet->Fields(i).Visible()) m_columns.Add(dataSet->Fields(i).FieldName());
    }
    m_visible.clear();
    for (int i = 0; i < m_columns.Count(); ++i) {
        TColumn& column = m_columns[i];
        column.m_field = dataSet ? dataSet->FindField(column.FieldName) : nullptr;
        if (column.Visible) m_visible.push_back(i);
    }
    m_rows = dataSet && dataSet->Active() ? dataSet->RecordCount() : 0;
    endResetModel();
    if (OnReset) OnReset();
}

void TDBGridModel::RefreshColumns() {
    TClientDataSet* dataSet = DataSet();
    std::vector<int> visible;
    for (int i = 0; i < m_columns.Count(); ++i)
        if (m_columns[i].Visible) visible.push_back(i);
    int rows = dataSet && dataSet->Active() ? dataSet->RecordCount() : 0;
    if (visible != m_visible || rows != m_rows || m_columns.Count() == 0) return RelayoutColumns();
    // Same shape: no reset, so the cursor, the scroll position and an open editor stay.
    for (TColumn& column : m_columns)
        column.m_field = dataSet ? dataSet->FindField(column.FieldName) : nullptr;
    if (!m_visible.empty()) {
        emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(m_visible.size()) - 1);
        if (m_rows > 0)
            emit dataChanged(index(0, 0),
                             index(m_rows - 1, static_cast<int>(m_visible.size()) - 1));
    }
    if (OnReset) OnReset();
}

int TDBGridModel::ColumnIndexOf(int modelColumn) const {
    if (modelColumn < 0 || modelColumn >= static_cast<int>(m_visible.size())) return -1;
    return m_visible[static_cast<size_t>(modelColumn)];
}

int TDBGridModel::ModelColumnOf(int columnIndex) const {
    for (size_t i = 0; i < m_visible.size(); ++i)
        if (m_visible[i] == columnIndex) return static_cast<int>(i);
    return -1;
}

TColumn* TDBGridModel::ColumnAt(int modelColumn) const {
    int index = ColumnIndexOf(modelColumn);
    return index < 0 || index >= m_columns.Count() ? nullptr : &m_columns[index];
}

int TDBGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TDBGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_visible.size());
}

void TDBGridModel::SetPendingHint(std::string hint) {
    if (hint == m_pendingHint) return;
    m_pendingHint = std::move(hint);
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::BackgroundRole, Qt::ToolTipRole});
}

bool TDBGridModel::RowMarkedPending(int modelRow) const {
    TClientDataSet* dataSet = DataSet();
    return !m_pendingHint.empty() && dataSet && dataSet->RowChanged(SourceRow(modelRow));
}

QColor TDBGridModel::PendingColor() { return QColor(255, 214, 153); }  // amber: waiting

QVariant TDBGridModel::data(const QModelIndex& index, int role) const {
    if (index.isValid() && (role == Qt::BackgroundRole || role == Qt::ToolTipRole)) {
        if (!RowMarkedPending(index.row())) return {};
        if (role == Qt::BackgroundRole) return PendingColor();
        return QString::fromStdString(m_pendingHint);
    }
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    TClientDataSet* dataSet = DataSet();
    TColumn* column = ColumnAt(index.column());
    int row = SourceRow(index.row());
    if (!dataSet || !column || !column->Field() || row < 0 || row >= dataSet->RecordCount())
        return {};
    auto value = dataSet->ValueAt(row, column->Field()->Index());
    return value ? QString::fromUtf8(value->data(), static_cast<qsizetype>(value->size()))
                 : QString();
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    TColumn* column = ColumnAt(section);
    if (!column) return {};
    if (!column->Title.Caption.empty()) return QString::fromStdString(column->Title.Caption);
    if (column->Field()) return QString::fromStdString(column->Field()->DisplayLabel());
    return QString::fromStdString(column->FieldName);
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    TColumn* column = ColumnAt(index.column());
    if (column && column->Field() && !column->ReadOnly) flags |= Qt::ItemIsEditable;
    return flags;
}

bool TDBGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    LastError = nullptr;
    if (!index.isValid() || role != Qt::EditRole) return false;
    TClientDataSet* dataSet = DataSet();
    TColumn* column = ColumnAt(index.column());
    if (!dataSet || !column || !column->Field()) return false;
    try {
        if (dataSet->RecNo() != index.row()) dataSet->MoveTo(index.row());
        if (dataSet->State() == TDataSetState::dsBrowse) dataSet->Edit();
        column->Field()->SetAsString(value.toString().toStdString());
        return true;
    } catch (...) {
        LastError = std::current_exception();
        return false;
    }
}

void TDBGridModel::DataSetReset() { RelayoutColumns(); }

int TDBGridModel::SourceRow(int modelRow) const {
    if (m_shiftFrom < 0 || modelRow < m_shiftFrom) return modelRow;
    if (m_shiftBy < 0 && modelRow == m_shiftFrom) return -1;  // the row already gone
    return modelRow + m_shiftBy;
}

// The record set reports a row after it came or went; until the view has been told, rows from
// there on are read shifted so the model still shows the layout the view knows.
void TDBGridModel::RowInserted(int row) {
    if (row < 0 || row > m_rows) return DataSetReset();
    m_shiftFrom = row;
    m_shiftBy = 1;
    beginInsertRows({}, row, row);
    m_shiftFrom = -1;
    ++m_rows;
    endInsertRows();
}

void TDBGridModel::RowRemoved(int row) {
    if (row < 0 || row >= m_rows) return DataSetReset();
    m_shiftFrom = row;
    m_shiftBy = -1;
    beginRemoveRows({}, row, row);
    m_shiftFrom = -1;
    --m_rows;
    endRemoveRows();
}

void TDBGridModel::RowChanged(int row) {
    if (row < 0 || row >= m_rows || m_visible.empty()) return;
    // Cell by cell: the view repaints a single cell alone but the whole grid for any range.
    for (int column = 0; column < static_cast<int>(m_visible.size()); ++column)
        emit dataChanged(index(row, column), index(row, column));
}

void TDBGridModel::CurrentChanged(int oldRow, int newRow) {
    if (OnCurrentChanged) OnCurrentChanged(oldRow, newRow);
}

void TDBGridModel::StateChanged(TDataSetState /*state*/) {
    // An open or close comes as a reset as well; a mismatch means we missed one.
    TClientDataSet* dataSet = DataSet();
    int rows = dataSet && dataSet->Active() ? dataSet->RecordCount() : 0;
    if (rows != m_rows) RelayoutColumns();
    if (OnStateChanged) OnStateChanged();
}

void TDBGridModel::FocusFieldRequested(TField& field) {
    if (OnFocusField) OnFocusField(field);
}

void TDBGridModel::DataSetDestroying() {
    beginResetModel();
    m_source = nullptr;
    m_rows = 0;
    for (TColumn& column : m_columns) column.m_field = nullptr;
    endResetModel();
}
