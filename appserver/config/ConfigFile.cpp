#include "config/ConfigFile.h"

#include <cerrno>
#include <fstream>
#include <map>

#include "wire/FieldDef.h"

namespace appserver {
namespace {

// Far beyond any real configuration; a larger file is a wrong path (a database, a log).
constexpr std::size_t kMaxFileBytes = 1024 * 1024;

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Why a file could not be read, as an operator reads it.
std::string unreadable(const std::string& path, int error) {
    const char* why = error == ENOENT   ? "arquivo não encontrado"
                      : error == EACCES ? "sem permissão de leitura"
                      : error == EISDIR ? "é uma pasta"
                                        : "erro de leitura";
    return "não foi possível ler o arquivo de configuração " + path + ": " + why;
}

std::string at(std::string_view name, std::size_t line) {
    return std::string(name) + ":" + std::to_string(line) + ": ";
}

}  // namespace

std::string ConfigFile::parse(std::string_view text, std::string_view name,
                              const TakeSetting& take) {
    if (!wire::isValidUtf8(text)) return std::string(name) + ": o arquivo não está em UTF-8";
    std::map<std::string, std::size_t, std::less<>> seenOn;  // key -> its line
    std::size_t number = 0;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = trimmed(text.substr(start, end - start));
        start = end + 1;
        ++number;
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        const auto equals = line.find('=');
        const std::string_view key = trimmed(line.substr(0, std::min(equals, line.size())));
        if (equals == std::string_view::npos || key.empty())
            return at(name, number) + "linha não entendida: \"" + std::string(line) +
                   "\" (use chave = valor)";
        if (auto seen = seenOn.find(key); seen != seenOn.end())
            return at(name, number) + "\"" + std::string(key) + "\" já foi definida na linha " +
                   std::to_string(seen->second);
        seenOn.emplace(key, number);
        if (std::string refusal = take(key, trimmed(line.substr(equals + 1))); !refusal.empty())
            return at(name, number) + refusal;
    }
    return {};
}

std::string ConfigFile::read(const std::string& path, const TakeSetting& take) {
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) return unreadable(path, errno);
    std::string text;
    char buffer[4096];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(file.gcount()));
        if (text.size() > kMaxFileBytes)
            return path + ": arquivo de configuração grande demais (mais de 1 MiB)";
    }
    if (file.bad()) return unreadable(path, errno);
    return parse(text, path, take);
}

}  // namespace appserver
