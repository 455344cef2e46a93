#include "TDBGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include "SafeCall.h"
#include "StdDialogs.h"
#include "TClientDataSet.h"
#include "TDBGridDelegate.h"
#include "TDBGridKeys.h"
#include "TDBGridModel.h"
#include "TDBGridSelection.h"
#include "TDataSource.h"
#include "TMessages.h"

struct TDBGrid::Private {
    TDBGridSelection* selection = nullptr;
    QPointer<QLineEdit> editor;
    int selectedIndex = -1;      // index in Columns() of the column the cursor is in
    bool inside = false;         // the focus is in the grid or its editor
    bool forwardingKey = false;  // the key that opened the editor is on its way to it
    bool reportPending = false;  // an error from painting waits to be shown
    bool colEnterPending = false;
    bool applyingLayout = false;  // widths being set by the grid, not by the user
};

TDBGrid::TDBGrid(QWidget* parent)
    : QTableView(parent),
      m_model(std::make_unique<TDBGridModel>(m_columns)),
      m_delegate(new TDBGridDelegate(*this)),
      d(std::make_unique<Private>()) {
    Options = {dgEditing,     dgTitles, dgColumnResize,        dgColLines,
               dgRowLines,    dgTabs,   dgAlwaysShowSelection, dgConfirmDelete,
               dgCancelOnExit};
    setModel(m_model.get());
    d->selection = new TDBGridSelection(m_model.get(), this);
    setSelectionModel(d->selection);
    setItemDelegate(m_delegate);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setEditTriggers(AnyKeyPressed | DoubleClicked | EditKeyPressed);
    setTabKeyNavigation(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);

    d->selection->Gate = [this](const QModelIndex& from, const QModelIndex& to) {
        return GateMove(from, to);
    };
    m_model->OnCurrentChanged = [this](int, int) { FollowDataSet(); };
    m_model->OnReset = [this] {
        ApplyLayout();
        FollowDataSet();
    };
    m_model->OnStateChanged = [this] {
        TClientDataSet* dataSet = m_model->DataSet();
        if (d->editor && (!dataSet || dataSet->State() == TDataSetState::dsBrowse ||
                          dataSet->State() == TDataSetState::dsInactive))
            DiscardEditor();
        viewport()->update();
    };
    m_model->OnFocusField = [this](TField& field) {
        for (int i = 0; i < m_columns.Count(); ++i)
            if (m_columns[i].Field() == &field) {
                setFocus(Qt::OtherFocusReason);
                SetSelectedIndex(i);
                return;
            }
    };
    // Rows coming and going move the view's cursor by itself; the record set says where it is.
    auto hold = [this] { d->selection->Bypass = true; };
    auto release = [this] {
        d->selection->Bypass = false;
        FollowDataSet();
    };
    connect(m_model.get(), &QAbstractItemModel::rowsAboutToBeRemoved, this, hold);
    connect(m_model.get(), &QAbstractItemModel::rowsAboutToBeInserted, this, hold);
    connect(m_model.get(), &QAbstractItemModel::modelAboutToBeReset, this, hold);
    connect(m_model.get(), &QAbstractItemModel::rowsRemoved, this, release);
    connect(m_model.get(), &QAbstractItemModel::rowsInserted, this, release);
    connect(m_model.get(), &QAbstractItemModel::modelReset, this, release);
    // A column the user widened keeps its width across reloads.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                if (d->applyingLayout) return;
                if (TColumn* column = m_model->ColumnAt(section)) column->Width = size;
            });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget* old, QWidget* now) { FocusMoved(old, now); });
}

TDBGrid::~TDBGrid() {
    // Observers go before the view so no notification reaches a half-destroyed grid.
    m_model->SetDataSource(nullptr);
}

void TDBGrid::SetDataSource(TDataSource* source) { m_model->SetDataSource(source); }

TDataSource* TDBGrid::DataSource() const { return m_model->DataSource(); }

TField* TDBGrid::SelectedField() const {
    int index = SelectedIndex();
    return index < 0 ? nullptr : m_columns[index].Field();
}

int TDBGrid::SelectedIndex() const {
    return d->selectedIndex >= 0 && d->selectedIndex < m_columns.Count() ? d->selectedIndex : -1;
}

