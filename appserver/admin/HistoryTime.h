#pragma once
// The time given to "history --since", read as UTC: "YYYY-MM-DD" (midnight) or
// "YYYY-MM-DDTHH:MM[:SS]"; a time copied from the history's own output ("...:SS.mmmZ") is taken
// too. The result is in the store's form (utcTimestamp), so it compares as text.

#include <string>
#include <string_view>

#include "wire/Status.h"

namespace appserver {

// InvalidParams, saying which forms are accepted, for anything else (including dates that do
// not exist, such as 2025-02-29).
wire::Result<std::string> parseHistoryTime(std::string_view text);

}  // namespace appserver
