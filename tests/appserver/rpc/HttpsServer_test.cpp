// The server speaking HTTPS in-process, over a fake store: calls over TLS with keep-alive, each
// side speaking the other's protocol, and certificates the server cannot use.
#include <gtest/gtest.h>

#include <unistd.h>
#include <boost/asio/connect.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <functional>
#include <thread>

#include "support/FakeStore.h"
#include "HttpTestClient.h"
#include "rpc/Server.h"
#include "support/TestCertificate.h"
#include "auth/PasswordHash.h"

namespace appserver {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace ssl = asio::ssl;
using testing::FakeStore;
using testing::FakeStoreFactory;

const std::string kGroups = R"({"jsonrpc":"2.0","id":1,"method":"GetGrupSegProd","params":[]})";

// A blocking HTTPS client trusting the test authority; offer narrows what it offers.
class TlsClient {
  public:
    TlsClient(unsigned short port, const std::string& authority,
              const std::function<void(SSL*)>& offer = {})
        : m_context(ssl::context::tls_client), m_stream(m_ioc, m_context) {
        m_context.load_verify_file(authority);
        m_stream.set_verify_mode(ssl::verify_peer);
        if (offer) offer(m_stream.native_handle());
        beast::get_lowest_layer(m_stream).expires_after(std::chrono::seconds(5));
        beast::get_lowest_layer(m_stream).connect({asio::ip::make_address("127.0.0.1"), port});
        m_stream.handshake(ssl::stream_base::client, m_handshakeError);
    }
    const beast::error_code& handshakeError() const { return m_handshakeError; }
    std::string version() { return SSL_get_version(m_stream.native_handle()); }
    // The answer's status and body; status 0 when the exchange failed.
    std::pair<unsigned, std::string> post(const std::string& body,
                                          const std::string& authorization = {}) {
        http::request<http::string_body> request{http::verb::post, "/VLP27000.rdmSugestaoProd", 11};
        request.set(http::field::host, "localhost");
        if (!authorization.empty()) request.set(http::field::authorization, authorization);
        request.body() = body;
        request.prepare_payload();
        beast::error_code ec;
        http::write(m_stream, request, ec);
        http::response<http::string_body> response;
        if (!ec) http::read(m_stream, m_buffer, response, ec);
        if (ec) return {0, ec.message()};
        return {response.result_int(), response.body()};
    }

  private:
    asio::io_context m_ioc;
    ssl::context m_context;
    beast::ssl_stream<beast::tcp_stream> m_stream;
    beast::flat_buffer m_buffer;
    beast::error_code m_handshakeError;
};

class HttpsServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        options.port = 0;
        options.workers = 2;
        options.ioThreads = 1;
        options.idleTimeout = std::chrono::milliseconds(2000);
        auto files = certificates.server("localhost");
        options.tlsCertificate = files.certificate;
        options.tlsKey = files.key;
    }
    void TearDown() override {
        if (!server) return;
        server->stop();
        runner.join();
    }
    void start() {
        server = std::make_unique<Server>(options, factory, log);
        ASSERT_TRUE(server->start().isOk());
        runner = std::thread([this] { server->run(); });
    }

    testing_tls::TestCertificates certificates;
    ServerOptions options;
    FakeStore::Script script;
    FakeStoreFactory factory{script};
    CallLog log{-1};
    std::unique_ptr<Server> server;
    std::thread runner;
};

TEST_F(HttpsServerTest, CallsGoOverTlsAndPlainHttpIsToldToUseHttps) {
    start();
    TlsClient client(server->port(), certificates.authority().certificate);
    ASSERT_FALSE(client.handshakeError()) << client.handshakeError().message();
    for (int call = 0; call < 2; ++call) {  // the second on the same connection
        auto [status, body] = client.post(kGroups);
        EXPECT_EQ(status, 200u) << body;
        EXPECT_NE(body.find("\"result\""), std::string::npos) << body;
    }

    testing::HttpTestClient plain(server->port());
    auto r = plain.post(kGroups);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 400);
    EXPECT_NE(r->body().find("só atende HTTPS"), std::string::npos) << r->body();
    EXPECT_TRUE(plain.closedWithin(std::chrono::seconds(3)));

    EXPECT_EQ(client.post(kGroups).first, 200u);  // and TLS clients go on being served
    EXPECT_EQ(script.callsText(), "groups()\ngroups()\ngroups()\n");
}

