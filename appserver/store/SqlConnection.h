#pragma once
// One database connection as the store logic sees it: parameterised statements, prepared once
// and cached per connection, rows streamed into a sink, and failures classified so that both
// databases refuse the same things with the same words. Used by one thread at a time.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "wire/PacketSink.h"
#include "wire/Status.h"

namespace appserver {

// A statement known by its address: the connection prepares it on first use and keeps it.
// Parameters are written $1, $2, ... and always bound as text; results are read as text.
struct Query {
    const char* sql;
};

enum class SqlFailure {
    None,
    Unique,      // a unique or primary key constraint
    Check,       // a CHECK or NOT NULL constraint
    ForeignKey,  // a foreign key (orphan or restricted delete)
    Retry,       // deadlock or serialisation failure: the transaction may be tried again
    Busy,        // the database stayed locked past the busy timeout
    Lost,        // the connection to the database is gone
    Aborted,     // the row sink refused a row; sinkStatus says why
    Other,
};

struct SqlError {
    SqlFailure kind = SqlFailure::None;
    std::string constraint;  // name (PostgreSQL) or "TABLE.COLUMN" list (SQLite), when known
    std::string detail;      // the database's own text, for the log
    wire::Status sinkStatus;

    explicit operator bool() const { return kind != SqlFailure::None; }
};

enum class Dialect { Sqlite, Postgres };

class SqlConnection {
  public:
    virtual ~SqlConnection() = default;
    virtual Dialect dialect() const = 0;

    // Runs one statement. Rows go to rows (which may be null for statements without rows);
    // changed receives the number of rows inserted, updated or deleted.
    virtual SqlError run(const Query& query, std::span<const wire::ValueView> params,
                         wire::PacketSink* rows, std::int64_t* changed = nullptr) = 0;
    // Runs statements without parameters (schema scripts), not cached.
    virtual SqlError script(std::string_view sql) = 0;

    // A write transaction: SQLite takes the write lock at once (BEGIN IMMEDIATE), so checks made
    // inside it cannot be overtaken by another writer; PostgreSQL runs READ COMMITTED and relies
    // on row locks and constraints.
    virtual SqlError begin() = 0;
    virtual SqlError commit() = 0;
    virtual void rollback() = 0;
    // Inside a transaction: waits until no other process is changing the schema.
    virtual SqlError lockSchema() = 0;
};

}  // namespace appserver
