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

// The launcher adds only the address to listen on (a free port).
TEST_F(ConfigAppServerProcessTest, ServesTheDatabaseTheFileNames) {
    const auto database = dir / "dados" / "vlp.sqlite";
    std::filesystem::create_directories(database.parent_path());
    AppServerProcess server;
    ASSERT_TRUE(server.start({"--config", write("# como no pacote\ndb = sqlite:" +
                                                database.string() + "\nworkers = 1\n")}))
        << server.output();
    HttpTestClient client(server.port());
    auto r = client.request("GET", "/health");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 200) << r->body();
    EXPECT_TRUE(std::filesystem::exists(database));
    EXPECT_NE(server.output().find("(banco sqlite:" + database.string() + ")"), std::string::npos)
        << server.output();
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
