#include "transfer/SuggestionPlan.h"

#include <algorithm>
#include <array>

#include "wire/ColumnFields.h"

namespace appserver {

namespace {

// Rows of the store's change logs per part: large enough that a part costs nothing beside its
// rows, small enough that a part's rows are nothing beside the plan.
constexpr std::size_t kRowsPerPart = 4096;

constexpr wire::Column kMainColumns[] = {
    wire::column::CDGRUSUGESPROD, wire::column::CDPRODUTO, wire::column::IDQUANTPRODPRINC,
    wire::column::IDTOTALPRODPRINC};
constexpr wire::Column kRelatedColumns[] = {
    wire::column::CDGRUSUGESPROD, wire::column::CDPRODUTO, wire::column::CDPRODUTORELAC,
    wire::column::IDQUANTPROD, wire::column::IDTOTALPROD};

struct StepKind {
    ImportTable table;
    const char* operation;
    LinkLevel level;
    std::array<bool, 3> actions;  // by ImportAction: Include, Alter, Exclude
};

// In the order the store applies them.
constexpr StepKind kStepKinds[] = {
    {ImportTable::Groups, "", LinkLevel::Group, {true, true, false}},
    {ImportTable::MainProducts, "I", LinkLevel::Main, {true, false, false}},
    {ImportTable::MainProducts, "E", LinkLevel::Main, {false, true, false}},
    {ImportTable::RelatedProducts, "D", LinkLevel::Related, {false, false, true}},
    {ImportTable::MainProducts, "D", LinkLevel::Main, {false, false, true}},
    {ImportTable::RelatedProducts, "I", LinkLevel::Related, {true, false, false}},
    {ImportTable::RelatedProducts, "E", LinkLevel::Related, {false, true, false}},
};

std::vector<wire::FieldDef> fieldsOf(ImportTable table) {
    if (table == ImportTable::Groups) return wire::fieldDefs(wire::fields::kGroups);
    if (table == ImportTable::MainProducts) return wire::fieldDefs(kMainColumns);
    return wire::fieldDefs(kRelatedColumns);
}

std::string flagsText(const LinkFlags& f) {
    return "quantidade=" + std::string(f.quantity ? 1 : 0, f.quantity) +
           "; totalizador=" + std::string(f.total ? 1 : 0, f.total);
}

std::string groupText(const std::string& name, const std::string& order) {
    return "nome=" + name + "; ordem=" + order;
}

}  // namespace

PlannedChange SuggestionPlan::described(std::size_t i) const {
    const SuggestionChange& c = m_changes[i];
    const GroupEntry& group = m_groups[c.group];
    PlannedChange text{c.line, c.action, {}, {}, {}};
    if (c.level == LinkLevel::Group) {
        text.what = "grupo " + group.code;
        if (c.action == ImportAction::Alter)
            text.before = groupText(group.storedName, group.storedOrder);
        text.after = groupText(group.name, group.order);
        return text;
    }
    text.what = c.level == LinkLevel::Main
                    ? "principal " + productTree(c.main) + " do grupo " + group.code
                    : "relacionado " + productTree(c.related) + " de " + productTree(c.main) +
                          " do grupo " + group.code;
    if (c.action != ImportAction::Include) text.before = flagsText(c.before);
    if (c.action != ImportAction::Exclude) text.after = flagsText(c.after);
    return text;
}

std::vector<wire::Value> SuggestionPlan::groupRow(const GroupEntry& g, bool stored) const {
    return {g.code, stored ? g.storedName : g.name, stored ? g.storedOrder : g.order};
}

std::vector<wire::Value> SuggestionPlan::row(const SuggestionChange& c,
                                             const LinkFlags& flags) const {
    std::vector<wire::Value> values{m_groups[c.group].code, m_catalogue->at(c.main).code};
    if (c.level == LinkLevel::Related) values.push_back(m_catalogue->at(c.related).code);
    values.push_back(flagValue(flags.quantity));
    values.push_back(flagValue(flags.total));
    return values;
}

bool SuggestionPlan::part(const std::vector<std::uint32_t>& members, std::size_t n,
                          wire::ChangeLog& log) const {
    const std::size_t begin = n * kRowsPerPart;
    if (begin >= members.size()) return false;
    log.changes.clear();
    const std::size_t end = std::min(members.size(), begin + kRowsPerPart);
    for (std::size_t m = begin; m < end; ++m) {
        const SuggestionChange& c = m_changes[members[m]];
        if (c.level == LinkLevel::Group) {
            const GroupEntry& g = m_groups[c.group];
            if (c.action == ImportAction::Include)
                log.changes.push_back({wire::ChangeKind::Insert, {}, groupRow(g, false)});
            else
                log.changes.push_back(
                    {wire::ChangeKind::Modify, groupRow(g, true), groupRow(g, false)});
        } else if (c.action == ImportAction::Include) {
            log.changes.push_back({wire::ChangeKind::Insert, {}, row(c, c.after)});
        } else if (c.action == ImportAction::Alter) {
            log.changes.push_back({wire::ChangeKind::Modify, row(c, c.before), row(c, c.after)});
        } else {
            log.changes.push_back({wire::ChangeKind::Delete, row(c, c.before), {}});
        }
    }
    return true;
}

std::vector<ImportStep> SuggestionPlan::steps() const {
    std::vector<ImportStep> steps;
    const std::shared_ptr<const SuggestionPlan> self = shared_from_this();
    for (const StepKind& kind : kStepKinds) {
        auto members = std::make_shared<std::vector<std::uint32_t>>();
        for (std::uint32_t i = 0; i < m_changes.size(); ++i) {
            const SuggestionChange& c = m_changes[i];
            if (c.level == kind.level && kind.actions[static_cast<std::size_t>(c.action)])
                members->push_back(i);
        }
        ImportStep step{kind.table, kind.operation, {}, {}};
        step.parts = [self, members, fields = fieldsOf(kind.table)](std::size_t n,
                                                                     wire::ChangeLog& log) {
            log.fields = fields;
            return self->part(*members, n, log);
        };
        steps.push_back(std::move(step));
    }
    return steps;
}

}  // namespace appserver
