// The request handler on byte strings: envelope errors, each method's argument checking,
// in/out write-back and the operation code, against a recording fake store.
#include "rpc/RequestHandler.h"

#include <gtest/gtest.h>

#include "rpc/RdmSugestaoProd.h"
#include "support/FakeStore.h"
#include "wire/ChangeLog.h"
#include "wire/JsonAllocator.h"
#include "wire/Rpc.h"

namespace appserver {
namespace {

using testing::FakeStore;
using wire::Argument;
using wire::ErrorCode;

constexpr std::string_view kPath = "/VLP27000.rdmSugestaoProd";

std::string groupLog() {
    wire::ChangeLog log;
    log.fields = {{"CDGRUSUGESPROD", 10}, {"NMGRUSUGESPROD", 40}, {"NRORDEM", 4}};
    log.changes.push_back({wire::ChangeKind::Insert, {}, {"01", "Bebidas", "1"}});
    return log.toJson();
}

class RequestHandlerTest : public ::testing::Test {
  protected:
    Reply post(std::string_view body) { return handleRequest(store, "POST", kPath, body); }
    Reply call(std::string_view method, std::vector<Argument> args) {
        return post(wire::writeRequest(7, method, args));
    }
    wire::Answer answerOf(const Reply& r) {
        auto a = wire::readAnswer(r.body, 7);
        EXPECT_TRUE(a.isOk()) << r.body;
        return a ? *a : wire::Answer{};
    }
    // "code: message" of a failed call, or "ok".
    std::string outcome(std::string_view method, std::vector<Argument> args) {
        auto a = answerOf(call(method, std::move(args)));
        return a.ok ? "ok" : std::to_string(a.errorCode) + ": " + a.errorMessage;
    }

