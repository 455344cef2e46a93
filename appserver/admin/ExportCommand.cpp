#include "admin/ExportCommand.h"

#include <filesystem>
#include <fstream>
#include <functional>

#include "admin/AdminReplies.h"
#include "admin/AdminStore.h"
#include "admin/CommandArgs.h"
#include "transfer/CsvExport.h"

namespace appserver {

namespace {

constexpr std::string_view kHelp =
    "uso: vlp-appserver export --db URL [--group CÓDIGO] [--output ARQUIVO]\n"
    "\n"
    "Escreve as sugestões em CSV (RFC 4180, UTF-8, separado por \";\"), uma linha por grupo,\n"
    "produto principal e produto relacionado, com as colunas\n"
    "grupo;nome_grupo;ordem;principal;quant_principal;total_principal;relacionado;\n"
    "quant_relacionado;total_relacionado. vlp-appserver import lê o mesmo arquivo.\n"
    "\n"
    "  --db URL           o banco do servidor: sqlite:ARQUIVO ou postgresql://...\n"
    "  --group CÓDIGO     só este grupo\n"
    "  --output ARQUIVO   grava no arquivo (inteiro ou nada) em vez da saída padrão\n"
    "\n"
    "Saída: 0 feito; 1 banco inacessível ou arquivo não gravado; 2 linha de comando inválida.\n";

constexpr std::string_view kProductsHelp =
    "uso: vlp-appserver products export --db URL [--output ARQUIVO]\n"
    "\n"
    "Escreve o cadastro de produtos em CSV (RFC 4180, UTF-8, separado por \";\") com as colunas\n"
    "produto;arvore;nome. vlp-appserver products import lê o mesmo arquivo.\n"
    "\n"
    "  --db URL           o banco do servidor: sqlite:ARQUIVO ou postgresql://...\n"
    "  --output ARQUIVO   grava no arquivo (inteiro ou nada) em vez da saída padrão\n"
    "\n"
    "Saída: 0 feito; 1 banco inacessível ou arquivo não gravado; 2 linha de comando inválida.\n";

constexpr OptionSpec kOptions[] = {{"--db", "URL"}, {"--group", "CÓDIGO"}, {"--output", "ARQUIVO"}};
constexpr OptionSpec kProductsOptions[] = {{"--db", "URL"}, {"--output", "ARQUIVO"}};

using Writer = std::function<wire::Status(Store&, std::ostream&)>;

// Into a file beside the target, renamed over it once complete: a failed export never leaves a
// half-written file where a whole one is expected.
int exportToFile(Store& store, const std::string& path, const Writer& write,
                 AdminContext& context) {
    const std::string partial = path + ".parcial";
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    if (!file) return refuse(context.err, "não foi possível criar " + partial);
    wire::Status status = write(store, file);
    file.close();
    if (status && !file) status = {wire::ErrorCode::Internal, "Não foi possível gravar " + path};
    std::error_code ignored;
    if (!status) {
        std::filesystem::remove(partial, ignored);
        return refuse(context.err, status.message());
    }
    std::filesystem::rename(partial, path, ignored);
    if (ignored) return refuse(context.err, "não foi possível gravar " + path);
    return kDone;
}

int runExport(std::span<const std::string_view> args, AdminContext& context,
              std::string_view command, std::string_view help, std::span<const OptionSpec> options,
              const Writer& write) {
    CommandArgs parsed = parseCommandArgs(args, options);
    if (auto answered = helpOrError(parsed, context, command, help)) return *answered;
    if (!parsed.words.empty()) return badCommandLine(context, command, "argumento inesperado");
    if (!parsed.options.contains("--db")) return badCommandLine(context, command, "falta --db URL");
    auto store = openAdminStore(parsed.option("--db"), context.err);
    if (!store) return kRefused;
    if (parsed.options.contains("--output"))
        return exportToFile(*store, parsed.option("--output"), write, context);
    if (wire::Status status = write(*store, context.out); !status)
        return refuse(context.err, status.message());
    context.out.flush();
    if (!context.out) return refuse(context.err, "Não foi possível escrever a saída.");
    return kDone;
}

}  // namespace

int runExportCommand(std::span<const std::string_view> args, AdminContext& context) {
    // Read again by runExport, which refuses the line before the group is ever used.
    const std::string group = parseCommandArgs(args, kOptions).option("--group");
    return runExport(
        args, context, "export", kHelp, kOptions,
        [&group](Store& store, std::ostream& out) { return exportSuggestions(store, group, out); });
}

int runProductsExportCommand(std::span<const std::string_view> args, AdminContext& context) {
    return runExport(args, context, "products export", kProductsHelp, kProductsOptions,
                     [](Store& store, std::ostream& out) { return exportProducts(store, out); });
}

}  // namespace appserver
