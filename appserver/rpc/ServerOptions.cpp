#include "ServerOptions.h"

#include <boost/asio/ip/address.hpp>
#include <charconv>
#include <limits>
#include <optional>

#include "store/DatabaseUrl.h"

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
    o.host = host.empty() ? "127.0.0.1" : std::string(host);
    o.port = static_cast<unsigned short>(*p);
    return true;
}

struct Option {
    std::string_view name;
    bool takesValue;
    // Returns an error text, empty when the value was taken.
    std::string (*apply)(std::string_view value, ServerOptions& o);
};

std::string needPositive(std::string_view name, std::string_view value, unsigned long long max,
                         unsigned long long& out) {
    auto v = parseCount(value);
    if (!v || *v == 0 || *v > max)
        return "valor inválido para " + std::string(name) + ": \"" + std::string(value) + "\"";
    out = *v;
    return {};
}

// Takes a positive count (k, m, g suffixes) up to max and hands it to set.
template <class Set>
std::string positive(std::string_view name, std::string_view value, unsigned long long max,
                     Set set) {
    unsigned long long n = 0;
    auto e = needPositive(name, value, max, n);
    if (e.empty()) set(n);
    return e;
}

const Option kOptions[] = {
    {"--db", true,
     [](std::string_view v, ServerOptions& o) -> std::string {
         if (!v.starts_with("sqlite:") && !v.starts_with("postgresql://") &&
             !v.starts_with("postgres://"))
             return "banco inválido: \"" + std::string(v) +
                    "\" (use sqlite:CAMINHO ou postgresql://...)";
         o.db = std::string(v);
         return {};
     }},
    {"--listen", true,
     [](std::string_view v, ServerOptions& o) -> std::string {
         if (!parseListen(v, o))
             return "endereço inválido para --listen: \"" + std::string(v) + "\" (use HOST:PORTA)";
         return {};
     }},
    {"--seed-demo", false,
     [](std::string_view, ServerOptions& o) -> std::string {
         o.seedDemo = true;
         return {};
     }},
    {"--workers", true,
     [](std::string_view v, ServerOptions& o) {
         return positive("--workers", v, 1024,
                         [&o](unsigned long long n) { o.workers = static_cast<unsigned>(n); });
     }},
    {"--io-threads", true,
     [](std::string_view v, ServerOptions& o) {
         return positive("--io-threads", v, 256,
                         [&o](unsigned long long n) { o.ioThreads = static_cast<unsigned>(n); });
     }},
    {"--body-budget", true,
     [](std::string_view v, ServerOptions& o) {
         return positive("--body-budget", v, 1ull << 40,
                         [&o](unsigned long long n) { o.bodyBudgetBytes = n; });
     }},
    {"--tls-cert", true,
     [](std::string_view v, ServerOptions& o) -> std::string {
         o.tlsCertificate = std::string(v);
         return {};
     }},
    {"--tls-key", true,
     [](std::string_view v, ServerOptions& o) -> std::string {
         o.tlsKey = std::string(v);
         return {};
     }},
    {"--insecure", false,
     [](std::string_view, ServerOptions& o) -> std::string {
         o.insecure = true;
         return {};
     }},
    {"--max-body", true,
     [](std::string_view v, ServerOptions& o) {
         return positive("--max-body", v, 4ull << 30,
                         [&o](unsigned long long n) { o.maxBodyBytes = n; });
     }},
    {"--max-header", true,
     [](std::string_view v, ServerOptions& o) {
         return positive("--max-header", v, 16ull << 20,
                         [&o](unsigned long long n) { o.maxHeaderBytes = n; });
     }},
    {"--max-connections", true,
     [](std::string_view v, ServerOptions& o) {
         return positive("--max-connections", v, 1'000'000,
                         [&o](unsigned long long n) { o.maxConnections = n; });
     }},
    {"--max-connections-per-address", true,
     [](std::string_view v, ServerOptions& o) {
         return positive("--max-connections-per-address", v, 1'000'000,
                         [&o](unsigned long long n) { o.maxConnectionsPerAddress = n; });
     }},
    {"--idle-timeout", true,
     [](std::string_view v, ServerOptions& o) {
         return positive("--idle-timeout", v, 24ull * 3600,
                         [&o](unsigned long long n) { o.idleTimeout = std::chrono::seconds(n); });
     }},
    {"--header-timeout", true,
     [](std::string_view v, ServerOptions& o) {
         return positive("--header-timeout", v, 3600,
                         [&o](unsigned long long n) { o.headerTimeout = std::chrono::seconds(n); });
     }},
    {"--min-body-rate", true,
     [](std::string_view v, ServerOptions& o) {
         return positive("--min-body-rate", v, 1ull << 30,
                         [&o](unsigned long long n) { o.minBodyBytesPerSecond = n; });
     }},
};

}  // namespace

