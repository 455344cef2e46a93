#include "transfer/SuggestionFile.h"

#include <unordered_map>

#include "store/TextKeys.h"
#include "transfer/CsvTable.h"
#include "transfer/FieldChecks.h"
#include "transfer/TransferColumns.h"

namespace appserver {

namespace {

enum Col : std::size_t {
    kGroup = 1,
    kName,
    kOrder,
    kMain,
    kMainQuantity,
    kMainTotal,
    kRelated,
    kQuantity,
    kTotal
};

wire::Value flagValue(const std::string& text) {
    return text.empty() ? std::nullopt : wire::Value(text);
}

std::string onLine(std::size_t line) { return " (linha " + std::to_string(line) + ")"; }

class SuggestionReader {
  public:
    SuggestionReader(const Catalogue& catalogue, const CurrentSuggestions& current,
                     std::vector<ImportProblem>& problems)
        : m_catalogue(catalogue), m_problems(problems) {
        for (const auto& [code, group] : current) {
            m_nameOwner.emplace(nameKey(group.name), code);
            m_orderOwner.emplace(group.order, code);
        }
    }

    void take(const CsvRecord& record) {
        FieldChecks check(record, m_problems);
        bool sound = check.digits(kGroup, "Código do grupo", wire::column::CDGRUSUGESPROD);
        sound &= check.required(kName, "Nome do grupo", wire::column::NMGRUSUGESPROD);
        sound &= check.required(kOrder, "Ordem", wire::column::NRORDEM);
        for (Col c : {kMainQuantity, kMainTotal, kQuantity, kTotal})
            sound &=
                check.flag(c, c == kMainQuantity || c == kQuantity ? "Quantidade" : "Totalizador");
        const CatalogueProduct* main = product(check, kMain);
        const CatalogueProduct* related = product(check, kRelated);
        if (!check.value(kMain).empty() && !main) sound = false;
        if (!check.value(kRelated).empty() && !related) sound = false;
        if (!sound || !placed(check, main, related)) return;
        FileGroup* group = takeGroup(check);
        if (!group || !main) return;
        FileMain* fileMain = takeMain(check, *group, *main);
        if (fileMain && related) takeRelated(check, *fileMain, *related);
    }

    SuggestionFile file;

  private:
    const CatalogueProduct* product(FieldChecks& check, Col column) {
        const std::string& tree = check.value(column);
        if (tree.empty()) return nullptr;
        const CatalogueProduct* found = m_catalogue.byTreeCode(tree);
        if (!found) check.refuse(column, "produto " + tree + " não cadastrado");
        return found;
    }

    // Flags only beside their product, a related product only under a main one, never itself.
    bool placed(FieldChecks& check, const CatalogueProduct* main, const CatalogueProduct* related) {
        if (!main && !check.value(kRelated).empty()) {
            check.refuse(kRelated, "produto relacionado sem produto principal");
            return false;
        }
        for (auto [product, first] : {std::pair{main, kMainQuantity}, {related, kQuantity}}) {
            for (Col c : {first, static_cast<Col>(first + 1)}) {
                if (!product && !check.value(c).empty()) {
                    check.refuse(c, "indicador sem produto");
                    return false;
                }
            }
        }
        if (main && related && main->code == related->code) {
            check.refuse(kRelated, "um produto não pode ser relacionado a ele mesmo");
            return false;
        }
        return true;
    }

    FileGroup* takeGroup(FieldChecks& check) {
        const std::string& code = check.value(kGroup);
        auto [at, added] = file.try_emplace(code);
        FileGroup& group = at->second;
        if (added) {
            group = {check.line(), check.value(kName), check.value(kOrder), {}};
            // Both are checked, so a line that breaks both reports both.
            const bool nameTaken =
                ownedElsewhere(check, kName, m_nameOwner, nameKey(group.name), code, "nome");
            const bool orderTaken =
                ownedElsewhere(check, kOrder, m_orderOwner, group.order, code, "ordem");
            if (nameTaken || orderTaken) {
                file.erase(at);
                return nullptr;
            }
            return &group;
        }
        for (auto [column, value] : {std::pair{kName, &group.name}, {kOrder, &group.order}}) {
            if (check.value(column) != *value) {
                check.refuse(column,
                             "o grupo " + code + " já tem \"" + *value + "\"" + onLine(group.line));
                return nullptr;
            }
        }
        return &group;
    }

    // Refuses a name or order some other group holds, in the database or earlier in the file.
    bool ownedElsewhere(FieldChecks& check, Col column,
                        std::unordered_multimap<std::string, std::string>& owners,
                        const std::string& key, const std::string& code, const char* what) {
        auto [first, last] = owners.equal_range(key);
        for (auto it = first; it != last; ++it) {
            if (it->second == code) continue;
            check.refuse(column, std::string(what) + " \"" + check.value(column) +
                                     "\" já usado pelo grupo " + it->second);
            return true;
        }
        owners.emplace(key, code);
        return false;
    }

    FileMain* takeMain(FieldChecks& check, FileGroup& group, const CatalogueProduct& product) {
        const SuggestionFlags flags{flagValue(check.value(kMainQuantity)),
                                    flagValue(check.value(kMainTotal))};
        auto [at, added] = group.mains.try_emplace(product.treeCode);
        if (added) at->second = {check.line(), product.code, flags, {}};
        if (at->second.flags == flags) return &at->second;
        check.refuse(kMainQuantity, "produto principal " + product.treeCode +
                                        " já informado com outros indicadores" +
                                        onLine(at->second.line));
        return nullptr;
    }

    void takeRelated(FieldChecks& check, FileMain& main, const CatalogueProduct& product) {
        const SuggestionFlags flags{flagValue(check.value(kQuantity)),
                                    flagValue(check.value(kTotal))};
        auto [at, added] = main.related.try_emplace(product.treeCode);
        if (added) at->second = {check.line(), product.code, flags};
        if (at->second.flags == flags) return;
        check.refuse(kQuantity, "o mesmo vínculo com " + product.treeCode +
                                    " já informado com outros indicadores" +
                                    onLine(at->second.line));
    }

    const Catalogue& m_catalogue;
    std::vector<ImportProblem>& m_problems;
    std::unordered_multimap<std::string, std::string> m_nameOwner, m_orderOwner;
};

}  // namespace

SuggestionFile readSuggestionFile(std::istream& csv, const Catalogue& catalogue,
                                  const CurrentSuggestions& current,
                                  std::vector<ImportProblem>& problems) {
    SuggestionReader reader(catalogue, current, problems);
    CsvTable table(csv, kSuggestionColumns);
    for (CsvRecord record; table.next(record, problems);) reader.take(record);
    return std::move(reader.file);
}

}  // namespace appserver
