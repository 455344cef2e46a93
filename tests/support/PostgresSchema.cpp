#include "PostgresSchema.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace {

std::atomic<int> g_schemas{0};

// "IF EXISTS" would otherwise print a notice on every fresh schema.
const std::string kQuiet = "SET client_min_messages TO warning; ";

}  // namespace

std::string postgresExec(const std::string& url, const std::string& sql) {
    PGconn* conn = PQconnectdb(url.c_str());
    std::string error;
    if (PQstatus(conn) != CONNECTION_OK) {
        error = PQerrorMessage(conn);
    } else {
        PGresult* result = PQexec(conn, sql.c_str());
        const auto status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            error = PQresultErrorMessage(result);
        PQclear(result);
    }
    PQfinish(conn);
    return error;
}

std::string PostgresSchema::base() {
    const char* base = std::getenv("VLP_TEST_PG");
    return base ? base : "";
}

PostgresSchema::PostgresSchema(std::string_view prefix)
    : m_base(base()),
      m_name(std::string(prefix) + std::to_string(::getpid()) + "_" + std::to_string(++g_schemas)) {
    if (m_base.empty()) {
        m_error = "VLP_TEST_PG is not set";
        return;
    }
    m_error = postgresExec(
        m_base, kQuiet + "DROP SCHEMA IF EXISTS " + m_name + " CASCADE; CREATE SCHEMA " + m_name);
    if (!m_error.empty()) m_error = "no schema could be made in " + m_base + ": " + m_error;
}

PostgresSchema::~PostgresSchema() {
    if (!m_base.empty())
        postgresExec(m_base, kQuiet + "DROP SCHEMA IF EXISTS " + m_name + " CASCADE");
}

std::string PostgresSchema::url() const {
    return m_base + (m_base.find('?') == std::string::npos ? "?" : "&") +
           "options=-csearch_path%3D" + m_name;
}
