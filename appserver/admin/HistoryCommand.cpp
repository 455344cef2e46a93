#include "admin/HistoryCommand.h"

#include "admin/AdminReplies.h"
#include "admin/AdminStore.h"
#include "admin/CommandArgs.h"
#include "admin/HistoryTime.h"
#include "csv/CsvWriter.h"

namespace appserver {

namespace {

constexpr std::string_view kHelp =
    "uso: vlp-appserver history --db URL [--since QUANDO] [--user NOME] [--group CÓDIGO]\n"
    "\n"
    "Escreve o histórico de alterações em CSV (RFC 4180, UTF-8), do mais antigo ao mais novo,\n"
    "com as colunas quando,usuario,metodo,operacao,tipo,grupo,antes,depois,gravacao\n"
    "(gravacao: o número da gravação; as linhas de uma mesma gravação são desfeitas juntas).\n"
    "\n"
    "  --db URL        o banco do servidor: sqlite:ARQUIVO ou postgresql://...\n"
    "  --since QUANDO  só a partir de QUANDO, em UTC: AAAA-MM-DD ou AAAA-MM-DDTHH:MM[:SS]\n"
    "  --user NOME     só as alterações deste usuário (\"local\": servidor sem autenticação)\n"
    "  --group CÓDIGO  só as linhas deste grupo\n"
    "\n"
    "Saída: 0 feito; 1 banco inacessível; 2 linha de comando inválida.\n";

constexpr OptionSpec kOptions[] = {
    {"--db", "URL"}, {"--since", "QUANDO"}, {"--user", "NOME"}, {"--group", "CÓDIGO"}};

}  // namespace

std::string_view historyCommandHelp() { return kHelp; }

int runHistoryCommand(std::span<const std::string_view> args, AdminContext& context) {
    CommandArgs parsed = parseCommandArgs(args, kOptions);
    if (auto answered = helpOrError(parsed, context, "history", kHelp)) return *answered;
    if (!parsed.words.empty()) return badCommandLine(context, "history", "argumento inesperado");
    if (!parsed.options.contains("--db"))
        return badCommandLine(context, "history", "falta --db URL");
    HistoryFilter filter{{}, parsed.option("--user"), parsed.option("--group")};
    if (parsed.options.contains("--since")) {
        auto since = parseHistoryTime(parsed.option("--since"));
        if (!since) return badCommandLine(context, "history", since.status().message());
        filter.since = *since;
    }

    auto store = openAdminStore(parsed.option("--db"), context.err);
    if (!store) return kRefused;
    CsvSink csv(context.out);
    if (wire::Status status = store->history(filter, csv); !status)
        return refuse(context.err, status.message());
    context.out.flush();
    if (!context.out) return refuse(context.err, "Não foi possível escrever a saída.");
    return kDone;
}

}  // namespace appserver
