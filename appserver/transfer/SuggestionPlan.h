#pragma once
// The changes a suggestions import plans, 24 bytes each: described for the preview only when
// shown, and turned into the store's change logs only part by part as the store applies them.

#include <cstdint>
#include <memory>
#include <vector>

#include "transfer/Catalogue.h"
#include "transfer/ImportPreview.h"
#include "transfer/SuggestionLinks.h"

namespace appserver {

enum class LinkLevel : std::uint8_t { Group, Main, Related };

struct SuggestionChange {
    std::uint32_t line;
    ImportAction action;
    LinkLevel level;
    LinkFlags before, after;  // of a main or related link
    std::uint32_t group, main, related;
};

class SuggestionPlan : public CompactChanges, public std::enable_shared_from_this<SuggestionPlan> {
  public:
    SuggestionPlan(std::shared_ptr<const Catalogue> catalogue, GroupTable groups)
        : m_catalogue(std::move(catalogue)), m_groups(std::move(groups)) {}

    void add(const SuggestionChange& change) { m_changes.push_back(change); }
    const GroupTable& groups() const { return m_groups; }

    std::size_t size() const override { return m_changes.size(); }
    std::size_t line(std::size_t i) const override { return m_changes[i].line; }
    ImportAction action(std::size_t i) const override { return m_changes[i].action; }
    PlannedChange described(std::size_t i) const override;

    // The store's steps: groups first, then main products, removals, and related products, so
    // each writer finds what it relies on. They share this plan, which must be owned by a
    // shared_ptr.
    std::vector<ImportStep> steps() const;

  private:
    std::string productTree(std::uint32_t number) const { return m_catalogue->at(number).treeCode; }
    std::vector<wire::Value> row(const SuggestionChange& c, const LinkFlags& flags) const;
    std::vector<wire::Value> groupRow(const GroupEntry& g, bool stored) const;
    bool part(const std::vector<std::uint32_t>& members, std::size_t n,
              wire::ChangeLog& log) const;

    std::shared_ptr<const Catalogue> m_catalogue;
    GroupTable m_groups;
    std::vector<SuggestionChange> m_changes;
};

}  // namespace appserver
