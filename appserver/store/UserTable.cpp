#include "store/UserTable.h"

#include <array>
#include <string>

#include "store/ConstraintMessages.h"
#include "store/FirstRowSink.h"

namespace appserver {

namespace {

const Query kFind{"SELECT password_hash, enabled FROM users WHERE name = $1"};
const Query kAny{"SELECT 1 FROM users LIMIT 1"};
const Query kInsert{
    "INSERT INTO users (name, password_hash, enabled, created_at, changed_at) "
    "VALUES ($1, $2, 'S', $3, $3)"};
const Query kSetPassword{"UPDATE users SET password_hash = $2, changed_at = $3 WHERE name = $1"};
const Query kSetEnabled{"UPDATE users SET enabled = $2, changed_at = $3 WHERE name = $1"};

std::string quotedName(std::string_view name) { return "\"" + std::string(name) + "\""; }

}  // namespace

wire::Status UserTable::add(std::string_view name, std::string_view passwordHash,
                            std::string_view now) {
    auto existing = find(name);
    if (!existing) return existing.status();
    if (*existing)
        return {wire::ErrorCode::Refused, "Usuário " + quotedName(name) + " já cadastrado."};
    const std::array<wire::ValueView, 3> params = {name, passwordHash, now};
    // Another process adding the same name meanwhile is caught by PK_USERS.
    return ConstraintMessages::describe(m_conn.run(kInsert, params, nullptr));
}

wire::Status UserTable::setPassword(std::string_view name, std::string_view passwordHash,
                                    std::string_view now) {
    const std::array<wire::ValueView, 3> params = {name, passwordHash, now};
    return updateOne(kSetPassword, params, name);
}

wire::Status UserTable::setEnabled(std::string_view name, bool enabled, std::string_view now) {
    const std::array<wire::ValueView, 3> params = {name, enabled ? "S" : "N", now};
    return updateOne(kSetEnabled, params, name);
}

wire::Status UserTable::updateOne(const Query& query, std::span<const wire::ValueView> params,
                                  std::string_view name) {
    std::int64_t changed = 0;
    if (SqlError err = m_conn.run(query, params, nullptr, &changed))
        return ConstraintMessages::describe(err);
    if (changed == 0)
        return {wire::ErrorCode::Refused, "Usuário " + quotedName(name) + " não cadastrado."};
    return {};
}

wire::Result<std::optional<StoredUser>> UserTable::find(std::string_view name) {
    FirstRowSink row;
    const std::array<wire::ValueView, 1> params = {name};
    if (SqlError err = m_conn.run(kFind, params, &row)) return ConstraintMessages::describe(err);
    if (!row.found()) return std::optional<StoredUser>();
    return std::optional<StoredUser>(
        StoredUser{row.row()[0].value_or(""), row.row()[1].value_or("") == "S"});
}

wire::Result<bool> UserTable::any() {
    FirstRowSink row;
    if (SqlError err = m_conn.run(kAny, {}, &row)) return ConstraintMessages::describe(err);
    return row.found();
}

}  // namespace appserver
