// The CSV subcommands through the real program: a catalogue and suggestions loaded from files,
// exported back to the same bytes, a dry run and a file with an error changing nothing.
#include <fstream>
#include <sstream>

#include "AppServerProcessFixture.h"
#include "support/AppServerProcess.h"

namespace appserver::testing {
namespace {

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string kProducts =
    "produto;arvore;nome\r\n"
    "0000000001;1.01.001.0001;Café\r\n"
    "0000000002;1.01.001.0002;\"Pão; francês\"\r\n"
    "0000000003;1.01.001.0003;'=Leite\r\n";

const std::string kSuggestions =
    "grupo;nome_grupo;ordem;principal;quant_principal;total_principal;relacionado;"
    "quant_relacionado;total_relacionado\r\n"
    "0000000001;Café da Manhã;1;1.01.001.0001;N;S;1.01.001.0002;S;S\r\n"
    "0000000001;Café da Manhã;1;1.01.001.0001;N;S;1.01.001.0003;N;N\r\n"
    "0000000002;Lanche;2;;;;;;\r\n";

TEST_F(AppServerProcessTest, CsvFilesLoadExportBackAndAnErrorChangesNothing) {
    writeFile(dir / "produtos.csv", "\xEF\xBB\xBF" + kProducts);
    writeFile(dir / "sugestoes.csv", kSuggestions);
    std::string out;
    ASSERT_EQ(AppServerProcess::runToExit(
                  {"products", "import", (dir / "produtos.csv").string(), "--db", db}, &out),
              0)
        << out;
    EXPECT_EQ(
        out.substr(out.find("incluir: ")),
        "incluir: 3; alterar: 0; excluir: 0; sem mudança: 0; erros: 0\nimportação aplicada\n");

    ASSERT_EQ(AppServerProcess::runToExit(
                  {"import", (dir / "sugestoes.csv").string(), "--db", db, "--dry-run"}, &out),
              0)
        << out;
    EXPECT_NE(out.find("incluir: 5; alterar: 0; excluir: 0; sem mudança: 0; erros: 0\n"
                       "simulação: nada foi alterado\n"),
              std::string::npos)
        << out;
    ASSERT_EQ(AppServerProcess::runToExit(
                  {"import", (dir / "sugestoes.csv").string(), "--db", db, "--user", "ana"}, &out),
              0)
        << out;

    ASSERT_EQ(AppServerProcess::runToExit(
                  {"export", "--db", db, "--output", (dir / "volta.csv").string()}, &out),
              0)
        << out;
    EXPECT_EQ(readFile(dir / "volta.csv"), kSuggestions);
    ASSERT_EQ(AppServerProcess::runToExit({"products", "export", "--db", db}, &out), 0) << out;
    EXPECT_EQ(out, kProducts);

    writeFile(dir / "erro.csv", kSuggestions + "0000000003;Jantar;3;9.9;N;S;;;\r\n");
    EXPECT_EQ(
        AppServerProcess::runToExit(
            {"import", (dir / "erro.csv").string(), "--db", db, "--mode", "substituir"}, &out),
        1);
    EXPECT_NE(out.find("linha 5, coluna 4: erro: produto 9.9 não cadastrado\n"), std::string::npos)
        << out;
    EXPECT_NE(out.find("nada foi alterado"), std::string::npos) << out;
    EXPECT_EQ(sqliteValue(dir / "vlp.sqlite", "SELECT count(*) FROM GRUSUGESPROD"), "2");
    EXPECT_EQ(sqliteValue(dir / "vlp.sqlite",
                          "SELECT count(*) FROM history WHERE user_name = 'ana' "
                          "AND method = 'importação'"),
              "5");
    EXPECT_EQ(AppServerProcess::runToExit({"import", "--db", db}, &out), 2);
}

}  // namespace
}  // namespace appserver::testing
