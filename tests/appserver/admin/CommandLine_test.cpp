// The command-line reader the server and its subcommands share: how words, values and switches
// are told apart, and that each refusal names what was wrong and stops the reading there.
#include "admin/CommandArgs.h"

#include <gtest/gtest.h>

#include <vector>

namespace appserver {
namespace {

constexpr OptionSpec kOptions[] = {{"--db", "URL"}, {"--flag", ""}};
constexpr CommandLineRules kServer{};
constexpr CommandLineRules kSubcommand{.words = true, .onceEach = true};

struct Read {
    CommandLine line;
    std::string taken;  // "--db=x;--flag=;" in the order taken
};

// The taker refuses the value "ruim", as an option's own check would.
Read read(std::vector<std::string_view> args, CommandLineRules rules) {
    Read r;
    r.line = readCommandLine(args, kOptions, rules, [&r](const OptionSpec& o, std::string_view v) {
        if (v == "ruim") return "valor ruim para " + std::string(o.name);
        r.taken += std::string(o.name) + "=" + std::string(v) + ";";
        return std::string();
    });
    return r;
}

TEST(CommandLine, WordsValuesAndSwitchesAreToldApart) {
    const struct {
        std::vector<std::string_view> args;
        CommandLineRules rules;
        std::vector<std::string_view> words;
        std::string taken;
        bool help = false;
    } cases[] = {
        {{"add", "ana", "--db", "x"}, kSubcommand, {"add", "ana"}, "--db=x;"},
        {{"--db=a=b", "--flag"}, kServer, {}, "--db=a=b;--flag=;"},
        {{"--db="}, kServer, {}, "--db=;"},
        // A value is the next word whatever it looks like.
        {{"--db", "--flag"}, kServer, {}, "--db=--flag;"},
        {{"-", "--db", "x"}, kSubcommand, {"-"}, "--db=x;"},
        // Without the once-each rule the taker sees every occurrence, the last one last.
        {{"--db", "a", "--db", "b"}, kServer, {}, "--db=a;--db=b;"},
        {{"--db", "x", "-h"}, kServer, {}, "--db=x;", true},
        {{"--help", "w"}, kSubcommand, {"w"}, "", true},
    };
    for (const auto& c : cases) {
        Read r = read(c.args, c.rules);
        EXPECT_EQ(r.line.error, "") << c.args[0];
        EXPECT_EQ(r.line.words, c.words) << c.args[0];
        EXPECT_EQ(r.taken, c.taken) << c.args[0];
        EXPECT_EQ(r.line.help, c.help) << c.args[0];
    }
}

TEST(CommandLine, TheFirstRefusalSaysWhatWasWrongAndStopsTheReading) {
    const struct {
        std::vector<std::string_view> args;
        CommandLineRules rules;
        std::string error;
        std::string taken;
    } cases[] = {
        // Where words are not taken, the argument is shown whole: it may be a stray value.
        {{"x"}, kServer, "opção desconhecida: \"x\"", ""},
        {{"-"}, kServer, "opção desconhecida: \"-\"", ""},
        {{"--bogus=1", "--db", "x"}, kServer, "opção desconhecida: \"--bogus=1\"", ""},
        {{"--bogus=1"}, kSubcommand, "opção desconhecida: --bogus", ""},
        {{"--help=1"}, kSubcommand, "opção desconhecida: --help", ""},
        {{"--db", "a", "--db", "b"}, kSubcommand, "--db informada mais de uma vez", "--db=a;"},
        // Given twice and without its value: the repetition is what is said.
        {{"--db", "a", "--db"}, kSubcommand, "--db informada mais de uma vez", "--db=a;"},
        {{"--flag=1"}, kServer, "--flag não aceita valor", ""},
        {{"--flag", "--db"}, kServer, "falta o valor de --db", "--flag=;"},
        {{"--db", "ruim", "--bogus"}, kServer, "valor ruim para --db", ""},
        {{"--db", "ruim", "--flag"}, kSubcommand, "valor ruim para --db", ""},
    };
    for (const auto& c : cases) {
        Read r = read(c.args, c.rules);
        EXPECT_EQ(r.line.error, c.error) << c.args[0];
        EXPECT_EQ(r.taken, c.taken) << c.args[0];
    }
}

}  // namespace
}  // namespace appserver
