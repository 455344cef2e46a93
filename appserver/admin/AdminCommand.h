#pragma once
// The administration subcommands of vlp-appserver ("user", "history", "products", "import",
// "export"), dispatched by the first argument; main() hands over to them before reading any
// server option.

#include <span>
#include <string_view>

#include "admin/AdminContext.h"

namespace appserver {

bool isAdminCommand(std::string_view firstArgument);

// args: the whole command line after the program name, args[0] naming the subcommand.
int runAdminCommand(std::span<const std::string_view> args, AdminContext& context);
// The same with standard output, standard error and the terminal.
int runAdminCommand(std::span<const std::string_view> args);

// One line for the server's --help, pointing at the subcommands' own help.
extern const char* const kAdminHelpLine;

}  // namespace appserver
