#include "transfer/SuggestionImport.h"

#include "transfer/Catalogue.h"
#include "transfer/CurrentSuggestions.h"
#include "transfer/SuggestionFile.h"
#include "wire/ColumnFields.h"

namespace appserver {

namespace {

using Row = std::vector<wire::Value>;

// What a stored parent holds under that key; null when there is no parent or no such entry.
template <class Parent, class Map, class Key>
const typename Map::mapped_type* storedEntry(const Parent* parent, Map Parent::*entries,
                                             const Key& key) {
    if (!parent) return nullptr;
    auto found = (parent->*entries).find(key);
    return found == (parent->*entries).end() ? nullptr : &found->second;
}

std::string flagsText(const SuggestionFlags& f) {
    return "quantidade=" + f.quantity.value_or("") + "; totalizador=" + f.total.value_or("");
}

class SuggestionPlanner {
  public:
    SuggestionPlanner(const Catalogue& catalogue, ImportMode mode, ImportPreview& preview)
        : m_catalogue(catalogue), m_mode(mode), m_preview(preview) {
        m_groups.fields = wire::fieldDefs(wire::fields::kGroups);
        for (wire::ChangeLog* log : {&m_mainInserts, &m_mainModifies, &m_mainDeletes})
            log->fields = wire::fieldDefs(kMainColumns);
        for (wire::ChangeLog* log : {&m_relatedDeletes, &m_relatedInserts, &m_relatedModifies})
            log->fields = wire::fieldDefs(kRelatedColumns);
    }

    void plan(const std::string& code, const FileGroup& group, const CurrentGroup* stored) {
        const std::string what = "grupo " + code;
        const std::string after = "nome=" + group.name + "; ordem=" + group.order;
        const Row row = {code, group.name, group.order};
        if (!stored) {
            change(group.line, ImportAction::Include, what, "", after);
            m_groups.changes.push_back({wire::ChangeKind::Insert, {}, row});
        } else if (stored->name != group.name || stored->order != group.order) {
            change(group.line, ImportAction::Alter, what,
                   "nome=" + stored->name + "; ordem=" + stored->order, after);
            m_groups.changes.push_back(
                {wire::ChangeKind::Modify, {code, stored->name, stored->order}, row});
        } else {
            ++m_preview.unchanged;
        }
        for (const auto& [tree, main] : group.mains) {
            planMain(code, tree, main, storedEntry(stored, &CurrentGroup::mains, tree));
        }
        if (m_mode != ImportMode::Replace || !stored) return;
        for (const auto& [tree, storedMain] : stored->mains) {
            if (group.mains.contains(tree)) continue;
            for (const auto& [relatedTree, flags] : storedMain.related)
                removeRelated(group.line, code, tree, relatedTree, flags);
            change(group.line, ImportAction::Exclude, "principal " + tree + " do grupo " + code,
                   flagsText(storedMain.flags), "");
            m_mainDeletes.changes.push_back(
                {wire::ChangeKind::Delete, mainRow(code, tree, storedMain.flags), {}});
        }
    }

    std::vector<ImportStep> steps() {
        std::vector<ImportStep> steps;
        steps.push_back({ImportTable::Groups, "", std::move(m_groups)});
        steps.push_back({ImportTable::MainProducts, "I", std::move(m_mainInserts)});
        steps.push_back({ImportTable::MainProducts, "E", std::move(m_mainModifies)});
        steps.push_back({ImportTable::RelatedProducts, "D", std::move(m_relatedDeletes)});
        steps.push_back({ImportTable::MainProducts, "D", std::move(m_mainDeletes)});
        steps.push_back({ImportTable::RelatedProducts, "I", std::move(m_relatedInserts)});
        steps.push_back({ImportTable::RelatedProducts, "E", std::move(m_relatedModifies)});
        return steps;
    }

  private:
    static constexpr wire::Column kMainColumns[] = {
        wire::column::CDGRUSUGESPROD, wire::column::CDPRODUTO, wire::column::IDQUANTPRODPRINC,
        wire::column::IDTOTALPRODPRINC};
    static constexpr wire::Column kRelatedColumns[] = {
        wire::column::CDGRUSUGESPROD, wire::column::CDPRODUTO, wire::column::CDPRODUTORELAC,
        wire::column::IDQUANTPROD, wire::column::IDTOTALPROD};

