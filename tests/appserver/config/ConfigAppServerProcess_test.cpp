// The real vlp-appserver started from a configuration file: it serves the database the file
// names, and a file it refuses stops it before it touches anything.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "ConfigFolderTest.h"
#include "HttpTestClient.h"
#include "support/AppServerProcess.h"

namespace appserver::testing {
namespace {

using ConfigAppServerProcessTest = ConfigFolderTest;

// As the service starts it: --config and nothing else, here on a free port the log names.
TEST_F(ConfigAppServerProcessTest, ServesTheDatabaseTheFileNames) {
    const auto database = dir / "dados" / "vlp.sqlite";
    std::filesystem::create_directories(database.parent_path());
    AppServerProcess server;
    const std::string config = write("# como no pacote\ndb = sqlite:" + database.string() +
                                     "\nlisten = 127.0.0.1:0\nworkers = 1\n");
    ASSERT_TRUE(server.startUntil({"--config", config}, " (banco ")) << server.output();
    const std::string out = server.output();
    const std::string marker = "escutando em 127.0.0.1:";
    const auto at = out.find(marker);
    ASSERT_NE(at, std::string::npos) << out;
    EXPECT_NE(out.find("(banco sqlite:" + database.string() + ")"), std::string::npos) << out;
    HttpTestClient client(static_cast<unsigned short>(std::stoi(out.substr(at + marker.size()))));
    auto r = client.request("GET", "/health");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 200) << r->body();
    EXPECT_TRUE(std::filesystem::exists(database));
    EXPECT_EQ(server.stop(SIGTERM), 0);
}

TEST_F(ConfigAppServerProcessTest, ARefusedFileStopsTheServerBeforeItOpensTheDatabase) {
    const auto database = dir / "vlp.sqlite";
    const struct {
        std::string text;
        std::string refusal;
    } cases[] = {
        {"db = sqlite:" + database.string() + "\n\nlimite = 3\n", ":3: chave desconhecida"},
        {"db = sqlite:" + database.string() + "\nworkers = muitos\n", ":2: valor inválido"},
        {"db = sqlite:" + database.string() + "\nlisten = 0.0.0.0:8427\n", "exige TLS"},
    };
    for (const auto& c : cases) {
        const std::string path = write(c.text);
        std::string out;
        EXPECT_EQ(AppServerProcess::runToExit({"--config", path}, &out), 2) << out;
        EXPECT_NE(out.find(c.refusal), std::string::npos) << out;
        EXPECT_FALSE(std::filesystem::exists(database)) << c.text;
    }
}

}  // namespace
}  // namespace appserver::testing
