// The vlp-appserver program over real databases: its command line, signals, racing clients,
// a kill -9 in the middle of saves, two servers sharing one PostgreSQL database, and product
// saves as the screen sends them.
#include "AppServerProcess.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <barrier>
#include <filesystem>
#include <thread>

#include "HttpTestClient.h"
#include "wire/ChangeLog.h"
#include "wire/Packet.h"
#include "wire/Rpc.h"

namespace appserver {
namespace {

using testing::AppServerProcess;
using testing::HttpTestClient;

std::string groupInsert(const std::string& code, const std::string& name,
                        const std::string& order) {
    wire::ChangeLog log;
    log.fields = {{"CDGRUSUGESPROD", 10}, {"NMGRUSUGESPROD", 40}, {"NRORDEM", 4}};
    log.changes.push_back({wire::ChangeKind::Insert, {}, {code, name, order}});
    return wire::writeRequest(1, "SetGrupSegProd",
                              std::vector{wire::Argument::packet(log.toJson())});
}

std::string groupCode(int n) {
    std::string digits = std::to_string(n);
    return std::string(10 - digits.size(), '0') + digits;
}

// The answer's outcome: "ok", "code: message", or "sem resposta" when the connection failed.
std::string callOutcome(HttpTestClient& client, const std::string& body) {
    auto r = client.post(body);
    if (!r) return "sem resposta";
    auto a = wire::readAnswer(r->body(), 1);
    if (!a) return "resposta inválida";
    return a->ok ? "ok" : std::to_string(a->errorCode) + ": " + a->errorMessage;
}

bool groupExists(HttpTestClient& client, const std::string& code) {
    auto r = client.post(
        wire::writeRequest(1, "GetVerifGrupo", std::vector{wire::Argument::text(code)}));
    auto a = r ? wire::readAnswer(r->body(), 1) : wire::Result<wire::Answer>(wire::Status());
    return a && a->ok && a->payload.find(code) != std::string::npos;
}

class AppServerProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("vlp-rpc-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        db = "sqlite:" + (dir / "vlp.sqlite").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::filesystem::path dir;
    std::string db;
};

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

    AppServerProcess again;
    ASSERT_TRUE(again.start({"--db", db})) << again.output();
    HttpTestClient client(again.port());
    for (const auto& code : acknowledged) ASSERT_TRUE(groupExists(client, code)) << code;
}

// A private schema in the database named by VLP_TEST_PG, so parallel tests do not meet.
class PostgresSchema {
  public:
    explicit PostgresSchema(const std::string& base) : m_base(base) {
        m_name = "vlp_rpc" + std::to_string(::getpid());
        m_ok = exec("DROP SCHEMA IF EXISTS " + m_name + " CASCADE; CREATE SCHEMA " + m_name);
    }
    ~PostgresSchema() { exec("DROP SCHEMA IF EXISTS " + m_name + " CASCADE"); }
    bool ok() const { return m_ok; }
    std::string url() const {
        return m_base + (m_base.find('?') == std::string::npos ? "?" : "&") +
               "options=-csearch_path%3D" + m_name;
    }

