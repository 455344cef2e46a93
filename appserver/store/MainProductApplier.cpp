#include "store/MainProductApplier.h"

#include <algorithm>

#include "store/ConstraintMessages.h"
#include "store/ProductRules.h"
#include "wire/ColumnFields.h"
#include "wire/Packet.h"

namespace appserver {

namespace {

enum { kGroup, kProduct, kQuantity, kTotal };

constexpr FieldRule kRules[] = {
    {wire::column::CDGRUSUGESPROD, "Grupo", kGroupMissing},
    {wire::column::CDPRODUTO, "Produto", kProductMissing},
    {wire::column::IDQUANTPRODPRINC, "Quantidade", nullptr},
    {wire::column::IDTOTALPRODPRINC, "Totalizador", nullptr},
};

const Query kGroupExists{"SELECT 1 FROM GRUSUGESPROD WHERE CDGRUSUGESPROD = $1"};
const Query kProductExists{"SELECT 1 FROM PRODUTO WHERE CDPRODUTO = $1"};
const Query kInsert{
    "INSERT INTO PRODPRINC (CDGRUSUGESPROD, CDPRODUTO, IDQUANTPRODPRINC, IDTOTALPRODPRINC) "
    "VALUES ($1, $2, $3, $4)"};
const Query kUpdate{
    "UPDATE PRODPRINC SET IDQUANTPRODPRINC = $5, IDTOTALPRODPRINC = $6 "
    "WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2 "
    "AND (IDQUANTPRODPRINC = $3 OR (IDQUANTPRODPRINC IS NULL AND $3 IS NULL)) "
    "AND (IDTOTALPRODPRINC = $4 OR (IDTOTALPRODPRINC IS NULL AND $4 IS NULL))"};
const Query kDelete{
    "DELETE FROM PRODPRINC WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2 "
    "AND (IDQUANTPRODPRINC = $3 OR (IDQUANTPRODPRINC IS NULL AND $3 IS NULL)) "
    "AND (IDTOTALPRODPRINC = $4 OR (IDTOTALPRODPRINC IS NULL AND $4 IS NULL))"};

// PostgreSQL only: keeps another server from relating a product to this main product until the
// deletion commits (SQLite's write transaction already keeps every other writer out).
const Query kLockMain{
    "SELECT 1 FROM PRODPRINC WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2 FOR UPDATE"};
// Deleted here rather than by the foreign key's cascade, so that each one is known and recorded.
const Query kDeleteRelated{
    "DELETE FROM PRODRELAC WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2 "
    "RETURNING CDGRUSUGESPROD, CDPRODUTO, CDPRODUTORELAC, IDQUANTPROD, IDTOTALPROD"};

// The fields kDeleteRelated returns, in its order.
constexpr wire::Column kDeletedRelated[] = {wire::column::CDGRUSUGESPROD, wire::column::CDPRODUTO,
                                            wire::column::CDPRODUTORELAC, wire::column::IDQUANTPROD,
                                            wire::column::IDTOTALPROD};

// One delete row per related product, as SetProdRelac records one, in the order of their codes.
wire::Status recordRelated(HistoryRecorder& history, std::vector<std::vector<wire::Value>> rows) {
    wire::ChangeLog log;
    log.fields = wire::fieldDefs(kDeletedRelated);
    std::sort(rows.begin(), rows.end());
    for (auto& row : rows) log.changes.push_back({wire::ChangeKind::Delete, std::move(row), {}});
    auto fields = LogFields::resolve(log, kRelatedProductRules);
    if (!fields) return fields.status();
    for (const wire::Change& change : log.changes) {
        if (wire::Status status = history.record(change, *fields); !status) return status;
    }
    return {};
}

}  // namespace

std::span<const FieldRule> MainProductApplier::rules() const { return kRules; }

wire::Status MainProductApplier::insert(const LogFields& f, const Row& values) {
    if (auto s = refuseUnlessFound(kGroupExists, {f.value(values, kGroup)}, kGroupUnknown); !s)
        return s;
    if (auto s = refuseUnlessFound(kProductExists, {f.value(values, kProduct)}, kProductUnknown);
        !s)
        return s;
    return exec(kInsert,
                {f.value(values, kGroup), f.value(values, kProduct), f.value(values, kQuantity),
                 f.value(values, kTotal)},
                kProductUnknown);
}

wire::Status MainProductApplier::modify(const LogFields& f, const Row& oldValues,
                                        const Row& newValues) {
    if (auto s = onlyFlagsChange(f, oldValues, newValues, {kGroup, kProduct}); !s) return s;
    return execMatching(kUpdate, {f.value(oldValues, kGroup), f.value(oldValues, kProduct),
                                  f.value(oldValues, kQuantity), f.value(oldValues, kTotal),
                                  f.value(newValues, kQuantity), f.value(newValues, kTotal)});
}

wire::Status MainProductApplier::remove(const LogFields& f, const Row& oldValues) {
    const std::vector<wire::ValueView> key = {f.value(oldValues, kGroup),
                                              f.value(oldValues, kProduct)};
    if (m_conn.dialect() == Dialect::Postgres) {
        if (SqlError err = m_conn.run(kLockMain, key, nullptr))
            return ConstraintMessages::describe(err);
    }
    wire::Packet related;
    if (SqlError err = m_conn.run(kDeleteRelated, key, &related))
        return ConstraintMessages::describe(err);
    if (auto s = execMatching(
            kDelete, {key[0], key[1], f.value(oldValues, kQuantity), f.value(oldValues, kTotal)});
        !s)
        return s;
    return history() ? recordRelated(*history(), std::move(related.rows)) : wire::Status();
}

}  // namespace appserver
