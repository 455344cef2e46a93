#include "controls/TDBGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <optional>
#include <string>
#include <vector>

#include "controls/SafeCall.h"
#include "dataaccess/TClientDataSet.h"
#include "controls/TDBGridDelegate.h"
#include "controls/TDBGridModel.h"
#include "controls/TDBGridPrivate.h"
#include "dataaccess/TDataSource.h"

TDBGrid::TDBGrid(QWidget* parent)
    : QTableView(parent),
      m_model(std::make_unique<TDBGridModel>(m_columns)),
      m_delegate(new TDBGridDelegate(*this)),
      d(std::make_unique<Private>()) {
    Options = {dgEditing,     dgTitles, dgColumnResize,        dgColLines,
               dgRowLines,    dgTabs,   dgAlwaysShowSelection, dgConfirmDelete,
               dgCancelOnExit};
    // Held before the view hears of rows going or coming (connected ahead of setModel): the view
    // moves its cursor off a removed row, which must not move the record set.
    auto hold = [this] {
        if (d->selection) d->selection->Bypass = true;
    };
    // A cell whose row goes (a cancelled insert, a list read again) is thrown away first: left
    // open, the view would hide it, the focus would leave the grid, and leaving writes the open
    // cell into whatever row is current by then.
    connect(m_model.get(), &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this, hold](const QModelIndex&, int first, int last) {
                hold();
                const int row = currentIndex().row();
                if (d->editor && row >= first && row <= last) DiscardEditor();
            });
    connect(m_model.get(), &QAbstractItemModel::rowsAboutToBeInserted, this, hold);
    connect(m_model.get(), &QAbstractItemModel::modelAboutToBeReset, this, [this, hold] {
        hold();
        if (d->editor) DiscardEditor();
    });
    setModel(m_model.get());
    d->selection = new TDBGridSelection(m_model.get(), this);
    setSelectionModel(d->selection);
    setItemDelegate(m_delegate);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    // F2 is left to the form (the change command): typing or a double click opens a cell.
    setEditTriggers(AnyKeyPressed | DoubleClicked);
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
    // A column turned read-only or given a button shows it at once, an open cell included.
    m_columns.OnSettingChanged = [this] {
        if (d->editor && !CanEditCell(currentIndex())) DiscardEditor();
        updateEditorGeometries();
        viewport()->update();
    };
    // FocusControl is the program placing the cursor: no user left a column, so OnColExit does
    // not run (a check that failed would otherwise run the check of the column it leaves); the
    // column entered is announced as a user's move announces it, so per-column settings follow.
    m_model->OnFocusField = [this](TField& field) {
        for (int i = 0; i < m_columns.Count(); ++i)
            if (m_columns[i].Field() == &field) {
                setFocus(Qt::OtherFocusReason);
                if (d->editor) DiscardEditor();
                const bool entering = i != d->selectedIndex;
                PlaceCursor(i);
                if (entering && OnColEnter) OnColEnter(this);
                return;
            }
    };
    // Rows coming and going move the view's cursor by itself; the record set says where it is.
    auto release = [this] {
        d->selection->Bypass = false;
        FollowDataSet();
    };
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

namespace {

using TRowValues = std::vector<std::optional<std::string>>;

TRowValues RowValues(const TClientDataSet& dataSet, int row) {
    TRowValues values;
    if (row < 0 || row >= dataSet.RecordCount()) return values;
    for (int f = 0; f < dataSet.FieldCount(); ++f) {
        auto value = dataSet.ValueAt(row, f);
        values.emplace_back(value ? std::optional<std::string>(*value) : std::nullopt);
    }
    return values;
}

int FindRow(const TClientDataSet& dataSet, const TRowValues& values) {
    if (values.empty()) return -1;
    for (int row = 0; row < dataSet.RecordCount(); ++row)
        if (RowValues(dataSet, row) == values) return row;
    return -1;
}

}  // namespace

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
    PlaceCursor(columnIndex);
    if (OnColEnter) OnColEnter(this);
}

void TDBGrid::PlaceCursor(int columnIndex) {
    int target = m_model->ModelColumnOf(columnIndex);
    if (target < 0) return;
    QModelIndex to = m_model->index(std::max(currentIndex().row(), 0), target);
    d->selection->Bypass = true;
    d->selection->setCurrentIndex(to, QItemSelectionModel::ClearAndSelect);
    d->selection->Bypass = false;
    d->selectedIndex = columnIndex;
}

void TDBGrid::RecalcLayoutAndRepaint() { m_model->RefreshColumns(); }

void TDBGrid::SetPendingChangesHint(const std::string& hint) {
    m_model->SetPendingHint(hint);
    viewport()->update();
}

const std::string& TDBGrid::PendingChangesHint() const { return m_model->PendingHint(); }

long TDBGrid::Perform(unsigned message, long /*wParam*/, long /*lParam*/) {
    if (message == kRecalcLayoutMessage) RecalcLayoutAndRepaint();
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
        // The first column becomes current without a move of the user's: announced all the same.
        column = 0;
        d->selectedIndex = m_model->ColumnIndexOf(0);
        if (OnColEnter) SafeCall([this] { OnColEnter(this); });
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
            } else if (dataSet->State() != TDataSetState::dsBrowse && dataSet->Modified()) {
                // The post may read the list again (a save that refreshes), leaving other rows
                // at other places: the row the user went for is found again by its values.
                const auto wanted = RowValues(*dataSet, row);
                dataSet->Post();
                if (RowValues(*dataSet, row) != wanted) row = FindRow(*dataSet, wanted);
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

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!d->colEnterPending) return;
    d->colEnterPending = false;
    if (OnColEnter) SafeCall([this] { OnColEnter(this); });
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

void TDBGrid::DrawCellEvent(QPainter& painter, const QRect& rect, const QModelIndex& index,
                            bool selected) {
    if (!OnDrawColumnCell) return;
    TColumn* column = m_model->ColumnAt(index.column());
    if (!column) return;
    // The painted row's values for the handler, as if it were current; nothing else moves.
    TClientDataSet* dataSet = m_model->DataSet();
    struct ShowRow {
        TClientDataSet* dataSet;
        ShowRow(TClientDataSet* ds, int row) : dataSet(ds) {
            if (dataSet) dataSet->SetDisplayRow(row);
        }
        ~ShowRow() {
            if (dataSet) dataSet->SetDisplayRow(-1);
        }
    } showRow(dataSet, m_model->SourceRow(index.row()));
    TCanvas canvas(painter);
    canvas.Brush = selected ? palette().color(hasFocus() ? QPalette::Active : QPalette::Inactive,
                                              QPalette::Highlight)
                   : m_model->RowMarkedPending(index.row()) ? TDBGridModel::PendingColor()
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
                SafeCall([&] { std::rethrow_exception(error); });
            });
        }
    }
    m_canvas = nullptr;
}
