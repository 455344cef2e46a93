// The connection over TLS against the real server in-process: calls over one verified keep-alive
// connection, certificates refused with the server and the reason named, each side told when the
// other does not speak its protocol, and an authorities' file that cannot be used.

#include <gtest/gtest.h>

#include "dataaccess/HttpTransport.h"
#include "LoopbackAppServer.h"
#include "dataaccess/TNetConnection.h"
#include "support/TestCertificate.h"

using namespace std::chrono_literals;
using appserver::testing::LoopbackAppServer;
using appserver::testing::LoopbackOptions;
using testing_tls::PemFiles;
using testing_tls::TestCertificates;

namespace {

const char* const kModule = "VLP27000.rdmSugestaoProd";

LoopbackOptions Https(const PemFiles& files) { return {files.certificate, files.key, {}}; }

// Connects a fresh connection to the server as told; "" on success, else the error's text.
std::string ConnectError(TNetConnection& net, const LoopbackAppServer& server,
                         const std::string& host = "localhost") {
    net.ServerName = kModule;
    net.Host = host;
    net.Port = server.port();
    try {
        net.SetConnected(true);
    } catch (const EDatabaseError& e) {
        EXPECT_FALSE(net.Connected());
        return e.what();
    }
    return {};
}

class TNetConnectionTlsTest : public ::testing::Test {
  protected:
    ~TNetConnectionTlsTest() override { TNetConnection::SetWaitPump(nullptr); }

    std::string Refusal(const std::string& why, int port) {
        return "O certificado do servidor localhost:" + std::to_string(port) +
               " foi recusado: " + why + ". A conexão não foi feita.";
    }

    TestCertificates certificates;
};

TEST_F(TNetConnectionTlsTest, TrustedCertificateCarriesEveryCallOverOneConnection) {
    const PemFiles issued = certificates.server("localhost");
    const PemFiles ownAuthority = certificates.selfSigned("localhost");  // a test LAN's way
    const std::string authority = certificates.authority().certificate;
    const struct {
        const char* host;
        PemFiles served;
        std::string caFile;
        bool slow;  // answers late: the calls finish on the helper thread while the pump turns
    } cases[] = {
        {"localhost", issued, authority, false},
        {"127.0.0.1", issued, authority, false},
        {"localhost", issued, authority, true},
        {"localhost", ownAuthority, ownAuthority.certificate, false},
    };
    for (const auto& c : cases) {
        LoopbackOptions options = Https(c.served);
        options.delay = c.slow ? 40ms : 0ms;
        LoopbackAppServer server(options);
        ASSERT_TRUE(server.ok());
        int pumps = 0;
        TNetConnection::SetWaitPump([&] { ++pumps; });
        auto transport = std::make_unique<HttpTransport>();
        HttpTransport& http = *transport;
        TNetConnection net(std::move(transport));
        net.Tls = true;
        net.CaFile = c.caFile;
        ASSERT_EQ(ConnectError(net, server, c.host), "") << c.host;
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(net.AppServer().Call("GetGrupSegProd", {}).Ok);
        EXPECT_EQ(http.connectCount(), 1) << c.host;
        EXPECT_EQ(server.calls(), "groups()\ngroups()\ngroups()\n");
        EXPECT_TRUE(!c.slow || pumps > 0);
    }
}

TEST_F(TNetConnectionTlsTest, CertificatesThatDoNotVerifyAreRefusedWithTheReason) {
    const std::string authority = certificates.authority().certificate;
    const struct {
        PemFiles served;
        std::string caFile;
        std::string why;
    } cases[] = {
        {certificates.server("localhost", -24h * 400, 365), authority, "está vencido"},
        {certificates.server("localhost", 48h, 365), authority,
         "ainda não é válido (confira a data e a hora deste computador)"},
        {certificates.server("outro.exemplo"), authority, "não foi emitido para o nome localhost"},
        {certificates.selfSigned("localhost"), authority,
         "não foi emitido pela autoridade de CaFile=" + authority},
        {certificates.server("localhost"), "",  // the system does not know the test authority
         "não é de uma autoridade confiável (é autoassinado ou de uma autoridade desconhecida); "
         "para uma autoridade própria, informe o certificado dela em CaFile= na configuração do "
         "host"},
    };
    for (const auto& c : cases) {
        LoopbackAppServer server(Https(c.served));
        ASSERT_TRUE(server.ok());
        TNetConnection net;
        net.Tls = true;
        net.CaFile = c.caFile;
        EXPECT_EQ(ConnectError(net, server), Refusal(c.why, server.port()));
        EXPECT_EQ(server.calls(), "");
    }
}

TEST_F(TNetConnectionTlsTest, EachSideIsToldWhenTheOtherDoesNotSpeakItsProtocol) {
    LoopbackAppServer plain;
    LoopbackAppServer https(Https(certificates.server("localhost")));
    ASSERT_TRUE(plain.ok() && https.ok());
    const struct {
        const LoopbackAppServer& server;
        bool tls;
        std::string expected;  // after "O servidor localhost:PORT "
    } cases[] = {
        {plain, true, "não atende HTTPS: confira Tls= na configuração do host."},
        {https, false, "só atende HTTPS: ligue Tls= na seção [Server] da configuração do host."},
    };
    for (const auto& c : cases) {
        TNetConnection net;
        net.Tls = c.tls;
        net.CaFile = certificates.authority().certificate;
        EXPECT_EQ(ConnectError(net, c.server),
                  "O servidor localhost:" + std::to_string(c.server.port()) + " " + c.expected);
        net.Tls = !c.tls;  // and with the setting put right, the same connection works
        EXPECT_EQ(ConnectError(net, c.server), "");
    }
}

TEST_F(TNetConnectionTlsTest, AnAuthoritiesFileThatCannotBeUsedIsNamed) {
    LoopbackAppServer server(Https(certificates.server("localhost")));
    ASSERT_TRUE(server.ok());
    const std::string missing = (certificates.directory() / "nenhuma.pem").string();
    const std::string key = certificates.authority().key.string();
    const std::string folder = certificates.directory().string();
    const struct {
        std::string caFile;
        std::string why;
    } cases[] = {
        {missing, "não foi encontrado"},
        {folder, "não foi encontrado"},
        {key, "não contém certificados PEM válidos"},
    };
    for (const auto& c : cases) {
        TNetConnection net;
        net.Tls = true;
        net.CaFile = c.caFile;
        EXPECT_EQ(ConnectError(net, server),
                  "O arquivo de autoridades certificadoras CaFile=" + c.caFile + " " + c.why + ".");
    }
    EXPECT_EQ(server.calls(), "");
}

}  // namespace
