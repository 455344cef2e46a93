#include "controls/TDBGridDelegate.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionButton>

#include "controls/TDBGrid.h"
#include "controls/TDBGridModel.h"
#include "dataaccess/TField.h"

TDBGridDelegate::TDBGridDelegate(TDBGrid& grid) : QStyledItemDelegate(&grid), m_grid(grid) {}

QRect TDBGridDelegate::ButtonRect(const QRect& cell) {
    return QRect(cell.right() - kButtonWidth + 1, cell.top(), kButtonWidth, cell.height());
}

void TDBGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    bool selected = option.state & QStyle::State_Selected;
    painter->save();
    m_grid.DrawCellEvent(*painter, option.rect, index, selected);
    painter->restore();

    TColumn* column = m_grid.Model()->ColumnAt(index.column());
    if (column && column->ButtonStyle == cbsEllipsis && index == m_grid.currentIndex()) {
        QStyleOptionButton button;
        button.rect = ButtonRect(option.rect);
        button.text = QStringLiteral("…");
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        m_grid.style()->drawControl(QStyle::CE_PushButton, &button, painter, &m_grid);
    }
}

QWidget* TDBGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                       const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    TColumn* column = m_grid.Model()->ColumnAt(index.column());
    if (TField* field = column ? column->Field() : nullptr) {
        if (!field->EditMask.empty()) editor->setInputMask(QString::fromStdString(field->EditMask));
        if (field->Size() > 0 && field->EditMask.empty()) editor->setMaxLength(field->Size());
    }
    // A mask restricts what enters by itself; elsewhere the key filter sees pastes and drops too.
    if (editor->inputMask().isEmpty()) m_grid.FilterEntries(*editor);
    editor->installEventFilter(const_cast<TDBGridDelegate*>(this));
    m_grid.EditorCreated(editor);
    return editor;
}

void TDBGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    // Keep what the user is typing when the row repaints underneath the editor.
    if (line && !line->isModified()) line->setText(index.data(Qt::EditRole).toString());
}

void TDBGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) model->setData(index, line->text());
}

void TDBGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    QRect rect = option.rect;
    TColumn* column = m_grid.Model()->ColumnAt(index.column());
    if (column && column->ButtonStyle == cbsEllipsis) rect.setRight(rect.right() - kButtonWidth);
    editor->setGeometry(rect);
}

bool TDBGridDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::KeyPress)
        return m_grid.HandleEditorKey(static_cast<QKeyEvent*>(event));
    // Focus leaving the editor is the grid's business (commit, exit); the base class would
    // commit and close on its own.
    if (event->type() == QEvent::FocusOut) return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // Ctrl+Delete deletes a row wherever the user is, never a word of the cell: the editor
        // must not claim it before the form's delete command sees it.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && (key->modifiers() & Qt::ControlModifier)) {
            event->ignore();
            return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }
    return false;
}
