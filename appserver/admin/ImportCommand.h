#pragma once
// "vlp-appserver import FILE --db URL [--mode incluir|substituir] [--dry-run] [--user NAME]" (the
// suggestions) and "vlp-appserver products import FILE --db URL [--dry-run]" (the catalogue):
// the preview on out (every change and error by line, then the summary), then, unless --dry-run
// or an error, everything applied in one transaction. Any error: nothing applied, exit 1.

#include <span>
#include <string_view>

#include "admin/AdminContext.h"

namespace appserver {

// args: the words after "import" or after "products import".
int runImportCommand(std::span<const std::string_view> args, AdminContext& context);
int runProductsImportCommand(std::span<const std::string_view> args, AdminContext& context);

}  // namespace appserver
