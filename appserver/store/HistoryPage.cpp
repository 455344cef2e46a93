#include "store/HistoryPage.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>

#include "store/ChangeWording.h"
#include "store/ConstraintMessages.h"
#include "store/UtcTime.h"
#include "wire/ColumnFields.h"
#include "wire/Packet.h"

namespace appserver {

namespace {

const std::string kColumns =
    "SELECT h.id, h.save_id, h.at_utc, h.user_name, s.origin, h.kind, h.old_row, h.new_row "
    "FROM history h JOIN saves s ON s.id = h.save_id WHERE h.group_code = $1 "
    "AND h.id < CAST($2 AS BIGINT) ";
const std::string kOrder = "ORDER BY h.id DESC LIMIT " + std::to_string(wire::kHistoryPageRows);
const std::string kGroupSql = kColumns + kOrder;
const std::string kListSql = kColumns + "AND h.main_product = $3 " + kOrder;
const Query kGroupPage{kGroupSql.c_str()};
const Query kListPage{kListSql.c_str()};

enum { kId, kSave, kAt, kUser, kOrigin, kKind, kOld, kNew };

bool isHistoryNumber(std::string_view text) {
    std::int64_t n = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    return error == std::errc() && end == text.data() + text.size() && n > 0;
}

const StoredRow* present(const std::optional<StoredRow>& row) { return row ? &*row : nullptr; }

}  // namespace

wire::Status readHistoryPage(SqlConnection& conn, const HistoryPageQuery& query,
                             wire::PacketSink& out) {
    const std::string newest = std::to_string(std::numeric_limits<std::int64_t>::max());
    if (!query.before.empty() && !isHistoryNumber(query.before))
        return {wire::ErrorCode::InvalidParams,
                "Histórico anterior a deve ser o número de uma linha do histórico."};
    const wire::ValueView before = query.before.empty() ? newest : query.before;
    wire::Packet raw;
    const bool wholeGroup = query.mainProduct.empty();
    const std::array<wire::ValueView, 3> params = {query.group, before, query.mainProduct};
    SqlError err = conn.run(wholeGroup ? kGroupPage : kListPage,
                            std::span(params).first(wholeGroup ? 2 : 3), &raw);
    if (err) return ConstraintMessages::describe(err);

    if (auto s = out.onFields(wire::fieldDefs(wire::fields::kHistory)); !s) return s;
    ChangeWording wording(conn);
    for (const auto& r : raw.rows) {
        auto oldRow = StoredRow::parseIfAny(r[kOld]);
        auto newRow = StoredRow::parseIfAny(r[kNew]);
        if (!oldRow || !newRow) return !oldRow ? oldRow.status() : newRow.status();
        const std::string at = localDisplayTime(r[kAt].value_or(""));
        const std::string text =
            wording.sentence(entryKindNamed(r[kKind]), present(*oldRow), present(*newRow));
        const std::array<wire::ValueView, 6> values = {r[kId],   r[kSave],   at,
                                                       r[kUser], r[kOrigin], text};
        if (auto s = out.onRow(values); !s) return s;
    }
    return {};
}

}  // namespace appserver
