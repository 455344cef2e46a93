#include "RealServer.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <QRegularExpression>
#include <atomic>
#include <cstdlib>

namespace {

std::atomic<int> g_schemas{0};

bool PgExec(const std::string& url, const std::string& sql) {
    PGconn* conn = PQconnectdb(url.c_str());
    bool ok = PQstatus(conn) == CONNECTION_OK;
    if (ok) {
        PGresult* result = PQexec(conn, ("SET client_min_messages TO warning; " + sql).c_str());
        ok = PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
    }
    PQfinish(conn);
    return ok;
}

}  // namespace

void PrintTo(TBackend backend, std::ostream* out) {
    *out << (backend == TBackend::Sqlite ? "SQLite" : "PostgreSQL");
}

std::string RealServer::PostgresBase() {
    const char* base = std::getenv("VLP_TEST_PG");
    return base ? base : "";
}

RealServer::RealServer(TBackend backend) {
    std::string db = "sqlite:" + m_dir.filePath("vlp.db").toStdString();
    if (backend == TBackend::Postgres) {
        if (!CreateSchema()) {
            m_output = "no schema could be made in " + PostgresBase();
            return;
        }
        const std::string base = PostgresBase();
        db = base + (base.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" +
             m_schema;
    }
    m_process.setProgram(VLP_APPSERVER_PATH);
    m_process.setArguments(
        {"--db", QString::fromStdString(db), "--seed-demo", "--listen", "127.0.0.1:0"});
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start();
    // The port is known only from the start-up line.
    QRegularExpression line("escutando em [^:\\s]+:(\\d+)");
    while (m_port == 0 && m_process.waitForReadyRead(10000)) {
        m_output += m_process.readAll().toStdString();
        QRegularExpressionMatch m = line.match(QString::fromStdString(m_output));
        if (m.hasMatch()) m_port = m.captured(1).toInt();
    }
}

RealServer::~RealServer() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) m_process.kill();
        m_process.waitForFinished(5000);
    }
    if (!m_schema.empty()) PgExec(PostgresBase(), "DROP SCHEMA IF EXISTS " + m_schema + " CASCADE");
}

std::string RealServer::output() {
    m_output += m_process.readAll().toStdString();
    return m_output;
}

// A schema per server, so that tests and test programs running side by side never meet.
bool RealServer::CreateSchema() {
    m_schema = "vlp_e2e" + std::to_string(::getpid()) + "_" + std::to_string(++g_schemas);
    return PgExec(PostgresBase(),
                  "DROP SCHEMA IF EXISTS " + m_schema + " CASCADE; CREATE SCHEMA " + m_schema);
}
