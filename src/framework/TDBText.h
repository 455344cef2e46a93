#pragma once
// A label showing one field of the current row of a data source; blank when the data source has
// no open record set, no rows, or no such field. Follows every change the data source reports.

#include <QLabel>
#include <string>

#include "dataaccess/TDataSetObserver.h"

class TDataSource;

class TDBText : public QLabel, private TDataSetObserver {
    Q_OBJECT
  public:
    explicit TDBText(QWidget* parent = nullptr);
    ~TDBText() override;

    void SetDataSource(TDataSource* source);  // not owned; nullptr detaches
    TDataSource* DataSource() const { return m_source; }
    void SetDataField(std::string fieldName);
    const std::string& DataField() const { return m_field; }
    void Refresh();

  private:
    void DataSetReset() override { Refresh(); }
    void RowInserted(int) override { Refresh(); }
    void RowRemoved(int) override { Refresh(); }
    void RowChanged(int) override { Refresh(); }
    void CurrentChanged(int, int) override { Refresh(); }
    void StateChanged(TDataSetState) override { Refresh(); }
    void DataSetDestroying() override;

    TDataSource* m_source = nullptr;
    std::string m_field;
};
