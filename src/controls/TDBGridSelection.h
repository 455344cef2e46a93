#pragma once
// The selection model of a TDBGrid: every cursor move the view asks for passes the grid's gate
// (column exit, posting the row) first, and the selection is always just the current cell.

#include <QItemSelectionModel>
#include <functional>

class TDBGridSelection : public QItemSelectionModel {
    Q_OBJECT
  public:
    using QItemSelectionModel::QItemSelectionModel;

    // Returns the index to move to (possibly adjusted), or an invalid index to refuse the move.
    std::function<QModelIndex(const QModelIndex& from, const QModelIndex& to)> Gate;
    bool Bypass = false;  // the grid following the record set: no gate

    void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override;
    void select(const QModelIndex& index, SelectionFlags command) override;
    void select(const QItemSelection& selection, SelectionFlags command) override;

  private:
    void SelectCurrent();
};
