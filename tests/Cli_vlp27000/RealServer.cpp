#include "RealServer.h"

void PrintTo(TBackend backend, std::ostream* out) {
    *out << (backend == TBackend::Sqlite ? "SQLite" : "PostgreSQL");
}

RealServer::RealServer(TBackend backend) {
    std::string db = "sqlite:" + m_dir.filePath("vlp.db").toStdString();
    if (backend == TBackend::Postgres) {
        m_schema.emplace("vlp_e2e");
        if (!m_schema->error().empty()) {
            m_failure = m_schema->error();
            return;
        }
        db = m_schema->url();
    }
    m_process.start({"--db", db, "--seed-demo"});
}
