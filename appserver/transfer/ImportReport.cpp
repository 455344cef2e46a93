#include "transfer/ImportReport.h"

#include <algorithm>
#include <cstdint>

namespace appserver {

namespace {

const char* actionName(ImportAction action) {
    switch (action) {
        case ImportAction::Include:
            return "incluir";
        case ImportAction::Alter:
            return "alterar";
        case ImportAction::Exclude:
            break;
    }
    return "excluir";
}

std::string changeText(const PlannedChange& c) {
    if (c.action == ImportAction::Alter) return c.what + ": " + c.before + " -> " + c.after;
    if (c.action == ImportAction::Include && !c.after.empty()) return c.what + " (" + c.after + ")";
    if (c.action == ImportAction::Exclude && !c.before.empty())
        return c.what + " (" + c.before + ")";
    return c.what;
}

}  // namespace

ImportCounts ImportPreview::counts() const {
    ImportCounts n;
    auto count = [&n](ImportAction action) {
        switch (action) {
            case ImportAction::Include:
                ++n.include;
                break;
            case ImportAction::Alter:
                ++n.alter;
                break;
            case ImportAction::Exclude:
                ++n.exclude;
                break;
        }
    };
    for (const PlannedChange& c : changes) count(c.action);
    for (std::size_t i = 0; compact && i < compact->size(); ++i) count(compact->action(i));
    n.unchanged = unchanged;
    n.errors = problems.size();
    return n;
}

wire::Status forEachPreviewEntry(const ImportPreview& preview,
                                 const std::function<wire::Status(const PreviewEntry&)>& take) {
    // Changes first, then problems, each kept in its own order within a line.
    enum Source : std::uint8_t { kChange, kCompact, kProblem };
    struct Place {
        std::size_t line;
        std::uint32_t index;
        Source source;
    };
    const std::size_t compact = preview.compact ? preview.compact->size() : 0;
    std::vector<Place> order;
    order.reserve(preview.changes.size() + compact + preview.problems.size());
    for (std::uint32_t i = 0; i < preview.changes.size(); ++i)
        order.push_back({preview.changes[i].line, i, kChange});
    for (std::uint32_t i = 0; i < compact; ++i)
        order.push_back({preview.compact->line(i), i, kCompact});
    for (std::uint32_t i = 0; i < preview.problems.size(); ++i)
        order.push_back({preview.problems[i].line, i, kProblem});
    std::stable_sort(order.begin(), order.end(),
                     [](const Place& a, const Place& b) { return a.line < b.line; });
    PreviewEntry entry;
    for (const Place& at : order) {
        if (at.source == kProblem) {
            const ImportProblem& p = preview.problems[at.index];
            entry = {p.line, p.column, "erro", p.message};
        } else if (at.source == kChange) {
            const PlannedChange& c = preview.changes[at.index];
            entry = {c.line, 0, actionName(c.action), changeText(c)};
        } else {
            const PlannedChange c = preview.compact->described(at.index);
            entry = {c.line, 0, actionName(c.action), changeText(c)};
        }
        if (wire::Status status = take(entry); !status) return status;
    }
    return {};
}

void printPreview(const ImportPreview& preview, std::ostream& out) {
    forEachPreviewEntry(preview, [&out](const PreviewEntry& e) {
        out << "linha " << e.line;
        if (e.column) out << ", coluna " << e.column;
        out << ": " << e.action << (e.action == "erro" ? ": " : " ") << e.description << '\n';
        return wire::Status();
    });
    out << summaryLine(preview.counts()) << '\n';
}

std::string summaryLine(const ImportCounts& n) {
    return "incluir: " + std::to_string(n.include) + "; alterar: " + std::to_string(n.alter) +
           "; excluir: " + std::to_string(n.exclude) +
           "; sem mudança: " + std::to_string(n.unchanged) + "; erros: " + std::to_string(n.errors);
}

}  // namespace appserver
