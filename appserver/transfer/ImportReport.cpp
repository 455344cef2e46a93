#include "transfer/ImportReport.h"

#include <algorithm>

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
    for (const PlannedChange& c : changes) {
        switch (c.action) {
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
    }
    n.unchanged = unchanged;
    n.errors = problems.size();
    return n;
}

std::vector<PreviewEntry> previewEntries(const ImportPreview& preview) {
    std::vector<PreviewEntry> entries;
    entries.reserve(preview.changes.size() + preview.problems.size());
    for (const PlannedChange& c : preview.changes)
        entries.push_back({c.line, 0, actionName(c.action), changeText(c)});
    for (const ImportProblem& p : preview.problems)
        entries.push_back({p.line, p.column, "erro", p.message});
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.line < b.line; });
    return entries;
}

void printPreview(const ImportPreview& preview, std::ostream& out) {
    for (const PreviewEntry& e : previewEntries(preview)) {
        out << "linha " << e.line;
        if (e.column) out << ", coluna " << e.column;
        out << ": " << e.action << (e.action == "erro" ? ": " : " ") << e.description << '\n';
    }
    out << summaryLine(preview.counts()) << '\n';
}

std::string summaryLine(const ImportCounts& n) {
    return "incluir: " + std::to_string(n.include) + "; alterar: " + std::to_string(n.alter) +
           "; excluir: " + std::to_string(n.exclude) +
           "; sem mudança: " + std::to_string(n.unchanged) + "; erros: " + std::to_string(n.errors);
}

}  // namespace appserver
