// The real HTTP server in-process on an ephemeral loopback port, over a fake store: what a client
// sends through the socket, well-formed or not, and what of it reaches the log.
#include <gtest/gtest.h>

#include <thread>

#include "ServerFixture.h"
#include "auth/PasswordHash.h"
#include "wire/Rpc.h"

namespace appserver::testing {
namespace {

using namespace std::chrono_literals;

const std::string& kGroups = kGroupsCall;

TEST_F(HttpServerTest, KeepAliveConnectionServesSuccessiveCallsAndLogsEach) {
    startServerLogging();
    HttpTestClient c(port);
    for (int i = 0; i < 3; ++i) {
        auto r = c.post(kGroups);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->result_int(), 200);
        EXPECT_TRUE(r->keep_alive());
        EXPECT_EQ(codeOf(r), 0);
    }
    auto r = c.post(R"({"jsonrpc":"2.0","id":1,"method":"GetVerifGrupo","params":[]})");
    EXPECT_EQ(codeOf(r), -32602);
    std::string logText = stopAndTakeLog();
    EXPECT_NE(logText.find(" GetGrupSegProd "), std::string::npos) << logText;
    EXPECT_NE(logText.find(" ms ok\n"), std::string::npos) << logText;
    EXPECT_NE(logText.find(" GetVerifGrupo "), std::string::npos) << logText;
    EXPECT_NE(logText.find(" ms erro -32602\n"), std::string::npos) << logText;
}

TEST_F(HttpServerTest, HealthFollowsTheStoreOnOneKeepAliveConnectionAndStaysOutOfTheLog) {
    startServerLogging();
    HttpTestClient c(port);
    auto r = c.request("GET", "/health");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 200);
    EXPECT_TRUE(r->keep_alive());
    EXPECT_EQ((*r)[boost::beast::http::field::content_type], "application/json; charset=utf-8");
    EXPECT_NE(r->body().find(R"("status":"ok","store":"ok")"), std::string::npos) << r->body();

    script.failWith = {wire::ErrorCode::Unavailable,
                       "A conexão com o banco de dados foi perdida. Tente novamente."};
    r = c.request("GET", "/health");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 503);
    EXPECT_NE(r->body().find(R"("status":"indisponivel")"), std::string::npos) << r->body();
    EXPECT_NE(r->body().find("foi perdida"), std::string::npos) << r->body();

    script.failWith = {};
    r = c.request("GET", "/health");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 200);
    EXPECT_EQ(script.callsText(), "ping()\nping()\nping()\n");

    std::string logText = stopAndTakeLog();
    EXPECT_EQ(logText.find(" erro "), std::string::npos) << logText;
    EXPECT_EQ(logText.find("health"), std::string::npos) << logText;
}

// /health needs no sign-in, so it is answered from its headers alone: another verb or a body is
// refused at once, without 100 Continue, and the connection closes. Uploads to it from other hosts
// never hold the body budget that signed-in calls need.
TEST_F(HttpServerTest, HealthIsAnsweredFromItsHeadersAndNeverHoldsTheBodyBudget) {
    options.bodyBudgetBytes = 2 * 1024 * 1024;
    script.users["ana"] = {hashPassword("certa"), true};
    startServer();
    const std::string big = "Content-Length: " + std::to_string(options.maxBodyBytes) + "\r\n";
    const struct {
        std::string source, head;
        unsigned status;
    } cases[] = {
        {"127.0.0.2", "POST /health HTTP/1.1\r\n" + big + "Expect: 100-continue\r\n", 405},
        {"127.0.0.3", "POST /health HTTP/1.1\r\n" + big, 405},
        {"127.0.0.4", "PUT /health?x=1 HTTP/1.1\r\nTransfer-Encoding: chunked\r\n", 405},
        {"127.0.0.2", "HEAD /health HTTP/1.1\r\n", 405},
        {"127.0.0.3", "GET /health HTTP/1.1\r\n" + big + "Expect: 100-continue\r\n", 400},
        {"127.0.0.4", "GET /health HTTP/1.1\r\nTransfer-Encoding: chunked\r\n", 400},
        {"127.0.0.2", "GET /health HTTP/1.1\r\nContent-Length: 0\r\n", 200},
    };
    std::vector<std::unique_ptr<HttpTestClient>> uploads;
    for (const auto& c : cases) {
        uploads.push_back(std::make_unique<HttpTestClient>(port, c.source));
        HttpTestClient& upload = *uploads.back();
        ASSERT_TRUE(upload.send(c.head + "Host: x\r\n\r\n")) << c.head;
        auto r = upload.read();
        ASSERT_TRUE(r) << c.head;
        EXPECT_EQ(r->result_int(), c.status) << c.head;
        EXPECT_EQ((*r)[boost::beast::http::field::allow], c.status == 405 ? "GET" : "") << c.head;
        if (c.status != 200) {
            EXPECT_FALSE(r->keep_alive()) << c.head;
            upload.send(std::string(64 * 1024, ' '));  // the body it announced, too late
            EXPECT_TRUE(upload.closedWithin(3s)) << c.head;
        }
    }
    const std::string body = kGroups + std::string(options.maxBodyBytes - kGroups.size(), ' ');
    EXPECT_EQ(codeOf(HttpTestClient(port).post(body, testing::basicAuthorization("ana", "certa"))),
              0);
}

