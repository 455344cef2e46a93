#include "dataaccess/DataSetChangeLog.h"

#include <algorithm>

using wire::ChangeKind;

void DataSetChangeLog::inserted(Row row, int position) {
    RowStore::setLogIndex(row, static_cast<int>(m_entries.size()));
    m_entries.push_back({ChangeKind::Insert, true, nullptr, row});
    ++m_live;
    m_steps.push_back({Op::Inserted, position, nullptr});
}

void DataSetChangeLog::modified(Row before, Row after, int position, const RowStore& store) {
    m_steps.push_back({Op::Modified, position, before});
    const int index = RowStore::logIndex(before);
    if (index < 0) {
        RowStore::setLogIndex(after, static_cast<int>(m_entries.size()));
        m_entries.push_back({ChangeKind::Modify, true, before, after});
        ++m_live;
        return;
    }
    Entry& entry = m_entries[static_cast<std::size_t>(index)];
    if (entry.kind == ChangeKind::Modify && store.sameValues(entry.original, after)) {
        // Edited back to what was read: nothing left to send for this row.
        drop(entry);
        RowStore::setLogIndex(after, -1);
        return;
    }
    entry.current = after;
    RowStore::setLogIndex(after, index);
}

void DataSetChangeLog::deleted(Row row, int position) {
    m_steps.push_back({Op::Deleted, position, row});
    const int index = RowStore::logIndex(row);
    if (index < 0) {
        m_entries.push_back({ChangeKind::Delete, true, row, nullptr});
        ++m_live;
        return;
    }
    Entry& entry = m_entries[static_cast<std::size_t>(index)];
    if (entry.kind == ChangeKind::Insert) {
        drop(entry);
        return;
    }
    entry.kind = ChangeKind::Delete;
    entry.current = nullptr;
}

void DataSetChangeLog::drop(Entry& entry) {
    entry.live = false;
    --m_live;
}

void DataSetChangeLog::merge(RowStore& store) {
    for (const Entry& entry : m_entries)
        if (entry.live && entry.current) RowStore::setLogIndex(entry.current, -1);
    // Replaced and deleted blocks are no longer needed by undo.
    for (const Step& step : m_steps)
        if (step.op != Op::Inserted) store.retire(step.row);
    clear();
    store.compactIfWasteful();
}

void DataSetChangeLog::undo(RowStore& store, int& current) {
    for (auto step = m_steps.rbegin(); step != m_steps.rend(); ++step) {
        switch (step->op) {
            case Op::Inserted:
                store.retire(store.at(step->position));
                store.erase(step->position);
                if (current > step->position) --current;
                break;
            case Op::Modified:
                store.retire(store.at(step->position));
                store.replace(step->position, step->row);
                break;
            case Op::Deleted:
                store.insert(step->position, step->row);
                if (current >= step->position) ++current;
                break;
        }
    }
    // Blocks put back are the merged ones, which never carry an entry index.
    current = store.empty() ? -1 : std::clamp(current, 0, store.size() - 1);
    clear();
    store.compactIfWasteful();
}

void DataSetChangeLog::clear() {
    m_entries.clear();
    m_steps.clear();
    m_live = 0;
}

void DataSetChangeLog::write(std::string& out, const std::vector<wire::FieldDef>& fields,
                             const RowStore& store) const {
    wire::ChangeLogWriter writer(out);
    writer.fields(fields);
    std::vector<wire::ValueView> before, after;
    for (const Entry& entry : m_entries) {
        if (!entry.live) continue;
        switch (entry.kind) {
            case ChangeKind::Insert:
                store.values(entry.current, after);
                writer.inserted(after);
                break;
            case ChangeKind::Modify:
                store.values(entry.original, before);
                store.values(entry.current, after);
                writer.modified(before, after);
                break;
            case ChangeKind::Delete:
                store.values(entry.original, before);
                writer.deleted(before);
                break;
        }
    }
    writer.finish();
}
