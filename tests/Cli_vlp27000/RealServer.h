#pragma once
// vlp-appserver as a child process on a loopback ephemeral port, over a fresh database seeded
// with the demo catalogue: a SQLite file in a temporary folder, or a private schema of the
// PostgreSQL database named by VLP_TEST_PG, dropped again when the server goes. port() is 0 when
// the server did not start; output() then says why.

#include <QTemporaryDir>
#include <optional>
#include <ostream>
#include <string>

#include "support/AppServerProcess.h"
#include "support/PostgresSchema.h"

enum class TBackend { Sqlite, Postgres };
void PrintTo(TBackend backend, std::ostream* out);  // names it in test output

class RealServer {
  public:
    explicit RealServer(TBackend backend);
    RealServer(const RealServer&) = delete;
    RealServer& operator=(const RealServer&) = delete;

    // The PostgreSQL database of VLP_TEST_PG; "" when it is not set.
    static std::string PostgresBase() { return PostgresSchema::base(); }

    int port() const { return m_process.port(); }
    std::string output() { return m_failure + m_process.output(); }  // what it printed so far

  private:
    QTemporaryDir m_dir;
    std::optional<PostgresSchema> m_schema;  // outlives the server, which holds it
    std::string m_failure;
    AppServerProcess m_process;
};
