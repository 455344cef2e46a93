// Packets, change log and Locate.
#include "dataaccess/DataSetLoader.h"
#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TClientDataSetImpl.h"
#include "wire/PacketReader.h"
#include "wire/PacketWriter.h"

void TClientDataSet::SetData(std::string_view packetJson) {
    Impl& d = *m_impl;
    // Built aside and swapped in only when the whole packet fits, so a refusal keeps everything.
    DataSetLoader loader(m_name, d.wireFields);
    const wire::Status status = wire::readPacket(packetJson, loader);
    if (!status) {
        if (loader.refused()) throw EDatabaseError(status.message());
        d.fail("o pacote recebido é inválido (" + status.message() + ").");
    }
    if (!loader.sawFields()) d.fail("o pacote recebido não tem campos.");
    RowStore fresh = loader.take();
    // An open record set is closed and opened again: its observers see the state go to inactive
    // and back, as they see any open and close.
    if (d.state != TDataSetState::dsInactive) d.resetEmpty(TDataSetState::dsInactive);
    d.rows = std::move(fresh);
    d.current = d.rows.empty() ? -1 : 0;
    d.bof = true;
    d.eof = d.rows.empty();
    d.state = TDataSetState::dsBrowse;
    d.notify([](TDataSetObserver& o) { o.DataSetReset(); });
    d.notify([](TDataSetObserver& o) { o.StateChanged(TDataSetState::dsBrowse); });
}

std::string TClientDataSet::Data() const {
    const Impl& d = *m_impl;
    std::string out;
    wire::PacketWriter writer(out);
    writer.onFields(d.wireFields);
    std::vector<wire::ValueView> values;
    for (int i = 0; i < d.rows.size(); ++i) {
        const RowStore::Row row = d.rows.at(i);
        if (!row) continue;  // a row being inserted is not content yet
        d.rows.values(row, values);
        writer.onRow(values);
    }
    writer.finish();
    return out;
}

int TClientDataSet::ChangeCount() const { return m_impl->log.count(); }

bool TClientDataSet::RowChanged(int row) const {
    const Impl& d = *m_impl;
    if (row < 0 || row >= d.rows.size()) return false;
    const RowStore::Row block = d.rows.at(row);
    return block && RowStore::logIndex(block) >= 0;  // nullptr: the row being inserted
}

std::string TClientDataSet::Delta() const {
    std::string out;
    m_impl->log.write(out, m_impl->wireFields, m_impl->rows);
    return out;
}

void TClientDataSet::MergeChangeLog() { m_impl->log.merge(m_impl->rows); }

void TClientDataSet::CancelUpdates() {
    Impl& d = *m_impl;
    if (!Active()) return;
    const bool wasEditing = d.editing();
    if (wasEditing) d.discardEdit();
    d.log.undo(d.rows, d.current);
    d.bof = d.eof = d.rows.empty();
    d.notify([](TDataSetObserver& o) { o.DataSetReset(); });
    if (wasEditing) d.notify([](TDataSetObserver& o) { o.StateChanged(TDataSetState::dsBrowse); });
}

bool TClientDataSet::Locate(std::string_view fieldName, std::string_view value) {
    Impl& d = *m_impl;
    d.checkActive();
    const int field = FieldByName(fieldName).Index();
    d.checkBrowseMode();
    const int row = d.rows.find(field, value);
    if (row < 0) return false;
    d.scrollTo(row);
    d.bof = d.eof = false;
    return true;
}
