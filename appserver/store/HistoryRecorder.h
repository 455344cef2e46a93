#pragma once
// Writes the history row of each change-log entry applied, inside the applier's transaction, so
// a change and its history are committed or rolled back together. Rows are stored as JSON objects
// of the fields the applier writes (its rules), not of what else the log carried for the screen.
// Every row names the save it belongs to, so all the rows of one write are read and undone as one.

#include <string>

#include "store/LogFields.h"
#include "store/SaveRecord.h"
#include "store/SqlConnection.h"
#include "store/Store.h"
#include "wire/ChangeLog.h"

namespace appserver {

class HistoryRecorder {
  public:
    // save: the save every entry belongs to, and its time; it outlives the recorder.
    HistoryRecorder(SqlConnection& conn, const ChangeOrigin& origin, SaveRecord& save)
        : m_conn(conn), m_origin(origin), m_save(save) {}
    HistoryRecorder(const HistoryRecorder&) = delete;
    HistoryRecorder& operator=(const HistoryRecorder&) = delete;

    // One row for an entry that has just been applied; fields resolved the entry's values.
    wire::Status record(const wire::Change& change, const LogFields& fields);

  private:
    SqlConnection& m_conn;
    ChangeOrigin m_origin;
    SaveRecord& m_save;
};

}  // namespace appserver
