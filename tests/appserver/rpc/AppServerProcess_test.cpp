// The vlp-appserver program over SQLite: its command line, signals, its health check, racing
// clients, and a kill -9 in the middle of saves (data and history alike).
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>

#include <atomic>
#include <barrier>
#include <thread>

#include "AppServerProcessFixture.h"
#include "support/AppServerProcess.h"

namespace appserver::testing {
namespace {

TEST_F(AppServerProcessTest, BadCommandLineExitsWithTwoAndHelpListsOptions) {
    std::string out;
    EXPECT_EQ(AppServerProcess::runToExit({"--listen", "nada"}, &out), 2);
    EXPECT_NE(out.find("--listen"), std::string::npos) << out;
    EXPECT_EQ(AppServerProcess::runToExit({"--help"}, &out), 0);
    EXPECT_NE(out.find("--idle-timeout"), std::string::npos) << out;
    EXPECT_EQ(AppServerProcess::runToExit({"--db", "sqlite:" + (dir / "no/such/dir/x.db").string()},
                                          &out),
              1);
}

TEST_F(AppServerProcessTest, SigtermStopsCleanlyAfterLoggingEachCall) {
    AppServerProcess server;
    ASSERT_TRUE(server.start({"--db", db, "--seed-demo"})) << server.output();
    HttpTestClient client(server.port());
    EXPECT_EQ(
        callOutcome(client, R"({"jsonrpc":"2.0","id":1,"method":"GetGrupSegProd","params":[]})"),
        "ok");
    EXPECT_EQ(server.stop(SIGTERM), 0);
    EXPECT_NE(server.output().find(" GetGrupSegProd "), std::string::npos) << server.output();
}

// The real store answers the check: a database whose tables are gone is reported, not hidden.
TEST_F(AppServerProcessTest, HealthReportsTheSqliteStore) {
    AppServerProcess server;
    ASSERT_TRUE(server.start({"--db", db, "--workers", "1"})) << server.output();
    HttpTestClient client(server.port());
    auto r = client.request("GET", "/health");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 200);
    EXPECT_NE(r->body().find(R"("status":"ok","store":"ok","version":")"), std::string::npos)
        << r->body();

    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open((dir / "vlp.sqlite").c_str(), &raw), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(raw,
                           "PRAGMA foreign_keys=OFF; DROP TABLE PRODRELAC; DROP TABLE PRODPRINC;"
                           "DROP TABLE GRUSUGESPROD;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(raw);
    sqlite3_close(raw);
    r = client.request("GET", "/health");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 503);
    EXPECT_NE(r->body().find(R"("status":"indisponivel")"), std::string::npos) << r->body();
    EXPECT_EQ(server.stop(SIGTERM), 0);
    EXPECT_EQ(server.output().find("health"), std::string::npos) << server.output();
}

TEST_F(AppServerProcessTest, TwoClientsRacingForOneGroupCodeExactlyOneWins) {
    AppServerProcess server;
    ASSERT_TRUE(server.start({"--db", db, "--workers", "2"})) << server.output();
    constexpr int kRounds = 20;
    std::atomic<int> wins[kRounds] = {};
    std::barrier sync(2);
    auto racer = [&](int who) {
        HttpTestClient client(server.port());
        for (int i = 0; i < kRounds; ++i) {
            sync.arrive_and_wait();
            auto body = groupInsert(groupCode(100 + i),
                                    "Grupo " + std::to_string(i) + "-" + std::to_string(who),
                                    std::to_string(i * 2 + who));
            if (callOutcome(client, body) == "ok") ++wins[i];
        }
    };
    std::thread a(racer, 0), b(racer, 1);
    a.join();
    b.join();
    for (int i = 0; i < kRounds; ++i) EXPECT_EQ(wins[i], 1) << "round " << i;
}

TEST_F(AppServerProcessTest, KillDuringSavesLosesNoAcknowledgedSave) {
    AppServerProcess server;
    ASSERT_TRUE(server.start({"--db", db})) << server.output();
    std::vector<std::string> acknowledged;
    std::atomic<bool> killed = false;
    std::thread saver([&] {
        HttpTestClient client(server.port());
        for (int i = 1; i < 100'000 && !killed; ++i) {
            auto code = groupCode(i);
            if (callOutcome(client, groupInsert(code, "Grupo " + std::to_string(i),
                                                std::to_string(i % 10000))) == "ok")
                acknowledged.push_back(code);
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(server.stop(SIGKILL), 128 + SIGKILL);
    killed = true;
    saver.join();
    ASSERT_FALSE(acknowledged.empty());

    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open((dir / "vlp.sqlite").c_str(), &raw), SQLITE_OK);
    std::string integrity;
    sqlite3_exec(
        raw, "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += values[0] ? values[0] : "null";
            return 0;
        },
        &integrity, nullptr);
    sqlite3_close(raw);
    EXPECT_EQ(integrity, "ok");

    // The history was committed with its change: every group has its one insert row, and no row
    // stands for a group that was never saved.
    const auto file = dir / "vlp.sqlite";
    EXPECT_EQ(
        sqliteValue(file,
                    "SELECT count(*) FROM GRUSUGESPROD g WHERE (SELECT count(*) FROM history h "
                    "WHERE h.group_code = g.CDGRUSUGESPROD AND h.kind = 'insert' AND "
                    "h.user_name = 'local' AND h.method = 'SetGrupSegProd') <> 1"),
        "0");
    EXPECT_EQ(sqliteValue(file,
                          "SELECT count(*) FROM history h WHERE NOT EXISTS (SELECT 1 FROM "
                          "GRUSUGESPROD g WHERE g.CDGRUSUGESPROD = h.group_code)"),
              "0");
    EXPECT_EQ(sqliteValue(file, "SELECT count(*) FROM history"),
              sqliteValue(file, "SELECT count(*) FROM GRUSUGESPROD"));

    AppServerProcess again;
    ASSERT_TRUE(again.start({"--db", db})) << again.output();
    HttpTestClient client(again.port());
    for (const auto& code : acknowledged) ASSERT_TRUE(groupExists(client, code)) << code;
}

}  // namespace
}  // namespace appserver::testing
