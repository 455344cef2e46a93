#include "transfer/SuggestionFile.h"

#include <optional>
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

std::string onLine(std::size_t line) { return " (linha " + std::to_string(line) + ")"; }

class SuggestionReader {
  public:
    SuggestionReader(const Catalogue& catalogue, SuggestionLinks& links,
                     std::vector<ImportProblem>& problems)
        : m_catalogue(catalogue), m_links(links), m_problems(problems) {
        for (std::uint32_t g = 0; g < links.groups.size(); ++g) {
            m_nameOwner.emplace(nameKey(links.groups[g].storedName), links.groups[g].code);
            m_orderOwner.emplace(links.groups[g].storedOrder, links.groups[g].code);
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
        const std::optional<std::uint32_t> group = takeGroup(check);
        if (!group || !main) return;
        if (!takeMain(check, *group, *main) || !related) return;
        m_links.fileRelated.push_back({*group, m_catalogue.number(*main),
                                       m_catalogue.number(*related),
                                       static_cast<std::uint32_t>(check.line()),
                                       {flagOf(check.value(kQuantity)), flagOf(check.value(kTotal))}});
    }

    // Once every line is read: the same link on two lines with different flags is an error of
    // the later line, and with the same flags simply one link.
    void finish() {
        m_links.sort();
        std::vector<RelatedLink>& related = m_links.fileRelated;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < related.size(); ++i) {
            if (kept > 0 && key(related[kept - 1]) == key(related[i])) {
                const RelatedLink& first = related[kept - 1];
                if (first.flags != related[i].flags) {
                    m_problems.push_back(
                        {related[i].line, kQuantity,
                         "o mesmo vínculo com " + m_catalogue.at(first.product).treeCode +
                             " já informado com outros indicadores" + onLine(first.line)});
                }
                continue;
            }
            related[kept++] = related[i];
        }
        related.resize(kept);
    }

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

    std::optional<std::uint32_t> takeGroup(FieldChecks& check) {
        const std::string& code = check.value(kGroup);
        const std::uint32_t number = m_links.groups.take(code);
        GroupEntry& group = m_links.groups[number];
        if (group.line == 0) {
            // Both are checked, so a line that breaks both reports both.
            const bool nameTaken = ownedElsewhere(check, kName, m_nameOwner,
                                                  nameKey(check.value(kName)), code, "nome");
            const bool orderTaken = ownedElsewhere(check, kOrder, m_orderOwner,
                                                   check.value(kOrder), code, "ordem");
            if (nameTaken || orderTaken) return std::nullopt;
            group.line = static_cast<std::uint32_t>(check.line());
            group.name = check.value(kName);
            group.order = check.value(kOrder);
            return number;
        }
        for (auto [column, value] : {std::pair{kName, &group.name}, {kOrder, &group.order}}) {
            if (check.value(column) != *value) {
                check.refuse(column,
                             "o grupo " + code + " já tem \"" + *value + "\"" + onLine(group.line));
                return std::nullopt;
            }
        }
        return number;
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

    bool takeMain(FieldChecks& check, std::uint32_t group, const CatalogueProduct& product) {
        const LinkFlags flags{flagOf(check.value(kMainQuantity)), flagOf(check.value(kMainTotal))};
        const std::uint64_t mainKey = std::uint64_t{group} << 32 | m_catalogue.number(product);
        auto [at, added] = m_mainAt.try_emplace(mainKey, m_links.fileMains.size());
        if (added) {
            m_links.fileMains.push_back({group, m_catalogue.number(product),
                                         static_cast<std::uint32_t>(check.line()), flags});
            return true;
        }
        const MainLink& first = m_links.fileMains[at->second];
        if (first.flags == flags) return true;
        check.refuse(kMainQuantity, "produto principal " + product.treeCode +
                                        " já informado com outros indicadores" +
                                        onLine(first.line));
        return false;
    }

    const Catalogue& m_catalogue;
    SuggestionLinks& m_links;
    std::vector<ImportProblem>& m_problems;
    std::unordered_multimap<std::string, std::string> m_nameOwner, m_orderOwner;
    std::unordered_map<std::uint64_t, std::size_t> m_mainAt;  // group << 32 | product
};

}  // namespace

void readSuggestionFile(std::istream& csv, const Catalogue& catalogue, SuggestionLinks& links,
                        std::vector<ImportProblem>& problems) {
    SuggestionReader reader(catalogue, links, problems);
    CsvTable table(csv, kSuggestionColumns);
    for (CsvRecord record; table.next(record, problems);) reader.take(record);
    reader.finish();
}

}  // namespace appserver
