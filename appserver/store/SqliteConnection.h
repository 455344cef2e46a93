#pragma once
// SqlConnection over the SQLite C API: WAL journal, foreign keys on, a busy timeout, and every
// statement prepared once per connection. A database file it creates, and its -wal and -shm, are
// readable by the owner alone.

#include <memory>
#include <string>
#include <unordered_map>

#include "store/SqlConnection.h"
#include "wire/Status.h"

struct sqlite3;
struct sqlite3_stmt;

namespace appserver {

class SqliteConnection : public SqlConnection {
  public:
    // path ":memory:" opens a private in-memory database.
    static wire::Result<std::unique_ptr<SqliteConnection>> open(const std::string& path);
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    Dialect dialect() const override { return Dialect::Sqlite; }
    SqlError run(const Query& query, std::span<const wire::ValueView> params,
                 wire::PacketSink* rows, std::int64_t* changed) override;
    SqlError script(std::string_view sql) override;
    SqlError begin() override;
    SqlError commit() override;
    void rollback() override;
    SqlError lockSchema() override { return {}; }  // BEGIN IMMEDIATE already excludes writers

  private:
    explicit SqliteConnection(sqlite3* db) : m_db(db) {}
    SqlError error(int rc) const;
    sqlite3_stmt* prepared(const Query& query, SqlError& err);

    sqlite3* m_db;
    std::unordered_map<const Query*, sqlite3_stmt*> m_statements;
};

}  // namespace appserver
