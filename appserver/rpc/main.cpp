// vlp-appserver: serves the remote module VLP27000.rdmSugestaoProd over HTTP + JSON-RPC.
// Exit codes: 0 stopped by a signal, 1 could not start, 2 bad command line. "user" and
// "history" as the first argument run an administration subcommand instead (admin/).

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "rpc/CallLog.h"
#include "rpc/Server.h"
#include "rpc/ServerOptions.h"
#include "admin/AdminCommand.h"
#include "store/Store.h"

int main(int argc, char** argv) {
    using namespace appserver;
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (!args.empty() && isAdminCommand(args[0])) return runAdminCommand(args);
    ParsedOptions parsed = parseOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "vlp-appserver: %s\nUse --help para ver as opções.\n",
                     parsed.error.c_str());
        return 2;
    }
    if (parsed.help) {
        std::fputs(optionsHelp().c_str(), stdout);
        std::fputs(kAdminHelpLine, stdout);
        return 0;
    }
    // A closed log pipe or a vanished peer must not kill the server.
    std::signal(SIGPIPE, SIG_IGN);

    const ServerOptions& options = parsed.options;
    CallLog log(2);
    auto fail = [&](const std::string& what, const wire::Status& status) {
        log.note("vlp-appserver: " + what + ": " + status.message());
        return 1;
    };
    auto factory = makeStoreFactory(options.db);
    if (!factory) return fail("banco " + redactedUrl(options.db), factory.status());
    if (options.seedDemo) {
        auto store = (*factory)->open();
        if (!store) return fail("banco " + redactedUrl(options.db), store.status());
        if (auto s = (*store)->seedDemo(); !s) return fail("catálogo de demonstração", s);
    }

    Server server(options, **factory, log);
    if (auto s = server.start(); !s) return fail("não foi possível iniciar", s);
    server.stopOnSignals();
    log.note("vlp-appserver: escutando em " + options.host + ":" + std::to_string(server.port()) +
             " (banco " + redactedUrl(options.db) + ")");
    server.run();
    log.note("vlp-appserver: parado");
    return 0;
}
