// Sign-in through the real HTTP server in-process, over a fake store: who may call, the bounded
// queue of password checks and the slowing down of guesses, seen from several hosts (loopback
// source addresses), and sessions that end once their user may no longer call.
#include <gtest/gtest.h>

#include <thread>

#include "ServerFixture.h"
#include "auth/PasswordHash.h"

namespace appserver {
namespace {

using namespace std::chrono_literals;
using testing::basicAuthorization;
using testing::HttpTestClient;

const std::string& kGroups = testing::kGroupsCall;

class SignInServerTest : public testing::ServerFixture {
  protected:
    // Waits until the store has been asked for users this many times in all.
    bool lookedUp(int times) {
        for (int i = 0; i < 400 && script.userLookups < times; ++i)
            std::this_thread::sleep_for(5ms);
        return script.userLookups >= times;
    }
    // A 503 that tells the client to retry, with why, and closes.
    static void expectRetry(HttpTestClient& client, const std::string& why) {
        auto r = client.read();
        ASSERT_TRUE(r) << why;
        EXPECT_EQ(r->result_int(), 503) << why;
        EXPECT_EQ((*r)[boost::beast::http::field::retry_after], "1") << why;
        EXPECT_EQ(codeOf(r), -32603) << r->body();
        EXPECT_NE(r->body().find(why), std::string::npos) << r->body();
        EXPECT_TRUE(client.closedWithin(3s)) << why;
    }
};

// Once a user exists every call but /health must carry an enabled user's credentials, checked
// once per connection; a refusal says why, asks for Basic credentials and closes.
TEST_F(SignInServerTest, SignInIsAskedOnceUsersExistAndCheckedOncePerConnection) {
    script.users["ana"] = {hashPassword("certa"), true};
    script.users["bia"] = {hashPassword("dela"), false};
    startServer();

    const struct {
        std::string authorization;
        std::string message;  // empty: served
    } cases[] = {
        {"", "Este servidor exige usuário e senha."},
        {"Basic YW5hOmVycmFkYQ==", "Usuário ou senha incorretos."},  // ana:errada
        {"Basic Y2FpbzpjZXJ0YQ==", "Usuário ou senha incorretos."},  // caio:certa
        {"Basic YmlhOmRlbGE=", "O usuário bia está desativado."},    // bia:dela
        {"Basic YmlhOmVycmFkYQ==", "Usuário ou senha incorretos."},  // bia:errada
        {"Basic ???", "Credenciais malformadas: base64 inválido."},
        {"Basic " + std::string(2000, 'A'), "Credenciais malformadas: cabeçalho longo demais."},
        {"Basic YW5hOmNlcnRh", ""},  // ana:certa
    };
    for (const auto& c : cases) {
        HttpTestClient client(port);
        auto r = client.post(kGroups, c.authorization.empty()
                                          ? std::string()
                                          : "Authorization: " + c.authorization + "\r\n");
        ASSERT_TRUE(r) << c.authorization;
        if (c.message.empty()) {
            EXPECT_EQ(codeOf(r), 0) << r->body();
            continue;
        }
        EXPECT_EQ(r->result_int(), 401) << c.authorization;
        EXPECT_EQ((*r)[boost::beast::http::field::www_authenticate],
                  R"(Basic realm="VLP27000", charset="UTF-8")");
        EXPECT_EQ(codeOf(r), -32005);
        EXPECT_NE(r->body().find(c.message), std::string::npos) << r->body();
        EXPECT_TRUE(client.closedWithin(3s));
        // A success forgets this address's failures, which would otherwise slow the next case.
        EXPECT_EQ(
            codeOf(HttpTestClient(port).post(kGroups, "Authorization: Basic YW5hOmNlcnRh\r\n")), 0);
    }

    HttpTestClient signedIn(port);
    const int lookups = script.userLookups;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(codeOf(signedIn.post(kGroups, "Authorization: Basic YW5hOmNlcnRh\r\n")), 0);
    EXPECT_EQ(script.userLookups - lookups, 1);
    auto health = HttpTestClient(port).request("GET", "/health");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->result_int(), 200);
}

// Password checks cost on purpose, so no host may pile them up: one check at a time per address,
// the others from it waiting their turn, and a bounded number of addresses; beyond it a new one is
// refused at once, unchecked.
TEST_F(SignInServerTest, ChecksOfOneAddressTakeTurnsAndNewAddressesBeyondTheBoundAreRefused) {
    script.users["ana"] = {hashPassword("certa"), true};
    script.lookupDelay = 600ms;
    options.signInQueue = 3;
    startServer();
    const std::string wrong = basicAuthorization("ana", "errada");
    const std::string right = basicAuthorization("ana", "certa");
    HttpTestClient first(port, "127.0.0.2"), again(port, "127.0.0.2"), second(port, "127.0.0.3"),
        third(port, "127.0.0.4"), fourth(port, "127.0.0.5");
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(first.send(testing::postRequest(kGroups, wrong)));
    ASSERT_TRUE(lookedUp(1));
    ASSERT_TRUE(again.send(testing::postRequest(kGroups, right)));
    ASSERT_TRUE(second.send(testing::postRequest(kGroups, right)));
    ASSERT_TRUE(third.send(testing::postRequest(kGroups, wrong)));
    ASSERT_TRUE(lookedUp(2));
    ASSERT_TRUE(fourth.send(testing::postRequest(kGroups, right)));
    expectRetry(fourth, "O servidor está verificando muitas senhas agora");

    EXPECT_EQ(codeOf(first.read()), -32005);
    EXPECT_EQ(codeOf(again.read()), 0);
    // again's check began once first's had ended, never beside it.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 2 * script.lookupDelay);
    EXPECT_EQ(codeOf(second.read()), 0);
    EXPECT_EQ(codeOf(third.read()), -32005);
    EXPECT_EQ(codeOf(HttpTestClient(port, "127.0.0.5").post(kGroups, right)), 0);
    EXPECT_EQ(script.userLookups, 5);  // the refused attempt was never checked
}

// Guesses at one user's password from one address are counted as they are queued and slowed from
// the third on, side by side as one after the other; a colleague's success from the same address
// clears none of them.
TEST_F(SignInServerTest, GuessesAreSlowedPerUserAndAnotherAccountsSuccessClearsNothing) {
    script.users["ana"] = {hashPassword("certa"), true};
    script.users["bia"] = {hashPassword("dela"), true};
    startServer();
    const std::string guess = basicAuthorization("ana", "chute");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(codeOf(HttpTestClient(port, "127.0.0.2").post(kGroups, guess)), -32005);
    EXPECT_EQ(
        codeOf(HttpTestClient(port, "127.0.0.2").post(kGroups, basicAuthorization("bia", "dela"))),
        0);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(codeOf(HttpTestClient(port, "127.0.0.2").post(kGroups, guess)), -32005);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 500ms);  // the fourth guess's wait

