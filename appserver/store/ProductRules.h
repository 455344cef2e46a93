#pragma once
// Refusals, rules and fields shared by the main-product and related-product writers.

#include <cstddef>
#include <initializer_list>
#include <vector>

#include "store/LogFields.h"

namespace appserver {

inline constexpr const char* kGroupMissing = "Grupo deve ser informado.";
inline constexpr const char* kGroupUnknown = "Grupo não cadastrado.";
inline constexpr const char* kProductMissing = "Produto deve ser informado.";
inline constexpr const char* kProductUnknown = "Produto não cadastrado.";
inline constexpr const char* kMainProductUnknown = "Produto principal não cadastrado neste grupo.";
inline constexpr const char* kRelatedToItself = "Um produto não pode ser relacionado a ele mesmo.";
inline constexpr const char* kOnlyFlags =
    "Somente os indicadores Quantidade e Totalizador podem ser alterados.";

// A related product's fields as its writer checks them and the history keeps them. The
// main-product writer records the related products it deletes with them too.
inline constexpr FieldRule kRelatedProductRules[] = {
    {wire::column::CDGRUSUGESPROD, "Grupo", kGroupMissing},
    {wire::column::CDPRODUTO, "Produto principal", kProductMissing},
    {wire::column::CDPRODUTORELAC, "Produto", kProductMissing},
    {wire::column::IDQUANTPROD, "Quantidade", nullptr},
    {wire::column::IDTOTALPROD, "Totalizador", nullptr},
};

// A row known by its keys keeps them: a modification may change only the two flags. Refused
// with kOnlyFlags when one of the keys (rule numbers of f) differs between the two rows.
wire::Status onlyFlagsChange(const LogFields& f, const std::vector<wire::Value>& oldValues,
                             const std::vector<wire::Value>& newValues,
                             std::initializer_list<std::size_t> keys);

}  // namespace appserver
