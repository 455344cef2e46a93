#pragma once
// One step of a CSV import as the store applies it: a change log for one table, replayed by the
// same writer (and so with the same checks) as the screen's saves of that table, and recorded in
// the history under the operation code the step names.

#include <cstddef>
#include <functional>
#include <string>

#include "store/StoredRow.h"
#include "wire/ChangeLog.h"

namespace appserver {

using ImportTable = StoredTable;

struct ImportStep {
    ImportTable table;
    std::string operation;  // "I", "E", "D" as the screen's product saves; "" for groups
    wire::ChangeLog log;
    // When set, the log is built part by part only as the store applies it, so a large import
    // never holds all its rows at once: parts(n, log) fills log (fields and changes) with part n
    // and says whether there was one.
    std::function<bool(std::size_t, wire::ChangeLog&)> parts;
};

// The method the history names for every change an import makes.
inline constexpr std::string_view kImportMethod = "importação";

}  // namespace appserver
