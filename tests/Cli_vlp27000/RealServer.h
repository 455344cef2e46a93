#pragma once
// vlp-appserver as a child process on a loopback ephemeral port, over a fresh database seeded
// with the demo catalogue: a SQLite file in a temporary folder, or a private schema of the
// PostgreSQL database named by VLP_TEST_PG, dropped again when the server goes. port() is 0 when
// the server did not start; output() then says why. Stopped with SIGTERM on destruction.

#include <QProcess>
#include <QTemporaryDir>
#include <ostream>
#include <string>

enum class TBackend { Sqlite, Postgres };
void PrintTo(TBackend backend, std::ostream* out);  // names it in test output

class RealServer {
  public:
    explicit RealServer(TBackend backend);
    ~RealServer();
    RealServer(const RealServer&) = delete;
    RealServer& operator=(const RealServer&) = delete;

    // The PostgreSQL database of VLP_TEST_PG; "" when it is not set.
    static std::string PostgresBase();

    int port() const { return m_port; }
    std::string output();  // what the server printed so far

  private:
    bool CreateSchema();

    QTemporaryDir m_dir;
    QProcess m_process;
    std::string m_schema;  // PostgreSQL only
    std::string m_output;
    int m_port = 0;
};