    FakeStore::Script script;
    FakeStore store{script};
};

TEST_F(RequestHandlerTest, RefusesOtherPathsAndVerbs) {
    auto r = handleRequest(store, "POST", "/VLP99999.outro", "{}");
    EXPECT_EQ(r.status, 404u);
    EXPECT_NE(r.body.find("-32601"), std::string::npos);
    EXPECT_NE(r.body.find("Módulo VLP99999.outro não encontrado."), std::string::npos);

    // Control characters and invalid bytes from the target never reach the answer raw.
    r = handleRequest(store, "POST", "/a\x01\xff", "{}");
    EXPECT_EQ(r.status, 404u);
    EXPECT_TRUE(wire::isValidUtf8(r.body));
    EXPECT_NE(r.body.find("Módulo a?? não encontrado."), std::string::npos);

    r = handleRequest(store, "GET", kPath, "");
    EXPECT_EQ(r.status, 405u);
    EXPECT_EQ(script.callsText(), "");
}

TEST_F(RequestHandlerTest, EnvelopeErrorsUseStandardCodes) {
    EXPECT_EQ(post("{").code, -32700);
    EXPECT_EQ(post("").code, -32700);
    EXPECT_EQ(
        post("{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"GetVerifGrupo\",\"params\":[\"\xff\"]}")
            .code,
        -32700);
    EXPECT_EQ(post("{\"jsonrpc\":\"2.0\",\"id\":7}").code, -32600);
    EXPECT_EQ(post("\"texto\"").code, -32600);
    EXPECT_EQ(
        post("{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"GetVerifGrupo\",\"params\":[1]}").code,
        -32602);
    EXPECT_EQ(
        post("{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"GetVerifGrupo\",\"params\":{\"a\":\"1\"}}")
            .code,
        -32602);
    EXPECT_EQ(script.callsText(), "");
}

TEST_F(RequestHandlerTest, DeepNestingIsRefusedWithBoundedWork) {
    std::string deep(500'000, '[');
    auto r = post("{\"jsonrpc\":\"2.0\",\"id\":7,\"method\":\"GetVerifGrupo\",\"params\":" + deep);
    EXPECT_NE(r.code, 0);
    deep.assign(500'000, '{');
    EXPECT_NE(post(deep).code, 0);
    EXPECT_EQ(script.callsText(), "");
}

TEST_F(RequestHandlerTest, BatchesAreRefusedAndNotificationsRunNothing) {
    auto r = post("[{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"GetGrupSegProd\",\"params\":[]}]");
    EXPECT_EQ(r.code, -32600);
    EXPECT_NE(r.body.find("Lotes não são aceitos."), std::string::npos);
    EXPECT_EQ(post("[1,]").code, -32700);  // not JSON: no batch at all

    r = post("{\"jsonrpc\":\"2.0\",\"method\":\"SetGrupSegProd\",\"params\":[{\"packet\":" +
             groupLog() + "}]}");
    EXPECT_EQ(r.status, 204u);
    EXPECT_TRUE(r.body.empty());
    EXPECT_TRUE(r.notification);
    EXPECT_EQ(script.callsText(), "");
}

TEST_F(RequestHandlerTest, UnknownMethodAndDescribe) {
    EXPECT_EQ(outcome("Apagar", {}), "-32601: Método Apagar não encontrado.");

    auto r = call("rpc.describe", {});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.body.find("\"module\":\"VLP27000.rdmSugestaoProd\""), std::string::npos);
    for (auto& m : rdmSugestaoProd())
        EXPECT_NE(r.body.find(std::string(m.name)), std::string::npos);
    EXPECT_EQ(rdmSugestaoProd().size(), 21u);
    EXPECT_EQ(outcome("rpc.describe", {Argument::text("x")}).substr(0, 6), "-32602");
}

TEST_F(RequestHandlerTest, EachMethodReachesItsStoreCallWithArgumentsInOrder) {
    auto T = Argument::text;
    auto IO = Argument::inOut;
    auto P = Argument::packet;
    EXPECT_EQ(outcome("GetGrupSegProd", {}), "ok");
    EXPECT_EQ(outcome("SetGrupSegProd", {P(groupLog())}), "ok");
    EXPECT_EQ(outcome("GetVerifGrupo", {T("01")}), "ok");
    EXPECT_EQ(outcome("GetNmGrupo", {T("Bebidas")}), "ok");
    EXPECT_EQ(outcome("GetVerifOrd", {T("1")}), "ok");
    EXPECT_EQ(outcome("GetArvProd", {T("01")}), "ok");
    EXPECT_EQ(outcome("GetPesqProdPrinc", {}), "ok");
    EXPECT_EQ(outcome("GetVerifProduto", {IO("a.1")}), "ok");
    EXPECT_EQ(outcome("GetVdProdPrinc", {T("01"), IO("a.1")}), "ok");
    EXPECT_EQ(outcome("SetArvProd", {IO("I"), P(groupLog())}), "ok");
    EXPECT_EQ(outcome("GetProdRelac", {T("01"), T("P1")}), "ok");
    EXPECT_EQ(outcome("GetPesqProd", {T("P1"), T("01")}), "ok");
    EXPECT_EQ(outcome("GetVdProduto", {T("01"), T("P1"), IO("b.2")}), "ok");
    EXPECT_EQ(outcome("SetProdRelac", {IO("D"), P(groupLog())}), "ok");
    EXPECT_EQ(outcome("GetOndeUsado", {T("P1")}), "ok");
    EXPECT_EQ(outcome("SetSubstituiProduto", {T("P1"), T("P2"), T("S")}), "ok");
    EXPECT_EQ(outcome("GetHistorico", {T("01"), T(""), T("9")}), "ok");
    EXPECT_EQ(outcome("SetDesfazGravacao", {T("7"), T("N")}), "ok");
    EXPECT_EQ(outcome("SetCopiaGrupo", {T("01"), T("02"), T("Cópia"), T("3")}), "ok");
    EXPECT_EQ(script.callsText(),
              "groups()\napplyGroups(1,local,SetGrupSegProd,)\ngroupsByCode(01)\n"
              "groupsByName(Bebidas)\ngroupsByOrder(1)\nmainProducts(01)\nallProducts()\n"
              "productByTreeCode(A.1)\nmainProductRows(01,A.1)\n"
              "applyMainProducts(1,local,SetArvProd,I)\nrelatedProducts(01,P1)\n"
              "candidates(P1,01)\nrelatedRows(01,P1,B.2)\n"
              "applyRelatedProducts(1,local,SetProdRelac,D)\n"
              "whereUsed(P1)\nreplaceProduct(P1,P2,S,local)\nhistoryPage(01,,9)\n"
              "undoSave(7,N,local)\ncopyGroup(01,02,Cópia,3,local)\n");
}

// The connection passes the signed-in user; each write hands it to the store for the history.
TEST_F(RequestHandlerTest, TheSignedInUserReachesEveryWrite) {
    const auto P = Argument::packet;
    const auto IO = Argument::inOut;
    const std::pair<std::string_view, std::vector<Argument>> writes[] = {
        {"SetGrupSegProd", {P(groupLog())}},
        {"SetArvProd", {IO("E"), P(groupLog())}},
        {"SetProdRelac", {Argument::text("D"), P(groupLog())}},
    };
    for (const auto& [method, args] : writes) {
        auto r = handleRequest(store, "POST", kPath, wire::writeRequest(7, method, args), "ana.s");
        EXPECT_EQ(r.code, 0) << method << ": " << r.body;
    }
    EXPECT_EQ(script.callsText(),
              "applyGroups(1,ana.s,SetGrupSegProd,)\napplyMainProducts(1,ana.s,SetArvProd,E)\n"
              "applyRelatedProducts(1,ana.s,SetProdRelac,D)\n");
}

TEST_F(RequestHandlerTest, WrongCountOrKindIsRefusedBeforeTheStore) {
    auto T = Argument::text;
    auto IO = Argument::inOut;
    EXPECT_EQ(outcome("GetVerifGrupo", {}), "-32602: GetVerifGrupo espera 1 argumento, recebeu 0.");
    EXPECT_EQ(outcome("GetProdRelac", {T("01")}),
              "-32602: GetProdRelac espera 2 argumentos, recebeu 1.");
    EXPECT_EQ(outcome("GetGrupSegProd", {T("x")}),
              "-32602: GetGrupSegProd espera 0 argumentos, recebeu 1.");
    EXPECT_EQ(outcome("GetVerifProduto", {T("a.1")}),
              "-32602: O argumento 1 de GetVerifProduto deve ser texto de entrada e saída "
              "({\"inout\":...}).");
    EXPECT_EQ(outcome("GetVerifGrupo", {IO("01")}),
              "-32602: O argumento 1 de GetVerifGrupo deve ser texto.");
    EXPECT_EQ(outcome("SetGrupSegProd", {T("{}")}),
              "-32602: O argumento 1 de SetGrupSegProd deve ser pacote de alterações "
              "({\"packet\":...}).");
    EXPECT_EQ(outcome("SetArvProd", {Argument::packet(groupLog()), Argument::packet(groupLog())}),
              "-32602: O argumento 1 de SetArvProd deve ser texto ou texto de entrada e saída "
              "({\"inout\":...}).");
    EXPECT_EQ(outcome("SetProdRelac", {IO("I"), T("{}")}).substr(0, 6), "-32602");
    EXPECT_EQ(script.callsText(), "");
}

TEST_F(RequestHandlerTest, TextsLongerThanTheirFieldAreRefused) {
    auto T = Argument::text;
    auto IO = Argument::inOut;
    const std::string c11(11, 'x'), c21(21, 'x');
    EXPECT_EQ(outcome("GetVerifGrupo", {T(c11)}), "-32003: Código do grupo excede 10 caracteres.");
    EXPECT_EQ(outcome("GetNmGrupo", {T(std::string(41, 'n'))}),
              "-32003: Nome do grupo excede 40 caracteres.");
    EXPECT_EQ(outcome("GetVerifOrd", {T("12345")}), "-32003: Ordem excede 4 caracteres.");
    EXPECT_EQ(outcome("GetArvProd", {T(c11)}), "-32003: Código do grupo excede 10 caracteres.");
    EXPECT_EQ(outcome("GetVerifProduto", {IO(c21)}),
              "-32003: Código do produto na árvore excede 20 caracteres.");
    EXPECT_EQ(outcome("GetVdProdPrinc", {T("01"), IO(c21)}),
              "-32003: Código do produto na árvore excede 20 caracteres.");
    EXPECT_EQ(outcome("GetProdRelac", {T("01"), T(c11)}),
              "-32003: Código do produto principal excede 10 caracteres.");
    EXPECT_EQ(outcome("GetPesqProd", {T("P1"), T(c11)}),
              "-32003: Código do grupo excede 10 caracteres.");
    EXPECT_EQ(outcome("GetVdProduto", {T("01"), T("P1"), IO(c21)}),
              "-32003: Código do produto na árvore excede 20 caracteres.");
    // Sizes count characters, not bytes: ten accented letters fit a code of 10.
    std::string accented;
    for (int i = 0; i < 10; ++i) accented += "é";
    EXPECT_EQ(outcome("GetVerifGrupo", {T(accented)}), "ok");
    EXPECT_EQ(script.callsText(), "groupsByCode(" + accented + ")\n");
}

TEST_F(RequestHandlerTest, TextsPastFourBytesACharacterAreRefusedWhileRead) {
    auto T = Argument::text;
    auto IO = Argument::inOut;
    struct Case {
        std::string method;
        std::vector<Argument> args;
        std::string outcome;
    };
    const Case cases[] = {
        {"GetNmGrupo",
         {T(std::string(161, 'n'))},
         "-32602: Parâmetros inválidos: o argumento 1 excede 40 caracteres, o maior texto que "
         "GetNmGrupo aceita."},
        {"GetVdProduto",
         {T("01"), T("P1"), IO(std::string(81, 'a'))},
         "-32602: Parâmetros inválidos: o argumento 3 excede 20 caracteres, o maior texto que "
         "GetVdProduto aceita."},
        // The longest argument sets the bound; each field's own size is checked afterwards.
        {"GetVdProduto",
         {T(std::string(80, 'c')), T("P1"), IO("A")},
         "-32003: Código do grupo excede 10 caracteres."},
        {"SetArvProd",
         {T("IEIEI"), Argument::packet(groupLog())},
         "-32602: Parâmetros inválidos: o argumento 1 excede 1 caracteres, o maior texto que "
         "SetArvProd aceita."},
    };
    for (const auto& c : cases) EXPECT_EQ(outcome(c.method, c.args), c.outcome) << c.method;
    EXPECT_EQ(script.callsText(), "");
}

TEST_F(RequestHandlerTest, InOutValuesComeBackAndReadsCarryTheirPacket) {
    auto a = answerOf(call("GetVdProduto",
                           {Argument::text("01"), Argument::text("P1"), Argument::inOut("ab.1")}));
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.out, std::vector<std::string>{"AB.1"});
    EXPECT_NE(a.payload.find("CDPRODUTO"), std::string::npos);

    a = answerOf(call("SetProdRelac", {Argument::inOut("E"), Argument::packet(groupLog())}));
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.out, std::vector<std::string>{"E"});
    EXPECT_TRUE(a.payload.empty());  // writes answer a null payload
}

// The screen sends its pending code in/out after a post and the literal "D" as plain text after
// a delete; either kind is accepted and only an in/out code comes back in "out".
TEST_F(RequestHandlerTest, OperationCodeComesInOutOrAsPlainText) {
    struct Case {
        Argument op;
        std::vector<std::string> out;
    };
    const Case cases[] = {
        {Argument::text("D"), {}},     {Argument::inOut("I"), {"I"}}, {Argument::inOut("E"), {"E"}},
        {Argument::inOut("D"), {"D"}}, {Argument::text("I"), {}},     {Argument::text("E"), {}},
    };
    struct Method {
        std::string_view name, storeCall;
    };
    std::string expected;
    for (Method m : {Method{"SetArvProd", "applyMainProducts"},
                     Method{"SetProdRelac", "applyRelatedProducts"}}) {
        for (const Case& c : cases) {
            auto a = answerOf(call(m.name, {c.op, Argument::packet(groupLog())}));
            EXPECT_TRUE(a.ok) << m.name << " " << c.op.value << ": " << a.errorMessage;
            EXPECT_EQ(a.out, c.out) << m.name << " " << c.op.value;
            EXPECT_TRUE(a.payload.empty());
            // The history gets the code the call carried.
            expected += std::string(m.storeCall) + "(1,local," + std::string(m.name) + "," +
                        c.op.value + ")\n";
        }
    }
    EXPECT_EQ(script.callsText(), expected);
}

TEST_F(RequestHandlerTest, OperationCodeMustBeIEOrD) {
    const std::string refused =
        "-32602: Código de operação inválido: use \"I\" (inclusão), \"E\" (edição) ou \"D\" "
        "(exclusão).";
    for (std::string_view method : {"SetArvProd", "SetProdRelac"}) {
        for (std::string op : {"", "X", "i", "d", "II", " D", "D "}) {
            EXPECT_EQ(outcome(method, {Argument::inOut(op), Argument::packet(groupLog())}), refused)
                << method << " in/out [" << op << "]";
            EXPECT_EQ(outcome(method, {Argument::text(op), Argument::packet(groupLog())}), refused)
                << method << " text [" << op << "]";
        }
    }
    EXPECT_EQ(script.callsText(), "");
}

TEST_F(RequestHandlerTest, BadChangeLogAndStoreRefusalsTravelAsErrors) {
    auto a = answerOf(call("SetGrupSegProd", {Argument::packet("{\"fields\":1}")}));
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(script.callsText(), "");

    script.failWith = {ErrorCode::Refused, "Código já cadastrado."};
    EXPECT_EQ(outcome("SetGrupSegProd", {Argument::packet(groupLog())}),
              "-32000: Código já cadastrado.");
    // A failed read answers no partial packet.
    auto r = call("GetGrupSegProd", {});
    EXPECT_EQ(r.code, -32000);
    EXPECT_EQ(r.body.find("CDGRUSUGESPROD"), std::string::npos);
}

}  // namespace
}  // namespace appserver

namespace appserver {
namespace {

TEST_F(RequestHandlerTest, ExhaustedMemoryRefusesThatRequestAndTheNextIsServed) {
    // A member the reader skips may hold a text up to the general bound.
    const std::string body = R"({"jsonrpc":"2.0","id":7,"method":"GetNmGrupo","x":")" +
                             std::string(24 * 1024, 'n') + R"(","params":["Bebidas"]})";
    wire::JsonAllocator::failFrom(16 * 1024);
    Reply reply = post(body);
    wire::JsonAllocator::failFrom(SIZE_MAX);
    auto refused = answerOf(reply);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.errorCode, -32603);
    EXPECT_EQ(refused.errorMessage, kOutOfMemory);
    EXPECT_EQ(script.callsText(), "");
    EXPECT_EQ(outcome("GetNmGrupo", {Argument::text("Bebidas")}), "ok");
}

}  // namespace
}  // namespace appserver

