// The real HTTP server in-process on an ephemeral loopback port, over a fake store: its limits
// (workers, the body budget, connections), idle and trickling clients, and a graceful stop.
#include <gtest/gtest.h>

#include <thread>

#include "ServerFixture.h"
#include "wire/Rpc.h"

namespace appserver::testing {
namespace {

using namespace std::chrono_literals;

const std::string& kGroups = kGroupsCall;

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
}  // namespace appserver::testing
