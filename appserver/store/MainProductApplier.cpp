#include "store/MainProductApplier.h"

#include "store/ProductRules.h"

namespace appserver {

namespace {

enum { kGroup, kProduct, kQuantity, kTotal };

constexpr FieldRule kRules[] = {
    {column::CDGRUSUGESPROD, "Grupo", kGroupMissing},
    {column::CDPRODUTO, "Produto", kProductMissing},
    {column::IDQUANTPRODPRINC, "Quantidade", nullptr},
    {column::IDTOTALPRODPRINC, "Totalizador", nullptr},
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
    return execMatching(kDelete, {f.value(oldValues, kGroup), f.value(oldValues, kProduct),
                                  f.value(oldValues, kQuantity), f.value(oldValues, kTotal)});
}

}  // namespace appserver
