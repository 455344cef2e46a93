#include "store/GroupApplier.h"

#include <string>
#include <string_view>

#include "store/TextKeys.h"

namespace appserver {

namespace {

enum { kCode, kName, kOrder };

constexpr FieldRule kRules[] = {
    {wire::column::CDGRUSUGESPROD, "Código", "Código deve ser informado."},
    {wire::column::NMGRUSUGESPROD, "Nome", "Nome deve ser informado."},
    {wire::column::NRORDEM, "Ordem", "Ordem deve ser informada."},
};

const Query kCodeTaken{
    "SELECT 1 FROM GRUSUGESPROD WHERE CDGRUSUGESPROD = $1 AND ($2 IS NULL OR CDGRUSUGESPROD <> "
    "$2)"};
const Query kNameTaken{
    "SELECT 1 FROM GRUSUGESPROD WHERE NMGRUSUGESCHAVE = $1 AND ($2 IS NULL OR CDGRUSUGESPROD <> "
    "$2)"};
const Query kOrderTaken{
    "SELECT 1 FROM GRUSUGESPROD WHERE NRORDEM = $1 AND ($2 IS NULL OR CDGRUSUGESPROD <> $2)"};

const Query kInsert{
    "INSERT INTO GRUSUGESPROD (CDGRUSUGESPROD, NMGRUSUGESPROD, NRORDEM, NMGRUSUGESCHAVE) "
    "VALUES ($1, $2, $3, $4)"};
const Query kUpdate{
    "UPDATE GRUSUGESPROD SET CDGRUSUGESPROD = $4, NMGRUSUGESPROD = $5, NRORDEM = $6, "
    "NMGRUSUGESCHAVE = $7 WHERE CDGRUSUGESPROD = $1 AND NMGRUSUGESPROD = $2 AND NRORDEM = $3"};
const Query kDelete{
    "DELETE FROM GRUSUGESPROD WHERE CDGRUSUGESPROD = $1 AND NMGRUSUGESPROD = $2 AND NRORDEM = $3"};

constexpr const char* kHasProducts =
    "O grupo possui produtos principais e não pode ser excluído. Exclua os produtos primeiro.";

// Only codes written from now on are held to it: groups stored earlier keep theirs, so a
// modification that leaves the code as it was, and every deletion, pass.
wire::Status tenDigits(std::string_view code) {
    constexpr std::size_t size = wire::column::CDGRUSUGESPROD.size;
    bool digits =
        code.size() == size && code.find_first_not_of("0123456789") == std::string_view::npos;
    if (digits) return {};
    return {wire::ErrorCode::Refused, "Código do grupo \"" + std::string(code) +
                                          "\" inválido: deve ter " + std::to_string(size) +
                                          " dígitos."};
}

}  // namespace

std::span<const FieldRule> GroupApplier::rules() const { return kRules; }

wire::Status GroupApplier::checkUnique(const LogFields& f, const Row& values,
                                       wire::ValueView self) {
    std::string key = nameKey(*f.value(values, kName));
    struct Check {
        const Query& query;
        wire::ValueView value;
        const char* message;
    };
    const Check checks[] = {
        {kCodeTaken, f.value(values, kCode), "Código já cadastrado."},
        {kNameTaken, key, "Nome já cadastrado."},
        {kOrderTaken, f.value(values, kOrder), "Ordem já cadastrada."},
    };
    for (const Check& c : checks) {
        if (auto s = refuseIfFound(c.query, {c.value, self}, c.message); !s) return s;
    }
    return {};
}

wire::Status GroupApplier::insert(const LogFields& f, const Row& values) {
    if (wire::Status status = tenDigits(*f.value(values, kCode)); !status) return status;
    if (wire::Status status = checkUnique(f, values, std::nullopt); !status) return status;
    std::string key = nameKey(*f.value(values, kName));
    return exec(kInsert,
                {f.value(values, kCode), f.value(values, kName), f.value(values, kOrder), key});
}

wire::Status GroupApplier::modify(const LogFields& f, const Row& oldValues, const Row& newValues) {
    wire::ValueView code = f.value(newValues, kCode);
    if (code != f.value(oldValues, kCode)) {
        if (wire::Status status = tenDigits(*code); !status) return status;
    }
    if (wire::Status status = checkUnique(f, newValues, f.value(oldValues, kCode)); !status) {
        return status;
    }
    std::string key = nameKey(*f.value(newValues, kName));
    return execMatching(kUpdate, {f.value(oldValues, kCode), f.value(oldValues, kName),
                                  f.value(oldValues, kOrder), f.value(newValues, kCode),
                                  f.value(newValues, kName), f.value(newValues, kOrder), key});
}

wire::Status GroupApplier::remove(const LogFields& f, const Row& oldValues) {
    return execMatching(
        kDelete, {f.value(oldValues, kCode), f.value(oldValues, kName), f.value(oldValues, kOrder)},
        kHasProducts);
}

}  // namespace appserver
