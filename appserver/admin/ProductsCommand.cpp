#include "admin/ProductsCommand.h"

#include "admin/AdminReplies.h"
#include "admin/ExportCommand.h"
#include "admin/ImportCommand.h"

namespace appserver {

namespace {

constexpr std::string_view kHelp =
    "uso: vlp-appserver products import ARQUIVO --db URL [--dry-run]\n"
    "     vlp-appserver products export --db URL [--output ARQUIVO]\n"
    "\n"
    "O cadastro de produtos em CSV (produto;arvore;nome). Veja vlp-appserver products import\n"
    "--help e vlp-appserver products export --help.\n";

struct Action {
    std::string_view name;
    int (*run)(std::span<const std::string_view> args, AdminContext& context);
};

constexpr Action kActions[] = {
    {"import", runProductsImportCommand},
    {"export", runProductsExportCommand},
};

}  // namespace

int runProductsCommand(std::span<const std::string_view> args, AdminContext& context) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        context.out << kHelp;
        return kDone;
    }
    for (const Action& action : kActions)
        if (!args.empty() && args[0] == action.name) return action.run(args.subspan(1), context);
    return badCommandLine(context, "products", "informe import ou export");
}

}  // namespace appserver
