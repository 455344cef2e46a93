#pragma once
// The users table over one connection: the statements behind Store's user calls. Names and hashes
// are checked by the caller (UserNames, SqlStore); writes run inside the caller's transaction.
// Messages name the user, which the name rule makes safe to show.

#include <optional>
#include <string_view>

#include "store/SqlConnection.h"
#include "store/Store.h"

namespace appserver {

class UserTable {
  public:
    explicit UserTable(SqlConnection& conn) : m_conn(conn) {}
    UserTable(const UserTable&) = delete;
    UserTable& operator=(const UserTable&) = delete;

    // now: utcTimestamp of the change, kept as created and changed time.
    wire::Status add(std::string_view name, std::string_view passwordHash, std::string_view now);
    wire::Status setPassword(std::string_view name, std::string_view passwordHash,
                             std::string_view now);
    wire::Status setEnabled(std::string_view name, bool enabled, std::string_view now);

    wire::Result<std::optional<StoredUser>> find(std::string_view name);
    wire::Result<bool> any();

  private:
    // Runs an UPDATE of one user's row; Refused when there is no such user.
    wire::Status updateOne(const Query& query, std::span<const wire::ValueView> params,
                           std::string_view name);

    SqlConnection& m_conn;
};

}  // namespace appserver
