#include "admin/ImportCommand.h"

#include <fstream>
#include <functional>

#include "admin/AdminReplies.h"
#include "admin/AdminStore.h"
#include "admin/CommandArgs.h"
#include "store/UserNames.h"
#include "transfer/ImportReport.h"
#include "transfer/ProductImport.h"
#include "transfer/SuggestionImport.h"

namespace appserver {

namespace {

constexpr std::string_view kHelp =
    "uso: vlp-appserver import ARQUIVO --db URL [--mode incluir|substituir] [--dry-run]\n"
    "                          [--user NOME]\n"
    "\n"
    "Importa as sugestões de um CSV com as colunas de vlp-appserver export (separado por \";\"\n"
    "ou \",\"). Primeiro mostra cada mudança (incluir, alterar com os valores antigos e novos,\n"
    "excluir) e cada erro com sua linha e coluna, e o resumo; com qualquer erro nada é alterado.\n"
    "Sem erros, aplica tudo numa só transação, com uma linha de histórico por mudança.\n"
    "\n"
    "  --db URL        o banco do servidor: sqlite:ARQUIVO ou postgresql://...\n"
    "  --mode MODO     incluir (padrão): inclui e altera, nunca exclui;\n"
    "                  substituir: cada grupo do arquivo fica exatamente como o arquivo diz\n"
    "  --dry-run       só mostra o que mudaria\n"
    "  --user NOME     quem o histórico registra (padrão: local)\n"
    "\n"
    "Saída: 0 feito; 1 erros no arquivo ou banco inacessível (nada alterado); 2 linha de comando\n"
    "inválida.\n";

constexpr std::string_view kProductsHelp =
    "uso: vlp-appserver products import ARQUIVO --db URL [--dry-run]\n"
    "\n"
    "Carrega o cadastro de produtos de um CSV com as colunas produto;arvore;nome: inclui os\n"
    "novos e altera o código de árvore e o nome dos existentes; nunca exclui um produto.\n"
    "Mostra cada mudança e cada erro com sua linha e coluna, e o resumo; com qualquer erro nada\n"
    "é alterado.\n"
    "\n"
    "  --db URL        o banco do servidor: sqlite:ARQUIVO ou postgresql://...\n"
    "  --dry-run       só mostra o que mudaria\n"
    "\n"
    "Saída: 0 feito; 1 erros no arquivo ou banco inacessível (nada alterado); 2 linha de comando\n"
    "inválida.\n";

constexpr OptionSpec kOptions[] = {
    {"--db", "URL"}, {"--mode", "MODO"}, {"--dry-run", ""}, {"--user", "NOME"}};
constexpr OptionSpec kProductsOptions[] = {{"--db", "URL"}, {"--dry-run", ""}};

using Previewer = std::function<wire::Result<ImportPreview>(Store&, std::istream&)>;

int runImport(const CommandArgs& parsed, AdminContext& context, std::string_view user,
              const Previewer& preview) {
    const std::string path(parsed.words[0]);
    std::ifstream file(path, std::ios::binary);
    if (!file) return refuse(context.err, "não foi possível abrir " + path);
    auto store = openAdminStore(parsed.option("--db"), context.err);
    if (!store) return kRefused;
    auto planned = preview(*store, file);
    if (!planned) return refuse(context.err, planned.status().message());
    if (file.bad()) return refuse(context.err, "não foi possível ler " + path);
    printPreview(*planned, context.out);
    context.out.flush();  // the preview is seen before a long apply begins
    if (!planned->applicable()) {
        return refuse(context.err, "a importação tem " + std::to_string(planned->problems.size()) +
                                       " erro(s); nada foi alterado.");
    }
    if (parsed.options.contains("--dry-run")) {
        context.out << "simulação: nada foi alterado\n";
        return kDone;
    }
    if (wire::Status status = applyImportPreview(*store, *planned, user); !status)
        return refuse(context.err, status.message() + " Nada foi alterado.");
    context.out << "importação aplicada\n";
    return kDone;
}

// The parsed line of an import, or the exit code when it is refused or asks for help.
std::optional<int> refusedLine(const CommandArgs& parsed, AdminContext& context,
                               std::string_view command, std::string_view help) {
    if (auto answered = helpOrError(parsed, context, command, help)) return *answered;
    if (parsed.words.size() != 1) return badCommandLine(context, command, "informe um ARQUIVO");
    if (!parsed.options.contains("--db")) return badCommandLine(context, command, "falta --db URL");
    return std::nullopt;
}

}  // namespace

int runImportCommand(std::span<const std::string_view> args, AdminContext& context) {
    CommandArgs parsed = parseCommandArgs(args, kOptions);
    if (auto refused = refusedLine(parsed, context, "import", kHelp)) return *refused;
    const std::string modeName =
        parsed.options.contains("--mode") ? parsed.option("--mode") : "incluir";
    const std::optional<ImportMode> mode = importModeNamed(modeName);
    if (!mode) return badCommandLine(context, "import", "--mode deve ser incluir ou substituir");
    const std::string user = parsed.options.contains("--user") ? parsed.option("--user") : "local";
    if (wire::Status status = checkUserName(user); !status && user != "local")
        return badCommandLine(context, "import", status.message());
    return runImport(parsed, context, user, [mode](Store& store, std::istream& csv) {
        return previewSuggestionImport(store, csv, *mode);
    });
}

int runProductsImportCommand(std::span<const std::string_view> args, AdminContext& context) {
    CommandArgs parsed = parseCommandArgs(args, kProductsOptions);
    if (auto refused = refusedLine(parsed, context, "products import", kProductsHelp))
        return *refused;
    return runImport(parsed, context, "local", [](Store& store, std::istream& csv) {
        return previewProductImport(store, csv);
    });
}

}  // namespace appserver
