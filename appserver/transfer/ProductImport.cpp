#include "transfer/ProductImport.h"

#include <unordered_map>

#include "transfer/Catalogue.h"
#include "transfer/CsvTable.h"
#include "transfer/FieldChecks.h"
#include "transfer/TransferColumns.h"
#include "wire/ColumnFields.h"

namespace appserver {

namespace {

enum Column : std::size_t { kCode = 1, kTreeCode, kName };

std::string described(const CatalogueProduct& p) {
    return "arvore=" + p.treeCode + "; nome=" + p.name;
}

class ProductPlanner {
  public:
    ProductPlanner(const Catalogue& catalogue, ImportPreview& preview)
        : m_catalogue(catalogue), m_preview(preview) {
        m_log.fields = wire::fieldDefs(wire::fields::kProducts);
    }

    void take(const CsvRecord& record) {
        FieldChecks check(record, m_preview.problems);
        bool sound = check.required(kCode, "Código do produto", wire::column::CDPRODUTO);
        sound &= check.required(kTreeCode, "Código de árvore", wire::column::CDARVPROD);
        sound &= check.required(kName, "Nome do produto", wire::column::NMPRODUTO);
        if (!sound) return;
        const CatalogueProduct wanted{check.value(kCode), check.value(kTreeCode),
                                      check.value(kName)};
        if (!unique(check, wanted)) return;
        plan(record.line, wanted);
    }

    ImportStep step() { return {ImportTable::Products, "", std::move(m_log), {}}; }

  private:
    // Neither the code nor the tree code on another line; the tree code of no other product.
    bool unique(FieldChecks& check, const CatalogueProduct& wanted) {
        auto [code, newCode] = m_lineOfCode.emplace(wanted.code, check.line());
        if (!newCode) {
            check.refuse(kCode, "produto " + wanted.code + " repetido: já está na linha " +
                                    std::to_string(code->second));
            return false;
        }
        auto [tree, newTree] = m_lineOfTree.emplace(wanted.treeCode, check.line());
        if (!newTree) {
            check.refuse(kTreeCode, "código de árvore " + wanted.treeCode +
                                        " repetido: já está na linha " +
                                        std::to_string(tree->second));
            return false;
        }
        const CatalogueProduct* holder = m_catalogue.byTreeCode(wanted.treeCode);
        if (holder && holder->treeCode == wanted.treeCode && holder->code != wanted.code) {
            check.refuse(kTreeCode, "código de árvore " + wanted.treeCode +
                                        " já pertence ao produto " + holder->code);
            return false;
        }
        return true;
    }

    void plan(std::size_t line, const CatalogueProduct& wanted) {
        const std::vector<wire::Value> row = {wanted.code, wanted.treeCode, wanted.name};
        const CatalogueProduct* stored = m_catalogue.byCode(wanted.code);
        const std::string what = "produto " + wanted.code;
        if (!stored) {
            m_preview.changes.push_back({line, ImportAction::Include, what, "", described(wanted)});
            m_log.changes.push_back({wire::ChangeKind::Insert, {}, row});
        } else if (stored->treeCode != wanted.treeCode || stored->name != wanted.name) {
            m_preview.changes.push_back(
                {line, ImportAction::Alter, what, described(*stored), described(wanted)});
            m_log.changes.push_back(
                {wire::ChangeKind::Modify, {stored->code, stored->treeCode, stored->name}, row});
        } else {
            ++m_preview.unchanged;
        }
    }

    const Catalogue& m_catalogue;
    ImportPreview& m_preview;
    wire::ChangeLog m_log;
    std::unordered_map<std::string, std::size_t> m_lineOfCode, m_lineOfTree;
};

}  // namespace

wire::Result<ImportPreview> previewProductImport(Store& store, std::istream& csv) {
    auto catalogue = Catalogue::read(store);
    if (!catalogue) return catalogue.status();
    ImportPreview preview;
    ProductPlanner planner(*catalogue, preview);
    CsvTable table(csv, kProductColumns);
    for (CsvRecord record; table.next(record, preview.problems);) planner.take(record);
    preview.steps.push_back(planner.step());
    return preview;
}

}  // namespace appserver