TEST_F(HttpServerTest, BadBodiesGetJsonRpcErrorsAndTheConnectionStaysUsable) {
    startServer();
    HttpTestClient c(port);
    EXPECT_EQ(codeOf(c.post("{\"jsonrpc\":")), -32700);
    EXPECT_EQ(
        codeOf(c.post(
            "{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"GetNmGrupo\",\"params\":[\"\xc3\x28\"]}")),
        -32700);
    EXPECT_LT(codeOf(c.post(R"({"jsonrpc":"2.0","id":1,"method":"GetNmGrupo","params":)" +
                            std::string(500'000, '['))),
              -32000);
    EXPECT_EQ(
        codeOf(c.post(R"({"jsonrpc":"2.0","id":1,"method":"GetNmGrupo","params":[{"a":1}]})")),
        -32602);
    auto note = c.post(R"({"jsonrpc":"2.0","method":"GetGrupSegProd","params":[]})");
    ASSERT_TRUE(note);
    EXPECT_EQ(note->result_int(), 204);
    EXPECT_TRUE(note->body().empty());
    EXPECT_EQ(codeOf(c.post(kGroups)), 0);
    EXPECT_EQ(script.callsText(), "groups()\n");

    HttpTestClient other(port);
    other.send("POST /VLP27000.outro HTTP/1.1\r\nContent-Length: 2\r\n\r\n{}");
    auto r = other.read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 404);
    EXPECT_NE(r->body().find("Módulo VLP27000.outro não encontrado."), std::string::npos);
}

// Whatever its first character, a body that is not JSON is a parse error; only an array that is
// JSON throughout is refused as a batch.
TEST_F(HttpServerTest, ABodyThatIsNotJsonIsAParseErrorAndOnlyAWellFormedArrayIsABatch) {
    startServer();
    const struct {
        std::string body;
        int code;
    } cases[] = {
        {"[1,]", -32700},
        {"[", -32700},
        {"[1 true]", -32700},
        {"[" + kGroups + "] x", -32700},
        {"[\"\xff\"]", -32700},
        {"{", -32700},
        {"nul", -32700},
        {"\"", -32700},
        {"\xEF\xBB\xBF" + kGroups, -32700},
        {"\xc3\x28", -32700},
        {"", -32700},
        {"[]", -32600},
        {R"([{"jsonrpc":"2.0"}])", -32600},
        {" \r\n[" + kGroups + "]", -32600},
    };
    HttpTestClient c(port);
    for (const auto& k : cases) {
        auto r = c.post(k.body);
        ASSERT_TRUE(r) << k.body;
        EXPECT_EQ(r->result_int(), 200) << k.body;
        EXPECT_EQ(codeOf(r), k.code) << k.body << " -> " << r->body();
        EXPECT_NE(r->body().find(R"("id":null)"), std::string::npos) << r->body();
        EXPECT_EQ(r->body().find("Lotes não são aceitos.") != std::string::npos, k.code == -32600)
            << r->body();
    }
    EXPECT_EQ(script.callsText(), "");
}

TEST_F(HttpServerTest, ExpectContinueIsAnsweredBeforeTheBody) {
    startServer();
    HttpTestClient c(port);
    auto request = testing::postRequest(kGroups, "Expect: 100-continue\r\n");
    auto headersEnd = request.find("\r\n\r\n") + 4;
    ASSERT_TRUE(c.send(request.substr(0, headersEnd)));
    auto go = c.read();
    ASSERT_TRUE(go);
    EXPECT_EQ(go->result_int(), 100);
    ASSERT_TRUE(c.send(request.substr(headersEnd)));
    EXPECT_EQ(codeOf(c.read()), 0);
    EXPECT_EQ(codeOf(c.post(kGroups)), 0);  // and the connection goes on
}

TEST_F(HttpServerTest, OversizedBodyIsRefusedBeforeItIsSent) {
    startServer();
    HttpTestClient c(port);
    // Only the headers go out: the refusal must come without the server waiting for the body.
    c.send(
        "POST /VLP27000.rdmSugestaoProd HTTP/1.1\r\nHost: x\r\n"
        "Content-Length: 10000000000\r\n\r\n");
    auto r = c.read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 413);
    EXPECT_EQ(codeOf(r), -32003);
    EXPECT_TRUE(c.closedWithin(3s));

    // A chunked body is cut off once it passes the limit.
    HttpTestClient chunked(port);
    chunked.send("POST /VLP27000.rdmSugestaoProd HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n");
    std::string chunk = "100000\r\n" + std::string(0x100000, 'a') + "\r\n";
    bool refused = false;
    for (int i = 0; i < 4 && !refused; ++i) refused = !chunked.send(chunk);
    r = chunked.read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 413);
    EXPECT_TRUE(stillServes());
    EXPECT_EQ(script.callsText(), "groups()\n");
}

// Names a client chooses reach the log with their controls and format characters escaped: a
// refused user name and an unknown method alike, so neither can forge or disguise a line.
TEST_F(HttpServerTest, TextAClientChoseReachesTheLogEscaped) {
    script.users["ana"] = {hashPassword("certa"), true};
    startServerLogging();
    {
        const std::string forged =
            "ana\xc2\x85"
            "2026-05-04T10h15Z forjada\xe2\x80\xa8\xe2\x80\xae\xe2\x81\xa6";
        HttpTestClient refused(port);
        EXPECT_EQ(codeOf(refused.post(kGroups, testing::basicAuthorization(forged, "errada"))),
                  -32005);
        HttpTestClient signedIn(port);
        EXPECT_EQ(codeOf(signedIn.post(R"({"jsonrpc":"2.0","id":1,"method":"Get\u2029\u202eX"})",
                                       testing::basicAuthorization("ana", "certa"))),
                  -32601);
    }
    const std::string logText = stopAndTakeLog();
    EXPECT_NE(logText.find("(usuário ana\\u{85}2026-05-04T10h15Z "
                           "forjada\\u{2028}\\u{202e}\\u{2066}): Usuário ou senha incorretos.\n"),
              std::string::npos)
        << logText;
    EXPECT_NE(logText.find(" Get\\u{2029}\\u{202e}X "), std::string::npos) << logText;
    for (std::string_view raw :
         {"\xc2\x85", "\xe2\x80\xa8", "\xe2\x80\xa9", "\xe2\x80\xae", "\xe2\x81\xa6"})
        EXPECT_EQ(logText.find(raw), std::string::npos) << logText;
}

TEST_F(HttpServerTest, HugeHeaderLineIsCutOffAndTruncatedBodyRunsNothing) {
    startServer();
    HttpTestClient c(port);
    c.send("POST /VLP27000.rdmSugestaoProd HTTP/1.1\r\nX-Big: ");
    const std::string block(64 * 1024, 'h');
    for (int i = 0; i < 64; ++i)  // 4 MiB with no newline; the server stops reading long before
        if (!c.send(block)) break;
    auto r = c.read();
    if (r) {
        EXPECT_EQ(r->result_int(), 431);
    }
    EXPECT_TRUE(c.closedWithin(3s));

    HttpTestClient t(port);
    t.send("POST /VLP27000.rdmSugestaoProd HTTP/1.1\r\nContent-Length: 100\r\n\r\n" +
           kGroups.substr(0, 20));
    t.shutdownSend();
    EXPECT_TRUE(t.closedWithin(3s));
    EXPECT_TRUE(stillServes());
    EXPECT_EQ(script.callsText(), "groups()\n");
}

// Each text argument is held to its column's size through the socket, with the words the user
// reads; nothing reaches the store.
TEST_F(HttpServerTest, ATextLongerThanItsColumnIsRefusedNamingItAndItsSize) {
    startServer();
    HttpTestClient c(port);
    const std::string c10(10, '1'), c11(11, '1'), t21(21, '1');
    const struct {
        std::string method, params, message;
    } cases[] = {
        {"GetVerifGrupo", "[\"" + c11 + "\"]", "Código do grupo excede 10 caracteres."},
        {"GetNmGrupo", "[\"" + std::string(41, 'a') + "\"]", "Nome do grupo excede 40 caracteres."},
        {"GetVerifOrd", R"(["12345"])", "Ordem excede 4 caracteres."},
        {"GetVdProdPrinc", "[\"" + c10 + "\",{\"inout\":\"" + t21 + "\"}]",
         "Código do produto na árvore excede 20 caracteres."},
        {"GetProdRelac", "[\"" + c10 + "\",\"" + c11 + "\"]",
         "Código do produto principal excede 10 caracteres."},
        {"GetExportaSugestoes", "[\"" + c11 + "\"]", "Código do grupo excede 10 caracteres."},
    };
    for (const auto& k : cases) {
        auto r = c.post(R"({"jsonrpc":"2.0","id":1,"method":")" + k.method + R"(","params":)" +
                        k.params + "}");
        ASSERT_TRUE(r) << k.method;
        EXPECT_EQ(codeOf(r), -32003) << k.method << ": " << r->body();
        EXPECT_NE(r->body().find(k.message), std::string::npos) << k.method << ": " << r->body();
    }
    EXPECT_EQ(script.callsText(), "");
}

}  // namespace
}  // namespace appserver::testing