void TDBGrid::SetSelectedIndex(int columnIndex) {
    int target = m_model->ModelColumnOf(columnIndex);
    if (target < 0 || columnIndex == d->selectedIndex) return;
    if (!CommitEditor()) return;
    if (OnColExit) OnColExit(this);
    QModelIndex to = m_model->index(std::max(currentIndex().row(), 0), target);
    d->selection->Bypass = true;
    d->selection->setCurrentIndex(to, QItemSelectionModel::ClearAndSelect);
    d->selection->Bypass = false;
    d->selectedIndex = columnIndex;
    if (OnColEnter) OnColEnter(this);
}

void TDBGrid::RecalcLayoutAndRepaint() { m_model->RefreshColumns(); }

long TDBGrid::Perform(unsigned message, long /*wParam*/, long /*lParam*/) {
    if (message == 45070) RecalcLayoutAndRepaint();
    return 0;
}

void TDBGrid::ApplyLayout() {
    horizontalHeader()->setVisible(Options.count(dgTitles) > 0);
    setShowGrid(Options.count(dgColLines) || Options.count(dgRowLines));
    horizontalHeader()->setSectionResizeMode(
        Options.count(dgColumnResize) ? QHeaderView::Interactive : QHeaderView::Fixed);
    d->applyingLayout = true;
    int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < m_model->columnCount(); ++c) {
        TColumn* column = m_model->ColumnAt(c);
        int width = column->Width;
        if (width <= 0)
            width = (column->Field() ? column->Field()->DisplayWidth() : 10) * charWidth + 4;
        setColumnWidth(c, width);
    }
    d->applyingLayout = false;
    viewport()->update();
}

void TDBGrid::FollowDataSet() {
    TClientDataSet* dataSet = m_model->DataSet();
    int row = dataSet && dataSet->Active() ? dataSet->RecNo() : -1;
    int column = m_model->ModelColumnOf(d->selectedIndex);
    if (column < 0 && m_model->columnCount() > 0) {
        column = 0;
        d->selectedIndex = m_model->ColumnIndexOf(0);
    }
    if (row < 0 || row >= m_model->rowCount() || column < 0) {
        d->selection->Bypass = true;
        d->selection->clearCurrentIndex();
        d->selection->Bypass = false;
        return;
    }
    QModelIndex target = m_model->index(row, column);
    if (target == currentIndex()) return;
    if (d->editor) DiscardEditor();
    d->selection->Bypass = true;
    d->selection->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    d->selection->Bypass = false;
    scrollTo(target);
}

QModelIndex TDBGrid::GateMove(const QModelIndex& from, const QModelIndex& to) {
    QModelIndex target = to;
    bool ok = SafeCall([&] {
        if (!CommitEditorOrThrow()) {
            target = {};
            return;
        }
        int toIndex = m_model->ColumnIndexOf(to.column());
        if (from.isValid() && toIndex != d->selectedIndex && OnColExit) OnColExit(this);
        TClientDataSet* dataSet = m_model->DataSet();
        if (dataSet && dataSet->Active() && to.row() != dataSet->RecNo()) {
            int row = to.row();
            // Leaving an untouched new row drops it, as desktop grids do, instead of posting an
            // empty record the checks would refuse.
            if (dataSet->State() == TDataSetState::dsInsert && !dataSet->Modified()) {
                int inserted = dataSet->RecNo();
                dataSet->Cancel();
                if (row > inserted) --row;
            }
            if (row >= 0 && row < dataSet->RecordCount()) dataSet->MoveTo(row);
            row = dataSet->RecNo();
            target = row < 0 ? QModelIndex() : m_model->index(row, to.column());
        }
        if (target.isValid() && toIndex != d->selectedIndex) {
            d->selectedIndex = toIndex;
            d->colEnterPending = true;
        }
    });
    return ok ? target : QModelIndex();
}

bool TDBGrid::CanEditCell(const QModelIndex& index) const {
    if (!index.isValid() || !Options.count(dgEditing)) return false;
    TClientDataSet* dataSet = m_model->DataSet();
    TColumn* column = m_model->ColumnAt(index.column());
    return dataSet && dataSet->Active() && column && column->Field() && !column->ReadOnly;
}

