#include "admin/AdminCommand.h"

#include <iostream>

#include "admin/ExportCommand.h"
#include "admin/HistoryCommand.h"
#include "admin/ImportCommand.h"
#include "admin/ProductsCommand.h"
#include "admin/TerminalPasswordSource.h"
#include "admin/UserCommand.h"

namespace appserver {

namespace {

struct Command {
    std::string_view name;
    int (*run)(std::span<const std::string_view> args, AdminContext& context);
};

constexpr Command kCommands[] = {
    {"user", runUserCommand},     {"history", runHistoryCommand}, {"products", runProductsCommand},
    {"import", runImportCommand}, {"export", runExportCommand},
};

const Command* findCommand(std::string_view name) {
    for (const Command& c : kCommands)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace

const char* const kAdminHelpLine =
    "\nUsuários e histórico: vlp-appserver user --help, vlp-appserver history --help\n"
    "Produtos e sugestões em CSV: vlp-appserver products --help, vlp-appserver import --help,\n"
    "vlp-appserver export --help\n";

bool isAdminCommand(std::string_view firstArgument) { return findCommand(firstArgument); }

int runAdminCommand(std::span<const std::string_view> args, AdminContext& context) {
    const Command* command = args.empty() ? nullptr : findCommand(args[0]);
    if (!command) return kBadCommandLine;
    return command->run(args.subspan(1), context);
}

int runAdminCommand(std::span<const std::string_view> args) {
    TerminalPasswordSource passwords;
    AdminContext context{std::cout, std::cerr, passwords};
    return runAdminCommand(args, context);
}

}  // namespace appserver
