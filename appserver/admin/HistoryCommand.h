#pragma once
// "vlp-appserver history --db URL [--since TIME] [--user NAME] [--group CODE]": the history of
// changes as CSV on out, oldest first, streamed as it is read. Exit codes as AdminExit; a read
// that fails midway leaves what was written and exits 1.

#include <span>
#include <string_view>

#include "admin/AdminContext.h"

namespace appserver {

// args: the words after "history".
int runHistoryCommand(std::span<const std::string_view> args, AdminContext& context);

std::string_view historyCommandHelp();

}  // namespace appserver
