#include "store/SqliteConnection.h"

#include <sqlite3.h>

#include <vector>

#include "store/PrivateSqliteVfs.h"
#include "store/YieldPoint.h"

namespace appserver {

namespace {

constexpr int kBusyTimeoutMs = 10000;

// Our statements number their parameters $1, $2, ...; SQLite reads "$1" as a named parameter
// whose index depends on first appearance, while "?1" is always index 1.
std::string sqliteText(const char* sql) {
    std::string out(sql);
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        if (out[i] == '$' && out[i + 1] >= '0' && out[i + 1] <= '9') out[i] = '?';
    }
    return out;
}

// "UNIQUE constraint failed: T.C" / "CHECK constraint failed: NAME": the part after the colon.
std::string constraintOf(const char* message) {
    std::string_view text(message ? message : "");
    auto colon = text.find("failed: ");
    if (colon == std::string_view::npos) return {};
    return std::string(text.substr(colon + 8));
}

}  // namespace

wire::Result<std::unique_ptr<SqliteConnection>> SqliteConnection::open(const std::string& path) {
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    // The users' hashes and the history live in the file: nobody but the server's user reads it.
    int rc = sqlite3_open_v2(path.c_str(), &db, flags, privateSqliteVfs());
    if (rc != SQLITE_OK) {
        std::string why = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        return wire::Status(wire::ErrorCode::Unavailable,
                            "Não foi possível abrir o banco de dados \"" + path + "\": " + why);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    std::unique_ptr<SqliteConnection> conn(new SqliteConnection(db));
    const char* setup =
        path == ":memory:"
            ? "PRAGMA foreign_keys=ON;"
            // Reading pages through a map instead of a copy each halves a 100,000-row search;
            // writes still go through the journal, so a crash cannot tear the file.
            : "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON;"
              "PRAGMA mmap_size=268435456;";
    if (SqlError err = conn->script(setup)) {
        return wire::Status(
            wire::ErrorCode::Unavailable,
            "Não foi possível preparar o banco de dados \"" + path + "\": " + err.detail);
    }
    return conn;
}

SqliteConnection::~SqliteConnection() {
    for (auto& [query, stmt] : m_statements) sqlite3_finalize(stmt);
    sqlite3_close(m_db);
}

SqlError SqliteConnection::error(int rc) const {
    SqlError err;
    err.detail = sqlite3_errmsg(m_db);
    switch (rc) {
        case SQLITE_CONSTRAINT_UNIQUE:
        case SQLITE_CONSTRAINT_PRIMARYKEY:
            err.kind = SqlFailure::Unique;
            err.constraint = constraintOf(sqlite3_errmsg(m_db));
            break;
        case SQLITE_CONSTRAINT_CHECK:
        case SQLITE_CONSTRAINT_NOTNULL:
            err.kind = SqlFailure::Check;
            err.constraint = constraintOf(sqlite3_errmsg(m_db));
            break;
        case SQLITE_CONSTRAINT_FOREIGNKEY:
        case SQLITE_CONSTRAINT_TRIGGER:  // ON DELETE RESTRICT reports itself this way; we have no
                                         // triggers
            err.kind = SqlFailure::ForeignKey;
            break;
        default:
            if ((rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED) {
                err.kind = SqlFailure::Busy;
            } else {
                err.kind = SqlFailure::Other;
            }
    }
    return err;
}

sqlite3_stmt* SqliteConnection::prepared(const Query& query, SqlError& err) {
    auto found = m_statements.find(&query);
    if (found != m_statements.end()) return found->second;
    std::string sql = sqliteText(query.sql);
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v3(m_db, sql.c_str(), static_cast<int>(sql.size()),
                                SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        err = error(rc);
        return nullptr;
    }
    m_statements.emplace(&query, stmt);
    return stmt;
}

SqlError SqliteConnection::run(const Query& query, std::span<const wire::ValueView> params,
                               wire::PacketSink* rows, std::int64_t* changed) {
    SqlError err;
    sqlite3_stmt* stmt = prepared(query, err);
    if (!stmt) return err;
    for (std::size_t i = 0; i < params.size(); ++i) {
        int index = static_cast<int>(i) + 1;
        if (params[i]) {
            sqlite3_bind_text(stmt, index, params[i]->data(), static_cast<int>(params[i]->size()),
                              SQLITE_STATIC);
        } else {
            sqlite3_bind_null(stmt, index);
        }
    }
    std::vector<wire::ValueView> values(static_cast<std::size_t>(sqlite3_column_count(stmt)));
    int rc;
    YieldPoint yieldPoint;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        yieldPoint.passed();
        if (!rows) continue;
        for (std::size_t c = 0; c < values.size(); ++c) {
            int col = static_cast<int>(c);
            if (sqlite3_column_type(stmt, col) == SQLITE_NULL) {
                values[c] = std::nullopt;
                continue;
            }
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
            auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(stmt, col));
            values[c] = text ? std::string_view(text, bytes) : std::string_view();
        }
        wire::Status status = rows->onRow(values);
        if (!status) {
            err.kind = SqlFailure::Aborted;
            err.sinkStatus = std::move(status);
            break;
        }
    }
    if (!err && rc != SQLITE_DONE) err = error(rc);
    if (!err && changed) *changed = sqlite3_changes64(m_db);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    return err;
}

SqlError SqliteConnection::script(std::string_view sql) {
    std::string text(sql);
    int rc = sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? SqlError{} : error(sqlite3_extended_errcode(m_db));
}

SqlError SqliteConnection::begin() { return script("BEGIN IMMEDIATE"); }

SqlError SqliteConnection::commit() {
    SqlError err = script("COMMIT");
    if (err) rollback();
    return err;
}

void SqliteConnection::rollback() {
    if (!sqlite3_get_autocommit(m_db)) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace appserver