TEST_F(HttpsServerTest, ATlsClientOfAPlainServerFailsItsHandshakeAndTheServerGoesOn) {
    options.tlsCertificate.clear();
    options.tlsKey.clear();
    start();
    TlsClient client(server->port(), certificates.authority().certificate);
    EXPECT_TRUE(client.handshakeError());
    testing::HttpTestClient plain(server->port());
    auto r = plain.post(kGroups);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->result_int(), 200);
}

TEST_F(HttpsServerTest, CertificatesTheServerCannotUseStopItFromStarting) {
    auto other = certificates.server("localhost");
    auto expired = certificates.server("localhost", std::chrono::hours(-72), 1);
    const struct {
        std::string certificate, key, named;
    } cases[] = {
        {options.tlsCertificate, other.key, "não corresponde"},
        {(certificates.directory() / "nenhum.pem").string(), options.tlsKey, "nenhum.pem"},
        {options.tlsCertificate, (certificates.directory() / "nenhuma.key").string(),
         "nenhuma.key"},
        {options.tlsKey, options.tlsKey, options.tlsKey},  // a key where the chain should be
    };
    // An expired certificate is served all the same (clients refuse it with the reason), and the
    // log says so at start.
    int logPipe[2];
    ASSERT_EQ(::pipe(logPipe), 0);
    {
        CallLog expiredLog(logPipe[1]);
        options.tlsCertificate = expired.certificate;
        options.tlsKey = expired.key;
        Server served(options, factory, expiredLog);
        EXPECT_TRUE(served.start().isOk());
    }
    ::close(logPipe[1]);
    std::string logged(4096, '\0');
    logged.resize(static_cast<std::size_t>(
        std::max<ssize_t>(0, ::read(logPipe[0], logged.data(), logged.size()))));
    ::close(logPipe[0]);
    EXPECT_NE(logged.find("está vencido"), std::string::npos) << logged;

    for (const auto& c : cases) {
        options.tlsCertificate = c.certificate;
        options.tlsKey = c.key;
        Server refused(options, factory, log);
        auto status = refused.start();
        EXPECT_FALSE(status.isOk()) << c.named;
        EXPECT_NE(status.message().find(c.named), std::string::npos) << status.message();
    }
}

