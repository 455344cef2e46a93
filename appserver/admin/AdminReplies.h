#pragma once
// How every administration subcommand answers a refusal, a bad command line and --help, so they
// read alike: "vlp-appserver: ..." on err and the exit code that goes with it.

#include <optional>
#include <ostream>
#include <string_view>

#include "admin/AdminContext.h"
#include "admin/CommandArgs.h"

namespace appserver {

// "vlp-appserver: MESSAGE" on err; kRefused.
int refuse(std::ostream& err, std::string_view message);

// "vlp-appserver: COMMAND: WHY" and where to find the usage, on err; kBadCommandLine.
int badCommandLine(AdminContext& context, std::string_view command, std::string_view why);

// The exit code when parsed is refused or asks for help (help then goes to out); nullopt when the
// command is to run.
std::optional<int> helpOrError(const CommandArgs& parsed, AdminContext& context,
                               std::string_view command, std::string_view help);

}  // namespace appserver
