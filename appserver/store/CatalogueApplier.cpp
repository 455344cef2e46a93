#include "store/CatalogueApplier.h"

#include <string>

#include "store/TextKeys.h"

namespace appserver {

namespace {

// The rule numbers of ProductApplier's rules.
enum { kCode, kTreeCode, kName };

const Query kUpdate{
    "UPDATE PRODUTO SET CDARVPROD = $4, NMPRODUTO = $5, CDARVPRODDIG = $6 "
    "WHERE CDPRODUTO = $1 AND CDARVPROD = $2 AND NMPRODUTO = $3"};

constexpr const char* kCodeKept = "O código do produto não pode ser alterado.";

}  // namespace

wire::Status CatalogueApplier::modify(const LogFields& f, const Row& oldValues,
                                      const Row& newValues) {
    if (f.value(oldValues, kCode) != f.value(newValues, kCode))
        return {wire::ErrorCode::Refused, kCodeKept};
    std::string digits = treeDigits(*f.value(newValues, kTreeCode));
    return execMatching(kUpdate, {f.value(oldValues, kCode), f.value(oldValues, kTreeCode),
                                  f.value(oldValues, kName), f.value(newValues, kTreeCode),
                                  f.value(newValues, kName), digits});
}

}  // namespace appserver