bool TDBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (trigger == NoEditTriggers || trigger == CurrentChanged || trigger == SelectedClicked)
        return QTableView::edit(index, trigger, event);
    if (!CanEditCell(index)) return false;
    TClientDataSet* dataSet = m_model->DataSet();
    if (dataSet->State() == TDataSetState::dsBrowse && !SafeCall([&] {
            if (dataSet->IsEmpty())
                dataSet->Append();
            else
                dataSet->Edit();
        }))
        return false;
    // The record set may have moved or reset while starting the edit.
    QModelIndex cell = currentIndex().isValid() ? currentIndex() : index;
    d->forwardingKey = true;
    bool opened = QTableView::edit(cell, trigger, event);
    d->forwardingKey = false;
    return opened;
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!d->colEnterPending) return;
    d->colEnterPending = false;
    if (OnColEnter) SafeCall([this] { OnColEnter(this); });
}

void TDBGrid::EditorCreated(QLineEdit* editor) { d->editor = editor; }

bool TDBGrid::CommitEditor() {
    bool committed = false;
    SafeCall([&] { committed = CommitEditorOrThrow(); });
    return committed;
}

bool TDBGrid::CommitEditorOrThrow() {
    QLineEdit* editor = d->editor;
    if (!editor) return true;
    QModelIndex cell = currentIndex();
    TColumn* column = m_model->ColumnAt(cell.column());
    TField* field = column ? column->Field() : nullptr;
    if (field && editor->isModified()) {
        std::string text = editor->text().toStdString();
        if (!editor->inputMask().isEmpty()) {
            // A mask with nothing typed is an empty value; a half-filled one is refused.
            QString typed = editor->displayText();
            bool nothingTyped = true;
            for (QChar ch : typed)
                if (ch.isLetterOrNumber()) nothingTyped = false;
            if (nothingTyped)
                text.clear();
            else if (!editor->hasAcceptableInput())
                throw EDatabaseError("O valor de \"" + field->DisplayLabel() +
                                     "\" está incompleto.");
        }
        TClientDataSet& dataSet = field->DataSet();
        if (dataSet.State() == TDataSetState::dsBrowse) dataSet.Edit();
        if (field->AsString() != text || field->IsNull()) field->SetAsString(text);
    }
    DiscardEditor();
    return true;
}

void TDBGrid::DiscardEditor() {
    QPointer<QLineEdit> editor = d->editor;
    d->editor = nullptr;
    // The view releases editors by itself on resets and removed rows (hidden, then deleted).
    if (!editor || editor->isHidden()) return;
    bool hadFocus = editor->hasFocus();
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (hadFocus) setFocus(Qt::OtherFocusReason);
}

void TDBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Editors close through CommitEditor/DiscardEditor so a refused value keeps its editor.
    if (editor == d->editor) return;
    QTableView::closeEditor(editor, hint);
}

void TDBGrid::commitData(QWidget* editor) {
    if (editor == d->editor) return;  // committed by CommitEditor
    QTableView::commitData(editor);
}

