// Editing: Insert, Append, Edit, Post, Cancel, Delete and field writes.
#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TClientDataSetImpl.h"

void TClientDataSet::Impl::beginInsert(bool append) {
    checkActive();
    checkBrowseMode();
    fire(self.BeforeInsert);
    fire(self.BeforeScroll);
    const int old = current;
    const int position = append ? rows.size() : std::max(current, 0);
    rows.insert(position, nullptr);
    beforeInsert = append ? old : position;
    current = position;
    buffer.assign(static_cast<std::size_t>(self.FieldCount()), std::nullopt);
    modified = false;
    bof = eof = false;
    // In insert state before anyone hears of the row, so that reads see the edit buffer.
    state = TDataSetState::dsInsert;
    notify([position](TDataSetObserver& o) { o.RowInserted(position); });
    notify([old, position](TDataSetObserver& o) { o.CurrentChanged(old, position); });
    notify([](TDataSetObserver& o) { o.StateChanged(TDataSetState::dsInsert); });
    fire(self.AfterInsert);
    // What AfterInsert wrote are the new row's defaults: nobody has touched the row yet.
    if (state == TDataSetState::dsInsert) modified = false;
    fire(self.AfterScroll);
}

void TClientDataSet::Insert() { m_impl->beginInsert(false); }

void TClientDataSet::Append() { m_impl->beginInsert(true); }

void TClientDataSet::Edit() {
    Impl& d = *m_impl;
    d.checkActive();
    if (d.editing()) return;
    if (IsEmpty()) {
        // Nothing to edit: typing into an empty grid starts a new row, as toolkits do.
        Insert();
        return;
    }
    d.fire(BeforeEdit);
    const RowStore::Row row = d.rows.at(d.current);
    d.buffer.resize(static_cast<std::size_t>(FieldCount()));
    for (int f = 0; f < FieldCount(); ++f) {
        const wire::ValueView value = d.rows.value(row, f);
        d.buffer[static_cast<std::size_t>(f)] =
            value ? wire::Value(std::string(*value)) : std::nullopt;
    }
    d.modified = false;
    d.setState(TDataSetState::dsEdit);
    d.fire(AfterEdit);
}

void TClientDataSet::Post() {
    Impl& d = *m_impl;
    if (!d.editing()) return;
    d.fire(BeforePost);        // an exception refuses the post; the row stays in its editing state
    if (!d.editing()) return;  // the handler ended the edit itself
    const int position = d.current;
    if (d.state == TDataSetState::dsInsert) {
        const RowStore::Row row = d.rows.make(std::span<const wire::Value>(d.buffer));
        d.rows.replace(position, row);
        d.log.inserted(row, position);
    } else {
        const RowStore::Row before = d.rows.at(position);
        if (!d.rows.sameValues(before, d.buffer)) {
            const RowStore::Row after = d.rows.make(std::span<const wire::Value>(d.buffer));
            d.rows.replace(position, after);
            d.log.modified(before, after, position, d.rows);
        }
    }
    d.buffer.clear();
    d.modified = false;
    d.state = TDataSetState::dsBrowse;  // before observers read the posted row
    d.notify([position](TDataSetObserver& o) { o.RowChanged(position); });
    d.notify([](TDataSetObserver& o) { o.StateChanged(TDataSetState::dsBrowse); });
    d.fire(AfterPost);
}

void TClientDataSet::Cancel() {
    Impl& d = *m_impl;
    if (!d.editing()) return;
    const bool inserting = d.state == TDataSetState::dsInsert;
    d.fire(BeforeCancel);
    if (inserting) d.fire(BeforeScroll);
    if (!d.editing()) return;
    const int position = d.current;
    d.discardEdit();
    if (inserting) {
        const int now = d.current;
        d.notify([position](TDataSetObserver& o) { o.RowRemoved(position); });
        d.notify([position, now](TDataSetObserver& o) { o.CurrentChanged(position, now); });
    } else {
        d.notify([position](TDataSetObserver& o) { o.RowChanged(position); });
    }
    d.notify([](TDataSetObserver& o) { o.StateChanged(TDataSetState::dsBrowse); });
    d.fire(AfterCancel);
    if (inserting) d.fire(AfterScroll);
}

void TClientDataSet::Delete() {
    Impl& d = *m_impl;
    d.checkActive();
    if (d.state == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (IsEmpty()) d.fail("não há registro para excluir.");
    d.fire(BeforeDelete);
    d.fire(BeforeScroll);
    const bool wasEditing = d.editing();
    if (wasEditing) d.discardEdit();  // the row goes away with whatever was typed into it
    const int position = d.current;
    const RowStore::Row row = d.rows.at(position);
    d.rows.erase(position);
    d.log.deleted(row, position);
    d.current = d.rows.empty() ? -1 : std::min(position, d.rows.size() - 1);
    d.bof = d.eof = d.rows.empty();
    const int now = d.current;
    d.notify([position](TDataSetObserver& o) { o.RowRemoved(position); });
    d.notify([position, now](TDataSetObserver& o) { o.CurrentChanged(position, now); });
    if (wasEditing) d.notify([](TDataSetObserver& o) { o.StateChanged(TDataSetState::dsBrowse); });
    d.fire(AfterDelete);
    d.fire(AfterScroll);
}

void TClientDataSet::SetFieldValue(int field, std::optional<std::string_view> value) {
    Impl& d = *m_impl;
    const TField& f = Fields(field);
    if (!d.editing())
        d.fail("o registro não está em edição; o campo " + f.FieldName() +
               " não pode ser alterado.");
    if (value) {
        if (!wire::isValidUtf8(*value))
            throw EDatabaseError("Texto inválido para o campo " + f.FieldName() + ".");
        const int size = d.wireFields[static_cast<std::size_t>(field)].size;
        if (wire::utf8Length(*value) > static_cast<std::size_t>(size))
            throw EDatabaseError("Valor longo demais para o campo " + f.FieldName() + " (máximo " +
                                 std::to_string(size) + " caracteres).");
    }
    d.buffer[static_cast<std::size_t>(field)] =
        value ? wire::Value(std::string(*value)) : std::nullopt;
    d.modified = true;
    const int position = d.current;
    d.notify([position](TDataSetObserver& o) { o.RowChanged(position); });
}
