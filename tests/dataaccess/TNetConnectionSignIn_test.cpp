// Signing in against the real server in-process, which asks for credentials once it has users:
// the hook asked with the server's reason until the user gets it right or gives up, credentials
// sent with every call and checked once per keep-alive connection, and a refused call sent again
// (and run once) after signing in.

#include <gtest/gtest.h>

#include <deque>

#include "dataaccess/HttpTransport.h"
#include "LoopbackAppServer.h"
#include "dataaccess/TNetConnection.h"

using appserver::testing::LoopbackAppServer;
using appserver::testing::LoopbackOptions;

namespace {

const char* const kRequired = "Este servidor exige usuário e senha.";
const char* const kWrong = "Usuário ou senha incorretos.";
const char* const kDisabled = "O usuário bia está desativado.";

// The user at the sign-in dialog: answers from a script ("name:password", or "" to cancel) and
// notes each question as "reason [name]".
class ScriptedUser {
  public:
    explicit ScriptedUser(std::deque<std::string> answers) : m_answers(std::move(answers)) {
        TNetConnection::SetSignInHook(
            [this](const TSignInRequest& request) { return Answer(request); });
    }
    ~ScriptedUser() { TNetConnection::SetSignInHook(nullptr); }
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    std::string asked;
    std::string server;

  private:
    std::optional<TCredentials> Answer(const TSignInRequest& request) {
        asked += request.Reason + " [" + request.UserName + "]\n";
        server = request.Server;
        if (m_answers.empty() || m_answers.front().empty()) return std::nullopt;
        const std::string answer = m_answers.front();
        m_answers.pop_front();
        const auto colon = answer.find(':');
        return TCredentials(answer.substr(0, colon), answer.substr(colon + 1));
    }

    std::deque<std::string> m_answers;
};

class TNetConnectionSignInTest : public ::testing::Test {
  protected:
    TNetConnectionSignInTest() {
        net.ServerName = "VLP27000.rdmSugestaoProd";
        net.Host = "127.0.0.1";
        net.Port = server.port();
    }

    // "" when the connection opened, else the error's text, which never shows a password.
    std::string Connect() {
        try {
            net.SetConnected(true);
            return {};
        } catch (const EDatabaseError& e) {
            const std::string text = e.what();
            for (const char* password : {"certa", "errada", "dela"})
                EXPECT_EQ(text.find(password), std::string::npos) << text;
            return text;
        }
    }

    LoopbackAppServer server{LoopbackOptions{
        {}, {}, {{"ana", "certa", true}, {"bia", "dela", false}}, std::chrono::milliseconds(0)}};
    std::unique_ptr<HttpTransport> owned = std::make_unique<HttpTransport>();
    HttpTransport& http = *owned;
    TNetConnection net{std::move(owned)};
};

TEST_F(TNetConnectionSignInTest, TheUserIsAskedWithTheServersReasonUntilRightOrCancelled) {
    const struct {
        std::deque<std::string> answers;
        std::string asked;
        std::string error;  // "" when connected
    } cases[] = {
        {{"ana:certa"}, std::string(kRequired) + " []\n", ""},
        {{"ana:errada", "ana:certa"}, std::string(kRequired) + " []\n" + kWrong + " [ana]\n", ""},
        {{"bia:dela", "", "ana:certa"},
         std::string(kRequired) + " []\n" + kDisabled + " [bia]\n",
         kDisabled},
        {{""}, std::string(kRequired) + " []\n", kRequired},
    };
    for (const auto& c : cases) {
        TNetConnection fresh;
        fresh.ServerName = net.ServerName;
        fresh.Host = net.Host;
        fresh.Port = net.Port;
        ScriptedUser user(c.answers);
        std::string error;
        try {
            fresh.SetConnected(true);
        } catch (const EDatabaseError& e) {
            error = e.what();
        }
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(user.asked, c.asked);
        EXPECT_EQ(user.server, "127.0.0.1:" + std::to_string(server.port()));
        EXPECT_EQ(fresh.Connected(), c.error.empty());
    }
    EXPECT_EQ(server.calls(), "");  // describing the module reaches no store
}

TEST_F(TNetConnectionSignInTest, WithoutAHookTheRefusalIsTheError) {
    EXPECT_EQ(Connect(), kRequired);
}

TEST_F(TNetConnectionSignInTest, CredentialsGoWithEveryCallAndAreCheckedOncePerConnection) {
    ScriptedUser user({});
    net.SetCredentials(TCredentials("ana", "certa"));
    ASSERT_EQ(Connect(), "");
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(net.AppServer().Call("GetGrupSegProd", {}).Ok);
    EXPECT_EQ(http.connectCount(), 1);
    EXPECT_EQ(server.userLookups(), 1);

    net.SetConnected(false);  // a new connection is checked anew, without asking the user
    ASSERT_EQ(Connect(), "");
    EXPECT_TRUE(net.AppServer().Call("GetGrupSegProd", {}).Ok);
    EXPECT_EQ(server.userLookups(), 2);
    EXPECT_EQ(user.asked, "");
    EXPECT_EQ(net.UserName(), "ana");
}

TEST_F(TNetConnectionSignInTest, ARefusedCallIsSentAgainAfterSigningInAndRunsOnce) {
    const struct {
        std::deque<std::string> answers;
        bool ok;
    } cases[] = {{{"ana:certa"}, true}, {{""}, false}};
    for (const auto& c : cases) {
        net.SetConnected(false);
        net.SetCredentials(TCredentials("ana", "certa"));
        ASSERT_EQ(Connect(), "");
        // Other credentials on an open connection are checked again, and refused.
        net.SetCredentials(TCredentials("ana", "errada"));
        ScriptedUser user(c.answers);
        net.ThrowException = false;
        std::string tree = "1.01";
        const auto before = server.calls();
        auto answer = net.AppServer().Call("GetVerifProduto", {TRemoteArg::InOut(tree)});
        EXPECT_EQ(user.asked, std::string(kWrong) + " [ana]\n");
        EXPECT_EQ(answer.Ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(server.calls(), before + "productByTreeCode(1.01)\n");
            EXPECT_EQ(tree, "1.01");
        } else {
            EXPECT_EQ(answer.ErrorCode, -32005);
            EXPECT_EQ(answer.ErrorMessage, kWrong);
            EXPECT_EQ(server.calls(), before);
            EXPECT_EQ(tree, "1.01");
        }
    }
}

}  // namespace
