// Focus: Tab walking the cells, and entering or leaving the grid (OnEnter, OnExit, dropping an
// untouched new row on the way out; a refused exit keeps the focus).

#include <QApplication>
#include <QMdiSubWindow>

#include "controls/SafeCall.h"
#include "dataaccess/TClientDataSet.h"
#include "controls/TDBGrid.h"
#include "controls/TDBGridModel.h"
#include "controls/TDBGridPrivate.h"

bool TDBGrid::focusNextPrevChild(bool next) {
    // With dgTabs, Tab walks the cells; past the last cell it leaves the grid as usual. A grid
    // being hidden is asked too (to give its focus away), and gives it.
    if (Options.count(dgTabs) && isVisible() && hasFocus() && CommitEditor() &&
        MoveToNextCell(!next))
        return true;
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
    // leaving the grid: the user comes back to it as it was. Focus going to no widget is leaving
    // only when the grid can no longer hold it (its page hidden, the grid disabled).
    if (now ? FocusScope(now) != FocusScope(this) : isVisible() && isEnabled()) return;
    // The MDI child's own frame takes the focus for an instant when a control that takes none
    // (a tool button) is clicked, and hands it straight back: no one left the grid.
    if (now && now == FocusScope(this) && qobject_cast<QMdiSubWindow*>(now)) return;
    bool inside = OwnsFocusWidget(now);
    if (inside == d->inside) return;
    d->inside = inside;
    if (inside) {
        // Back because a refused exit brought it back: the user never left.
        if (!d->leaving && OnEnter) SafeCall([this] { OnEnter(this); });
        return;
    }
    d->leaving = true;
    bool left = CommitEditor() && SafeCall([&] {
        TClientDataSet* dataSet = ActiveDataSet();
        if (Options.count(dgCancelOnExit) && dataSet &&
            dataSet->State() == TDataSetState::dsInsert && !dataSet->Modified())
            dataSet->Cancel();
        if (OnExit) OnExit(this);
    });
    d->leaving = false;
    if (left) return;
    // A refused exit (a value or a post the checks refused) keeps the focus in the grid, on the
    // cell the refusal pointed at.
    d->inside = true;
    if (!OwnsFocusWidget(QApplication::focusWidget())) setFocus(Qt::OtherFocusReason);
}
