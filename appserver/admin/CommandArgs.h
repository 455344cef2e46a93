#pragma once
// The words after a subcommand's name: positional words, options that take a value ("--db URL"
// or "--db=URL", each at most once), and -h/--help. Never prints or exits.

#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace appserver {

struct CommandArgs {
    std::vector<std::string_view> words;
    std::map<std::string, std::string, std::less<>> options;  // "--db" -> "sqlite:x"
    bool help = false;
    std::string error;  // non-empty: refused, with this text

    // The value of an option, or "" when it was not given.
    std::string option(std::string_view name) const;
};

// known: the options this subcommand accepts, each taking a value.
CommandArgs parseCommandArgs(std::span<const std::string_view> args,
                             std::initializer_list<std::string_view> known);

}  // namespace appserver