    std::string codeOf(const std::string& tree) const {
        const CatalogueProduct* p = m_catalogue.byTreeCode(tree);
        return p ? p->code : std::string();
    }
    Row mainRow(const std::string& group, const std::string& tree, const SuggestionFlags& f) {
        return {group, codeOf(tree), f.quantity, f.total};
    }
    Row relatedRow(const std::string& group, const std::string& main, const std::string& tree,
                   const SuggestionFlags& f) {
        return {group, codeOf(main), codeOf(tree), f.quantity, f.total};
    }

    void change(std::size_t line, ImportAction action, std::string what, std::string before,
                std::string after) {
        m_preview.changes.push_back(
            {line, action, std::move(what), std::move(before), std::move(after)});
    }

    void planMain(const std::string& group, const std::string& tree, const FileMain& main,
                  const CurrentMain* stored) {
        const std::string what = "principal " + tree + " do grupo " + group;
        if (!stored) {
            change(main.line, ImportAction::Include, what, "", flagsText(main.flags));
            m_mainInserts.changes.push_back(
                {wire::ChangeKind::Insert, {}, mainRow(group, tree, main.flags)});
        } else if (stored->flags != main.flags) {
            change(main.line, ImportAction::Alter, what, flagsText(stored->flags),
                   flagsText(main.flags));
            m_mainModifies.changes.push_back({wire::ChangeKind::Modify,
                                              mainRow(group, tree, stored->flags),
                                              mainRow(group, tree, main.flags)});
        } else {
            ++m_preview.unchanged;
        }
        for (const auto& [relatedTree, related] : main.related) {
            planRelated(group, tree, relatedTree, related,
                        storedEntry(stored, &CurrentMain::related, relatedTree));
        }
        if (m_mode != ImportMode::Replace || !stored) return;
        for (const auto& [relatedTree, flags] : stored->related) {
            if (!main.related.contains(relatedTree))
                removeRelated(main.line, group, tree, relatedTree, flags);
        }
    }

    void planRelated(const std::string& group, const std::string& main, const std::string& tree,
                     const FileRelated& related, const SuggestionFlags* stored) {
        const std::string what = "relacionado " + tree + " de " + main + " do grupo " + group;
        if (!stored) {
            change(related.line, ImportAction::Include, what, "", flagsText(related.flags));
            m_relatedInserts.changes.push_back(
                {wire::ChangeKind::Insert, {}, relatedRow(group, main, tree, related.flags)});
        } else if (*stored != related.flags) {
            change(related.line, ImportAction::Alter, what, flagsText(*stored),
                   flagsText(related.flags));
            m_relatedModifies.changes.push_back({wire::ChangeKind::Modify,
                                                 relatedRow(group, main, tree, *stored),
                                                 relatedRow(group, main, tree, related.flags)});
        } else {
            ++m_preview.unchanged;
        }
    }

    void removeRelated(std::size_t line, const std::string& group, const std::string& main,
                       const std::string& tree, const SuggestionFlags& flags) {
        change(line, ImportAction::Exclude,
               "relacionado " + tree + " de " + main + " do grupo " + group, flagsText(flags), "");
        m_relatedDeletes.changes.push_back(
            {wire::ChangeKind::Delete, relatedRow(group, main, tree, flags), {}});
    }

    const Catalogue& m_catalogue;
    ImportMode m_mode;
    ImportPreview& m_preview;
    wire::ChangeLog m_groups, m_mainInserts, m_mainModifies, m_mainDeletes;
    wire::ChangeLog m_relatedDeletes, m_relatedInserts, m_relatedModifies;
};

}  // namespace

std::optional<ImportMode> importModeNamed(std::string_view name) {
    if (name == "incluir") return ImportMode::Include;
    if (name == "substituir") return ImportMode::Replace;
    return std::nullopt;
}

wire::Result<ImportPreview> previewSuggestionImport(Store& store, std::istream& csv,
                                                    ImportMode mode) {
    auto catalogue = Catalogue::read(store);
    if (!catalogue) return catalogue.status();
    auto current = readCurrentSuggestions(store);
    if (!current) return current.status();
    ImportPreview preview;
    const SuggestionFile file = readSuggestionFile(csv, *catalogue, *current, preview.problems);
    SuggestionPlanner planner(*catalogue, mode, preview);
    for (const auto& [code, group] : file) {
        auto stored = current->find(code);
        planner.plan(code, group, stored == current->end() ? nullptr : &stored->second);
    }
    preview.steps = planner.steps();
    return preview;
}

wire::Status applyImportPreview(Store& store, const ImportPreview& preview, std::string_view user) {
    if (!preview.applicable())
        return {wire::ErrorCode::Refused, "A importação tem erros; nada foi alterado."};
    return store.applyImport(preview.steps, user);
}

}  // namespace appserver
