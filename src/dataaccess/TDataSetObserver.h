#pragma once
// Change notifications a data source or grid model needs from a record set. Rows are 0-based
// positions in the record set's current order (an inserting row included). All are raised
// after the change, on the record set's thread.

#include "dataaccess/TDataSetState.h"

class TField;

class TDataSetObserver {
public:
    virtual ~TDataSetObserver() = default;
    virtual void DataSetReset() {}                   // content replaced, opened, closed or undone
    virtual void RowInserted(int /*row*/) {}
    virtual void RowRemoved(int /*row*/) {}
    virtual void RowChanged(int /*row*/) {}          // values of that row changed (edits included)
    virtual void CurrentChanged(int /*oldRow*/, int /*newRow*/) {}
    virtual void StateChanged(TDataSetState /*state*/) {}
    virtual void FocusFieldRequested(TField& /*field*/) {}  // TField::FocusControl
    virtual void DataSetDestroying() {}              // the record set is going away: detach
};
