#pragma once
// Ties a record set to the controls that show it. State mirrors the record set's state;
// OnStateChange runs on every change, and assigning DataSet reports inactive first, then the
// record set's state, also when the record set assigned is the one already attached. Forwards
// the record set's change notifications to its own observers, which are told DataSetReset when
// the record set is replaced or destroyed (the source then detaches by itself) and
// DataSetDestroying when the source itself goes away. Not thread-safe: a source, its record set
// and its observers live on one thread (the UI thread in the host).

#include <functional>
#include <vector>

#include "dataaccess/TDataSetObserver.h"
#include "dataaccess/TDataSetState.h"

class TClientDataSet;
class TDataSource;

using TDataSourceNotifyEvent = std::function<void(TDataSource&)>;

class TDataSource : private TDataSetObserver {
  public:
    TDataSource() = default;
    explicit TDataSource(TClientDataSet* dataSet);
    ~TDataSource() override;
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    TClientDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TClientDataSet* dataSet);  // nullptr detaches
    TDataSetState State() const { return m_state; }

    TDataSourceNotifyEvent OnStateChange;

    void AddObserver(TDataSetObserver* observer);
    void RemoveObserver(TDataSetObserver* observer);

  private:
    void DataSetReset() override;
    void RowInserted(int row) override;
    void RowRemoved(int row) override;
    void RowChanged(int row) override;
    void CurrentChanged(int oldRow, int newRow) override;
    void StateChanged(TDataSetState state) override;
    void FocusFieldRequested(TField& field) override;
    void DataSetDestroying() override;
    void SetState(TDataSetState state);
    template <class Call>
    void Forward(Call call);

    TClientDataSet* m_dataSet = nullptr;
    TDataSetState m_state = TDataSetState::dsInactive;
    std::vector<TDataSetObserver*> m_observers;
};
