#include "store/GroupCopier.h"

#include "store/ConstraintMessages.h"
#include "store/FirstRowSink.h"
#include "store/TableWriter.h"
#include "wire/Packet.h"

namespace appserver {

namespace {

namespace col = wire::column;

const Query kSource{"SELECT 1 FROM GRUSUGESPROD WHERE CDGRUSUGESPROD = $1"};
const Query kMainRows{
    "SELECT CDPRODUTO, IDQUANTPRODPRINC, IDTOTALPRODPRINC FROM PRODPRINC "
    "WHERE CDGRUSUGESPROD = $1 ORDER BY CDPRODUTO"};
const Query kRelatedRows{
    "SELECT CDPRODUTO, CDPRODUTORELAC, IDQUANTPROD, IDTOTALPROD FROM PRODRELAC "
    "WHERE CDGRUSUGESPROD = $1 ORDER BY CDPRODUTO, CDPRODUTORELAC"};

constexpr const char* kSourceUnknown = "Grupo de origem não cadastrado.";

wire::Result<wire::Packet> rowsOf(SqlConnection& conn, const Query& query, std::string_view group) {
    wire::Packet rows;
    const wire::ValueView params[] = {group};
    if (SqlError err = conn.run(query, params, &rows)) return ConstraintMessages::describe(err);
    return rows;
}

// Each row of rows with the new group code in front.
wire::ChangeLog inserts(wire::ChangeLog log, const wire::Packet& rows, std::string_view group) {
    for (const auto& row : rows.rows) {
        std::vector<wire::Value> values{std::string(group)};
        values.insert(values.end(), row.begin(), row.end());
        log.changes.push_back({wire::ChangeKind::Insert, {}, std::move(values)});
    }
    return log;
}

}  // namespace

wire::Status copyGroupRows(SqlConnection& conn, const GroupCopy& copy, HistoryRecorder& history) {
    FirstRowSink source;
    const wire::ValueView key[] = {copy.source};
    if (SqlError err = conn.run(kSource, key, &source)) return ConstraintMessages::describe(err);
    if (!source.found()) return {wire::ErrorCode::Refused, kSourceUnknown};

    wire::ChangeLog group = logOver({col::CDGRUSUGESPROD, col::NMGRUSUGESPROD, col::NRORDEM});
    group.changes.push_back(
        {wire::ChangeKind::Insert,
         {},
         {std::string(copy.code), std::string(copy.name), std::string(copy.order)}});
    if (auto s = writeTable(conn, StoredTable::Groups, group, history); !s) return s;

    auto mains = rowsOf(conn, kMainRows, copy.source);
    if (!mains) return mains.status();
    auto s = writeTable(conn, StoredTable::MainProducts,
                        inserts(mainProductLog(), *mains, copy.code), history);
    if (!s) return s;
    auto related = rowsOf(conn, kRelatedRows, copy.source);
    if (!related) return related.status();
    return writeTable(conn, StoredTable::RelatedProducts,
                      inserts(relatedProductLog(), *related, copy.code), history);
}

}  // namespace appserver
