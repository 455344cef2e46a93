#pragma once
// The change log of a record set since its last merge, kept apart from the rows so that its cost
// follows the changes, not the rows. It holds two things:
// - the folded changes, one entry per changed row in the order the rows were first changed
//   (insert then edits = one insert; edits = one modification with the original values;
//   modified then deleted = one deletion with the original values; inserted then deleted =
//   nothing); each changed row block carries the index of its entry;
// - the operations in the order they happened, so that undo puts every row back where it was.
// Not thread-safe.

#include <string>
#include <vector>

#include "dataaccess/RowStore.h"
#include "wire/ChangeLog.h"

class DataSetChangeLog {
  public:
    using Row = RowStore::Row;

    // Record what was just done to `store` at `position`. `after` and an inserted row must be
    // fresh blocks; `before` is the block `after` replaced.
    void inserted(Row row, int position);
    void modified(Row before, Row after, int position, const RowStore& store);
    void deleted(Row row, int position);

    int count() const { return m_live; }

    // The changes become content: rows count as unchanged from now on; blocks only the log
    // still held are retired from `store`.
    void merge(RowStore& store);
    // Puts every row of `store` back as it was at the last merge, newest operation first, then
    // forgets the changes. `current` follows its row where the row survives, else stays at the
    // nearest position; -1 when the store ends empty.
    void undo(RowStore& store, int& current);
    // Forgets the changes without touching the rows (the rows are being replaced).
    void clear();

    // Streams the pending changes as a change log.
    void write(std::string& out, const std::vector<wire::FieldDef>& fields,
               const RowStore& store) const;

  private:
    struct Entry {
        wire::ChangeKind kind;
        bool live;
        Row original;  // Modify, Delete
        Row current;   // Insert, Modify
    };
    enum class Op { Inserted, Modified, Deleted };
    struct Step {
        Op op;
        int position;
        Row row;  // Modified: the block before; Deleted: the deleted block
    };

    void drop(Entry& entry);

    std::vector<Entry> m_entries;
    std::vector<Step> m_steps;
    int m_live = 0;
};
