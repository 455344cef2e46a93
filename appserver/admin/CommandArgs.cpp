#include "admin/CommandArgs.h"

#include <algorithm>

namespace appserver {

std::string CommandArgs::option(std::string_view name) const {
    auto found = options.find(name);
    return found == options.end() ? std::string() : found->second;
}

CommandArgs parseCommandArgs(std::span<const std::string_view> args,
                             std::initializer_list<std::string_view> known) {
    CommandArgs parsed;
    for (std::size_t i = 0; i < args.size() && parsed.error.empty(); ++i) {
        std::string_view arg = args[i];
        if (arg == "-h" || arg == "--help") {
            parsed.help = true;
            continue;
        }
        if (!arg.starts_with('-') || arg == "-") {
            parsed.words.push_back(arg);
            continue;
        }
        std::string_view name = arg.substr(0, arg.find('='));
        if (std::find(known.begin(), known.end(), name) == known.end()) {
            parsed.error = "opção desconhecida: " + std::string(name);
        } else if (parsed.options.contains(name)) {
            parsed.error = std::string(name) + " informada mais de uma vez";
        } else if (name.size() < arg.size()) {
            parsed.options.emplace(name, arg.substr(name.size() + 1));
        } else if (i + 1 < args.size()) {
            parsed.options.emplace(name, args[++i]);
        } else {
            parsed.error = "falta o valor de " + std::string(name);
        }
    }
    return parsed;
}

}  // namespace appserver
