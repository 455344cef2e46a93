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

std::string changeLine(const PlannedChange& c) {
    std::string text =
        "linha " + std::to_string(c.line) + ": " + actionName(c.action) + " " + c.what;
    if (c.action == ImportAction::Alter) return text + ": " + c.before + " -> " + c.after;
    if (c.action == ImportAction::Include && !c.after.empty()) return text + " (" + c.after + ")";
    if (c.action == ImportAction::Exclude && !c.before.empty()) return text + " (" + c.before + ")";
    return text;
}

std::string problemLine(const ImportProblem& p) {
    std::string at = "linha " + std::to_string(p.line);
    if (p.column) at += ", coluna " + std::to_string(p.column);
    return at + ": erro: " + p.message;
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

void printPreview(const ImportPreview& preview, std::ostream& out) {
    // Changes and errors merged by line, so a reader follows the file from top to bottom.
    std::vector<std::pair<std::size_t, std::string>> lines;
    for (const PlannedChange& c : preview.changes) lines.emplace_back(c.line, changeLine(c));
    for (const ImportProblem& p : preview.problems) lines.emplace_back(p.line, problemLine(p));
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [line, text] : lines) out << text << '\n';
    out << summaryLine(preview.counts()) << '\n';
}

std::string summaryLine(const ImportCounts& n) {
    return "incluir: " + std::to_string(n.include) + "; alterar: " + std::to_string(n.alter) +
           "; excluir: " + std::to_string(n.exclude) +
           "; sem mudança: " + std::to_string(n.unchanged) + "; erros: " + std::to_string(n.errors);
}

}  // namespace appserver