ParsedOptions parseOptions(std::span<const std::string_view> args) {
    ParsedOptions result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            result.help = true;
            continue;
        }
        std::string_view name = arg, value;
        bool inlineValue = false;
        if (auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }
        const Option* option = nullptr;
        for (const auto& o : kOptions)
            if (o.name == name) option = &o;
        if (!option) {
            result.error = "opção desconhecida: \"" + std::string(arg) + "\"";
            return result;
        }
        if (option->takesValue && !inlineValue) {
            if (i + 1 >= args.size()) {
                result.error = "falta o valor de " + std::string(name);
                return result;
            }
            value = args[++i];
        } else if (!option->takesValue && inlineValue) {
            result.error = std::string(name) + " não aceita valor";
            return result;
        }
        result.error = option->apply(value, result.options);
        if (!result.error.empty()) return result;
    }
    const ServerOptions& o = result.options;
    if (o.tlsCertificate.empty() != o.tlsKey.empty()) {
        result.error = "--tls-cert e --tls-key vão juntos: informe os dois";
        return result;
    }
    if (!isLoopback(o.host) && o.tlsCertificate.empty() && !o.insecure) {
        result.error = "escutar em " + o.host +
                       " exige TLS (--tls-cert e --tls-key); --insecure permite sem TLS, só "
                       "para testes";
        return result;
    }
    // A body the budget could never hold would be told to retry for ever.
    if (result.options.bodyBudgetBytes < result.options.maxBodyBytes)
        result.error = "--body-budget (" + std::to_string(result.options.bodyBudgetBytes) +
                       ") não pode ser menor que --max-body (" +
                       std::to_string(result.options.maxBodyBytes) + ")";
    return result;
}

std::string optionsHelp() {
    ServerOptions d;
    auto num = [](auto v) { return std::to_string(v); };
    return "uso: vlp-appserver [OPÇÕES]\n"
           "Servidor de aplicação do módulo remoto VLP27000.rdmSugestaoProd (JSON-RPC sobre "
           "HTTP).\n"
           "\n"
           "  --db URL                 banco: sqlite:CAMINHO ou postgresql://... (padrão: " +
           d.db +
           ")\n"
           "  --listen HOST:PORTA      endereço de escuta (padrão: " +
           d.host + ":" + num(d.port) +
           "; porta 0 = qualquer livre)\n"
           "  --seed-demo              preenche um banco vazio com o catálogo de demonstração\n"
           "  --workers N              threads das chamadas de listas e gravações, cada uma com\n"
           "                           sua conexão ao banco (padrão: duas por núcleo, no mínimo "
           "4)\n"
           "  --io-threads N           threads das conexões e das consultas por chave, cada uma\n"
           "                           com sua conexão ao banco (padrão: uma por núcleo)\n"
           "  --max-body BYTES         tamanho máximo do corpo de um pedido; aceita k, m, g\n"
           "                           (padrão: " +
           num(d.maxBodyBytes) +
           ")\n"
           "  --tls-cert ARQUIVO       certificado (cadeia PEM): o servidor passa a falar só "
           "HTTPS\n"
           "  --tls-key ARQUIVO        chave privada PEM do certificado\n"
           "  --insecure               permite escutar fora do loopback sem TLS (só para testes)\n"
           "  --body-budget BYTES      soma dos corpos de pedido em memória ao mesmo tempo; além\n"
           "                           disso, 503 com Retry-After; aceita k, m, g (padrão: " +
           num(d.bodyBudgetBytes) +
           ")\n"
           "  --max-header BYTES       tamanho máximo dos cabeçalhos HTTP (padrão: " +
           num(d.maxHeaderBytes) +
           ")\n"
           "  --max-connections N      conexões abertas ao mesmo tempo; além disso, novas são\n"
           "                           fechadas na hora (padrão: " +
           num(d.maxConnections) +
           ")\n"
           "  --max-connections-per-address N  conexões abertas ao mesmo tempo vindas de um\n"
           "                           mesmo endereço; além disso, novas são fechadas na hora\n"
           "                           (padrão: " +
           num(d.maxConnectionsPerAddress) +
           ")\n"
           "  --idle-timeout SEGUNDOS  fecha a conexão que não completa um pedido nesse tempo\n"
           "                           (padrão: " +
           num(d.idleTimeout.count() / 1000) +
           ")\n"
           "  --header-timeout SEGUNDOS  fecha a conexão cujo pedido começou e não completou os\n"
           "                           cabeçalhos nesse tempo (padrão: " +
           num(d.headerTimeout.count() / 1000) +
           ")\n"
           "  --min-body-rate BYTES    bytes por segundo que um corpo deve manter em média, após\n"
           "                           uma tolerância igual a --header-timeout; aceita k, m\n"
           "                           (padrão: " +
           num(d.minBodyBytesPerSecond) +
           ")\n"
           "  -h, --help               mostra esta ajuda\n"
           "\n"
           "Uma linha por chamada em stderr: método, milissegundos, resultado.\n"
           "SIGTERM ou SIGINT: termina as chamadas em curso e sai.\n";
}

bool isLoopback(std::string_view host) {
    if (host == "localhost" || host == "::1") return true;
    boost::system::error_code ec;
    auto address = boost::asio::ip::make_address(std::string(host), ec);
    return !ec && address.is_loopback();
}

std::string redactedUrl(std::string_view url) { return hidePasswords(std::string(url), url); }

}  // namespace appserver
