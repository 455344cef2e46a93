#include "admin/CommandArgs.h"

#include <algorithm>

namespace appserver {

namespace {

// Where words are taken only an option can be unknown, and its name says which; elsewhere the
// argument is shown whole, as typed, since it may be a stray word or value.
std::string unknown(std::string_view argument, std::string_view name, CommandLineRules rules) {
    if (rules.words) return "opção desconhecida: " + std::string(name);
    return "opção desconhecida: \"" + std::string(argument) + "\"";
}

}  // namespace

CommandLine readCommandLine(std::span<const std::string_view> args, const FindOption& find,
                            CommandLineRules rules, const TakeOption& take) {
    CommandLine line;
    std::vector<std::string_view> given;
    for (std::size_t i = 0; i < args.size() && line.error.empty(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "-h" || arg == "--help") {
            line.help = true;
            continue;
        }
        const bool looksLikeOption = arg.starts_with('-') && arg != "-";
        if (!looksLikeOption && rules.words) {
            line.words.push_back(arg);
            continue;
        }
        const auto equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        const OptionSpec* option = looksLikeOption ? find(name) : nullptr;
        if (!option) {
            line.error = unknown(arg, name, rules);
        } else if (rules.onceEach && std::ranges::find(given, name) != given.end()) {
            line.error = std::string(name) + " informada mais de uma vez";
        } else if (equals != std::string_view::npos && option->value.empty()) {
            line.error = std::string(name) + " não aceita valor";
        } else if (equals == std::string_view::npos && !option->value.empty() &&
                   i + 1 >= args.size()) {
            line.error = "falta o valor de " + std::string(name);
        } else {
            given.push_back(name);
            std::string_view value;
            if (equals != std::string_view::npos)
                value = arg.substr(equals + 1);
            else if (!option->value.empty())
                value = args[++i];
            line.error = take(*option, value);
        }
    }
    return line;
}

std::string CommandArgs::option(std::string_view name) const {
    auto found = options.find(name);
    return found == options.end() ? std::string() : found->second;
}

CommandArgs parseCommandArgs(std::span<const std::string_view> args,
                             std::span<const OptionSpec> known) {
    CommandArgs parsed;
    CommandLine line = readCommandLine(args, known, {.words = true, .onceEach = true},
                                       [&parsed](const OptionSpec& option, std::string_view value) {
                                           parsed.options.emplace(option.name, value);
                                           return std::string();
                                       });
    parsed.words = std::move(line.words);
    parsed.help = line.help;
    parsed.error = std::move(line.error);
    return parsed;
}

}  // namespace appserver
