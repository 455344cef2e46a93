#pragma once
// One step of a CSV import as the store applies it: a change log for one table, replayed by the
// same writer (and so with the same checks) as the screen's saves of that table, and recorded in
// the history under the operation code the step names.

#include <string>

#include "wire/ChangeLog.h"

namespace appserver {

enum class ImportTable { Products, Groups, MainProducts, RelatedProducts };

struct ImportStep {
    ImportTable table;
    std::string operation;  // "I", "E", "D" as the screen's product saves; "" for groups
    wire::ChangeLog log;
};

// The method the history names for every change an import makes.
inline constexpr std::string_view kImportMethod = "importação";

}  // namespace appserver
