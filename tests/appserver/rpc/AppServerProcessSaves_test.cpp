// Saves as the screen sends them reaching the database of vlp-appserver, SQLite or PostgreSQL,
// and two servers sharing one PostgreSQL database.
#include <gtest/gtest.h>
#include <signal.h>

#include "AppServerProcessFixture.h"
#include "support/AppServerProcess.h"
#include "support/PostgresSchema.h"
#include "wire/ChangeLog.h"
#include "wire/Packet.h"
#include "wire/Rpc.h"

namespace appserver::testing {
namespace {

TEST_F(AppServerProcessTest, TwoServersOnOnePostgresDatabaseBehaveAsOne) {
    if (PostgresSchema::base().empty()) GTEST_SKIP() << "VLP_TEST_PG is not set";
    PostgresSchema schema("vlp_rpc");
    ASSERT_EQ(schema.error(), "");
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

wire::ChangeLog oneChange(std::vector<wire::FieldDef> fields, wire::ChangeKind kind,
                          std::vector<wire::Value> oldValues, std::vector<wire::Value> newValues) {
    wire::ChangeLog log;
    log.fields = std::move(fields);
    log.changes.push_back({kind, std::move(oldValues), std::move(newValues)});
    return log;
}

// The screen saves a post with its pending operation code in/out and a delete with the literal
// "D" as plain text; both reach the database. Each step relies on the one before: the deletion
// carries the flags the modification wrote, so it would conflict had that not been stored. A
// group code that is not ten digits takes its whole log down with it.
void savesReachTheDatabaseOrAreRefusedWhole(const std::string& db) {
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

    wire::ChangeLog badCode =
        oneChange(groupFields, K::Insert, {}, {"0000000098", "Antes do código inválido", "98"});
    badCode.changes.push_back({K::Insert, {}, {"112a      ", "Código inválido", "97"}});
    const std::vector<wire::Value> groupRow = {group, "Teste de gravação", "99"};

    struct Step {
        std::string_view method;
        std::vector<wire::Argument> args;
        std::string expected;
    };
    const Step steps[] = {
        {"SetGrupSegProd",
         {log(badCode)},
         "-32000: Código do grupo \"112a      \" inválido: deve ter 10 dígitos."},
        {"GetVerifGrupo", {T("0000000098")}, "ok rows:0"},
        {"SetGrupSegProd", {log(oneChange(groupFields, K::Insert, {}, groupRow))}, "ok"},
        {"SetGrupSegProd",
         {log(oneChange(groupFields, K::Modify, groupRow, {"99", groupRow[1], groupRow[2]}))},
         "-32000: Código do grupo \"99\" inválido: deve ter 10 dígitos."},
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
        {"SetProdRelac",
         {IO("I"), log(oneChange(relatedFields, K::Insert, {}, relatedRow("N")))},
         "ok out:I"},
        // Takes the related product along.
        {"SetArvProd", {T("D"), log(oneChange(mainFields, K::Delete, mainRow, {}))}, "ok"},
        {"GetProdRelac", {T(group), T(*a[0])}, "ok rows:0"},
        {"GetArvProd", {T(group)}, "ok rows:0"},
        {"SetArvProd",
         {T("X"), log(oneChange(mainFields, K::Insert, {}, mainRow))},
         "-32602: Código de operação inválido: use \"I\" (inclusão), \"E\" (edição) ou \"D\" "
         "(exclusão)."},
        {"GetArvProd", {T(group)}, "ok rows:0"},
    };
    int n = 0;
    for (const Step& step : steps)
        EXPECT_EQ(callShown(client, step.method, step.args), step.expected)
            << "step " << ++n << " " << step.method;
    EXPECT_EQ(server.stop(SIGTERM), 0);

    // The history names each save's method and the operation code it carried, and each related
    // product a main product's deletion took along ("relac"); the demo catalogue and the refused
    // saves left none.
    std::string out;
    ASSERT_EQ(AppServerProcess::runToExit({"history", "--db", db}, &out), 0) << out;
    auto records = parseCsv(out);
    ASSERT_TRUE(records) << out;
    std::string saves;
    for (std::size_t i = 1; i < records->size(); ++i) {
        const auto& row = (*records)[i];
        const bool related = (row[6] + row[7]).find("CDPRODUTORELAC") != std::string::npos;
        saves += row[2] + ":" + row[3] + ":" + row[4] + (related ? ":relac " : " ");
    }
    EXPECT_EQ(saves,
              "SetGrupSegProd::insert SetArvProd:I:insert SetProdRelac:I:insert:relac "
              "SetProdRelac:E:modify:relac SetProdRelac:D:delete:relac "
              "SetProdRelac:I:insert:relac SetArvProd:D:delete:relac SetArvProd:D:delete ");
}

TEST_F(AppServerProcessTest, SavesReachTheDatabaseOrAreRefusedWholeOnSqlite) {
    savesReachTheDatabaseOrAreRefusedWhole(db);
}

TEST_F(AppServerProcessTest, SavesReachTheDatabaseOrAreRefusedWholeOnPostgres) {
    if (PostgresSchema::base().empty()) GTEST_SKIP() << "VLP_TEST_PG is not set";
    PostgresSchema schema("vlp_rpc");
    ASSERT_EQ(schema.error(), "");
    savesReachTheDatabaseOrAreRefusedWhole(schema.url());
}

}  // namespace
}  // namespace appserver::testing
