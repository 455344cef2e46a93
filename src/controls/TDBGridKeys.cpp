#include "controls/TDBGridKeys.h"

#include <QApplication>

#include "controls/ControlServices.h"
#include "controls/SafeCall.h"
#include "dataaccess/TClientDataSet.h"
#include "controls/TDBGridModel.h"
#include "controls/TDBGridPrivate.h"

int TDBGridVirtualKey(const QKeyEvent& event) {
    int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;  // same codes
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        default:
            return key;
    }
}

TShiftState TDBGridShift(Qt::KeyboardModifiers modifiers) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= ssShift;
    if (modifiers & Qt::AltModifier) shift |= ssAlt;
    if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
    return shift;
}

char32_t TDBGridTypedChar(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return 0;
    if (event.key() == Qt::Key_Backspace) return VK_BACK;
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) return VK_RETURN;
    QString text = event.text();
    if (text.isEmpty()) return 0;
    char32_t c = text.toUcs4().value(0);
    return c >= 32 && c != 127 ? c : 0;
}

// ---- The grid's keys, one table per place a key arrives ----------------------------------------

enum class Mods { None, Ctrl, WithCtrl, WithoutCtrl, Any };

struct TDBGrid::KeyBinding {
    int key;
    Mods mods;
    bool (TDBGrid::*action)(QKeyEvent*);
};

namespace {
bool Matches(Mods rule, Qt::KeyboardModifiers mods) {
    mods &= ~Qt::KeypadModifier;
    switch (rule) {
        case Mods::None:
            return mods == Qt::NoModifier;
        case Mods::Ctrl:
            return mods == Qt::ControlModifier;
        case Mods::WithCtrl:
            return (mods & Qt::ControlModifier) != 0;
        case Mods::WithoutCtrl:
            return (mods & Qt::ControlModifier) == 0;
        case Mods::Any:
            return true;
    }
    return false;
}
}  // namespace

bool TDBGrid::Dispatch(std::span<const KeyBinding> keys, QKeyEvent* event) {
    for (const KeyBinding& b : keys)
        if (b.key == event->key() && Matches(b.mods, event->modifiers()) && (this->*b.action)(event))
            return true;
    return false;
}

bool TDBGrid::StandardKey(QKeyEvent* event) {
    // Keys of the grid whether or not a cell editor is open.
    static const KeyBinding keys[] = {
        {Qt::Key_Escape, Mods::None, &TDBGrid::CancelKey},
        {Qt::Key_Delete, Mods::Ctrl, &TDBGrid::DeleteKey},
        {Qt::Key_Return, Mods::Ctrl, &TDBGrid::EditButtonKey},
        {Qt::Key_Enter, Mods::Ctrl, &TDBGrid::EditButtonKey},
        {Qt::Key_Tab, Mods::WithoutCtrl, &TDBGrid::TabKey},
        {Qt::Key_Backtab, Mods::WithoutCtrl, &TDBGrid::TabKey},
        {Qt::Key_Down, Mods::None, &TDBGrid::AppendKey}};
    return Dispatch(keys, event);
}

bool TDBGrid::HandleEditorKey(QKeyEvent* event) {
    static const KeyBinding keys[] = {
        {Qt::Key_Return, Mods::None, &TDBGrid::CommitKey},
        {Qt::Key_Enter, Mods::None, &TDBGrid::CommitKey},
        {Qt::Key_Up, Mods::Any, &TDBGrid::CommitAndMoveKey},
        {Qt::Key_Down, Mods::Any, &TDBGrid::CommitAndMoveKey},
        {Qt::Key_PageUp, Mods::Any, &TDBGrid::CommitAndMoveKey},
        {Qt::Key_PageDown, Mods::Any, &TDBGrid::CommitAndMoveKey}};
    if (d->forwardingKey) return false;
    if (!RaiseKeyDown(event)) return true;
    if (Dispatch(keys, event) || StandardKey(event)) return true;
    char32_t typed = TDBGridTypedChar(*event);
    if (!typed) return false;
    char32_t replaced = RaiseKeyPress(typed);
    if (replaced == 0) return true;
    if (!d->editor) return false;
    // The editor gets the character the handler let through (or its replacement), marked as
    // typed so that the entry filter does not offer it a second time.
    QKeyEvent forwarded(QEvent::KeyPress, replaced == typed ? event->key() : 0,
                        event->modifiers(), QString::fromUcs4(&replaced, 1));
    d->forwardingKey = true;
    QApplication::sendEvent(d->editor, &forwarded);
    d->forwardingKey = false;
    return true;
}

