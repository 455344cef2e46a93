#pragma once
// The rows the search dialog shows: the record set's visible fields (labels as titles) over the
// rows the filter kept, in the index's ranked order. No rows are copied: values are read from the
// record set when painted, so a million rows cost a few megabytes.

#include <QAbstractTableModel>
#include <memory>
#include <string>
#include <vector>

#include "framework/TSearchIndex.h"

class TClientDataSet;

class TSearchModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TSearchModel(const TClientDataSet& dataSet, QObject* parent = nullptr);
    ~TSearchModel() override;

    void SetFilter(const std::string& text);
    const TSearchIndex& Index() const { return *m_index; }
    int RecordRow(int modelRow) const;    // record-set row shown at modelRow; -1 when none
    int ModelRowOf(int recordRow) const;  // -1 when filtered out

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const TClientDataSet& m_dataSet;
    std::vector<int> m_fields;
    std::unique_ptr<TSearchIndex> m_index;
};
