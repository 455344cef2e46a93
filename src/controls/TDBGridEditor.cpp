// The cell editor: when a cell may be typed into, opening the editor (which starts the row's edit),
// and writing its text into the field or throwing it away.

#include <QLineEdit>

#include "dataaccess/EDatabaseError.h"
#include "controls/SafeCall.h"
#include "dataaccess/TClientDataSet.h"
#include "controls/TDBGrid.h"
#include "controls/TDBGridEntryFilter.h"
#include "controls/TDBGridModel.h"
#include "controls/TDBGridPrivate.h"
#include "dataaccess/TField.h"

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

void TDBGrid::EditorCreated(QLineEdit* editor) { d->editor = editor; }

void TDBGrid::FilterEntries(QLineEdit& editor) {
    editor.setValidator(new TDBGridEntryFilter(
        editor, [this](char32_t key) { return RaiseKeyPress(key); },
        [this] { return d->forwardingKey; }));
}

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
    // The search fills the cell: what was typed in it is not written over the choice later.
    if (d->editor) DiscardEditor();
    SafeCall([this] { OnEditButtonClick(this); });
}

