#include "store/RelatedProductApplier.h"

#include "store/ProductRules.h"

namespace appserver {

namespace {

// The rule numbers of kRelatedProductRules.
enum { kGroup, kMain, kRelated, kQuantity, kTotal };

const Query kMainExists{"SELECT 1 FROM PRODPRINC WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2"};
const Query kProductExists{"SELECT 1 FROM PRODUTO WHERE CDPRODUTO = $1"};
const Query kInsert{
    "INSERT INTO PRODRELAC (CDGRUSUGESPROD, CDPRODUTO, CDPRODUTORELAC, IDQUANTPROD, IDTOTALPROD) "
    "VALUES ($1, $2, $3, $4, $5)"};
const Query kUpdate{
    "UPDATE PRODRELAC SET IDQUANTPROD = $6, IDTOTALPROD = $7 "
    "WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2 AND CDPRODUTORELAC = $3 "
    "AND (IDQUANTPROD = $4 OR (IDQUANTPROD IS NULL AND $4 IS NULL)) "
    "AND (IDTOTALPROD = $5 OR (IDTOTALPROD IS NULL AND $5 IS NULL))"};
const Query kDelete{
    "DELETE FROM PRODRELAC WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2 AND CDPRODUTORELAC = $3 "
    "AND (IDQUANTPROD = $4 OR (IDQUANTPROD IS NULL AND $4 IS NULL)) "
    "AND (IDTOTALPROD = $5 OR (IDTOTALPROD IS NULL AND $5 IS NULL))"};

// Refused here with the user's wording before any statement runs; CK_PRODRELAC_PROPRIO holds the
// same rule in the database.
wire::Status notItself(const LogFields& f, const std::vector<wire::Value>& values) {
    if (f.value(values, kMain) != f.value(values, kRelated)) return {};
    return {wire::ErrorCode::Refused, kRelatedToItself};
}

}  // namespace

std::span<const FieldRule> RelatedProductApplier::rules() const { return kRelatedProductRules; }

wire::Status RelatedProductApplier::insert(const LogFields& f, const Row& values) {
    if (auto s = notItself(f, values); !s) return s;
    if (auto s = refuseUnlessFound(kMainExists, {f.value(values, kGroup), f.value(values, kMain)},
                                   kMainProductUnknown);
        !s)
        return s;
    if (auto s = refuseUnlessFound(kProductExists, {f.value(values, kRelated)}, kProductUnknown);
        !s)
        return s;
    return exec(kInsert,
                {f.value(values, kGroup), f.value(values, kMain), f.value(values, kRelated),
                 f.value(values, kQuantity), f.value(values, kTotal)},
                kMainProductUnknown);
}

wire::Status RelatedProductApplier::modify(const LogFields& f, const Row& oldValues,
                                           const Row& newValues) {
    if (auto s = notItself(f, newValues); !s) return s;
    if (auto s = onlyFlagsChange(f, oldValues, newValues, {kGroup, kMain, kRelated}); !s) return s;
    return execMatching(kUpdate, {f.value(oldValues, kGroup), f.value(oldValues, kMain),
                                  f.value(oldValues, kRelated), f.value(oldValues, kQuantity),
                                  f.value(oldValues, kTotal), f.value(newValues, kQuantity),
                                  f.value(newValues, kTotal)});
}

wire::Status RelatedProductApplier::remove(const LogFields& f, const Row& oldValues) {
    return execMatching(kDelete, {f.value(oldValues, kGroup), f.value(oldValues, kMain),
                                  f.value(oldValues, kRelated), f.value(oldValues, kQuantity),
                                  f.value(oldValues, kTotal)});
}

}  // namespace appserver