namespace appserver {
namespace {

// Only the top-level "method" decides, wherever it stands; a body that names no method is refused
// at once, and a large one is never peeked at.
TEST(AnswersAtOnce, KeyReadsHealthAndRefusalsRunWhereTheyAreRead) {
    const std::string big = R"({"jsonrpc":"2.0","id":1,"method":"GetVerifGrupo","params":[")" +
                            std::string(20000, 'a') + R"("]})";
    // The body is owned: a view of the temporary std::string(200, '[') would dangle.
    const struct {
        std::string_view target;
        std::string body;
        bool atOnce;
    } cases[] = {
        {"/health", "", true},
        {"/health?x=1", "", true},
        {kPath, R"({"jsonrpc":"2.0","id":1,"method":"GetVerifGrupo","params":["01"]})", true},
        {kPath, R"({"jsonrpc":"2.0","id":1,"method":"GetVdProduto","params":[]})", true},
        {kPath, R"({"jsonrpc":"2.0","id":1,"method":"GetPesqProdPrinc","params":[]})", false},
        {kPath, R"({"params":["x"],"id":1,"jsonrpc":"2.0","method":"GetArvProd"})", false},
        {kPath, R"({"params":[{"method":"GetVerifGrupo"}],"method":"SetGrupSegProd"})", false},
        {kPath, R"({"id":{"method":"GetPesqProd"},"method":"GetVerifOrd"})", true},
        {kPath, R"({"method":"Desconhecido"})", true},
        {kPath, R"({"method":1,"params":[]})", true},
        {kPath, "[1,2", true},
        {kPath, std::string(200, '['), true},
        {kPath, big, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(answersAtOnce(c.target, c.body), c.atOnce) << c.target << " " << c.body;
}

}  // namespace
}  // namespace appserver
