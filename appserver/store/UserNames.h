#pragma once
// The rule for user names, shared by the store and the command line that asks for them: 1 to 40
// ASCII letters, digits, ".", "_" or "-", so a name is safe in logs, CSV and HTTP Basic
// credentials. "local" is reserved: the history names it for changes made without sign-in.

#include <string_view>

#include "wire/Status.h"

namespace appserver {

inline constexpr std::string_view kLocalUser = "local";
inline constexpr std::size_t kMaxUserName = 40;

// Refused, in the user's words, when name breaks the rule or is the reserved name.
wire::Status checkUserName(std::string_view name);

}  // namespace appserver