  private:
    bool exec(const std::string& sql) {
        PGconn* c = PQconnectdb(m_base.c_str());
        bool ok = PQstatus(c) == CONNECTION_OK;
        if (ok) {
            PGresult* r = PQexec(c, sql.c_str());
            ok = PQresultStatus(r) == PGRES_COMMAND_OK;
            PQclear(r);
        }
        PQfinish(c);
        return ok;
    }
    std::string m_base, m_name;
    bool m_ok = false;
};

TEST_F(AppServerProcessTest, TwoServersOnOnePostgresDatabaseBehaveAsOne) {
    const char* base = std::getenv("VLP_TEST_PG");
    if (!base || !*base) GTEST_SKIP() << "VLP_TEST_PG is not set";
    PostgresSchema schema(base);
    ASSERT_TRUE(schema.ok());
    AppServerProcess one, two;
    ASSERT_TRUE(one.start({"--db", schema.url(), "--workers", "1"})) << one.output();
    ASSERT_TRUE(two.start({"--db", schema.url(), "--workers", "1"})) << two.output();
    HttpTestClient a(one.port()), b(two.port());
    EXPECT_EQ(callOutcome(a, groupInsert(groupCode(7), "Bebidas", "1")), "ok");
    EXPECT_TRUE(groupExists(b, groupCode(7)));
    EXPECT_NE(callOutcome(b, groupInsert(groupCode(7), "Outro nome", "2")), "ok");
    EXPECT_EQ(one.stop(SIGTERM), 0);
    EXPECT_EQ(two.stop(SIGTERM), 0);
}

// A call's outcome as one line: "ok", then " out:" per in/out value and " rows:N" for a read;
// or "code: message".
std::string shown(HttpTestClient& client, std::string_view method,
                  std::vector<wire::Argument> args) {
    auto r = client.post(wire::writeRequest(1, method, args));
    if (!r) return "sem resposta";
    auto a = wire::readAnswer(r->body(), 1);
    if (!a) return "resposta inválida";
    if (!a->ok) return std::to_string(a->errorCode) + ": " + a->errorMessage;
    std::string line = "ok";
    for (const auto& v : a->out) line += " out:" + v;
    if (!a->payload.empty()) {
        auto packet = wire::Packet::fromJson(a->payload);
        line += packet ? " rows:" + std::to_string(packet->rows.size()) : " pacote inválido";
    }
    return line;
}

wire::ChangeLog oneChange(std::vector<wire::FieldDef> fields, wire::ChangeKind kind,
                          std::vector<wire::Value> oldValues, std::vector<wire::Value> newValues) {
    wire::ChangeLog log;
    log.fields = std::move(fields);
    log.changes.push_back({kind, std::move(oldValues), std::move(newValues)});
    return log;
}

// The screen saves a post with its pending operation code in/out and a delete with the literal
// "D" as plain text; both reach the database. Each step relies on the one before: the deletion
// carries the flags the modification wrote, so it would conflict had that not been stored.
void productSavesTakeEitherKindOfOperationCode(const std::string& db) {
    AppServerProcess server;
    ASSERT_TRUE(server.start({"--db", db, "--seed-demo"})) << server.output();
    HttpTestClient client(server.port());
    auto r = client.post(wire::writeRequest(1, "GetPesqProdPrinc", {}));
    ASSERT_TRUE(r);
    auto answer = wire::readAnswer(r->body(), 1);
    ASSERT_TRUE(answer && answer->ok);
    auto products = wire::Packet::fromJson(answer->payload);
    ASSERT_TRUE(products && products->rows.size() >= 2);
    const std::vector<wire::Value>& a = products->rows[0];  // CDPRODUTO CDARVPROD NMPRODUTO
    const std::vector<wire::Value>& b = products->rows[1];

    const std::string group = "0000000099";
    const std::vector<wire::FieldDef> groupFields = {
        {"CDGRUSUGESPROD", 10}, {"NMGRUSUGESPROD", 40}, {"NRORDEM", 4}};
    const std::vector<wire::FieldDef> mainFields = {
        {"CDARVPROD", 20},      {"CDPRODUTO", 10},       {"NMPRODUTO", 50},
        {"CDGRUSUGESPROD", 10}, {"IDQUANTPRODPRINC", 1}, {"IDTOTALPRODPRINC", 1}};
    const std::vector<wire::FieldDef> relatedFields = {
        {"CDGRUSUGESPROD", 10}, {"CDPRODUTO", 10},  {"CDPRODUTORELAC", 10}, {"CDARVPRODRELAC", 20},
        {"NMPRODUTORELAC", 50}, {"IDQUANTPROD", 1}, {"IDTOTALPROD", 1}};
    const std::vector<wire::Value> mainRow = {a[1], a[0], a[2], group, "N", "S"};
    auto relatedRow = [&](const char* quantity) -> std::vector<wire::Value> {
        return {group, a[0], b[0], b[1], b[2], quantity, "S"};
    };
    using K = wire::ChangeKind;
    auto log = [](wire::ChangeLog l) { return wire::Argument::packet(l.toJson()); };
    auto T = wire::Argument::text;
    auto IO = wire::Argument::inOut;

    struct Step {
        std::string_view method;
        std::vector<wire::Argument> args;
        std::string expected;
    };
    const Step steps[] = {
        {"SetGrupSegProd",
         {log(oneChange(groupFields, K::Insert, {}, {group, "Teste de gravação", "99"}))},
         "ok"},
        {"SetArvProd", {IO("I"), log(oneChange(mainFields, K::Insert, {}, mainRow))}, "ok out:I"},
        {"SetProdRelac",
         {IO("I"), log(oneChange(relatedFields, K::Insert, {}, relatedRow("N")))},
         "ok out:I"},
        {"SetProdRelac",
         {IO("E"), log(oneChange(relatedFields, K::Modify, relatedRow("N"), relatedRow("S")))},
         "ok out:E"},
        {"GetProdRelac", {T(group), T(*a[0])}, "ok rows:1"},
        {"SetProdRelac",
         {T("D"), log(oneChange(relatedFields, K::Delete, relatedRow("S"), {}))},
         "ok"},
        {"GetProdRelac", {T(group), T(*a[0])}, "ok rows:0"},
        {"SetArvProd", {T("D"), log(oneChange(mainFields, K::Delete, mainRow, {}))}, "ok"},
        {"GetArvProd", {T(group)}, "ok rows:0"},
        {"SetArvProd",
         {T("X"), log(oneChange(mainFields, K::Insert, {}, mainRow))},
         "-32602: Código de operação inválido: use \"I\" (inclusão), \"E\" (edição) ou \"D\" "
         "(exclusão)."},
        {"GetArvProd", {T(group)}, "ok rows:0"},
    };
    int n = 0;
    for (const Step& step : steps)
        EXPECT_EQ(shown(client, step.method, step.args), step.expected)
            << "step " << ++n << " " << step.method;
    EXPECT_EQ(server.stop(SIGTERM), 0);
}

TEST_F(AppServerProcessTest, ProductSavesTakeEitherKindOfOperationCodeOnSqlite) {
    productSavesTakeEitherKindOfOperationCode(db);
}

TEST_F(AppServerProcessTest, ProductSavesTakeEitherKindOfOperationCodeOnPostgres) {
    const char* base = std::getenv("VLP_TEST_PG");
    if (!base || !*base) GTEST_SKIP() << "VLP_TEST_PG is not set";
    PostgresSchema schema(base);
    ASSERT_TRUE(schema.ok());
    productSavesTakeEitherKindOfOperationCode(schema.url());
}

}  // namespace
}  // namespace appserver
