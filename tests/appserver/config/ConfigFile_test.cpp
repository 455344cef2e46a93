// The configuration file of --config: what it accepts, each refusal naming its line, the command
// line over the file, and the file written from the option table reading back as written.
#include "config/ConfigFile.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <vector>

#include "ConfigFolderTest.h"
#include "rpc/ServerOptions.h"

namespace appserver {
namespace {

class ConfigFileTest : public testing::ConfigFolderTest {
  protected:
    // The options the file gives, followed by these command-line arguments.
    ParsedOptions parseWith(const std::string& text, std::vector<std::string_view> args = {}) {
        const std::string path = write(text);
        args.insert(args.begin(), {"--config", path});
        return parseOptions(args);
    }
};

TEST_F(ConfigFileTest, RefusalsNameTheFileAndLine) {
    const struct {
        std::string text;
        std::string refusal;  // after "FILE:"; empty: accepted
    } cases[] = {
        {"", ""},
        {"# comentário\n\n; outro\n  db = sqlite:/x y=z # não é comentário \n", ""},
        {"db = sqlite:/x\r\nworkers=3\r\n", ""},
        {"db sqlite:/x", "1: linha não entendida: \"db sqlite:/x\" (use chave = valor)"},
        {"\n= x", "2: linha não entendida: \"= x\" (use chave = valor)"},
        {"[servidor]\ndb = sqlite:/x",
         "1: linha não entendida: \"[servidor]\" (use chave = valor)"},
        {"\n\nbanco = sqlite:/x", "3: chave desconhecida: \"banco\""},
        {"--db = sqlite:/x", "1: chave desconhecida: \"--db\""},
        {"config = outro.conf", "1: chave desconhecida: \"config\""},
        {"help = sim", "1: chave desconhecida: \"help\""},
        {"Workers = 2", "1: chave desconhecida: \"Workers\""},
        {"workers = 0", "1: valor inválido para --workers: \"0\""},
        {"max-body = 12q", "1: valor inválido para --max-body: \"12q\""},
        {"listen = 8427", "1: endereço inválido para --listen: \"8427\" (use HOST:PORTA)"},
        {"db = mysql://x",
         "1: banco inválido: \"mysql://x\" (use sqlite:CAMINHO ou postgresql://...)"},
        {"tls-cert =", "1: falta o valor de tls-cert"},
        {"seed-demo = talvez", "1: valor inválido para seed-demo: \"talvez\" (use sim ou não)"},
        {"seed-demo =", "1: valor inválido para seed-demo: \"\" (use sim ou não)"},
        {"workers = 2\n#\nworkers = 3", "3: \"workers\" já foi definida na linha 1"},
        {"db = sqlite:/\xff", " o arquivo não está em UTF-8"},
    };
    for (const auto& c : cases) {
        const std::string path = write(c.text);
        const ParsedOptions parsed = parseWith(c.text);
        EXPECT_EQ(parsed.error, c.refusal.empty() ? "" : path + ":" + c.refusal) << c.text;
    }
}

TEST_F(ConfigFileTest, AFileThatCannotBeReadIsRefusedSayingWhy) {
    const struct {
        std::string path;
        std::string why;
    } cases[] = {
        {(dir / "nao-existe.conf").string(), "arquivo não encontrado"},
        {dir.string(), "é uma pasta"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string_view> args{"--config", c.path};
        EXPECT_EQ(parseOptions(args).error,
                  "não foi possível ler o arquivo de configuração " + c.path + ": " + c.why);
    }
    const std::string big = write(std::string(2 * 1024 * 1024, '#'));
    EXPECT_EQ(ConfigFile::read(big, [](auto, auto) { return std::string(); }),
              big + ": arquivo de configuração grande demais (mais de 1 MiB)");
}

TEST_F(ConfigFileTest, SettingsApplyAndTheCommandLineWins) {
    auto p = parseWith(
        "seed-demo = sim\ninsecure = não\nworkers = 3\nlisten = 127.0.0.1:9000\n"
        "max-body = 1m\n");
    ASSERT_EQ(p.error, "");
    EXPECT_TRUE(p.options.seedDemo);
    EXPECT_FALSE(p.options.insecure);
    EXPECT_EQ(p.options.workers, 3u);
    EXPECT_EQ(p.options.port, 9000);
    EXPECT_EQ(p.options.maxBodyBytes, 1024u * 1024);

    // Before or after --config, the command line counts.
    for (auto args : {std::vector<std::string_view>{"--workers", "5", "--listen=127.0.0.1:9001"},
                      std::vector<std::string_view>{"--listen", "127.0.0.1:9001", "--workers=5"}}) {
        p = parseWith("workers = 3\nlisten = 127.0.0.1:9000\ndb = sqlite:/x\n", args);
        ASSERT_EQ(p.error, "");
        EXPECT_EQ(p.options.workers, 5u);
        EXPECT_EQ(p.options.port, 9001);
        EXPECT_EQ(p.options.db, "sqlite:/x");
    }
}

// What the options allow only together is checked over both sources: the server never starts on a
// half-made configuration.
TEST_F(ConfigFileTest, ChecksAcrossOptionsSeeTheFileAndTheCommandLineTogether) {
    const struct {
        std::string text;
        std::vector<std::string_view> args;
        std::string error;  // empty: accepted
    } cases[] = {
        {"listen = 0.0.0.0:9000", {}, "escutar em 0.0.0.0 exige TLS"},
        {"listen = 0.0.0.0:9000", {"--insecure"}, ""},
        {"listen = 0.0.0.0:9000\ninsecure = sim", {}, ""},
        {"listen = 0.0.0.0:9000", {"--listen", "127.0.0.1:9000"}, ""},
        {"tls-cert = /etc/vlp/tls/servidor.pem", {}, "--tls-cert e --tls-key vão juntos"},
        {"tls-cert = a.pem", {"--tls-key", "a.key"}, ""},
        {"max-body = 1g", {}, "--body-budget (268435456) não pode ser menor"},
    };
    for (const auto& c : cases) {
        const std::string error = parseWith(c.text, c.args).error;
        if (c.error.empty())
            EXPECT_EQ(error, "") << c.text;
        else
            EXPECT_TRUE(error.starts_with(c.error)) << c.text << " -> " << error;
    }
}

// The file the package installs is written from the option table: every option of --help is in
// it, commented out with its default unless set, and it reads back to what it says.
TEST_F(ConfigFileTest, TheWrittenFileHoldsEveryOptionAndReadsBackAsWritten) {
    const std::string text = optionsFile({{"db", "sqlite:/var/lib/vlp/vlp.sqlite"}});
    const std::string help = optionsHelp();
    const std::regex option("\n  --([a-z-]+)");
    int options = 0;
    for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it) {
        const std::string key = (*it)[1];
        if (key == "config" || key == "help") continue;
        ++options;
        const std::string line =
            key == "db" ? "\ndb = sqlite:/var/lib/vlp/vlp.sqlite\n" : "\n# " + key + " = ";
        EXPECT_NE(text.find(line), std::string::npos) << key << "\n" << text;
    }
    EXPECT_GE(options, 15);
    EXPECT_NE(text.find("\n# listen = 127.0.0.1:8427\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n# seed-demo = não\n"), std::string::npos) << text;

    const ParsedOptions read = parseWith(text);
    ASSERT_EQ(read.error, "");
    const ServerOptions defaults;
    EXPECT_EQ(read.options.db, "sqlite:/var/lib/vlp/vlp.sqlite");
    EXPECT_EQ(read.options.host, defaults.host);
    EXPECT_EQ(read.options.port, defaults.port);
    EXPECT_FALSE(read.options.seedDemo);
    EXPECT_EQ(read.options.maxBodyBytes, defaults.maxBodyBytes);

    // Each commented default, taken in, is the default again; a value in capitals names what an
    // option takes (N, ARQUIVO) where its default is no value.
    const std::regex commentedDefault("# ([a-z-]+ = [^A-Z]*)");
    std::string uncommented;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        uncommented += (std::regex_match(line, m, commentedDefault) ? m[1].str() : line) + "\n";
    }
    const ParsedOptions again = parseWith(uncommented);
    ASSERT_EQ(again.error, "") << uncommented;
    EXPECT_EQ(again.options.bodyBudgetBytes, defaults.bodyBudgetBytes);
    EXPECT_EQ(again.options.idleTimeout, defaults.idleTimeout);
    EXPECT_EQ(again.options.port, defaults.port);
}

}  // namespace
}  // namespace appserver
