#include "dataaccess/TDataSource.h"

#include <algorithm>

#include "dataaccess/TClientDataSet.h"

template <class Call>
void TDataSource::Forward(Call call) {
    // Observers may detach while being told; each is told only if still attached.
    const std::vector<TDataSetObserver*> snapshot = m_observers;
    for (TDataSetObserver* observer : snapshot)
        if (std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end())
            call(*observer);
}

TDataSource::TDataSource(TClientDataSet* dataSet) { SetDataSet(dataSet); }

TDataSource::~TDataSource() {
    if (m_dataSet) m_dataSet->RemoveObserver(this);
    Forward([](TDataSetObserver& o) { o.DataSetDestroying(); });
}

void TDataSource::SetDataSet(TClientDataSet* dataSet) {
    if (dataSet == m_dataSet) {
        // The same record set again is still a detach and an attach to whoever watches the
        // state: screens re-assign it to have their state handlers run.
        SetState(TDataSetState::dsInactive);
        if (m_dataSet) SetState(m_dataSet->State());
        return;
    }
    if (m_dataSet) m_dataSet->RemoveObserver(this);
    m_dataSet = nullptr;
    SetState(TDataSetState::dsInactive);
    m_dataSet = dataSet;
    if (m_dataSet) m_dataSet->AddObserver(this);
    Forward([](TDataSetObserver& o) { o.DataSetReset(); });
    if (m_dataSet) SetState(m_dataSet->State());
}

void TDataSource::SetState(TDataSetState state) {
    if (state == m_state) return;
    m_state = state;
    Forward([state](TDataSetObserver& o) { o.StateChanged(state); });
    if (OnStateChange) OnStateChange(*this);
}

void TDataSource::AddObserver(TDataSetObserver* observer) {
    if (observer &&
        std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void TDataSource::RemoveObserver(TDataSetObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

void TDataSource::DataSetReset() {
    Forward([](TDataSetObserver& o) { o.DataSetReset(); });
}
void TDataSource::RowInserted(int row) {
    Forward([row](TDataSetObserver& o) { o.RowInserted(row); });
}
void TDataSource::RowRemoved(int row) {
    Forward([row](TDataSetObserver& o) { o.RowRemoved(row); });
}
void TDataSource::RowChanged(int row) {
    Forward([row](TDataSetObserver& o) { o.RowChanged(row); });
}

void TDataSource::CurrentChanged(int oldRow, int newRow) {
    Forward([oldRow, newRow](TDataSetObserver& o) { o.CurrentChanged(oldRow, newRow); });
}

void TDataSource::StateChanged(TDataSetState state) { SetState(state); }

void TDataSource::FocusFieldRequested(TField& field) {
    Forward([&field](TDataSetObserver& o) { o.FocusFieldRequested(field); });
}

void TDataSource::DataSetDestroying() {
    // The record set is going away: forget it without calling back into it.
    m_dataSet = nullptr;
    SetState(TDataSetState::dsInactive);
    Forward([](TDataSetObserver& o) { o.DataSetReset(); });
}