// TLS 1.2 is served only with ECDHE key exchange and an AEAD cipher, whichever key the
// certificate has; TLS 1.3 as the library has it; older versions never. The client's own floor is
// lowered (security level 0) so that the server alone decides.
TEST_F(HttpsServerTest, OnlyEcdheWithAeadCiphersAreNegotiated) {
    const struct {
        const char* offer;
        int version;
        const char* ciphers;
        bool served;
    } cases[] = {
        {"RSA key exchange, AES-GCM", TLS1_2_VERSION, "AES128-GCM-SHA256:AES256-GCM-SHA384", false},
        {"ECDHE, CBC with SHA-1", TLS1_2_VERSION,
         "ECDHE-ECDSA-AES128-SHA:ECDHE-RSA-AES128-SHA:ECDHE-ECDSA-AES256-SHA:ECDHE-RSA-AES256-SHA",
         false},
        {"ECDHE, CBC with SHA-2", TLS1_2_VERSION,
         "ECDHE-ECDSA-AES128-SHA256:ECDHE-RSA-AES128-SHA256:ECDHE-ECDSA-AES256-SHA384:"
         "ECDHE-RSA-AES256-SHA384",
         false},
        {"ECDHE, AES-GCM", TLS1_2_VERSION,
         "ECDHE-ECDSA-AES128-GCM-SHA256:ECDHE-RSA-AES128-GCM-SHA256:ECDHE-ECDSA-AES256-GCM-SHA384:"
         "ECDHE-RSA-AES256-GCM-SHA384",
         true},
        {"ECDHE, ChaCha20-Poly1305", TLS1_2_VERSION,
         "ECDHE-ECDSA-CHACHA20-POLY1305:ECDHE-RSA-CHACHA20-POLY1305", true},
        {"TLS 1.3", TLS1_3_VERSION, "DEFAULT", true},
        {"TLS 1.1", TLS1_1_VERSION, "ALL", false},
    };
    const testing_tls::PemFiles keys[] = {certificates.server("localhost"),
                                          certificates.rsaServer("localhost")};
    for (const auto& key : keys) {
        options.tlsCertificate = key.certificate;
        options.tlsKey = key.key;
        start();
        for (const auto& c : cases) {
            TlsClient client(server->port(), certificates.authority().certificate, [&](SSL* tls) {
                SSL_set_min_proto_version(tls, c.version);
                SSL_set_max_proto_version(tls, c.version);
                SSL_set_cipher_list(tls, (std::string(c.ciphers) + ":@SECLEVEL=0").c_str());
            });
            const std::string what = std::string(c.offer) + " to " + key.certificate.string();
            EXPECT_EQ(!client.handshakeError(), c.served) << what;
            if (c.served) {
                EXPECT_EQ(client.version(), c.version == TLS1_3_VERSION ? "TLSv1.3" : "TLSv1.2");
                EXPECT_EQ(client.post(kGroups).first, 200u) << what;
            }
        }
        server->stop();
        runner.join();
        server.reset();
    }
}

// Beyond loopback a server must know who calls: it starts only once a user exists.
TEST_F(HttpsServerTest, BeyondLoopbackTheServerStartsOnlyWithUsers) {
    options.host = "0.0.0.0";
    {
        Server refused(options, factory, log);
        auto status = refused.start();
        ASSERT_FALSE(status.isOk());
        EXPECT_NE(status.message().find("user add"), std::string::npos) << status.message();
    }
    script.users["ana"] = {hashPassword("certa"), false};  // even a disabled one locks the door
    script.users["bia"] = {hashPassword("dela"), true};
    start();
    TlsClient client(server->port(), certificates.authority().certificate);
    EXPECT_EQ(client.post(kGroups).first, 401u);
    TlsClient signedIn(server->port(), certificates.authority().certificate);
    for (int call = 0; call < 2; ++call)
        EXPECT_EQ(signedIn.post(kGroups, "Basic YmlhOmRlbGE=").first, 200u);  // bia:dela
}

// A client that connects and never says a word is still a connection: it counts against both
// limits while the server waits to tell TLS from plain HTTP, and a stop closes it at once.
TEST_F(HttpsServerTest, SilentConnectionsCountAgainstTheLimitsAndAStopClosesThem) {
    options.idleTimeout = std::chrono::seconds(30);
    options.maxConnections = 4;
    options.maxConnectionsPerAddress = 2;
    start();
    const unsigned short port = server->port();
    std::vector<std::unique_ptr<testing::HttpTestClient>> silent;
    for (const char* host : {"127.0.0.2", "127.0.0.2", "127.0.0.3", "127.0.0.3"})
        silent.push_back(std::make_unique<testing::HttpTestClient>(port, host));
    for (int i = 0; i < 100 && server->openConnections() < silent.size(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(server->openConnections(), silent.size());
    for (const char* host : {"127.0.0.2", "127.0.0.4"}) {  // over its own limit, over the total
        testing::HttpTestClient refused(port, host);
        EXPECT_TRUE(refused.closedWithin(std::chrono::seconds(1))) << host;
    }
    const auto stopping = std::chrono::steady_clock::now();
    server->stop();
    for (auto& client : silent) EXPECT_TRUE(client->closedWithin(std::chrono::seconds(2)));
    runner.join();
    server.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(5));
}

}  // namespace
}  // namespace appserver
