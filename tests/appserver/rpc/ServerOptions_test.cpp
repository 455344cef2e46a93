// The command line: defaults, both option forms, and clear refusals of bad values.
#include "rpc/ServerOptions.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace appserver {
namespace {

ParsedOptions parse(std::vector<std::string_view> args) { return parseOptions(args); }

TEST(ServerOptions, DefaultsAndBothForms) {
    auto p = parse({});
    EXPECT_TRUE(p.error.empty());
    EXPECT_EQ(p.options.db, "sqlite:vlp.sqlite");
    EXPECT_EQ(p.options.host, "127.0.0.1");
    EXPECT_EQ(p.options.port, 8427);
    EXPECT_EQ(p.options.maxBodyBytes, 200u * 1024 * 1024);
    EXPECT_EQ(p.options.maxConnections, 10000u);
    EXPECT_EQ(p.options.maxConnectionsPerAddress, 32u);
    EXPECT_EQ(p.options.idleTimeout, std::chrono::seconds(60));
    EXPECT_EQ(p.options.headerTimeout, std::chrono::seconds(10));
    EXPECT_EQ(p.options.minBodyBytesPerSecond, 1024u);

    p = parse({"--db", "postgresql://u@h/db", "--listen=0.0.0.0:9000", "--insecure", "--seed-demo",
               "--max-body=1m", "--workers", "3", "--idle-timeout", "5", "--max-connections=7",
               "--header-timeout=3", "--min-body-rate", "2k", "--io-threads=2", "--body-budget",
               "64m", "--max-connections-per-address=4"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_EQ(p.options.db, "postgresql://u@h/db");
    EXPECT_EQ(p.options.host, "0.0.0.0");
    EXPECT_EQ(p.options.port, 9000);
    EXPECT_TRUE(p.options.seedDemo);
    EXPECT_EQ(p.options.maxBodyBytes, 1024u * 1024);
    EXPECT_EQ(p.options.workers, 3u);
    EXPECT_EQ(p.options.idleTimeout, std::chrono::seconds(5));
    EXPECT_EQ(p.options.maxConnections, 7u);
    EXPECT_EQ(p.options.maxConnectionsPerAddress, 4u);
    EXPECT_EQ(p.options.headerTimeout, std::chrono::seconds(3));
    EXPECT_EQ(p.options.minBodyBytesPerSecond, 2048u);
    EXPECT_EQ(p.options.ioThreads, 2u);
    EXPECT_EQ(p.options.bodyBudgetBytes, 64u * 1024 * 1024);

    p = parse({"--listen", "[::1]:0"});
    EXPECT_EQ(p.options.host, "::1");
    EXPECT_EQ(p.options.port, 0);
    EXPECT_TRUE(parse({"--help"}).help);
}

TEST(ServerOptions, BadCommandLinesAreRefusedClearly) {
    EXPECT_EQ(parse({"--bogus"}).error, "opção desconhecida: \"--bogus\"");
    EXPECT_EQ(parse({"--db"}).error, "falta o valor de --db");
    EXPECT_NE(parse({"--db", "mysql://x"}).error.find("banco inválido"), std::string::npos);
    EXPECT_NE(parse({"--listen", "8427"}).error.find("--listen"), std::string::npos);
    EXPECT_NE(parse({"--listen", "h:70000"}).error.find("--listen"), std::string::npos);
    EXPECT_NE(parse({"--listen", "h:-1"}).error.find("--listen"), std::string::npos);
    EXPECT_NE(parse({"--workers", "0"}).error.find("--workers"), std::string::npos);
    EXPECT_NE(parse({"--max-body", "12q"}).error.find("--max-body"), std::string::npos);
    EXPECT_NE(parse({"--idle-timeout", "99999999999999999999"}).error.find("--idle-timeout"),
              std::string::npos);
    for (std::string_view bad : {"0", "-1", "x", "5s"}) {
        EXPECT_NE(parse({"--header-timeout", bad}).error.find("--header-timeout"),
                  std::string::npos)
            << bad;
        EXPECT_NE(parse({"--min-body-rate", bad}).error.find("--min-body-rate"), std::string::npos)
            << bad;
        EXPECT_NE(parse({"--max-connections-per-address", bad}).error.find("--max-connections-"),
                  std::string::npos)
            << bad;
    }
    EXPECT_EQ(parse({"--seed-demo=yes"}).error, "--seed-demo não aceita valor");
    EXPECT_NE(parse({"--body-budget", "100m"}).error.find("não pode ser menor que --max-body"),
              std::string::npos);
    // Beyond loopback only with TLS, or when the operator says so; the pair goes together.
    const struct {
        std::vector<std::string_view> args;
        std::string_view error;
    } network[] = {
        {{"--listen", "0.0.0.0:8427"}, "exige TLS"},
        {{"--listen", "[::]:8427"}, "exige TLS"},
        {{"--listen", "servidor.lan:8427"}, "exige TLS"},
        {{"--listen", "0.0.0.0:8427", "--insecure"}, ""},
        {{"--listen", "0.0.0.0:8427", "--tls-cert", "c.pem", "--tls-key", "k.pem"}, ""},
        {{"--listen", "localhost:8427"}, ""},
        {{"--listen", "127.0.0.2:8427"}, ""},
        {{"--listen", "[::1]:8427"}, ""},
        {{"--tls-cert", "c.pem"}, "vão juntos"},
        {{"--tls-key", "k.pem"}, "vão juntos"},
    };
    for (const auto& c : network) {
        auto error = parse(c.args).error;
        if (c.error.empty())
            EXPECT_EQ(error, "") << c.args[1];
        else
            EXPECT_NE(error.find(c.error), std::string::npos) << c.args[1] << ": " << error;
    }
}

TEST(ServerOptions, HelpListsEveryOptionAndUrlsHidePasswords) {
    auto help = optionsHelp();
    for (auto o : {"--db", "--listen", "--seed-demo", "--workers", "--io-threads", "--body-budget",
                   "--tls-cert", "--tls-key", "--insecure", "--max-body", "--max-header",
                   "--max-connections", "--max-connections-per-address", "--idle-timeout",
                   "--header-timeout", "--min-body-rate", "--help", "8427", "sqlite:vlp.sqlite"})
        EXPECT_NE(help.find(o), std::string::npos) << o;
    EXPECT_EQ(redactedUrl("postgresql://bob:s3cret@db:5432/vlp"),
              "postgresql://bob:***@db:5432/vlp");
    EXPECT_EQ(redactedUrl("postgresql://bob@db/vlp"), "postgresql://bob@db/vlp");
    EXPECT_EQ(redactedUrl("sqlite:x.db"), "sqlite:x.db");
    EXPECT_EQ(redactedUrl("postgresql://db/vlp?user=bob&password=s3cret"),
              "postgresql://db/vlp?user=bob&password=***");
}

// The help is generated from the option table: it stays within a wide terminal, each default whole
// on one line, and the meanings in one column.
TEST(ServerOptions, HelpKeepsItsColumnsAndEachDefaultWhole) {
    std::istringstream help(optionsHelp());
    int defaults = 0;
    for (std::string line; std::getline(help, line);) {
        std::size_t characters = 0;
        for (unsigned char c : line) characters += (c & 0xC0) != 0x80;
        EXPECT_LE(characters, 98u) << line;
        if (auto open = line.find("(padrão:"); open != std::string::npos) {
            ++defaults;
            EXPECT_NE(line.find(')', open), std::string::npos) << line;
        }
        if (line.starts_with("   ")) {
            EXPECT_EQ(line.find_first_not_of(' '), 27u) << line;
        }
    }
    EXPECT_EQ(defaults, 12);
}

}  // namespace
}  // namespace appserver
