#include "transfer/SuggestionImport.h"

#include <algorithm>
#include <span>
#include <type_traits>

#include "transfer/CurrentSuggestions.h"
#include "transfer/SuggestionFile.h"
#include "transfer/SuggestionPlan.h"

namespace appserver {

namespace {

// The links under a key prefix in a vector sorted by key: a group's main links, a main
// product's related links.
template <class Link, class Prefix>
std::span<const Link> linksUnder(const std::vector<Link>& links, Prefix prefix,
                                 const typename std::invoke_result_t<Prefix, const Link&>& wanted) {
    auto first = std::partition_point(links.begin(), links.end(),
                                      [&](const Link& l) { return prefix(l) < wanted; });
    auto last = std::partition_point(first, links.end(),
                                     [&](const Link& l) { return prefix(l) == wanted; });
    return {first, last};
}

std::span<const MainLink> mainsOf(const std::vector<MainLink>& links, std::uint32_t group) {
    return linksUnder(links, [](const MainLink& m) { return m.group; }, group);
}

std::span<const RelatedLink> relatedOf(const std::vector<RelatedLink>& links,
                                       const MainLink& main) {
    return linksUnder(
        links, [](const RelatedLink& r) { return std::pair(r.group, r.main); },
        std::pair(main.group, main.product));
}

// Walks the file's links beside the stored ones, group by group in code order.
class SuggestionPlanner {
  public:
    SuggestionPlanner(const SuggestionLinks& links, ImportMode mode, SuggestionPlan& plan,
                      std::size_t& unchanged)
        : m_groups(plan.groups()), m_links(links), m_mode(mode), m_plan(plan),
          m_unchanged(unchanged) {}

    void planGroups() {
        for (std::uint32_t g = 0; g < m_groups.size(); ++g)
            if (m_groups[g].line != 0) planGroup(g);
    }

  private:
    void change(std::uint32_t line, ImportAction action, LinkLevel level, std::uint32_t group,
                std::uint32_t main = 0, std::uint32_t related = 0, LinkFlags before = {},
                LinkFlags after = {}) {
        m_plan.add({line, action, level, before, after, group, main, related});
    }

    void planGroup(std::uint32_t g) {
        const GroupEntry& group = m_groups[g];
        if (!group.stored)
            change(group.line, ImportAction::Include, LinkLevel::Group, g);
        else if (group.storedName != group.name || group.storedOrder != group.order)
            change(group.line, ImportAction::Alter, LinkLevel::Group, g);
        else
            ++m_unchanged;
        const std::span<const MainLink> inFile = mainsOf(m_links.fileMains, g);
        const std::span<const MainLink> stored = mainsOf(m_links.storedMains, g);
        for (const MainLink& main : inFile) planMain(main, same(stored, main));
        if (m_mode != ImportMode::Replace || !group.stored) return;
        for (const MainLink& gone : stored) {
            if (same(inFile, gone)) continue;
            for (const RelatedLink& r : relatedOf(m_links.storedRelated, gone))
                removeRelated(group.line, r);
            change(group.line, ImportAction::Exclude, LinkLevel::Main, g, gone.product, 0,
                   gone.flags);
        }
    }

    void planMain(const MainLink& main, const MainLink* stored) {
        if (!stored)
            change(main.line, ImportAction::Include, LinkLevel::Main, main.group, main.product, 0,
                   {}, main.flags);
        else if (stored->flags != main.flags)
            change(main.line, ImportAction::Alter, LinkLevel::Main, main.group, main.product, 0,
                   stored->flags, main.flags);
        else
            ++m_unchanged;
        const std::span<const RelatedLink> inFile = relatedOf(m_links.fileRelated, main);
        const std::span<const RelatedLink> storedRelated = relatedOf(m_links.storedRelated, main);
        for (const RelatedLink& r : inFile) {
            const RelatedLink* s = same(storedRelated, r);
            if (!s)
                change(r.line, ImportAction::Include, LinkLevel::Related, r.group, r.main,
                       r.product, {}, r.flags);
            else if (s->flags != r.flags)
                change(r.line, ImportAction::Alter, LinkLevel::Related, r.group, r.main,
                       r.product, s->flags, r.flags);
            else
                ++m_unchanged;
        }
        if (m_mode != ImportMode::Replace || !stored) return;
        for (const RelatedLink& gone : storedRelated)
            if (!same(inFile, gone)) removeRelated(main.line, gone);
    }

    void removeRelated(std::uint32_t line, const RelatedLink& gone) {
        change(line, ImportAction::Exclude, LinkLevel::Related, gone.group, gone.main,
               gone.product, gone.flags);
    }

    // The link of the same product among links of one parent, sorted by product; null when none.
    template <class Link>
    static const Link* same(std::span<const Link> links, const Link& wanted) {
        auto at = std::partition_point(links.begin(), links.end(), [&](const Link& l) {
            return l.product < wanted.product;
        });
        return at != links.end() && at->product == wanted.product ? &*at : nullptr;
    }

    const GroupTable& m_groups;
    const SuggestionLinks& m_links;
    ImportMode m_mode;
    SuggestionPlan& m_plan;
    std::size_t& m_unchanged;
};

}  // namespace

std::optional<ImportMode> importModeNamed(std::string_view name) {
    if (name == "incluir") return ImportMode::Include;
    if (name == "substituir") return ImportMode::Replace;
    return std::nullopt;
}

wire::Result<ImportPreview> previewSuggestionImport(Store& store, std::istream& csv,
                                                    ImportMode mode) {
    auto read = Catalogue::read(store);
    if (!read) return read.status();
    auto catalogue = std::make_shared<const Catalogue>(std::move(*read));
    SuggestionLinks links;
    if (wire::Status status = readCurrentSuggestions(store, *catalogue, links); !status)
        return status;
    ImportPreview preview;
    readSuggestionFile(csv, *catalogue, links, preview.problems);
    auto plan = std::make_shared<SuggestionPlan>(catalogue, std::move(links.groups));
    SuggestionPlanner(links, mode, *plan, preview.unchanged).planGroups();
    preview.steps = plan->steps();
    preview.compact = std::move(plan);
    return preview;
}

wire::Status applyImportPreview(Store& store, const ImportPreview& preview, std::string_view user) {
    if (!preview.applicable())
        return {wire::ErrorCode::Refused, "A importação tem erros; nada foi alterado."};
    return store.applyImport(preview.steps, user);
}

}  // namespace appserver
