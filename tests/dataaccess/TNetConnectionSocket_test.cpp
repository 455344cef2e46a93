// The connection over real loopback sockets against the fake server: keep-alive reuse, the
// failures a network gives (refused, reset, garbage, slowness, foreign ids) and recovery.

#include <gtest/gtest.h>

#include <stdexcept>

#include "dataaccess/TNetConnection.h"
#include "support/FakeAppServer.h"

using namespace std::chrono_literals;

namespace {

class TNetConnectionSocketTest : public ::testing::Test {
  protected:
    TNetConnectionSocketTest() {
        net.ServerName = FakeAppServer::kModule;
        net.Host = "127.0.0.1";
        net.Port = fake.listen();
    }
    ~TNetConnectionSocketTest() override { TNetConnection::SetWaitPump(nullptr); }

    std::string endpoint() const { return "127.0.0.1:" + std::to_string(net.Port); }

    template <class Fn>
    static std::string errorOf(Fn fn) {
        try {
            fn();
        } catch (const EDatabaseError& e) {
            return e.what();
        }
        ADD_FAILURE() << "no EDatabaseError";
        return {};
    }

    static bool startsWith(const std::string& text, const std::string& prefix) {
        return text.rfind(prefix, 0) == 0;
    }

    FakeAppServer fake;
    TNetConnection net{MakeHttpTransport({1000ms, 400ms})};
};

TEST_F(TNetConnectionSocketTest, CallsShareOneKeepAliveConnection) {
    fake.on("GetVdProduto").answerPacket(R"({"rows":[["1"]]})").answerOut({"01.001"});
    net.SetConnected(true);
    std::string code = "1001";
    for (int i = 0; i < 3; ++i) {
        auto answer =
            net.AppServer().Call("GetVdProduto", {TRemoteArg::Text("7"), TRemoteArg::InOut(code)});
        EXPECT_EQ(answer.Payload, R"({"rows":[["1"]]})");
    }
    EXPECT_EQ(code, "01.001");
    EXPECT_EQ(fake.connectCount(), 1);
    EXPECT_EQ(fake.callsTo("GetVdProduto").at(0).toString(), "GetVdProduto(\"7\", inout \"1001\")");
}

TEST_F(TNetConnectionSocketTest, RefusedConnectionNamesHostAndPort) {
    net.Port = FakeAppServer::closedPort();
    EXPECT_EQ(errorOf([&] { net.SetConnected(true); }), "Conexão recusada por " + endpoint() + ".");
    EXPECT_FALSE(net.Connected());
}

TEST_F(TNetConnectionSocketTest, UnknownHostIsReportedAsNotFound) {
    net.Host = "servidor-inexistente.invalid";
    auto message = errorOf([&] { net.SetConnected(true); });
    EXPECT_TRUE(startsWith(message, "Servidor servidor-inexistente.invalid:")) << message;
}

TEST_F(TNetConnectionSocketTest, ServerWithoutTheModuleIsRefusedOnConnect) {
    net.ServerName = "VLP99000.rdmOutro";  // the fake answers 404 on that path
    EXPECT_EQ(errorOf([&] { net.SetConnected(true); }),
              "O servidor " + endpoint() + " não hospeda o módulo VLP99000.rdmOutro.");
    EXPECT_FALSE(net.Connected());
}

TEST_F(TNetConnectionSocketTest, ResetMidAnswerIsReportedAndTheNextCallReconnects) {
    fake.on("GetArvProd").resetMidAnswer();
    net.SetConnected(true);
    std::string group = "3";
    EXPECT_EQ(errorOf([&] { net.AppServer().Call("GetArvProd", {TRemoteArg::InOut(group)}); }),
              "A conexão com " + endpoint() + " caiu durante a resposta.");
    EXPECT_EQ(group, "3");
    EXPECT_TRUE(net.Connected());

    fake.on("GetArvProd").healed().answerOut({"4"});
    EXPECT_TRUE(net.AppServer().Call("GetArvProd", {TRemoteArg::InOut(group)}).Ok);
    EXPECT_EQ(group, "4");
    EXPECT_EQ(fake.connectCount(), 2);
}

TEST_F(TNetConnectionSocketTest, GarbageIsNotUnderstoodAndLeavesVariables) {
    net.SetConnected(true);
    std::string op = "E";
    for (auto fault : {FakeFault::GarbageBody, FakeFault::GarbageBytes, FakeFault::WrongId}) {
        fake.on("SetProdRelac").fault(fault).answerOut({"X"});
        auto message = errorOf([&] {
            net.AppServer().Call("SetProdRelac", {TRemoteArg::InOut(op), TRemoteArg::Packet("{}")});
        });
        EXPECT_TRUE(startsWith(message, "Resposta não compreendida de " + endpoint() + ": "))
            << message;
        EXPECT_EQ(op, "E");
    }
    fake.on("SetProdRelac").healed();
    EXPECT_TRUE(
        net.AppServer().Call("SetProdRelac", {TRemoteArg::InOut(op), TRemoteArg::Packet("{}")}).Ok);
    EXPECT_EQ(op, "X");
}

TEST_F(TNetConnectionSocketTest, SlowAnswerTimesOutAndTheNextCallStartsClean) {
    fake.on("GetPesqProd").delay(1500ms).answerPacket(R"({"late":true})");
    net.SetConnected(true);
    EXPECT_EQ(errorOf([&] { net.AppServer().Call("GetPesqProd", {}); }),
              "O servidor " + endpoint() + " não respondeu em 0,4 s.");
    fake.on("GetPesqProd").delay(0ms).answerPacket(R"({"late":false})");
    EXPECT_EQ(net.AppServer().Call("GetPesqProd", {}).Payload, R"({"late":false})");
}

TEST_F(TNetConnectionSocketTest, HttpErrorsWithoutAnAnswerAreReportedWithTheirStatus) {
    net.SetConnected(true);
    fake.on("GetNmGrupo").fault(FakeFault::HttpStatus, 503);
    EXPECT_EQ(errorOf([&] { net.AppServer().Call("GetNmGrupo", {}); }),
              "O servidor " + endpoint() + " respondeu HTTP 503 (Service Unavailable).");
    fake.on("GetNmGrupo")
        .fault(FakeFault::HttpStatusWithAnswer, 400)
        .fail(-32602, "Argumentos inválidos.");
    EXPECT_EQ(errorOf([&] { net.AppServer().Call("GetNmGrupo", {}); }), "Argumentos inválidos.");
}

TEST_F(TNetConnectionSocketTest, ConnectionClosedByTheServerWhileIdleIsReopenedSilently) {
    net.SetConnected(true);
    EXPECT_TRUE(net.AppServer().Call("GetGrupSegProd", {}).Ok);
    fake.dropIdleConnections();
    EXPECT_TRUE(net.AppServer().Call("GetGrupSegProd", {}).Ok);
    EXPECT_EQ(fake.connectCount(), 2);
    EXPECT_EQ(fake.callLog(), "GetGrupSegProd()\nGetGrupSegProd()\n");
}

TEST_F(TNetConnectionSocketTest, WaitPumpKeepsRunningUntilTheSlowAnswerArrives) {
    fake.on("GetProdRelac").delay(150ms).answerPacket(R"({"rows":[]})");
    int pumps = 0;
    TNetConnection::SetWaitPump([&] { ++pumps; });
    net.SetConnected(true);
    const int before = pumps;
    EXPECT_EQ(net.AppServer().Call("GetProdRelac", {TRemoteArg::Text("1")}).Payload,
              R"({"rows":[]})");
    EXPECT_GE(pumps - before, 5);
    fake.on("GetProdRelac").delay(1500ms);  // beyond the answer timeout
    EXPECT_TRUE(startsWith(errorOf([&] { net.AppServer().Call("GetProdRelac", {}); }),
                           "O servidor " + endpoint() + " não respondeu"));
}

TEST_F(TNetConnectionSocketTest, WaitPumpTurnsWhileAnAnswerIsLateAndFailuresStillTravel) {
    struct Case {
        const char* name;
        void (*script)(FakeMethod&);
        bool late;  // a quick answer may or may not be pumped, as the machine goes
        bool pumpThrows;
        std::string outcome;  // of the call, then of a quick call after it
    };
    const std::string dropped = "A conexão com " + endpoint() + " caiu durante a resposta.";
    const std::string timedOut = "O servidor " + endpoint() + " não respondeu em 0,4 s.";
    const Case cases[] = {
        {"quick answer", [](FakeMethod& m) { m.answerPacket(R"({"rows":[["1"]]})"); }, false, false,
         R"(answer {"rows":[["1"]]}; next ok)"},
        {"late answer", [](FakeMethod& m) { m.answerPacket(R"({"rows":[["2"]]})").delay(150ms); },
         true, false, R"(answer {"rows":[["2"]]}, pumped; next ok)"},
        {"late error answer",
         [](FakeMethod& m) { m.fail(-32001, "Registro alterado por outro usuário.").delay(150ms); },
         true, false, "Registro alterado por outro usuário., pumped; next ok"},
        {"late reset", [](FakeMethod& m) { m.resetMidAnswer().delay(150ms); }, true, false,
         dropped + ", pumped; next ok after reconnecting"},
        {"no answer in time", [](FakeMethod& m) { m.delay(1500ms); }, true, false,
         timedOut + ", pumped; next ok after reconnecting"},
        // the answer is read to its end before the pump's error leaves: the line stays usable
        {"pump throws", [](FakeMethod& m) { m.answerPacket("{}").delay(150ms); }, true, true,
         "pump, pumped; next ok"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int pumps = 0;
        TNetConnection::SetWaitPump([&] {
            ++pumps;
            if (c.pumpThrows) throw std::runtime_error("pump");
        });
        net.SetConnected(true);
        fake.on("GetProdRelac").healed().answerNull().delay(0ms);
        c.script(fake.on("GetProdRelac"));
        pumps = 0;
        std::string outcome;
        try {
            outcome = "answer " + net.AppServer().Call("GetProdRelac", {}).Payload;
        } catch (const std::exception& e) {
            outcome = e.what();
        }
        if (c.late) outcome += pumps > 0 ? ", pumped" : ", not pumped";
        TNetConnection::SetWaitPump(nullptr);
        fake.on("GetProdRelac").healed().answerNull().delay(0ms);
        const int connects = fake.connectCount();
        outcome += net.AppServer().Call("GetProdRelac", {}).Ok ? "; next ok" : "; next failed";
        if (fake.connectCount() != connects) outcome += " after reconnecting";
        EXPECT_EQ(outcome, c.outcome);
    }
}

}  // namespace
