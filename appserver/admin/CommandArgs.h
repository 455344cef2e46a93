#pragma once
// The command line of vlp-appserver and of its administration subcommands, read one way: options
// as "--name VALUE" or "--name=VALUE", switches as "--name", -h/--help anywhere and, where the
// command takes them, positional words. Never prints or exits; a refusal is a text for the user.

#include <concepts>
#include <functional>
#include <map>
#include <ranges>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace appserver {

struct OptionSpec {
    std::string_view name;   // "--db"
    std::string_view value;  // what it takes, as the help names it ("URL"); empty: a switch
};

struct CommandLineRules {
    bool words = false;     // positional words are taken; else each is refused as unknown
    bool onceEach = false;  // an option given twice is refused; else the last one counts
};

struct CommandLine {
    std::vector<std::string_view> words;
    bool help = false;
    std::string error;  // non-empty: refused, with this text
};

// The option of that name ("--db"), or null.
using FindOption = std::function<const OptionSpec*(std::string_view name)>;
// Takes an option's value ("" for a switch); returns a refusal, empty when it was taken.
using TakeOption = std::function<std::string(const OptionSpec& option, std::string_view value)>;

// Reads args (the words after the program's or subcommand's name) in order, handing each option
// to take, and stops at the first refusal.
CommandLine readCommandLine(std::span<const std::string_view> args, const FindOption& find,
                            CommandLineRules rules, const TakeOption& take);

// The same over a table whose rows are OptionSpecs with more (a help text, what to set); take
// gets the row.
template <class Table, class Take>
requires std::derived_from<std::ranges::range_value_t<const Table>, OptionSpec> CommandLine
readCommandLine(std::span<const std::string_view> args, const Table& table, CommandLineRules rules,
                Take take) {
    using Row = std::ranges::range_value_t<const Table>;
    return readCommandLine(
        args,
        [&table](std::string_view name) -> const OptionSpec* {
            for (const Row& row : table)
                if (row.name == name) return &row;
            return nullptr;
        },
        rules,
        [&take](const OptionSpec& option, std::string_view value) {
            return take(static_cast<const Row&>(option), value);
        });
}

// A subcommand's words and options ("--db" -> "sqlite:x"): words taken, each option at most once.
struct CommandArgs {
    std::vector<std::string_view> words;
    std::map<std::string, std::string, std::less<>> options;
    bool help = false;
    std::string error;  // non-empty: refused, with this text

    // The value of an option, or "" when it was not given.
    std::string option(std::string_view name) const;
};

CommandArgs parseCommandArgs(std::span<const std::string_view> args,
                             std::span<const OptionSpec> known);

}  // namespace appserver
