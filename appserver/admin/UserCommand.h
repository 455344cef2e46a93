#pragma once
// "vlp-appserver user add|passwd|disable|enable NAME --db URL": the users who may sign in.
// The name is checked before anything is asked, and the user's existence before a password is
// typed; the password is hashed at once and forgotten, so it reaches neither the store nor any
// message. Exit codes as AdminExit.

#include <span>
#include <string_view>

#include "admin/AdminContext.h"

namespace appserver {

// args: the words after "user".
int runUserCommand(std::span<const std::string_view> args, AdminContext& context);

std::string_view userCommandHelp();

}  // namespace appserver
