#pragma once
// One save (gravação): the row of table saves that every history row of one write names, so the
// history reads and undoes a write as a unit. The row is written on first use, inside the
// caller's transaction, so a write that records nothing leaves no save and a rolled-back write
// leaves neither.

#include <string>
#include <string_view>

#include "store/SqlConnection.h"
#include "wire/Status.h"

namespace appserver {

class SaveRecord {
  public:
    // origin: the method ("SetArvProd") or the action ("importação", "desfazer", ...); at: the
    // time of every entry (utcTimestamp); undoes: the save an undo reverts, "" for none.
    SaveRecord(SqlConnection& conn, std::string_view user, std::string_view origin, std::string at,
               std::string undoes = {})
        : m_conn(conn),
          m_user(user),
          m_origin(origin),
          m_at(std::move(at)),
          m_undoes(std::move(undoes)) {}
    SaveRecord(const SaveRecord&) = delete;
    SaveRecord& operator=(const SaveRecord&) = delete;

    // The save's number, writing its row the first time.
    wire::Result<std::string> id();
    const std::string& at() const { return m_at; }

  private:
    SqlConnection& m_conn;
    std::string m_user, m_origin, m_at, m_undoes, m_id;
};

}  // namespace appserver
