#include "store/PgConnection.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "store/YieldPoint.h"

namespace appserver {

namespace {

constexpr Oid kTextOid = 25;
// Any number unique to this product: the key of the schema advisory lock.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(2700027000)";

int parameterCount(const char* sql) {
    int most = 0;
    for (const char* p = sql; *p; ++p) {
        if (*p != '$') continue;
        int n = 0;
        while (p[1] >= '0' && p[1] <= '9') n = n * 10 + (*++p - '0');
        most = std::max(most, n);
    }
    return most;
}

void ignoreNotice(void*, const char*) {}

struct ResultGuard {
    PGresult* result;
    ~ResultGuard() { PQclear(result); }
};

}  // namespace

wire::Result<std::unique_ptr<PgConnection>> PgConnection::open(const std::string& url) {
    PGconn* conn = PQconnectdb(url.c_str());
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        std::string why = conn ? PQerrorMessage(conn) : "sem memória";
        while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
        PQfinish(conn);
        return wire::Status(wire::ErrorCode::Unavailable,
                            "Não foi possível conectar ao banco de dados PostgreSQL: " + why);
    }
    PQsetNoticeProcessor(conn, ignoreNotice, nullptr);
    if (PQsetClientEncoding(conn, "UTF8") != 0) {
        PQfinish(conn);
        return wire::Status(wire::ErrorCode::Unavailable,
                            "O banco de dados PostgreSQL não aceitou a codificação UTF-8.");
    }
    return std::unique_ptr<PgConnection>(new PgConnection(conn));
}

PgConnection::~PgConnection() { PQfinish(m_conn); }

SqlError PgConnection::lost() const {
    SqlError err;
    err.kind = SqlFailure::Lost;
    err.detail = PQerrorMessage(m_conn);
    return err;
}

SqlError PgConnection::error(const PGresult* result) const {
    SqlError err;
    err.kind = SqlFailure::Other;
    err.detail = result ? PQresultErrorMessage(result) : PQerrorMessage(m_conn);
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* constraint = result ? PQresultErrorField(result, PG_DIAG_CONSTRAINT_NAME) : nullptr;
    if (constraint) err.constraint = constraint;
    std::string_view code(state ? state : "");
    if (code == "23505") {
        err.kind = SqlFailure::Unique;
    } else if (code == "23514" || code == "23502") {
        err.kind = SqlFailure::Check;
    } else if (code == "23503") {
        err.kind = SqlFailure::ForeignKey;
    } else if (code == "40001" || code == "40P01") {
        err.kind = SqlFailure::Retry;
    } else if (code == "55P03") {
        err.kind = SqlFailure::Busy;
    } else if (code.starts_with("08") || code.starts_with("57P") ||
               PQstatus(m_conn) != CONNECTION_OK) {
        err.kind = SqlFailure::Lost;
    }
    return err;
}

bool PgConnection::ensureConnected() {
    if (PQstatus(m_conn) == CONNECTION_OK) return true;
    if (m_inTransaction) return false;  // the transaction died with the connection
    PQreset(m_conn);
    m_statements.clear();
    if (PQstatus(m_conn) != CONNECTION_OK) return false;
    PQsetClientEncoding(m_conn, "UTF8");
    return true;
}

const std::string* PgConnection::prepared(const Query& query, SqlError& err) {
    auto found = m_statements.find(&query);
    if (found != m_statements.end()) return &found->second;
    std::string name = std::to_string(m_statements.size() + 1);
    name.insert(0, 1, 'q');
    int count = parameterCount(query.sql);
    std::vector<Oid> types(static_cast<std::size_t>(count), kTextOid);
    ResultGuard prep{PQprepare(m_conn, name.c_str(), query.sql, count, types.data())};
    if (PQresultStatus(prep.result) != PGRES_COMMAND_OK) {
        err = error(prep.result);
        return nullptr;
    }
    return &m_statements.emplace(&query, std::move(name)).first->second;
}

SqlError PgConnection::run(const Query& query, std::span<const wire::ValueView> params,
                           wire::PacketSink* rows, std::int64_t* changed) {
    if (!ensureConnected()) return lost();
    SqlError err;
    const std::string* name = prepared(query, err);
    if (!name) return err;

    // Text parameters travel as C strings: copy them so each ends in a NUL.
    std::vector<std::string> texts(params.size());
    std::vector<const char*> values(params.size(), nullptr);
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (!params[i]) continue;
        if (params[i]->find('\0') != std::string_view::npos) {
            err.kind = SqlFailure::Other;
            err.detail = "parameter holds a NUL character";
            return err;
        }
        texts[i] = std::string(*params[i]);
        values[i] = texts[i].c_str();
    }
    if (!PQsendQueryPrepared(m_conn, name->c_str(), static_cast<int>(params.size()), values.data(),
                             nullptr, nullptr, 0)) {
        return lost();
    }
    if (rows) PQsetSingleRowMode(m_conn);

    std::vector<wire::ValueView> row;
    YieldPoint yieldPoint;
    while (PGresult* result = PQgetResult(m_conn)) {
        ResultGuard guard{result};
        yieldPoint.passed();
        if (err) continue;  // drain what is left after a failure
        switch (PQresultStatus(result)) {
            case PGRES_SINGLE_TUPLE: {
                row.resize(static_cast<std::size_t>(PQnfields(result)));
                for (int c = 0; c < PQnfields(result); ++c) {
                    if (PQgetisnull(result, 0, c)) {
                        row[static_cast<std::size_t>(c)] = std::nullopt;
                    } else {
                        row[static_cast<std::size_t>(c)] =
                            std::string_view(PQgetvalue(result, 0, c),
                                             static_cast<std::size_t>(PQgetlength(result, 0, c)));
                    }
                }
                wire::Status status = rows->onRow(row);
                if (!status) {
                    err.kind = SqlFailure::Aborted;
                    err.sinkStatus = std::move(status);
                }
                break;
            }
            case PGRES_TUPLES_OK:
                break;
            case PGRES_COMMAND_OK:
                if (changed) *changed = std::atoll(PQcmdTuples(result));
                break;
            default:
                err = error(result);
        }
    }
    return err;
}

SqlError PgConnection::script(std::string_view sql) {
    if (!ensureConnected()) return lost();
    std::string text(sql);
    ResultGuard guard{PQexec(m_conn, text.c_str())};
    ExecStatusType status = PQresultStatus(guard.result);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return {};
    return error(guard.result);
}

SqlError PgConnection::begin() {
    SqlError err = script("BEGIN");
    m_inTransaction = !err;
    return err;
}

SqlError PgConnection::commit() {
    if (!ensureConnected()) return lost();
    ResultGuard guard{PQexec(m_conn, "COMMIT")};
    SqlError err;
    if (PQresultStatus(guard.result) != PGRES_COMMAND_OK) {
        err = error(guard.result);
        rollback();
    } else if (std::strcmp(PQcmdStatus(guard.result), "ROLLBACK") == 0) {
        // COMMIT of a transaction that had already failed: nothing was written.
        err.kind = SqlFailure::Other;
        err.detail = "transaction was rolled back";
    }
    m_inTransaction = false;
    return err;
}

void PgConnection::rollback() {
    if (m_inTransaction && PQstatus(m_conn) == CONNECTION_OK) {
        PQclear(PQexec(m_conn, "ROLLBACK"));
    }
    m_inTransaction = false;
}

SqlError PgConnection::lockSchema() { return script(kSchemaLock); }

}  // namespace appserver
