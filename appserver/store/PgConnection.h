#pragma once
// SqlConnection over libpq: text parameters and results, statements prepared once per
// connection, rows streamed in single-row mode so a long list is never held whole in memory.
// A broken connection is re-established once before a statement fails as Lost.

#include <memory>
#include <string>
#include <unordered_map>

#include "store/SqlConnection.h"
#include "wire/Status.h"

struct pg_conn;
struct pg_result;

namespace appserver {

class PgConnection : public SqlConnection {
  public:
    static wire::Result<std::unique_ptr<PgConnection>> open(const std::string& url);
    ~PgConnection() override;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    Dialect dialect() const override { return Dialect::Postgres; }
    SqlError run(const Query& query, std::span<const wire::ValueView> params,
                 wire::PacketSink* rows, std::int64_t* changed) override;
    SqlError script(std::string_view sql) override;
    SqlError begin() override;
    SqlError commit() override;
    void rollback() override;
    SqlError lockSchema() override;

  private:
    explicit PgConnection(pg_conn* conn) : m_conn(conn) {}
    SqlError error(const pg_result* result) const;
    SqlError lost() const;
    bool ensureConnected();
    const std::string* prepared(const Query& query, SqlError& err);

    pg_conn* m_conn;
    bool m_inTransaction = false;
    std::unordered_map<const Query*, std::string> m_statements;  // query -> prepared name
};

}  // namespace appserver
