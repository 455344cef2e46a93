#include "store/ProductApplier.h"

#include <string>

#include "store/TextKeys.h"

namespace appserver {

namespace {

enum { kCode, kTreeCode, kName };

constexpr FieldRule kRules[] = {
    {wire::column::CDPRODUTO, "Código do produto", "Código do produto deve ser informado."},
    {wire::column::CDARVPROD, "Código de árvore do produto",
     "Código de árvore do produto deve ser informado."},
    {wire::column::NMPRODUTO, "Nome do produto", "Nome do produto deve ser informado."},
};

const Query kInsert{
    "INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, CDARVPRODDIG) VALUES ($1, $2, $3, $4)"};

constexpr const char* kReadOnly = "O cadastro de produtos não é alterado por este módulo.";

}  // namespace

std::span<const FieldRule> ProductApplier::rules() const { return kRules; }

wire::Status ProductApplier::insert(const LogFields& f, const Row& values) {
    std::string digits = treeDigits(*f.value(values, kTreeCode));
    return exec(kInsert, {f.value(values, kCode), f.value(values, kTreeCode),
                          f.value(values, kName), digits});
}

wire::Status ProductApplier::modify(const LogFields&, const Row&, const Row&) {
    return {wire::ErrorCode::Refused, kReadOnly};
}

wire::Status ProductApplier::remove(const LogFields&, const Row&) {
    return {wire::ErrorCode::Refused, kReadOnly};
}

}  // namespace appserver
