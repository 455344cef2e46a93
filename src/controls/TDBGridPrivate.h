#pragma once
// The grid's own state, shared by the files that implement TDBGrid; not for other code.

#include <QLineEdit>
#include <QPointer>

#include "controls/TDBGrid.h"
#include "controls/TDBGridSelection.h"

struct TDBGrid::Private {
    TDBGridSelection* selection = nullptr;
    QPointer<QLineEdit> editor;
    int selectedIndex = -1;      // index in Columns() of the column the cursor is in
    bool inside = false;         // the focus is in the grid or its editor
    bool leaving = false;        // OnExit is running; the focus may come back before it ends
    bool forwardingKey = false;  // the key that opened the editor is on its way to it
    bool reportPending = false;  // an error from painting waits to be shown
    bool colEnterPending = false;
    bool applyingLayout = false;  // widths being set by the grid, not by the user
};
