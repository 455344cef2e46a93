#pragma once
// "vlp-appserver export --db URL [--group CODE] [--output FILE]" (the suggestions) and
// "vlp-appserver products export --db URL [--output FILE]" (the catalogue): CSV on out, or into
// FILE, which appears whole or not at all (written beside it, then renamed). Exit codes as
// AdminExit.

#include <span>
#include <string_view>

#include "admin/AdminContext.h"

namespace appserver {

// args: the words after "export" or after "products export".
int runExportCommand(std::span<const std::string_view> args, AdminContext& context);
int runProductsExportCommand(std::span<const std::string_view> args, AdminContext& context);

}  // namespace appserver
