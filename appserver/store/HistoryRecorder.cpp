#include "store/HistoryRecorder.h"

#include <array>
#include <optional>

#include "store/ConstraintMessages.h"
#include "wire/JsonOut.h"

namespace appserver {

namespace {

const Query kInsert{
    "INSERT INTO history (at_utc, user_name, method, operation, kind, group_code, old_row, "
    "new_row, save_id, main_product) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, CAST($9 AS BIGINT), "
    "$10)"};

const char* kindName(wire::ChangeKind kind) {
    switch (kind) {
        case wire::ChangeKind::Insert:
            return "insert";
        case wire::ChangeKind::Modify:
            return "modify";
        case wire::ChangeKind::Delete:
            break;
    }
    return "delete";
}

// {"FIELD":"value" or null, ...} in rule order; nullopt for a row the entry does not have.
std::optional<std::string> rowJson(const LogFields& fields, const std::vector<wire::Value>& row) {
    if (row.empty()) return std::nullopt;
    wire::detail::JsonBuffer buffer;
    wire::detail::JsonWriter w(buffer);
    w.StartObject();
    for (std::size_t r = 0; r < fields.rules().size(); ++r) {
        wire::detail::writeText(w, fields.rules()[r].column.name);
        if (wire::ValueView v = fields.value(row, r))
            wire::detail::writeText(w, *v);
        else
            w.Null();
    }
    w.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

// A column of the row, for filtering: of the new row, else of the deleted one.
wire::ValueView columnOf(const LogFields& fields, const wire::Change& change,
                         const wire::Column& column) {
    const auto& row = change.newValues.empty() ? change.oldValues : change.newValues;
    for (std::size_t r = 0; r < fields.rules().size(); ++r) {
        if (fields.rules()[r].column.name == column.name) return fields.value(row, r);
    }
    return std::nullopt;
}

}  // namespace

wire::Status HistoryRecorder::record(const wire::Change& change, const LogFields& fields) {
    std::optional<std::string> oldRow = rowJson(fields, change.oldValues);
    std::optional<std::string> newRow = rowJson(fields, change.newValues);
    auto save = m_save.id();
    if (!save) return save.status();
    const wire::ValueView group = columnOf(fields, change, wire::column::CDGRUSUGESPROD);
    // The list a product row belongs to: the main product of a group's row.
    const wire::ValueView mainProduct =
        group ? columnOf(fields, change, wire::column::CDPRODUTO) : std::nullopt;
    const std::array<wire::ValueView, 10> params = {
        m_save.at(),
        m_origin.user,
        m_origin.method,
        m_origin.operation,
        kindName(change.kind),
        group,
        oldRow ? wire::ValueView(*oldRow) : std::nullopt,
        newRow ? wire::ValueView(*newRow) : std::nullopt,
        *save,
        mainProduct};
    return ConstraintMessages::describe(m_conn.run(kInsert, params, nullptr));
}

}  // namespace appserver
