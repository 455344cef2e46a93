// The real HTTP server in-process on an ephemeral loopback port, over a fake store: bad input
// through the socket, the limits, idle clients and a graceful stop.
#include <gtest/gtest.h>

#include <thread>

#include "ServerFixture.h"
#include "auth/PasswordHash.h"
#include "wire/Rpc.h"

namespace appserver {
namespace {

using namespace std::chrono_literals;
using testing::HttpTestClient;

const std::string& kGroups = testing::kGroupsCall;

class HttpServerTest : public testing::ServerFixture {};

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

// Every connection shares one I/O loop here: a call that waits on the store must leave the others
// served while it runs.
TEST_F(HttpServerTest, ALongCallHoldsOnlyItsWorkerNotTheConnectionsBesideIt) {
    options.ioThreads = 1;
    options.workers = 2;
    script.delay = 1500ms;
    script.delayedCall = "allProducts";
    startServer();
    HttpTestClient slow(port);
    ASSERT_TRUE(slow.send(testing::postRequest(
        R"({"jsonrpc":"2.0","id":1,"method":"GetPesqProdPrinc","params":[]})")));
    for (int i = 0; i < 200 && script.running == 0; ++i) std::this_thread::sleep_for(5ms);
    ASSERT_EQ(script.running, 1);
    std::vector<std::unique_ptr<HttpTestClient>> others;
    for (int i = 0; i < 4; ++i) {
        others.push_back(std::make_unique<HttpTestClient>(port));
        for (int call = 0; call < 3; ++call) EXPECT_EQ(codeOf(others.back()->post(kGroups)), 0);
    }
    EXPECT_EQ(script.running, 1) << "the quick calls waited for the long one";
    EXPECT_EQ(codeOf(slow.read()), 0);
}

// The budget holds the bodies being read and called, whatever their connection: beyond it a
// request is told to retry before its body is read, while small calls go on being answered.
TEST_F(HttpServerTest, BodiesBeyondTheBudgetAreToldToRetryAndTheBudgetComesBack) {
    options.bodyBudgetBytes = 2 * 1024 * 1024;
    startServer();
    const std::string head =
        "POST /VLP27000.rdmSugestaoProd HTTP/1.1\r\nHost: x\r\nContent-Length: 819200\r\n";
    auto expectRetry = [&](HttpTestClient& c, const char* what) {
        auto r = c.read();
        ASSERT_TRUE(r) << what;
        EXPECT_EQ(r->result_int(), 503) << what;
        EXPECT_EQ((*r)[boost::beast::http::field::retry_after], "1") << what;
        EXPECT_EQ(codeOf(r), -32603) << what;
        EXPECT_NE(r->body().find("tente de novo"), std::string::npos) << what;
        EXPECT_TRUE(c.closedWithin(3s)) << what;
    };
    // Two bodies of 800 KiB under way hold 1.6 of the 2 MiB.
    HttpTestClient first(port), second(port);
    ASSERT_TRUE(first.send(head + "\r\n" + std::string(1000, ' ')));
    ASSERT_TRUE(second.send(head + "\r\n"));
    std::this_thread::sleep_for(100ms);

    HttpTestClient third(port), waiting(port), chunked(port);
    third.send(head + "\r\n");
    expectRetry(third, "a third body of known length");
    waiting.send(head + "Expect: 100-continue\r\n\r\n");
    expectRetry(waiting, "a client waiting for 100 Continue");
    chunked.send(
        "POST /VLP27000.rdmSugestaoProd HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n");
    const std::string chunk = "40000\r\n" + std::string(0x40000, ' ') + "\r\n";
    for (int i = 0; i < 8 && chunked.send(chunk); ++i) {
    }
    expectRetry(chunked, "a chunked body growing past what is left");
    EXPECT_TRUE(stillServes());

    // The first body completes and is answered; its share comes back for the next one.
    ASSERT_TRUE(first.send(std::string(819200 - 1000 - kGroups.size(), ' ') + kGroups));
    EXPECT_EQ(codeOf(first.read()), 0);
    HttpTestClient fourth(port);
    ASSERT_TRUE(fourth.send(head + "\r\n" + std::string(819200 - kGroups.size(), ' ') + kGroups));
    EXPECT_EQ(codeOf(fourth.read()), 0);
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

TEST_F(HttpServerTest, SilentClientsAreClosedAfterIdleTimeoutWhileOthersAreServed) {
    startServer();
    HttpTestClient silent1(port), silent2(port);
    ASSERT_TRUE(silent1.connected() && silent2.connected());
    EXPECT_TRUE(stillServes());
    EXPECT_TRUE(silent1.closedWithin(3s));
    EXPECT_TRUE(silent2.closedWithin(1s));
    EXPECT_TRUE(stillServes());
}

// Sends one byte of text per interval until the server refuses them; how long it kept taking
// them, or the whole run when it never refused.
std::chrono::milliseconds tricklesFor(HttpTestClient& c, std::string_view text,
                                      std::chrono::milliseconds interval) {
    auto started = std::chrono::steady_clock::now();
    for (char byte : text) {
        if (!c.send(std::string_view(&byte, 1))) break;
        std::this_thread::sleep_for(interval);
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 started);
}

TEST_F(HttpServerTest, TricklingClientsAreDroppedLongBeforeTheIdleTimeout) {
    options.idleTimeout = 20s;
    options.headerTimeout = 300ms;
    options.minBodyBytesPerSecond = 1000;
    startServer();
    const std::string body(100'000, ' ');
    struct Case {
        const char* what;
        std::string head;  // sent at once
        std::string trickle;
    };
    const Case cases[] = {
        {"headers", "POST /VLP27000.rdmSugestaoProd HTTP/1.1\r\n", std::string(80, 'X')},
        {"body",
         testing::postRequest(body).substr(0, testing::postRequest(body).size() - body.size()),
         std::string(80, ' ')},
    };
    for (const auto& c : cases) {
        HttpTestClient client(port);
        ASSERT_TRUE(client.send(c.head)) << c.what;
        // 20 bytes a second: the connection must go well within the 4 s the trickle would take.
        EXPECT_LT(tricklesFor(client, c.trickle, 50ms), 2500ms) << c.what;
    }
    EXPECT_EQ(script.callsText(), "");
    EXPECT_TRUE(stillServes());
}

TEST_F(HttpServerTest, ALargeUploadThatKeepsMovingOutlastsTheIdleTimeout) {
    options.idleTimeout = 200ms;
    options.headerTimeout = 200ms;
    options.minBodyBytesPerSecond = 1000;
    options.maxBodyBytes = 8 * 1024 * 1024;
    startServer();
    std::string body = kGroups + std::string(2 * 1024 * 1024, ' ');
    std::string request = testing::postRequest(body);
    HttpTestClient c(port);
    // About a second in all, five times the idle timeout, at far more than the minimum rate.
    constexpr std::size_t kSteps = 20;
    const std::size_t step = request.size() / kSteps + 1;
    for (std::size_t at = 0; at < request.size(); at += step) {
        ASSERT_TRUE(c.send(std::string_view(request).substr(at, step))) << at;
        std::this_thread::sleep_for(50ms);
    }
    auto r = c.read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 200);
    EXPECT_EQ(codeOf(r), 0) << r->body();
    EXPECT_EQ(script.callsText(), "groups()\n");
}

TEST_F(HttpServerTest, ConnectionsBeyondTheLimitAreClosedAtOnce) {
    options.idleTimeout = 10s;
    startServer();
    std::vector<std::unique_ptr<HttpTestClient>> open;
    for (std::size_t i = 0; i < options.maxConnections; ++i) {
        open.push_back(std::make_unique<HttpTestClient>(port));
        ASSERT_TRUE(open.back()->post(kGroups));  // the server has registered it
    }
    HttpTestClient extra(port);
    EXPECT_TRUE(extra.closedWithin(2s));
    open.pop_back();
    for (int i = 0; i < 50 && server->openConnections() >= options.maxConnections; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(stillServes());
}

// One host polling /health on keep-alive connections can take only its own share of the slots:
// beyond it, its new connections are closed at accept while other hosts are still served.
TEST_F(HttpServerTest, ConnectionsBeyondTheLimitOfOneAddressAreClosedAtOnce) {
    options.idleTimeout = 10s;
    options.maxConnectionsPerAddress = 3;
    startServer();
    std::vector<std::unique_ptr<HttpTestClient>> polling;
    for (std::size_t i = 0; i < options.maxConnectionsPerAddress; ++i) {
        polling.push_back(std::make_unique<HttpTestClient>(port, "127.0.0.2"));
        ASSERT_TRUE(polling.back()->request("GET", "/health"));
    }
    HttpTestClient extra(port, "127.0.0.2");
    EXPECT_TRUE(extra.closedWithin(1s));
    for (const char* other : {"127.0.0.3", "127.0.0.4", "127.0.0.1"}) {
        HttpTestClient host(port, other);
        EXPECT_EQ(codeOf(host.post(kGroups)), 0) << other;
    }
    polling.pop_back();
    for (int i = 0; i < 100 && server->openConnections() >= options.maxConnectionsPerAddress; ++i)
        std::this_thread::sleep_for(10ms);
    HttpTestClient again(port, "127.0.0.2");
    EXPECT_EQ(codeOf(again.post(kGroups)), 0);
}

TEST_F(HttpServerTest, StopLetsTheCallUnderWayFinishAndAcceptsNoMore) {
    script.delay = 400ms;
    startServer();
    HttpTestClient busy(port), idle(port);
    ASSERT_TRUE(busy.send(testing::postRequest(kGroups)));
    for (int i = 0; i < 200 && script.running == 0; ++i) std::this_thread::sleep_for(5ms);
    ASSERT_EQ(script.running, 1);
    server->stop();
    auto r = busy.read();
    ASSERT_TRUE(r);
    EXPECT_EQ(codeOf(r), 0);
    EXPECT_FALSE(r->keep_alive());
    EXPECT_TRUE(idle.closedWithin(2s));
    runner.join();
    server.reset();
    HttpTestClient late(port);
    EXPECT_FALSE(late.connected() && late.post(kGroups));
}

}  // namespace
}  // namespace appserver
