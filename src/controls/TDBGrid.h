#pragma once
// A data-aware grid over a TDataSource, on QTableView with TDBGridModel as its thin adapter.
// Behaves like the standard data-aware grid of desktop database toolkits:
// - the grid cursor follows the record set's current row, and moving the cursor to another row
//   moves the record set (which posts a pending edit first); a refused post keeps the cursor on
//   the row and reports the error;
// - typing in a cell of a browse row starts an edit (Edit); leaving the cell writes the value
//   through TField::SetAsString; a refused value is reported and the editor stays open;
// - Esc closes an open editor (the cell keeps its value), then cancels the row's edit or insert;
// - Ctrl+Delete deletes the current row, after the standard confirmation with dgConfirmDelete;
// - Down on the last row appends a row (not while that row is a new, untouched insert);
// - leaving the grid with an inserted row that holds no change cancels it (dgCancelOnExit);
// - read-only columns, a column without a field, or Options without dgEditing block typing;
// - a field's EditMask (Qt input-mask syntax) applies to typing; the editor takes at most the
//   field's Size characters;
// - Ctrl+Enter or a click on the "..." of a cbsEllipsis column raises OnEditButtonClick.
// Every event is raised where the user acts; an exception from a handler never reaches Qt: it is
// reported (EAbort silently) and, where it refuses something (OnColExit, a post), the grid stays.
// With no columns added, the grid shows the record set's visible fields.

#include <QTableView>
#include <functional>
#include <memory>
#include <set>
#include <span>

#include "controls/TDBGridCanvas.h"
#include "controls/TDBGridColumn.h"

class QLineEdit;
class TClientDataSet;
class TDataSource;
class TField;
class TDBGridModel;
class TDBGridDelegate;

enum TDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit
};
using TDBGridOptions = std::set<TDBGridOption>;

enum TGridDrawStateFlag { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = int;  // TGridDrawStateFlag bits

enum TShiftFlag { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = int;  // TShiftFlag bits

// Virtual key codes for OnKeyDown (letters and digits are their upper-case characters).
enum TVirtualKey {
    VK_BACK = 8,
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_PRIOR = 33,
    VK_NEXT = 34,
    VK_END = 35,
    VK_HOME = 36,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_INSERT = 45,
    VK_DELETE = 46,
    VK_F2 = 113
};

class TDBGrid : public QTableView {
    Q_OBJECT
  public:
    explicit TDBGrid(QWidget* parent = nullptr);
    ~TDBGrid() override;

    void SetDataSource(TDataSource* source);  // not owned; must outlive the grid or be detached
    TDataSource* DataSource() const;

    TDBGridColumns& Columns() { return m_columns; }
    const TDBGridColumns& Columns() const { return m_columns; }

    TDBGridOptions Options;  // default: editing, titles, resize, lines, tabs, selection, confirm
                             // delete, cancel on exit; dgEditing is read whenever the user types

    TField* SelectedField() const;  // field of the current column; nullptr when none
    int SelectedIndex() const;      // index in Columns() of the current column; -1 when none
    // Moves the cursor to that column, raising OnColExit and OnColEnter; an exception from either
    // travels on to the caller (from OnColExit: the cursor stays). TField::FocusControl moves it
    // too, raising OnColEnter only: every way the cursor arrives in a column announces it.
    void SetSelectedIndex(int columnIndex);

    // Recomputes column widths and titles from Columns() and repaints; the toolkit's message
    // Perform(kRecalcLayoutMessage, 0, 0) does the same. Other messages are ignored.
    static constexpr unsigned kRecalcLayoutMessage = 45070;
    void RecalcLayoutAndRepaint();
    long Perform(unsigned message, long wParam, long lParam);

    // Rows holding changes their record set has not had accepted (its change log) are painted
    // in an amber of their own, with this text as their tooltip; an empty text marks nothing.
    void SetPendingChangesHint(const std::string& hint);
    const std::string& PendingChangesHint() const;

    // Commits an open editor into its field; false (error reported) when the field refused it.
    bool CommitEditor();

    // Events (empty: none). sender is this grid.
    std::function<void(QObject* sender)> OnColEnter;
    std::function<void(QObject* sender)> OnColExit;  // throws to keep the cursor in the column
    std::function<void(QObject* sender, const QRect& rect, int dataCol, TColumn& column,
                       TGridDrawState state)>
        OnDrawColumnCell;
    std::function<void(QObject* sender)> OnDblClick;
    std::function<void(QObject* sender, int& key, TShiftState shift)> OnKeyDown;  // key 0 swallows
    std::function<void(QObject* sender, char32_t& key)> OnKeyPress;               // key 0 drops
    std::function<void(QObject* sender)> OnEditButtonClick;
    std::function<void(QObject* sender)> OnEnter;
    std::function<void(QObject* sender)> OnExit;

    TCanvas* Canvas() const { return m_canvas; }  // set only while OnDrawColumnCell runs
    TDBGridModel* Model() const { return m_model.get(); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void commitData(QWidget* editor) override;

  private:
    friend class TDBGridDelegate;
    struct Private;
    struct KeyBinding;

    // Cursor and layout (TDBGrid.cpp).
    void PlaceCursor(int columnIndex);  // moves the cursor to that column without column events
    QModelIndex GateMove(const QModelIndex& from, const QModelIndex& to);
    void FollowDataSet();
    void ApplyLayout();
    void DrawCellEvent(QPainter& painter, const QRect& rect, const QModelIndex& index,
                       bool selected);

    // The cell editor (TDBGridEditor.cpp).
    bool CanEditCell(const QModelIndex& index) const;
    void EditorCreated(QLineEdit* editor);
    void FilterEntries(QLineEdit& editor);  // OnKeyPress over text not typed key by key
    bool CommitEditorOrThrow();
    void DiscardEditor();
    void EditButtonClicked();

    // Keys (TDBGridKeys.cpp): each action returns false when the key is not its business.
    bool HandleEditorKey(QKeyEvent* event);  // true when the key was consumed
    bool Dispatch(std::span<const KeyBinding> keys, QKeyEvent* event);
    bool StandardKey(QKeyEvent* event);
    bool RaiseKeyDown(QKeyEvent* event);  // false when the handler swallowed the key
    char32_t RaiseKeyPress(char32_t key);
    bool CancelKey(QKeyEvent* event);
    bool DeleteKey(QKeyEvent* event);
    bool EditButtonKey(QKeyEvent* event);
    bool TabKey(QKeyEvent* event);
    bool AppendKey(QKeyEvent* event);
    bool CommitKey(QKeyEvent* event);
    bool CommitAndMoveKey(QKeyEvent* event);
    bool PageTurnKey(QKeyEvent* event);
    bool MoveToNextCell(bool back);  // false at either end
    TClientDataSet* ActiveDataSet() const;  // nullptr when none or inactive

    // Focus (TDBGridFocus.cpp).
    bool OwnsFocusWidget(QWidget* widget) const;
    void FocusMoved(QWidget* old, QWidget* now);

    TDBGridColumns m_columns;
    std::unique_ptr<TDBGridModel> m_model;
    TDBGridDelegate* m_delegate;
    TCanvas* m_canvas = nullptr;
    std::unique_ptr<Private> d;
};
