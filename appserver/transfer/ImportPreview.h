#pragma once
// What an import would do, as data: every change with the line of the file it comes from, every
// error with its line and column, the counts of the summary, and the steps the store applies.
// The command line prints it (transfer/ImportReport.h); a remote method can answer it as a
// packet. An import with any error applies nothing.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "store/ImportStep.h"

namespace appserver {

enum class ImportAction { Include, Alter, Exclude };

struct PlannedChange {
    std::size_t line = 0;  // of the file; for a removal under "substituir", its group's first line
    ImportAction action = ImportAction::Include;
    std::string what;    // "grupo 0000000001", "principal 1.01.001.0001 do grupo ...", ...
    std::string before;  // "nome=...; ordem=..." as stored; empty for an inclusion
    std::string after;   // as the file has it; empty for an exclusion
};

struct ImportProblem {
    std::size_t line = 0;
    std::size_t column = 0;  // 1-based field; 0 for the whole line
    std::string message;
};

struct ImportCounts {
    std::size_t include = 0, alter = 0, exclude = 0, unchanged = 0, errors = 0;
};

// Changes kept compact and described only when shown: an import of many lines plans hundreds of
// thousands of them.
class CompactChanges {
  public:
    virtual ~CompactChanges() = default;
    virtual std::size_t size() const = 0;
    virtual std::size_t line(std::size_t i) const = 0;
    virtual ImportAction action(std::size_t i) const = 0;
    virtual PlannedChange described(std::size_t i) const = 0;
};

struct ImportPreview {
    std::vector<PlannedChange> changes;             // described as planned
    std::shared_ptr<const CompactChanges> compact;  // or described when shown; may be null
    std::vector<ImportProblem> problems;
    std::size_t unchanged = 0;  // rows of the file that already hold what the database holds
    std::vector<ImportStep> steps;

    ImportCounts counts() const;
    bool applicable() const { return problems.empty(); }
};

}  // namespace appserver
