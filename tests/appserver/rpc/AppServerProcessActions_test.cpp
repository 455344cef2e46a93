// The actions across lists through the real program, SQLite and PostgreSQL, as the screen calls
// them: where used, replace with preview, the history of a group, the undo of a save and of an
// import, the copy of a group; refusals in Portuguese that apply nothing.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

#include "AppServerProcessFixture.h"
#include "store/Store.h"
#include "support/AppServerProcess.h"
#include "support/PostgresSchema.h"
#include "wire/ChangeLog.h"
#include "wire/Packet.h"

namespace appserver::testing {
namespace {

std::string product(int n) { return "000000000" + std::to_string(n); }

wire::Argument logOf(std::vector<wire::FieldDef> fields, std::vector<wire::Value> row) {
    wire::ChangeLog log;
    log.fields = std::move(fields);
    log.changes.push_back({wire::ChangeKind::Insert, {}, std::move(row)});
    return wire::Argument::packet(log.toJson());
}

// A value of the newest row of the group's history: 1 its save, 4 its origin.
std::string newest(HttpTestClient& client, const std::string& group, int field) {
    const std::vector args = {wire::Argument::text(group), wire::Argument::text(""),
                              wire::Argument::text("")};
    auto r = client.post(wire::writeRequest(1, "GetHistorico", args));
    auto a = r ? wire::readAnswer(r->body(), 1) : wire::Result<wire::Answer>(wire::Status());
    auto page = a && a->ok ? wire::Packet::fromJson(a->payload)
                           : wire::Result<wire::Packet>(wire::Status());
    return page && !page->rows.empty() ? page->rows[0][field].value_or("") : "sem histórico";
}

void actionsOverHttp(const std::string& db) {
    {
        auto factory = makeStoreFactory(db);
        ASSERT_TRUE(factory) << factory.status().message();
        auto store = (*factory)->open();
        ASSERT_TRUE(store) << store.status().message();
        for (int n = 1; n <= 4; ++n)
            ASSERT_TRUE((*store)->addProduct(product(n), "1.01.001.000" + std::to_string(n),
                                             "Produto " + std::to_string(n)));
    }
    AppServerProcess server;
    ASSERT_TRUE(server.start({"--db", db, "--workers", "2"})) << server.output();
    HttpTestClient client(server.port());
    const auto T = wire::Argument::text;
    const std::string g1 = groupCode(1), g3 = groupCode(3);
    const std::string csv =
        "grupo;nome_grupo;ordem;principal;quant_principal;total_principal;relacionado;"
        "quant_relacionado;total_relacionado\r\n" +
        g3 + ";Lanches;3;1.01.001.0001;N;S;1.01.001.0002;N;S\r\n";

    struct Step {
        std::string_view method;
        std::function<std::vector<wire::Argument>()> args;  // read when the step runs
        std::function<std::string()> expected;
    };
    auto is = [](std::string text) { return [text] { return text; }; };
    auto args = [](std::vector<wire::Argument> a) { return [a] { return a; }; };
    std::string replacement, undo;
    const Step steps[] = {
        {"SetGrupSegProd",
         args({logOf({{"CDGRUSUGESPROD", 10}, {"NMGRUSUGESPROD", 40}, {"NRORDEM", 4}},
                     {g1, "Café", "1"})}),
         is("ok")},
        {"SetArvProd",
         args({T("I"), logOf({{"CDGRUSUGESPROD", 10},
                              {"CDPRODUTO", 10},
                              {"IDQUANTPRODPRINC", 1},
                              {"IDTOTALPRODPRINC", 1}},
                             {g1, product(1), "N", "S"})}),
         is("ok")},
        {"SetProdRelac",
         args({T("I"), logOf({{"CDGRUSUGESPROD", 10},
                              {"CDPRODUTO", 10},
                              {"CDPRODUTORELAC", 10},
                              {"IDQUANTPROD", 1},
                              {"IDTOTALPROD", 1}},
                             {g1, product(1), product(2), "N", "S"})}),
         is("ok")},
        {"GetOndeUsado", args({T(product(2))}), is("ok rows:1")},
        {"GetOndeUsado", args({T("9999999999")}), is("-32000: Produto não cadastrado.")},
        {"SetSubstituiProduto", args({T(product(2)), T(product(1)), T("N")}), is("ok erro,resumo")},
        {"SetSubstituiProduto", args({T(product(2)), T(product(2)), T("S")}),
         is("-32000: O produto substituto deve ser outro produto.")},
        {"SetSubstituiProduto", args({T(product(2)), T(product(3)), T("X")}),
         is("-32602: Simular deve ser \"S\" (só a prévia) ou \"N\" (aplica a alteração).")},
        {"SetSubstituiProduto", args({T(product(2)), T(product(3)), T("N")}),
         is("ok alterar,resumo")},
        {"GetOndeUsado", args({T(product(2))}), is("ok rows:0")},
        // Groups, main, related, and the replacement's deletion and inclusion.
        {"GetHistorico", args({T(g1), T(""), T("")}), is("ok rows:5")},
        {"GetHistorico", args({T(g1), T(product(1)), T("abc")}),
         is("-32602: Histórico anterior a deve ser o número de uma linha do histórico.")},
        {"SetDesfazGravacao",
         [&] {
             return std::vector{T(replacement = newest(client, g1, 1)), T("N")};
         },
         is("ok incluir,excluir,resumo")},
        {"GetOndeUsado", args({T(product(2))}), is("ok rows:1")},
        {"SetDesfazGravacao",
         [&] {
             return std::vector{T(replacement), T("N")};
         },
         [&] {
             return "-32000: A gravação " + replacement + " já foi desfeita pela gravação " +
                    newest(client, g1, 1) + ".";
         }},
        {"SetImportaSugestoes", args({T(csv), T("incluir"), T("N")}),
         is("ok incluir,incluir,incluir,resumo")},
        {"SetDesfazGravacao",
         [&] {
             return std::vector{T(undo = newest(client, g3, 1)), T("S")};
         },
         is("ok excluir,excluir,excluir,resumo")},
        {"GetVerifGrupo", args({T(g3)}), is("ok rows:1")},
        {"SetDesfazGravacao",
         [&] {
             return std::vector{T(undo), T("N")};
         },
         is("ok excluir,excluir,excluir,resumo")},
        {"GetVerifGrupo", args({T(g3)}), is("ok rows:0")},
        {"SetCopiaGrupo", args({T(g1), T(groupCode(2)), T(" CAFÉ"), T("2")}),
         is("-32000: Nome já cadastrado.")},
        {"SetCopiaGrupo", args({T(g3), T(groupCode(2)), T("Cópia"), T("2")}),
         is("-32000: Grupo de origem não cadastrado.")},
        {"SetCopiaGrupo", args({T(g1), T(groupCode(2)), T("Cópia"), T("2")}), is("ok")},
        {"GetProdRelac", args({T(groupCode(2)), T(product(1))}), is("ok rows:1")},
    };
    int n = 0;
    for (const Step& step : steps) {
        ++n;
        const std::string outcome = callShown(client, step.method, step.args());
        EXPECT_EQ(outcome, step.expected()) << "step " << n << " " << step.method;
    }
    EXPECT_EQ(newest(client, groupCode(2), 4), "cópia");

    // Two users undoing the copy at once, each on a connection and worker of its own: one
    // undoes it, the other is told which save did.
    const std::string copy = newest(client, groupCode(2), 1);
    HttpTestClient other(server.port());
    std::string outcomes[2];
    std::atomic<int> ready{0};
    auto undoCopy = [&](HttpTestClient& c, std::string& outcome) {
        ++ready;
        while (ready.load() < 2) std::this_thread::yield();
        outcome = callShown(c, "SetDesfazGravacao", {T(copy), T("N")});
    };
    std::thread first(undoCopy, std::ref(client), std::ref(outcomes[0]));
    std::thread second(undoCopy, std::ref(other), std::ref(outcomes[1]));
    first.join();
    second.join();
    std::sort(std::begin(outcomes), std::end(outcomes));
    EXPECT_EQ(outcomes[0].substr(0, outcomes[0].rfind(' ')),
              "-32000: A gravação " + copy + " já foi desfeita pela gravação");
    EXPECT_EQ(outcomes[1].substr(0, 10), "ok excluir");
    EXPECT_EQ(callShown(client, "GetVerifGrupo", {T(groupCode(2))}), "ok rows:0");
    EXPECT_EQ(server.stop(SIGTERM), 0);

    // The history's last column: the replacement's two rows are one save, and its undo another.
    std::string out;
    ASSERT_EQ(AppServerProcess::runToExit({"history", "--db", db, "--group", g1}, &out), 0) << out;
    auto records = parseCsv(out);
    ASSERT_TRUE(records) << out;
    std::string saves;
    for (std::size_t i = 1; i < records->size(); ++i)
        saves += (*records)[i][2] + ":" + ((*records)[i][8] == replacement ? "R" : "-") + " ";
    EXPECT_EQ(saves,
              "SetGrupSegProd:- SetArvProd:- SetProdRelac:- substituição:R substituição:R "
              "desfazer:- desfazer:- ");
}

TEST_F(AppServerProcessTest, ActionsAcrossListsOnSqlite) { actionsOverHttp(db); }

TEST_F(AppServerProcessTest, ActionsAcrossListsOnPostgres) {
    if (PostgresSchema::base().empty()) GTEST_SKIP() << "VLP_TEST_PG is not set";
    PostgresSchema schema("vlp_rpc");
    ASSERT_EQ(schema.error(), "");
    actionsOverHttp(schema.url());
}

}  // namespace
}  // namespace appserver::testing
