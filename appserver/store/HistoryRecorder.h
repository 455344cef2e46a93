#pragma once
// Writes the history row of each change-log entry applied, inside the applier's transaction, so
// a change and its history are committed or rolled back together. Rows are stored as JSON objects
// of the fields the applier writes (its rules), not of what else the log carried for the screen.

#include <string>

#include "store/LogFields.h"
#include "store/SqlConnection.h"
#include "store/Store.h"
#include "wire/ChangeLog.h"

namespace appserver {

class HistoryRecorder {
  public:
    // at: the time every entry of this log is recorded under (utcTimestamp).
    HistoryRecorder(SqlConnection& conn, const ChangeOrigin& origin, std::string at)
        : m_conn(conn), m_origin(origin), m_at(std::move(at)) {}
    HistoryRecorder(const HistoryRecorder&) = delete;
    HistoryRecorder& operator=(const HistoryRecorder&) = delete;

    // One row for an entry that has just been applied; fields resolved the entry's values.
    wire::Status record(const wire::Change& change, const LogFields& fields);

  private:
    SqlConnection& m_conn;
    ChangeOrigin m_origin;
    std::string m_at;
};

}  // namespace appserver
