#include "store/SaveRecord.h"

#include "store/ConstraintMessages.h"
#include "store/FirstRowSink.h"

namespace appserver {

namespace {

const Query kInsert{
    "INSERT INTO saves (at_utc, user_name, origin, undoes) VALUES ($1, $2, $3, CAST($4 AS BIGINT)) "
    "RETURNING id"};

}  // namespace

wire::Result<std::string> SaveRecord::id() {
    if (!m_id.empty()) return m_id;
    FirstRowSink row;
    const wire::ValueView params[] = {m_at, m_user, m_origin,
                                      m_undoes.empty() ? std::nullopt : wire::ValueView(m_undoes)};
    if (SqlError err = m_conn.run(kInsert, params, &row)) return ConstraintMessages::describe(err);
    m_id = std::to_string(row.number());
    return m_id;
}

}  // namespace appserver
