// The HTTP transport on its own against the loopback fake: connection reuse, statuses, large
// bodies, and the state it is left in after a failure.

#include "dataaccess/HttpTransport.h"

#include <gtest/gtest.h>

#include <boost/asio/ip/tcp.hpp>

#include "support/FakeAppServer.h"
#include "wire/Rpc.h"

using namespace std::chrono_literals;

namespace {

class HttpTransportTest : public ::testing::Test {
  protected:
    std::string call(const std::string& method, std::int64_t id = 1) {
        return http.post(target, wire::writeRequest(id, method, {}));
    }

    FakeAppServer fake;
    int port = fake.listen();
    HttpTransport http{{1000ms, 400ms}};
    const std::string target = std::string("/") + FakeAppServer::kModule;
};

TEST_F(HttpTransportTest, PostsReuseTheConnectionUntilTheServerClosesIt) {
    http.open("127.0.0.1", port);
    fake.on("GetGrupSegProd").answerPacket(R"({"n":1})");
    for (int id = 1; id <= 3; ++id) {
        auto answer = wire::readAnswer(call("GetGrupSegProd", id), id);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->payload, R"({"n":1})");
    }
    EXPECT_EQ(http.connectCount(), 1);
    fake.dropIdleConnections();
    EXPECT_TRUE(wire::readAnswer(call("GetGrupSegProd", 4), 4));
    EXPECT_EQ(http.connectCount(), 2);
    EXPECT_EQ(fake.connectCount(), 2);
}

TEST_F(HttpTransportTest, PostWithoutAnOpenConnectionIsRefused) {
    try {
        call("GetGrupSegProd");
        FAIL() << "posted while closed";
    } catch (const ETransportError& e) {
        EXPECT_STREQ(e.what(), "A conexão com o servidor de aplicação não está aberta.");
    }
    EXPECT_FALSE(http.isOpen());
}

TEST_F(HttpTransportTest, ErrorStatusesThrowUnlessTheyCarryAJsonAnswer) {
    http.open("127.0.0.1", port);
    fake.on("GetVerifOrd")
        .fault(FakeFault::HttpStatusWithAnswer, 422)
        .fail(-32000, "Ordem já usada.");
    auto answer = wire::readAnswer(call("GetVerifOrd"), 1);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->errorMessage, "Ordem já usada.");

    fake.on("GetVerifOrd").fault(FakeFault::HttpStatus, 500);
    try {
        call("GetVerifOrd");
        FAIL() << "a plain 500 came back as an answer";
    } catch (const EHttpStatusError& e) {
        EXPECT_EQ(e.status(), 500);
    }
    EXPECT_TRUE(http.isOpen());  // the exchange itself was complete: the connection is sound
    try {
        http.post("/Outro", "{}");
        FAIL() << "unknown path came back as an answer";
    } catch (const EHttpStatusError& e) {
        EXPECT_EQ(e.status(), 404);
    }
}

TEST_F(HttpTransportTest, AnswersLargerThanBeastsDefaultLimitArrive) {
    std::string packet = R"({"rows":[")" + std::string(9u << 20, 'x') + R"("]})";
    fake.on("GetArvProd").answerPacket(packet);
    HttpTransport patient{{1000ms, 20s}};  // unoptimised builds move such bodies slowly
    patient.open("127.0.0.1", port);
    auto answer =
        wire::readAnswer(patient.post(target, wire::writeRequest(1, "GetArvProd", {})), 1);
    ASSERT_TRUE(answer) << answer.status().message();
    EXPECT_EQ(answer->payload.size(), packet.size());
}

TEST_F(HttpTransportTest, FailuresLeaveTheTransportClosed) {
    http.open("127.0.0.1", port);
    fake.on("GetPesqProd").delay(1s);
    EXPECT_THROW(call("GetPesqProd"), ETransportError);
    EXPECT_FALSE(http.isOpen());

    http.open("127.0.0.1", port);
    fake.on("GetPesqProd").delay(0ms).resetMidAnswer();
    EXPECT_THROW(call("GetPesqProd"), ETransportError);
    EXPECT_FALSE(http.isOpen());

    http.open("127.0.0.1", port);
    fake.on("GetPesqProd").fault(FakeFault::CloseWithoutAnswer);
    EXPECT_THROW(call("GetPesqProd"), ETransportError);
    EXPECT_FALSE(http.isOpen());
}

TEST(HttpTransportConnect, TimesOutWhenTheServerNeverAccepts) {
    namespace asio = boost::asio;
    asio::io_context io;
    asio::ip::tcp::acceptor full(io, {asio::ip::make_address("127.0.0.1"), 0});
    full.listen(0);  // never accepted: once the queue is full, further handshakes go unanswered
    const int port = full.local_endpoint().port();
    std::vector<std::unique_ptr<HttpTransport>> queued;
    try {
        for (int i = 0; i < 8; ++i) {
            queued.push_back(std::make_unique<HttpTransport>(RpcTimeouts{200ms, 200ms}));
            queued.back()->open("127.0.0.1", port);
        }
        FAIL() << "every connection was accepted";
    } catch (const ETransportError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Tempo esgotado ao conectar a 127.0.0.1:" + std::to_string(port) + ".");
    }
}

}  // namespace