void TDBGrid::EditButtonClicked() {
    TColumn* column = m_model->ColumnAt(currentIndex().column());
    if (!column || column->ButtonStyle != cbsEllipsis || !OnEditButtonClick) return;
    SafeCall([this] { OnEditButtonClick(this); });
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

bool TDBGrid::HandleStandardKey(QKeyEvent* event) {
    TClientDataSet* dataSet = m_model->DataSet();
    bool active = dataSet && dataSet->Active();
    Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    int key = event->key();
    if (key == Qt::Key_Escape && mods == Qt::NoModifier) {
        DiscardEditor();
        if (active && dataSet->State() != TDataSetState::dsBrowse)
            SafeCall([&] { dataSet->Cancel(); });
        return true;
    }
    if (key == Qt::Key_Delete && mods == Qt::ControlModifier) {
        if (!active || dataSet->IsEmpty() || !Options.count(dgEditing)) return true;
        SafeCall([&] {
            if (Options.count(dgConfirmDelete) &&
                MessageDlg(TMessages::Standard().Msg("Excl"), mtConfirmation, {mbYes, mbNo}, 0) !=
                    mrYes)
                return;
            DiscardEditor();
            dataSet->Delete();
        });
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::ControlModifier) {
        EditButtonClicked();
        return true;
    }
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && Options.count(dgTabs) &&
        !(mods & Qt::ControlModifier)) {
        bool back = key == Qt::Key_Backtab || (mods & Qt::ShiftModifier);
        MoveToNextCell(back);
        return true;
    }
    if (key == Qt::Key_Down && mods == Qt::NoModifier && active && Options.count(dgEditing)) {
        bool last = dataSet->RecNo() == dataSet->RecordCount() - 1 || dataSet->IsEmpty();
        bool untouchedInsert = dataSet->State() == TDataSetState::dsInsert && !dataSet->Modified();
        if (last && !untouchedInsert) {
            if (CommitEditor()) SafeCall([&] { dataSet->Append(); });
            return true;
        }
    }
    return false;
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

bool TDBGrid::focusNextPrevChild(bool next) {
    // With dgTabs, Tab walks the cells; past the last cell it leaves the grid as usual.
    if (Options.count(dgTabs) && hasFocus() && CommitEditor() && MoveToNextCell(!next)) return true;
    return QTableView::focusNextPrevChild(next);
}

bool TDBGrid::HandleEditorKey(QKeyEvent* event) {
    if (d->forwardingKey) return false;
    if (!RaiseKeyDown(event)) return true;
    int key = event->key();
    Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::NoModifier) {
        CommitEditor();
        return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
        key == Qt::Key_PageDown) {
        if (CommitEditor()) QTableView::keyPressEvent(event);
        return true;
    }
    if (HandleStandardKey(event)) return true;
    char32_t typed = TDBGridTypedChar(*event);
    if (!typed) return false;
    char32_t replaced = RaiseKeyPress(typed);
    if (replaced == 0) return true;
    if (replaced == typed || !d->editor) return false;
    QString text = QString::fromUcs4(&replaced, 1);
    QKeyEvent substitute(QEvent::KeyPress, 0, event->modifiers(), text);
    d->forwardingKey = true;
    QApplication::sendEvent(d->editor, &substitute);
    d->forwardingKey = false;
    return true;
}

void TDBGrid::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (!RaiseKeyDown(event)) return;
    // Ctrl+Tab and Ctrl+PgUp/PgDn turn the pages of the control around the grid.
    int key = event->key();
    if ((event->modifiers() & Qt::ControlModifier) &&
        (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_PageUp ||
         key == Qt::Key_PageDown)) {
        if (CommitEditor()) event->ignore();
        return;
    }
    if (HandleStandardKey(event)) return;
    char32_t typed = TDBGridTypedChar(*event);
    if (!typed) return QTableView::keyPressEvent(event);
    char32_t replaced = RaiseKeyPress(typed);
    if (replaced == 0 || replaced == 8 || !CanEditCell(currentIndex())) return;
    QKeyEvent substitute(QEvent::KeyPress, replaced == typed ? event->key() : 0, event->modifiers(),
                         QString::fromUcs4(&replaced, 1));
    edit(currentIndex(), AnyKeyPressed, &substitute);
}

void TDBGrid::mousePressEvent(QMouseEvent* event) {
    QModelIndex cell = indexAt(event->position().toPoint());
    TColumn* column = m_model->ColumnAt(cell.column());
    if (cell.isValid() && cell == currentIndex() && column && column->ButtonStyle == cbsEllipsis &&
        TDBGridDelegate::ButtonRect(visualRect(cell)).contains(event->position().toPoint())) {
        EditButtonClicked();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (OnDblClick && indexAt(event->position().toPoint()).isValid())
        SafeCall([this] { OnDblClick(this); });
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

void TDBGrid::DrawCellEvent(QPainter& painter, const QRect& rect, const QModelIndex& index,
                            bool selected) {
    if (!OnDrawColumnCell) return;
    TColumn* column = m_model->ColumnAt(index.column());
    if (!column) return;
    TCanvas canvas(painter);
    canvas.Brush = selected ? palette().color(hasFocus() ? QPalette::Active : QPalette::Inactive,
                                              QPalette::Highlight)
                            : palette().color(QPalette::Base);
    m_canvas = &canvas;
    try {
        OnDrawColumnCell(this, rect, index.column(), *column, selected ? gdSelected : 0);
    } catch (...) {
        // A dialog inside a paint event would recurse; report once the paint is over.
        if (!d->reportPending) {
            d->reportPending = true;
            QTimer::singleShot(0, this, [this, error = std::current_exception()] {
                d->reportPending = false;
                ShowException(error);
            });
        }
    }
    m_canvas = nullptr;
}
