// Focus: Tab walking the cells, and entering or leaving the grid (OnEnter, OnExit, dropping an
// untouched new row on the way out).

#include <QMdiSubWindow>

#include "SafeCall.h"
#include "TClientDataSet.h"
#include "TDBGrid.h"
#include "TDBGridModel.h"
#include "TDBGridPrivate.h"

bool TDBGrid::focusNextPrevChild(bool next) {
    // With dgTabs, Tab walks the cells; past the last cell it leaves the grid as usual.
    if (Options.count(dgTabs) && hasFocus() && CommitEditor() && MoveToNextCell(!next)) return true;
    return QTableView::focusNextPrevChild(next);
}

void TDBGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    if (d->editor) d->editor->setFocus();
}

bool TDBGrid::OwnsFocusWidget(QWidget* widget) const {
    return widget && (widget == this || isAncestorOf(widget));
}

namespace {
// The window a focus change happens in: an MDI child counts as a window of its own.
QWidget* FocusScope(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (w->isWindow() || qobject_cast<QMdiSubWindow*>(w)) return w;
    return nullptr;
}
}  // namespace

void TDBGrid::FocusMoved(QWidget* /*old*/, QWidget* now) {
    // Focus going to another window (a dialog, another screen, another application) is not
    // leaving the grid: the user comes back to it as it was.
    if (!now || FocusScope(now) != FocusScope(this)) return;
    bool inside = OwnsFocusWidget(now);
    if (inside == d->inside) return;
    d->inside = inside;
    if (inside) {
        if (OnEnter) SafeCall([this] { OnEnter(this); });
        return;
    }
    if (!CommitEditor()) return;
    TClientDataSet* dataSet = m_model->DataSet();
    SafeCall([&] {
        if (Options.count(dgCancelOnExit) && dataSet && dataSet->Active() &&
            dataSet->State() == TDataSetState::dsInsert && !dataSet->Modified())
            dataSet->Cancel();
        if (OnExit) OnExit(this);
    });
}