    std::vector<std::unique_ptr<HttpTestClient>> sideBySide;
    const auto sent = std::chrono::steady_clock::now();
    for (int i = 0; i < 4; ++i) {
        sideBySide.push_back(std::make_unique<HttpTestClient>(port, "127.0.0.3"));
        ASSERT_TRUE(sideBySide.back()->send(testing::postRequest(kGroups, guess)));
    }
    for (auto& client : sideBySide) EXPECT_EQ(codeOf(client->read()), -32005);
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 750ms);  // 250 ms, then 500 more
}

// What a keep-alive connection accepted is held against its user's state again within the recheck
// interval: a disabled user or a changed password ends the session at its next call.
TEST_F(SignInServerTest, ADisabledUserOrAChangedPasswordEndsItsOpenSessions) {
    script.users["ana"] = {hashPassword("certa"), true};
    script.users["bia"] = {hashPassword("dela"), true};
    script.users["cida"] = {hashPassword("tres"), true};
    options.credentialRecheck = 200ms;
    options.idleTimeout = 10s;
    startServer();
    const struct {
        const char *source, *user, *password;
        std::string refusal;  // at the call after the change; empty: still served
    } sessions[] = {
        {"127.0.0.2", "ana", "certa", "O usuário ana está desativado."},
        {"127.0.0.3", "bia", "dela", "A senha do usuário bia foi alterada"},
        {"127.0.0.4", "cida", "tres", ""},
    };
    std::vector<std::unique_ptr<HttpTestClient>> clients;
    for (const auto& s : sessions) {
        clients.push_back(std::make_unique<HttpTestClient>(port, s.source));
        EXPECT_EQ(codeOf(clients.back()->post(kGroups, basicAuthorization(s.user, s.password))), 0);
    }
    {
        std::lock_guard lock(script.mutex);
        script.users["ana"].enabled = false;
        script.users["bia"].passwordHash = "$argon2id$outra";
    }
    std::this_thread::sleep_for(options.credentialRecheck + 50ms);
    for (std::size_t i = 0; i < clients.size(); ++i) {
        const auto& s = sessions[i];
        auto r = clients[i]->post(kGroups, basicAuthorization(s.user, s.password));
        ASSERT_TRUE(r) << s.user;
        if (s.refusal.empty()) {
            EXPECT_EQ(codeOf(r), 0) << r->body();
            continue;
        }
        EXPECT_EQ(r->result_int(), 401) << s.user;
        EXPECT_EQ(codeOf(r), -32005) << s.user;
        EXPECT_NE(r->body().find(s.refusal), std::string::npos) << r->body();
        EXPECT_TRUE(clients[i]->closedWithin(3s)) << s.user;
    }
}

}  // namespace
}  // namespace appserver
