#pragma once
// Replays the steps of an import, in their order, inside the caller's transaction: each through
// the writer of its table, each entry recorded in the history under user and kImportMethod at
// the time given. The first refusal stops the replay; the caller rolls back.

#include <span>
#include <string>
#include <string_view>

#include "store/ImportStep.h"
#include "store/SqlConnection.h"

namespace appserver {

wire::Status applyImportSteps(SqlConnection& conn, std::span<const ImportStep> steps,
                              std::string_view user, const std::string& at);

}  // namespace appserver
