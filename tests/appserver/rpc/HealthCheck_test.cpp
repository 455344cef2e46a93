// GET /health on byte strings: the store's answer decides 200 or 503, other verbs get 405, and
// no answer is meant for the call log.
#include "rpc/HealthCheck.h"

#include <gtest/gtest.h>

#include "support/FakeStore.h"

namespace appserver {
namespace {

using testing::FakeStore;
using wire::ErrorCode;

class HealthCheckTest : public ::testing::Test {
  protected:
    std::string version() { return std::string(serverVersion()); }

    FakeStore::Script script;
    FakeStore store{script};
};

TEST_F(HealthCheckTest, ReachableStoreIsOkAndAskedOnce) {
    for (std::string_view target : {"/health", "/health?from=balancer"}) {
        script.calls.clear();
        Reply r = handleRequest(store, "GET", target, "");
        EXPECT_EQ(r.status, 200u) << target;
        EXPECT_EQ(r.body, R"({"status":"ok","store":"ok","version":")" + version() + "\"}");
        EXPECT_FALSE(r.logged);
        EXPECT_EQ(script.callsText(), "ping()\n");
    }
}

TEST_F(HealthCheckTest, FailingStoreIs503WithItsReason) {
    struct Case {
        wire::Status failure;
        std::string store;
    };
    const Case cases[] = {
        {{ErrorCode::Unavailable, "A conexão com o banco de dados foi perdida. Tente novamente."},
         "A conexão com o banco de dados foi perdida. Tente novamente."},
        {{ErrorCode::Internal, "Erro no banco de dados; nada foi alterado."},
         "Erro no banco de dados; nada foi alterado."},
        {{ErrorCode::Unavailable, "Texto com \"aspas\""}, R"(Texto com \"aspas\")"},
    };
    for (const auto& c : cases) {
        script.failWith = c.failure;
        Reply r = handleRequest(store, "GET", "/health", "");
        EXPECT_EQ(r.status, 503u);
        EXPECT_EQ(r.body, R"({"status":"indisponivel","store":")" + c.store + R"(","version":")" +
                              version() + "\"}");
        EXPECT_FALSE(r.logged);
    }
}

TEST_F(HealthCheckTest, WorkerWithoutStoreIs503) {
    Reply r = healthReply(nullptr, "GET");
    EXPECT_EQ(r.status, 503u);
    EXPECT_NE(r.body.find(R"("status":"indisponivel")"), std::string::npos) << r.body;
    EXPECT_NE(r.body.find("Sem conexão com o banco de dados."), std::string::npos) << r.body;
}

TEST_F(HealthCheckTest, OtherVerbsAre405AllowingGetAndTouchNoStore) {
    for (std::string_view verb : {"POST", "HEAD", "PUT", "DELETE", "get"}) {
        Reply r = handleRequest(store, verb, "/health", R"({"jsonrpc":"2.0"})");
        EXPECT_EQ(r.status, 405u) << verb;
        EXPECT_EQ(r.allow, "GET") << verb;
        EXPECT_FALSE(r.logged) << verb;
    }
    EXPECT_EQ(script.callsText(), "");
}

TEST_F(HealthCheckTest, HeadersAloneRefuseAnotherVerbOrABody) {
    const struct {
        std::string_view verb;
        bool hasBody;
        unsigned status;  // 0: answered by healthReply
    } cases[] = {
        {"GET", false, 0},   {"GET", true, 400},   {"POST", false, 405},
        {"POST", true, 405}, {"HEAD", false, 405}, {"get", false, 405},
    };
    for (const auto& c : cases) {
        auto refused = healthRefusal(c.verb, c.hasBody);
        EXPECT_EQ(refused ? refused->status : 0u, c.status) << c.verb << " " << c.hasBody;
        if (!refused) continue;
        EXPECT_EQ(refused->allow, c.status == 405 ? "GET" : "") << c.verb;
        EXPECT_FALSE(refused->logged);
    }
}

TEST_F(HealthCheckTest, OnlyTheExactPathIsTheHealthCheck) {
    for (std::string_view target :
         {"/health/", "/healthz", "/Health", "/VLP27000.rdmSugestaoProd"}) {
        Reply r = handleRequest(store, "GET", target, "");
        EXPECT_NE(r.status, 200u) << target;
        EXPECT_TRUE(r.logged) << target;
    }
    EXPECT_EQ(script.callsText(), "");
}

}  // namespace
}  // namespace appserver
