#include "rpc/ServerOptions.h"

#include <algorithm>
#include <boost/asio/ip/address.hpp>
#include <charconv>
#include <limits>
#include <map>
#include <optional>
#include <vector>

#include "admin/CommandArgs.h"
#include "config/ConfigFile.h"
#include "store/DatabaseUrl.h"
#include "wire/FieldDef.h"

namespace appserver {
namespace {

std::optional<unsigned long long> parseCount(std::string_view text) {
    unsigned long long value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr == text.data()) return std::nullopt;
    std::string_view suffix(ptr, static_cast<std::size_t>(end - ptr));
    unsigned long long scale = 1;
    if (suffix == "k" || suffix == "K")
        scale = 1024ull;
    else if (suffix == "m" || suffix == "M")
        scale = 1024ull * 1024;
    else if (suffix == "g" || suffix == "G")
        scale = 1024ull * 1024 * 1024;
    else if (!suffix.empty())
        return std::nullopt;
    if (value > std::numeric_limits<unsigned long long>::max() / scale) return std::nullopt;
    return value * scale;
}

// "HOST:PORT", "[V6]:PORT" or ":PORT".
bool parseListen(std::string_view text, ServerOptions& o) {
    std::string_view host, port;
    if (text.starts_with('[')) {
        auto close = text.find("]:");
        if (close == std::string_view::npos) return false;
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else {
        auto colon = text.rfind(':');
        if (colon == std::string_view::npos) return false;
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    auto p = parseCount(port);
    if (!p || *p > 65535 || port.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    o.host = host.empty() ? std::string(wire::kDefaultHost) : std::string(host);
    o.port = static_cast<unsigned short>(*p);
    return true;
}

// One option: how it reads and what --help says of it. A count option takes a positive number up
// to countMax (k, m, g suffixes) and hands it to setCount; any other hands its value to apply.
struct ServerOption : OptionSpec {
    std::string_view meaning;
    // What --help gives as its default; null: none shown.
    std::string (*shownDefault)(const ServerOptions& defaults);
    unsigned long long countMax;
    void (*setCount)(ServerOptions& o, unsigned long long n);
    // An error text, empty when the value was taken.
    std::string (*apply)(std::string_view value, ServerOptions& o) = nullptr;
};

std::string take(const ServerOption& option, std::string_view value, ServerOptions& o) {
    if (option.apply) return option.apply(value, o);
    auto n = parseCount(value);
    if (!n || *n == 0 || *n > option.countMax)
        return "valor inválido para " + std::string(option.name) + ": \"" + std::string(value) +
               "\"";
    option.setCount(o, *n);
    return {};
}

std::string count(std::size_t n) { return std::to_string(n); }

// Characters, not bytes: the help is UTF-8.
std::size_t width(std::string_view text) { return wire::utf8Length(text); }

// The words of text with the default, if any, kept whole at the end.
std::vector<std::string> words(std::string_view text, const std::string& shownDefault) {
    std::vector<std::string> words;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = std::min(text.find(' ', start), text.size());
        words.emplace_back(text.substr(start, end - start));
    }
    if (!shownDefault.empty()) words.push_back("(padrão: " + shownDefault + ")");
    return words;
}

// The words from column at on, a new line opened by indent before a word that would pass the
// line's end.
std::string wrapped(const std::vector<std::string>& words, std::size_t at,
                    const std::string& indent) {
    constexpr std::size_t kLine = 98;
    std::string text;
    bool lineStart = true;
    for (const std::string& word : words) {
        if (!lineStart && at + 1 + width(word) > kLine) {
            text += "\n" + indent;
            at = width(indent);
            lineStart = true;
        }
        if (!lineStart) {
            text += ' ';
            ++at;
        }
        text += word;
        at += width(word);
        lineStart = false;
    }
    return text + "\n";
}

// One entry of the option list: the label in its column, the meaning beside it wrapped.
std::string helpEntry(std::string_view label, std::string_view meaning,
                      const std::string& shownDefault = {}) {
    constexpr std::size_t kIndent = 2, kColumn = 27;
    std::string entry = std::string(kIndent, ' ') + std::string(label);
    std::size_t at = kIndent + width(label);
    entry.append(at + 2 > kColumn ? 2 : kColumn - at, ' ');
    return entry + wrapped(words(meaning, shownDefault), std::max(at + 2, kColumn),
                           std::string(kColumn, ' '));
}

// In the order --help lists them.
const ServerOption kOptions[] = {
    {{"--config", "ARQUIVO"},
     "lê opções deste arquivo, uma por linha: chave = valor, a chave sendo o nome da opção sem "
     "os traços, e sim ou não nas opções sem valor; a linha de comando prevalece",
     nullptr,
     0,
     nullptr,
     nullptr},
    {{"--db", "URL"},
     "banco: sqlite:CAMINHO ou postgresql://...",
     [](const ServerOptions& d) { return d.db; },
     0,
     nullptr,
     [](std::string_view v, ServerOptions& o) -> std::string {
         if (!v.starts_with("sqlite:") && !v.starts_with("postgresql://") &&
             !v.starts_with("postgres://"))
             return "banco inválido: \"" + std::string(v) +
                    "\" (use sqlite:CAMINHO ou postgresql://...)";
         o.db = std::string(v);
         return {};
     }},
    {{"--listen", "HOST:PORTA"},
     "endereço de escuta; porta 0 = qualquer livre",
     [](const ServerOptions& d) { return d.host + ":" + count(d.port); },
     0,
     nullptr,
     [](std::string_view v, ServerOptions& o) -> std::string {
         if (!parseListen(v, o))
             return "endereço inválido para --listen: \"" + std::string(v) + "\" (use HOST:PORTA)";
         return {};
     }},
    {{"--seed-demo", ""},
     "preenche um banco vazio com o catálogo de demonstração",
     nullptr,
     0,
     nullptr,
     [](std::string_view, ServerOptions& o) -> std::string {
         o.seedDemo = true;
         return {};
     }},
    {{"--workers", "N"},
     "threads das chamadas de listas e gravações, cada uma com sua conexão ao banco",
     [](const ServerOptions&) { return std::string("duas por núcleo, no mínimo 4"); },
     1024,
     [](ServerOptions& o, unsigned long long n) { o.workers = static_cast<unsigned>(n); }},
    {{"--io-threads", "N"},
     "threads das conexões e das consultas por chave, cada uma com sua conexão ao banco",
     [](const ServerOptions&) { return std::string("uma por núcleo"); },
     256,
     [](ServerOptions& o, unsigned long long n) { o.ioThreads = static_cast<unsigned>(n); }},
    {{"--max-body", "BYTES"},
     "tamanho máximo do corpo de um pedido; aceita k, m, g",
     [](const ServerOptions& d) { return count(d.maxBodyBytes); },
     4ull << 30,
     [](ServerOptions& o, unsigned long long n) { o.maxBodyBytes = n; }},
    {{"--tls-cert", "ARQUIVO"},
     "certificado (cadeia PEM): o servidor passa a falar só HTTPS",
     nullptr,
     0,
     nullptr,
     [](std::string_view v, ServerOptions& o) -> std::string {
         o.tlsCertificate = std::string(v);
         return {};
     }},
    {{"--tls-key", "ARQUIVO"},
     "chave privada PEM do certificado",
     nullptr,
     0,
     nullptr,
     [](std::string_view v, ServerOptions& o) -> std::string {
         o.tlsKey = std::string(v);
         return {};
     }},
    {{"--insecure", ""},
     "permite escutar fora do loopback sem TLS (só para testes)",
     nullptr,
     0,
     nullptr,
     [](std::string_view, ServerOptions& o) -> std::string {
         o.insecure = true;
         return {};
     }},
    {{"--body-budget", "BYTES"},
     "soma dos corpos de pedido em memória ao mesmo tempo; além disso, 503 com Retry-After; "
     "aceita k, m, g",
     [](const ServerOptions& d) { return count(d.bodyBudgetBytes); },
     1ull << 40,
     [](ServerOptions& o, unsigned long long n) { o.bodyBudgetBytes = n; }},
    {{"--max-header", "BYTES"},
     "tamanho máximo dos cabeçalhos HTTP",
     [](const ServerOptions& d) { return count(d.maxHeaderBytes); },
     16ull << 20,
     [](ServerOptions& o, unsigned long long n) { o.maxHeaderBytes = n; }},
    {{"--max-connections", "N"},
     "conexões abertas ao mesmo tempo; além disso, novas são fechadas na hora",
     [](const ServerOptions& d) { return count(d.maxConnections); },
     1'000'000,
     [](ServerOptions& o, unsigned long long n) { o.maxConnections = n; }},
    {{"--max-connections-per-address", "N"},
     "conexões abertas ao mesmo tempo vindas de um mesmo endereço; além disso, novas são "
     "fechadas na hora",
     [](const ServerOptions& d) { return count(d.maxConnectionsPerAddress); },
     1'000'000,
     [](ServerOptions& o, unsigned long long n) { o.maxConnectionsPerAddress = n; }},
    {{"--idle-timeout", "SEGUNDOS"},
     "fecha a conexão que não completa um pedido nesse tempo",
     [](const ServerOptions& d) { return count(d.idleTimeout.count() / 1000); },
     24ull * 3600,
     [](ServerOptions& o, unsigned long long n) { o.idleTimeout = std::chrono::seconds(n); }},
    {{"--header-timeout", "SEGUNDOS"},
     "fecha a conexão cujo pedido começou e não completou os cabeçalhos nesse tempo",
     [](const ServerOptions& d) { return count(d.headerTimeout.count() / 1000); },
     3600,
     [](ServerOptions& o, unsigned long long n) { o.headerTimeout = std::chrono::seconds(n); }},
    {{"--min-body-rate", "BYTES"},
     "bytes por segundo que um corpo deve manter em média, após uma tolerância igual a "
     "--header-timeout; aceita k, m",
     [](const ServerOptions& d) { return count(d.minBodyBytesPerSecond); },
     1ull << 30,
     [](ServerOptions& o, unsigned long long n) { o.minBodyBytesPerSecond = n; }},
};

constexpr std::string_view kConfigOption = "--config";

// The option a configuration file names by key ("db" for --db); null for an unknown key and for
// --config itself.
const ServerOption* settingOption(std::string_view key) {
    for (const ServerOption& option : kOptions)
        if (option.name.substr(2) == key && option.name != kConfigOption) return &option;
    return nullptr;
}

// A switch in a configuration file is written sim or não.
std::optional<bool> parseSwitch(std::string_view value) {
    if (value == "sim" || value == "Sim" || value == "SIM") return true;
    if (value == "não" || value == "Não" || value == "NÃO") return false;
    return std::nullopt;
}

std::string takeSetting(std::string_view key, std::string_view value, ServerOptions& o) {
    const ServerOption* option = settingOption(key);
    if (!option) return "chave desconhecida: \"" + std::string(key) + "\"";
    if (option->value.empty()) {
        auto on = parseSwitch(value);
        if (!on)
            return "valor inválido para " + std::string(key) + ": \"" + std::string(value) +
                   "\" (use sim ou não)";
        return *on ? take(*option, {}, o) : std::string();
    }
    if (value.empty()) return "falta o valor de " + std::string(key);
    return take(*option, value, o);
}

// The checks across options, once the file and the command line are both in.
std::string refusalAcross(const ServerOptions& o) {
    if (o.tlsCertificate.empty() != o.tlsKey.empty())
        return "--tls-cert e --tls-key vão juntos: informe os dois";
    if (!isLoopback(o.host) && o.tlsCertificate.empty() && !o.insecure)
        return "escutar em " + o.host +
               " exige TLS (--tls-cert e --tls-key); --insecure permite sem TLS, só para testes";
    // A body the budget could never hold would be told to retry for ever.
    if (o.bodyBudgetBytes < o.maxBodyBytes)
        return "--body-budget (" + std::to_string(o.bodyBudgetBytes) +
               ") não pode ser menor que --max-body (" + std::to_string(o.maxBodyBytes) + ")";
    return {};
}

}  // namespace

ParsedOptions parseOptions(std::span<const std::string_view> args) {
    ParsedOptions result;
    // Taken once the configuration file, which they override, has been read.
    std::vector<std::pair<const ServerOption*, std::string_view>> given;
    std::optional<std::string> configFile;
    CommandLine line = readCommandLine(args, kOptions, {},
                                       [&](const ServerOption& option, std::string_view value) {
                                           if (option.name == kConfigOption)
                                               configFile = std::string(value);
                                           else
                                               given.emplace_back(&option, value);
                                           return std::string();
                                       });
    result.help = line.help;
    result.error = std::move(line.error);
    if (!result.error.empty() || result.help) return result;
    ServerOptions& o = result.options;
    if (configFile) {
        result.error =
            ConfigFile::read(*configFile, [&o](std::string_view key, std::string_view value) {
                return takeSetting(key, value, o);
            });
        if (!result.error.empty()) return result;
    }
    for (const auto& [option, value] : given)
        if (result.error = take(*option, value, o); !result.error.empty()) return result;
    result.error = refusalAcross(o);
    return result;
}

std::string optionsHelp() {
    const ServerOptions defaults;
    std::string list;
    for (const ServerOption& option : kOptions) {
        std::string label(option.name);
        if (!option.value.empty()) label += " " + std::string(option.value);
        list += helpEntry(label, option.meaning,
                          option.shownDefault ? option.shownDefault(defaults) : std::string());
    }
    list += helpEntry("-h, --help", "mostra esta ajuda");
    return "uso: vlp-appserver [OPÇÕES]\n"
           "Servidor de aplicação do módulo remoto VLP27000.rdmSugestaoProd (JSON-RPC sobre "
           "HTTP).\n"
           "\n" +
           list +
           "\n"
           "Uma linha por chamada em stderr: método, milissegundos, resultado.\n"
           "SIGTERM ou SIGINT: termina as chamadas em curso e sai.\n";
}

std::string optionsFile(const std::map<std::string, std::string, std::less<>>& settings) {
    const ServerOptions defaults;
    std::string text = "# " + wrapped(words("vlp-appserver --config ARQUIVO: uma opção por linha, "
                                            "chave = valor, a chave sendo o nome da opção sem os "
                                            "traços; sim ou não nas opções sem valor. A linha de "
                                            "comando prevalece sobre este arquivo.",
                                            {}),
                                      2, "# ");
    for (const ServerOption& option : kOptions) {
        const std::string_view key = option.name.substr(2);
        if (option.name == kConfigOption) continue;
        const std::string shown = option.shownDefault ? option.shownDefault(defaults) : "";
        // The default itself where the option reads it as a value, else what it takes.
        ServerOptions scratch;
        std::string value = option.value.empty() ? "não"
                            : !shown.empty() && takeSetting(key, shown, scratch).empty()
                                ? shown
                                : std::string(option.value);
        const auto set = settings.find(key);
        text += "\n# " + wrapped(words(option.meaning, shown), 2, "# ");
        text += (set == settings.end() ? "# " + std::string(key) + " = " + value
                                       : std::string(key) + " = " + set->second) +
                "\n";
    }
    return text;
}

bool isLoopback(std::string_view host) {
    if (host == "localhost" || host == "::1") return true;
    boost::system::error_code ec;
    auto address = boost::asio::ip::make_address(std::string(host), ec);
    return !ec && address.is_loopback();
}

std::string redactedUrl(std::string_view url) { return hidePasswords(std::string(url), url); }

}  // namespace appserver
