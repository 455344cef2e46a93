#pragma once
// The item model of a TDBGrid: a thin adapter presenting the rows of the data source's record set
// and the grid's visible columns. It only translates record-set notifications into model signals;
// writes go through TField::SetAsString on the current row, and a refused write is kept in
// LastError for the grid to report. With an empty column list it adds one column per visible
// field when it first sees an open record set. Never lets an exception out to Qt.

#include <QAbstractTableModel>
#include <QColor>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "dataaccess/TDataSetObserver.h"

class TDataSource;
class TClientDataSet;
class TColumn;
class TDBGridColumns;

class TDBGridModel : public QAbstractTableModel, private TDataSetObserver {
    Q_OBJECT
  public:
    explicit TDBGridModel(TDBGridColumns& columns, QObject* parent = nullptr);
    ~TDBGridModel() override;

    void SetDataSource(TDataSource* source);  // not owned; nullptr detaches
    TDataSource* DataSource() const { return m_source; }
    TClientDataSet* DataSet() const;  // nullptr when none or detached

    // Rebuilds the visible-column map and binds columns to fields (after column changes).
    void RelayoutColumns();
    // The same after column property changes, without a reset when the columns shown and the
    // row count are unchanged.
    void RefreshColumns();
    int ColumnIndexOf(int modelColumn) const;  // index in TDBGridColumns, -1 when out of range
    int ModelColumnOf(int columnIndex) const;  // -1 when that column is hidden
    TColumn* ColumnAt(int modelColumn) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    std::exception_ptr LastError;  // the last refused setData

    // Rows whose changes still wait for the server show in PendingColor with this tooltip; none
    // are marked while it is empty (see TDBGrid::SetPendingChangesHint).
    void SetPendingHint(std::string hint);
    const std::string& PendingHint() const { return m_pendingHint; }
    bool RowMarkedPending(int modelRow) const;
    static QColor PendingColor();

    // Callbacks for the grid (empty: none).
    std::function<void(int oldRow, int newRow)> OnCurrentChanged;
    std::function<void(class TField&)> OnFocusField;
    std::function<void()> OnStateChanged;
    std::function<void()> OnReset;  // after a model reset

    int SourceRow(int modelRow) const;  // record-set row behind a model row; -1 when none

  private:
    void DataSetReset() override;
    void RowInserted(int row) override;
    void RowRemoved(int row) override;
    void RowChanged(int row) override;
    void CurrentChanged(int oldRow, int newRow) override;
    void StateChanged(TDataSetState state) override;
    void FocusFieldRequested(TField& field) override;
    void DataSetDestroying() override;

    TDBGridColumns& m_columns;
    TDataSource* m_source = nullptr;

    std::vector<int> m_visible;  // model column -> index in m_columns
    int m_rows = 0;
    int m_shiftFrom = -1;  // while a row change is being announced
    int m_shiftBy = 0;
    std::string m_pendingHint;
};
