#pragma once
// Undoes one save inside the caller's transaction: each entry reverted, newest first, through the
// writer of its table, only where every row the save touched is still as the save left it (and
// no row was added since under a group or main product the undo would remove). The plan numbers
// the entries of the save from 1; a row changed since is refused, naming who changed it, when
// and in which save.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "store/ActionPlan.h"
#include "store/ChangeWording.h"
#include "store/HistoryRecorder.h"

namespace appserver {

class SaveUndo {
  public:
    SaveUndo(SqlConnection& conn, std::string_view save)
        : m_conn(conn), m_save(save), m_wording(conn) {}
    SaveUndo(const SaveUndo&) = delete;
    SaveUndo& operator=(const SaveUndo&) = delete;

    // Reads the save and its entries. Refused when the number is not a save's, when it was undone
    // already (naming the save that undid it), or when it undoes the undo of another save.
    wire::Status load();
    // Marks the save undone by undo, unless another undo did so first (refused, naming it). Run
    // first in the transaction that applies, so of two undoing at once the second waits and is
    // told.
    wire::Status claim(SaveRecord& undo);
    wire::Result<ActionPlan> plan();
    // Reverts the entries of a plan without refusals.
    wire::Status apply(HistoryRecorder& history);

    const std::string& save() const { return m_save; }

  private:
    struct Entry {
        EntryKind kind;
        std::optional<StoredRow> before, after;
        const StoredRow& row() const { return after ? *after : *before; }
    };
    struct Final {
        std::size_t line = 0;          // the last entry that touched the row
        std::optional<StoredRow> row;  // as the save left it; nullopt: absent
        bool inserted = false;         // absent before the save: the undo deletes it
    };

    wire::Status refuseIfUndone(const wire::Value& undoneBy);
    wire::Status checkRow(const Final& final, ActionPlan& plan);
    wire::Status checkNoneAdded(const Final& final, ActionPlan& plan);
    wire::Result<std::string> lastChangeOf(const StoredRow& row);

    SqlConnection& m_conn;
    std::string m_save;
    std::string m_lastEntry;  // history number of the save's last entry
    std::vector<Entry> m_entries;
    std::map<std::string, Final> m_final;  // by table and key
    ChangeWording m_wording;
};

}  // namespace appserver
