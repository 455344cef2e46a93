// The suggestions' export and import as the screen calls them, over HTTP against the real
// program, SQLite and PostgreSQL: an export previews back as no change, an edited file as exactly
// its changes and applied as the calling user, a file with an error changes nothing, and a file
// past the body's limit is refused before it is read.
#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>

#include "AppServerProcessFixture.h"
#include "support/AppServerProcess.h"
#include "support/PostgresSchema.h"
#include "wire/FieldDef.h"
#include "wire/Packet.h"
#include "wire/RemoteModule.h"
#include "wire/Rpc.h"

namespace appserver::testing {
namespace {

const std::string kProducts =
    "produto;arvore;nome\r\n"
    "0000000001;1.01.001.0001;Café\r\n"
    "0000000002;1.01.001.0002;Pão\r\n"
    "0000000003;1.01.001.0003;Leite\r\n";

const std::string kHeader =
    "grupo;nome_grupo;ordem;principal;quant_principal;total_principal;relacionado;"
    "quant_relacionado;total_relacionado\r\n";
const std::string kLoaded = kHeader +
                            "0000000001;Manhã;1;1.01.001.0001;N;S;1.01.001.0002;S;S\r\n"
                            "0000000001;Manhã;1;1.01.001.0001;N;S;1.01.001.0003;N;N\r\n"
                            "0000000002;Lanche;2;;;;;;\r\n";
// A flag changed on line 2; under "substituir" the related product of line 3 goes.
const std::string kEdited = kHeader +
                            "0000000001;Manhã;1;1.01.001.0001;N;S;1.01.001.0002;N;S\r\n"
                            "0000000002;Lanche;2;;;;;;\r\n";
const std::string kUnknownProduct = "0000000003;Jantar;3;9.9;N;S;;;\r\n";

const std::string kAna = basicAuthorization("ana", "pw de ana");

// An answer as one text: "code: message", or a packet's rows one per line, "|"-separated.
std::string shown(HttpTestClient& client, std::string_view method,
                  std::vector<wire::Argument> args) {
    auto r = client.post(wire::writeRequest(1, method, args), kAna);
    if (!r) return "sem resposta";
    auto a = wire::readAnswer(r->body(), 1);
    if (!a) return "resposta inválida";
    if (!a->ok) return std::to_string(a->errorCode) + ": " + a->errorMessage;
    auto packet = wire::Packet::fromJson(a->payload);
    if (!packet) return "pacote inválido";
    std::string text;
    for (const auto& row : packet->rows) {
        for (std::size_t i = 0; i < row.size(); ++i) text += (i ? "|" : "") + row[i].value_or("");
        text += "\n";
    }
    return text;
}

// The export's rows as the file they stand for.
std::string exported(HttpTestClient& client, const std::string& group) {
    std::string lines = shown(client, "GetExportaSugestoes", {wire::Argument::text(group)});
    std::string file;
    for (std::size_t at = 0, end; (end = lines.find('\n', at)) != std::string::npos; at = end + 1)
        file += lines.substr(at, end - at) + "\r\n";
    return file;
}

std::vector<wire::Argument> import(const std::string& file, const char* mode, const char* preview) {
    return {wire::Argument::text(file), wire::Argument::text(mode), wire::Argument::text(preview)};
}

std::string summary(int include, int alter, int exclude, int unchanged, int errors) {
    return "||resumo|incluir: " + std::to_string(include) + "; alterar: " + std::to_string(alter) +
           "; excluir: " + std::to_string(exclude) + "; sem mudança: " + std::to_string(unchanged) +
           "; erros: " + std::to_string(errors) + "\n";
}

// The preview's rows without their descriptions, which the import's own tests hold; errors and
// the summary with theirs.
std::string actions(std::string rows) {
    std::string kept;
    for (std::size_t at = 0, end; (end = rows.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string row = rows.substr(at, end - at);
        if (row.find("|erro|") == std::string::npos && row.find("|resumo|") == std::string::npos)
            row = row.substr(0, row.rfind('|'));
        kept += row + "\n";
    }
    return kept;
}

void exportAndImportOver(const std::string& db, const std::filesystem::path& dir) {
    std::string out;
    ASSERT_EQ(AppServerProcess::runToExit({"user", "add", "ana", "--db", db}, &out, "pw de ana\n"),
              0)
        << out;
    std::ofstream(dir / "produtos.csv", std::ios::binary) << kProducts;
    ASSERT_EQ(AppServerProcess::runToExit(
                  {"products", "import", (dir / "produtos.csv").string(), "--db", db}, &out),
              0)
        << out;

    AppServerProcess server;
    ASSERT_TRUE(server.start({"--db", db})) << server.output();
    HttpTestClient client(server.port());
    // Blank lines are skipped: a file of some MiB that the request reader passes whole shows
    // its last line's error at its line.
    const std::size_t blankLines = 4 * 1024 * 1024;
    const std::string large = kEdited + std::string(blankLines, '\n') + kUnknownProduct;
    const std::string largeLine = std::to_string(4 + blankLines);

    struct Step {
        std::string_view method;
        std::vector<wire::Argument> args;
        std::string expected;
    };
    const Step steps[] = {
        {"SetImportaSugestoes", import(kLoaded, "incluir", "N"),
         "2||incluir\n2||incluir\n2||incluir\n3||incluir\n4||incluir\n" + summary(5, 0, 0, 0, 0)},
        {"SetImportaSugestoes", import(kLoaded, "substituir", "S"), summary(0, 0, 0, 5, 0)},
        {"SetImportaSugestoes", import(kEdited, "substituir", "S"),
         "2||alterar\n2||excluir\n" + summary(0, 1, 1, 3, 0)},
        {"SetImportaSugestoes", import(kEdited, "substituir", "N"),
         "2||alterar\n2||excluir\n" + summary(0, 1, 1, 3, 0)},
        {"GetProdRelac",
         {wire::Argument::text("0000000001"), wire::Argument::text("0000000001")},
         "0000000001|0000000001|0000000002|1.01.001.0002|Pão|N|S\n"},
        {"SetImportaSugestoes", import(kEdited + kUnknownProduct, "incluir", "N"),
         "4|4|erro|produto 9.9 não cadastrado\n" + summary(0, 0, 0, 4, 1)},
        {"SetImportaSugestoes", import(large, "incluir", "N"),
         largeLine + "|4|erro|produto 9.9 não cadastrado\n" + summary(0, 0, 0, 4, 1)},
        {"GetVerifGrupo", {wire::Argument::text("0000000003")}, ""},
        {"SetImportaSugestoes", import(kEdited, "trocar", "S"),
         "-32602: Modo de importação inválido: use \"incluir\" ou \"substituir\"."},
        {"SetImportaSugestoes", import(kEdited, "incluir", "s"),
         "-32602: Simular deve ser \"S\" (só a prévia) ou \"N\" (aplica a importação)."},
    };
    int n = 0;
    for (const Step& step : steps) {
        std::string answer = shown(client, step.method, step.args);
        if (step.method == "SetImportaSugestoes" && answer.ends_with('\n'))
            answer = actions(answer);
        EXPECT_EQ(answer, step.expected) << "step " << ++n;
    }
    // An error quoting a long value is cut to the field the screen loads it into, between
    // characters.
    std::string accents;
    for (int i = 0; i < 1500; ++i) accents += "é";
    const std::string rows =
        shown(client, "SetImportaSugestoes",
              import(kHeader + "0000000001;Manhã;1;1.01.001.0001;" + accents + ";S;;;\r\n",
                     "incluir", "S"));
    const std::string error = rows.substr(0, rows.find('\n'));
    EXPECT_TRUE(error.starts_with("2|5|erro|")) << error;
    EXPECT_EQ(wire::utf8Length(error.substr(error.rfind('|') + 1)),
              static_cast<std::size_t>(wire::column::TXDESCRICAO.size));
    EXPECT_TRUE(error.ends_with("éé…")) << error;

    EXPECT_EQ(exported(client, ""), kEdited);
    EXPECT_EQ(exported(client, "0000000002"), kHeader + "0000000002;Lanche;2;;;;;;\r\n");

    // The limit of the body is held from the headers: a file past it is never read.
    ASSERT_TRUE(
        client.send("POST /VLP27000.rdmSugestaoProd HTTP/1.1\r\nHost: x\r\n" + kAna +
                    "Content-Length: " + std::to_string(200 * 1024 * 1024 + 1) + "\r\n\r\n" +
                    R"({"jsonrpc":"2.0","id":1,"method":"SetImportaSugestoes","params":[")"));
    auto refused = client.read();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->result_int(), 413);
    EXPECT_NE(refused->body().find("Pedido grande demais: o limite do corpo é 200 MiB."),
              std::string::npos)
        << refused->body();
    EXPECT_EQ(server.stop(SIGTERM), 0);

    // One history row per change applied, each under the caller (the catalogue's, loaded from
    // the command line, under "local").
    ASSERT_EQ(AppServerProcess::runToExit({"history", "--db", db}, &out), 0) << out;
    auto records = parseCsv(out);
    ASSERT_TRUE(records) << out;
    std::string who;
    for (std::size_t i = 1; i < records->size(); ++i)
        who += (*records)[i][1] + ":" + (*records)[i][2] + " ";
    std::string expected;
    for (int i = 0; i < 3; ++i) expected += "local:importação ";
    for (int i = 0; i < 7; ++i) expected += "ana:importação ";
    EXPECT_EQ(who, expected);
}

TEST_F(AppServerProcessTest, SuggestionsExportAndImportOverHttpOnSqlite) {
    exportAndImportOver(db, dir);
}

TEST_F(AppServerProcessTest, SuggestionsExportAndImportOverHttpOnPostgres) {
    if (PostgresSchema::base().empty()) GTEST_SKIP() << "VLP_TEST_PG is not set";
    PostgresSchema schema("vlp_transfer");
    ASSERT_EQ(schema.error(), "");
    exportAndImportOver(schema.url(), dir);
}

}  // namespace
}  // namespace appserver::testing