void TDBGrid::keyPressEvent(QKeyEvent* event) {
    static const KeyBinding keys[] = {
        {Qt::Key_Tab, Mods::WithCtrl, &TDBGrid::PageTurnKey},
        {Qt::Key_Backtab, Mods::WithCtrl, &TDBGrid::PageTurnKey},
        {Qt::Key_PageUp, Mods::WithCtrl, &TDBGrid::PageTurnKey},
        {Qt::Key_PageDown, Mods::WithCtrl, &TDBGrid::PageTurnKey}};
    event->accept();
    if (!RaiseKeyDown(event)) return;
    if (Dispatch(keys, event) || StandardKey(event)) return;
    char32_t typed = TDBGridTypedChar(*event);
    if (!typed) return QTableView::keyPressEvent(event);
    if (typed == VK_RETURN) {
        if (RaiseKeyPress(typed)) QTableView::keyPressEvent(event);
        return;
    }
    char32_t replaced = RaiseKeyPress(typed);
    if (replaced == 0 || replaced == 8 || !CanEditCell(currentIndex())) return;
    QKeyEvent substitute(QEvent::KeyPress, replaced == typed ? event->key() : 0, event->modifiers(),
                         QString::fromUcs4(&replaced, 1));
    edit(currentIndex(), AnyKeyPressed, &substitute);
}

bool TDBGrid::RaiseKeyDown(QKeyEvent* event) {
    if (!OnKeyDown) return true;
    int key = TDBGridVirtualKey(*event);
    bool alive = SafeCall([&] { OnKeyDown(this, key, TDBGridShift(event->modifiers())); });
    return alive && key != 0;
}

char32_t TDBGrid::RaiseKeyPress(char32_t key) {
    if (key && OnKeyPress) {
        if (!SafeCall([&] { OnKeyPress(this, key); })) return 0;
    }
    return key;
}

TClientDataSet* TDBGrid::ActiveDataSet() const {
    TClientDataSet* dataSet = m_model->DataSet();
    return dataSet && dataSet->Active() ? dataSet : nullptr;
}

bool TDBGrid::CancelKey(QKeyEvent*) {
    // One step at a time: an open cell first (restoring it), the row's edit on the next press.
    if (d->editor) {
        DiscardEditor();
        return true;
    }
    TClientDataSet* dataSet = ActiveDataSet();
    if (dataSet && dataSet->State() != TDataSetState::dsBrowse)
        SafeCall([&] { dataSet->Cancel(); });
    return true;
}

bool TDBGrid::DeleteKey(QKeyEvent*) {
    // A row being edited or inserted is not deleted: it is confirmed or cancelled first.
    TClientDataSet* dataSet = ActiveDataSet();
    if (!dataSet || dataSet->IsEmpty() || !Options.count(dgEditing) ||
        dataSet->State() != TDataSetState::dsBrowse)
        return true;
    SafeCall([&] {
        if (Options.count(dgConfirmDelete) &&
            !(ControlServices().ConfirmDelete && ControlServices().ConfirmDelete()))
            return;
        DiscardEditor();
        dataSet->Delete();
    });
    return true;
}

bool TDBGrid::EditButtonKey(QKeyEvent*) {
    EditButtonClicked();
    return true;
}

bool TDBGrid::TabKey(QKeyEvent* event) {
    if (!Options.count(dgTabs)) return false;
    MoveToNextCell(event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier));
    return true;
}

bool TDBGrid::AppendKey(QKeyEvent*) {
    // Down on the last row appends, unless that row is a new one nobody has typed in yet.
    TClientDataSet* dataSet = ActiveDataSet();
    if (!dataSet || !Options.count(dgEditing)) return false;
    bool last = dataSet->RecNo() == dataSet->RecordCount() - 1 || dataSet->IsEmpty();
    bool untouchedInsert = dataSet->State() == TDataSetState::dsInsert && !dataSet->Modified();
    if (!last || untouchedInsert) return false;
    if (CommitEditor()) SafeCall([&] { dataSet->Append(); });
    return true;
}

bool TDBGrid::CommitKey(QKeyEvent*) {
    // Enter is a character to the key filter like any other: dropped, it takes nothing.
    if (RaiseKeyPress(VK_RETURN)) CommitEditor();
    return true;
}

bool TDBGrid::CommitAndMoveKey(QKeyEvent* event) {
    if (CommitEditor()) QTableView::keyPressEvent(event);
    return true;
}

bool TDBGrid::PageTurnKey(QKeyEvent* event) {
    // Left to the page control around the grid, once the open cell is written.
    if (CommitEditor()) event->ignore();
    return true;
}

bool TDBGrid::MoveToNextCell(bool back) {
    QModelIndex current = currentIndex();
    int columns = m_model->columnCount(), rows = m_model->rowCount();
    if (!current.isValid() || columns == 0) return false;
    int row = current.row(), column = current.column() + (back ? -1 : 1);
    if (column >= columns) column = 0, ++row;
    if (column < 0) column = columns - 1, --row;
    if (row < 0 || row >= rows) return false;
    setCurrentIndex(m_model->index(row, column));
    return true;
}
