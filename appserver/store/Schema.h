#pragma once
// The versioned schema: created or upgraded when a database is first opened, one process at a
// time (PostgreSQL advisory lock, SQLite write lock), so several servers may start together.

#include "store/SqlConnection.h"
#include "wire/Status.h"

namespace appserver {

class Schema {
  public:
    static constexpr int kVersion = 3;

    // Brings the database to kVersion. A database newer than this server is refused untouched.
    static wire::Status ensure(SqlConnection& conn);
};

}  // namespace appserver
