// The connection over the in-process fake: call encoding, in/out write-back, error answers,
// connecting and the wait pump. Socket behaviour is in TNetConnectionSocket_test.cpp.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "dataaccess/TNetConnection.h"
#include "support/FakeAppServer.h"

using namespace std::chrono_literals;

namespace {

class TNetConnectionTest : public ::testing::Test {
  protected:
    TNetConnectionTest() {
        net.ServerName = FakeAppServer::kModule;
        net.Host = "127.0.0.1";
        net.Port = 8427;
    }
    ~TNetConnectionTest() override { TNetConnection::SetWaitPump(nullptr); }

    // The message of the EDatabaseError that fn throws; fails the test when none is thrown.
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

    FakeAppServer fake;
    TNetConnection net{fake.transport()};
};

TEST_F(TNetConnectionTest, ArgumentsTravelInOrderWithTheirKinds) {
    net.SetConnected(true);
    std::string code = "01.002";
    net.AppServer().Call("SetProdRelac",
                         {TRemoteArg::Text("Açúcar \"cristal\""), TRemoteArg::InOut(code),
                          TRemoteArg::Packet(R"({"fields":[],"rows":[]})")});
    net.AppServer().Call("GetGrupSegProd", {});
    EXPECT_EQ(fake.callLog(),
              "SetProdRelac(\"Açúcar \"cristal\"\", inout \"01.002\", "
              "packet {\"fields\":[],\"rows\":[]})\n"
              "GetGrupSegProd()\n");
    EXPECT_EQ(fake.describeCount(), 1);
}

TEST_F(TNetConnectionTest, InOutValuesAreWrittenBackInTheirOrder) {
    fake.on("GetVerifProduto").answerOut({"first", "second"}).answerPacket(R"({"rows":[]})");
    net.SetConnected(true);
    std::string a = "a", text = "t", b = "b";
    auto answer = net.AppServer().Call(
        "GetVerifProduto", {TRemoteArg::InOut(a), TRemoteArg::Text(text), TRemoteArg::InOut(b)});
    EXPECT_TRUE(answer.Ok);
    EXPECT_EQ(answer.Payload, R"({"rows":[]})");
    EXPECT_EQ(a + "|" + text + "|" + b, "first|t|second");

    fake.on("GetVerifProduto").answerNull();
    EXPECT_EQ(net.AppServer()
                  .Call("GetVerifProduto", {TRemoteArg::InOut(a), TRemoteArg::InOut(b)})
                  .Payload,
              "");
}

TEST_F(TNetConnectionTest, ServerErrorThrowsOrComesBackAsToldAndLeavesVariables) {
    fake.on("SetArvProd").fail(-32000, "Código já cadastrado.");
    net.SetConnected(true);
    std::string op = "I";
    EXPECT_EQ(
        errorOf([&] {
            net.AppServer().Call("SetArvProd", {TRemoteArg::InOut(op), TRemoteArg::Packet("{}")});
        }),
        "Código já cadastrado.");
    EXPECT_EQ(op, "I");

    net.ThrowException = false;
    auto answer =
        net.AppServer().Call("SetArvProd", {TRemoteArg::InOut(op), TRemoteArg::Packet("{}")});
    EXPECT_FALSE(answer.Ok);
    EXPECT_EQ(answer.ErrorCode, -32000);
    EXPECT_EQ(answer.ErrorMessage, "Código já cadastrado.");
    EXPECT_EQ(op, "I");
    EXPECT_TRUE(net.Connected());
}

TEST_F(TNetConnectionTest, ServerErrorWithoutTextStillExplainsItself) {
    fake.on("GetArvProd").fail(-32603, "");
    net.ThrowException = false;
    net.SetConnected(true);
    EXPECT_EQ(net.AppServer().Call("GetArvProd", {}).ErrorMessage,
              "O servidor recusou a chamada GetArvProd (código -32603).");
}

TEST_F(TNetConnectionTest, AnswerWithWrongNumberOfOutValuesChangesNothing) {
    fake.on("GetVdProduto").answerOut({"x", "y"});
    net.SetConnected(true);
    std::string code = "123";
    auto message =
        errorOf([&] { net.AppServer().Call("GetVdProduto", {TRemoteArg::InOut(code)}); });
    EXPECT_EQ(message.rfind("Resposta não compreendida de 127.0.0.1:8427", 0), 0u) << message;
    EXPECT_EQ(code, "123");
}

TEST_F(TNetConnectionTest, BeforeConnectRunsBeforeEachConnectAndMaySetTheEndpoint) {
    int runs = 0;
    net.BeforeConnect = [&](TNetConnection& c) {
        ++runs;
        c.Host = "localhost";
        c.Port = 9000 + runs;
    };
    net.SetConnected(true);
    net.SetConnected(true);  // already connected: no new connect
    net.SetConnected(false);
    fake.refuseConnections(true);
    EXPECT_EQ(errorOf([&] { net.SetConnected(true); }), "Conexão recusada por localhost:9002.");
    EXPECT_EQ(runs, 2);
    EXPECT_FALSE(net.Connected());
}

TEST_F(TNetConnectionTest, ConnectRefusesAServerThatDoesNotHostTheModule) {
    const std::string refusal =
        "O servidor 127.0.0.1:8427 não hospeda o módulo VLP27000.rdmSugestaoProd.";
    fake.describeModuleAs("VLP99000.rdmOutro");
    EXPECT_EQ(errorOf([&] { net.SetConnected(true); }), refusal);
    EXPECT_FALSE(net.Connected());

    fake.describeModuleAs(FakeAppServer::kModule);
    fake.on("rpc.describe").fail(-32601, "Método desconhecido.");
    EXPECT_EQ(errorOf([&] { net.SetConnected(true); }), refusal);

    FakeAppServer other("VLP99000.rdmOutro");  // the path itself is unknown there: HTTP 404
    TNetConnection elsewhere(other.transport());
    elsewhere.ServerName = FakeAppServer::kModule;
    elsewhere.Port = 8427;
    EXPECT_EQ(errorOf([&] { elsewhere.SetConnected(true); }), refusal);
    EXPECT_FALSE(elsewhere.Connected());
}

TEST_F(TNetConnectionTest, ModuleCheckReadsRefusalsWithoutIdAndRejectsForeignIds) {
    // a server refusing the path before reading the request cannot echo the id
    fake.on("rpc.describe").fault(FakeFault::NullId).fail(-32601, "Módulo não encontrado.");
    EXPECT_EQ(errorOf([&] { net.SetConnected(true); }),
              "O servidor 127.0.0.1:8427 não hospeda o módulo VLP27000.rdmSugestaoProd.");
    fake.on("rpc.describe").fault(FakeFault::NullId).fail(-32004, "Banco de dados indisponível.");
    EXPECT_EQ(errorOf([&] { net.SetConnected(true); }), "Banco de dados indisponível.");
    fake.on("rpc.describe").fault(FakeFault::WrongId).fail(-32601, "Módulo não encontrado.");
    auto message = errorOf([&] { net.SetConnected(true); });
    EXPECT_EQ(message.rfind("Resposta não compreendida de 127.0.0.1:8427", 0), 0u) << message;
    EXPECT_FALSE(net.Connected());
}

TEST_F(TNetConnectionTest, ErrorWithoutIdIsTheServersWordAndOtherIdsAreNot) {
    net.SetConnected(true);
    std::string op = "I";
    fake.on("SetArvProd").fault(FakeFault::NullId).fail(-32003, "Pedido grande demais.");
    EXPECT_EQ(errorOf([&] { net.AppServer().Call("SetArvProd", {TRemoteArg::InOut(op)}); }),
              "Pedido grande demais.");
    net.ThrowException = false;
    auto answer = net.AppServer().Call("SetArvProd", {TRemoteArg::InOut(op)});
    EXPECT_EQ(answer.ErrorCode, -32003);
    fake.on("SetArvProd").fault(FakeFault::WrongId).answerOut({"X"});
    auto message = errorOf([&] { net.AppServer().Call("SetArvProd", {TRemoteArg::InOut(op)}); });
    EXPECT_EQ(message, "Resposta não compreendida de 127.0.0.1:8427: o id não é o da requisição.");
    EXPECT_EQ(op, "I");
}

TEST_F(TNetConnectionTest, CallsNeedAnOpenConnection) {
    EXPECT_EQ(errorOf([&] { net.AppServer(); }),
              "Não há conexão com o módulo VLP27000.rdmSugestaoProd em 127.0.0.1:8427.");
    net.SetConnected(true);
    net.SetConnected(false);
    EXPECT_THROW(net.AppServer().Call("GetGrupSegProd", {}), EDatabaseError);
    EXPECT_TRUE(fake.calls().empty());
}

TEST_F(TNetConnectionTest, BadSettingsAreRefusedBeforeAnythingIsSent) {
    net.Port = 0;
    EXPECT_EQ(errorOf([&] { net.SetConnected(true); }),
              "Porta inválida para o servidor 127.0.0.1: 0.");
    net.Port = 70000;
    EXPECT_THROW(net.SetConnected(true), EDatabaseError);
    net.Port = 8427;
    net.Host = "";
    EXPECT_EQ(errorOf([&] { net.SetConnected(true); }),
              "O endereço do servidor de aplicação não foi informado.");
    net.Host = "srv\r\nX-Injected: 1";
    EXPECT_THROW(net.SetConnected(true), EDatabaseError);
    net.Host = "127.0.0.1";
    net.ServerName = "VLP27000.rdm/../x";
    EXPECT_EQ(errorOf([&] { net.SetConnected(true); }),
              "Nome de módulo inválido: \"VLP27000.rdm/../x\".");
    EXPECT_EQ(fake.connectCount(), 0);
    EXPECT_FALSE(net.Connected());
}

TEST_F(TNetConnectionTest, BadCallsAreRefusedBeforeAnythingIsSent) {
    net.SetConnected(true);
    EXPECT_EQ(errorOf([&] { net.AppServer().Call("SetGrupSegProd", {TRemoteArg::Packet("")}); }),
              "Pacote vazio no argumento 1 da chamada SetGrupSegProd.");
    EXPECT_THROW(net.AppServer().Call("", {}), EDatabaseError);
    EXPECT_THROW(net.AppServer().Call(std::string(500, 'x'), {}), EDatabaseError);
    EXPECT_TRUE(fake.calls().empty());
}

TEST_F(TNetConnectionTest, DroppedConnectionIsReopenedByTheNextCall) {
    fake.on("GetArvProd").resetMidAnswer();
    net.SetConnected(true);
    std::string group = "7";
    EXPECT_EQ(errorOf([&] { net.AppServer().Call("GetArvProd", {TRemoteArg::InOut(group)}); }),
              "A conexão com 127.0.0.1:8427 caiu durante a resposta.");
    EXPECT_TRUE(net.Connected());
    fake.on("GetArvProd").healed().answerOut({"8"});
    EXPECT_TRUE(net.AppServer().Call("GetArvProd", {TRemoteArg::InOut(group)}).Ok);
    EXPECT_EQ(group, "8");
    EXPECT_EQ(fake.connectCount(), 2);
}

TEST_F(TNetConnectionTest, WaitPumpRunsOnTheCallerWhileTheAnswerIsAwaited) {
    const auto caller = std::this_thread::get_id();
    std::atomic<bool> servedElsewhere = false;
    fake.on("GetProdRelac").delay(120ms).answerWith([&](const FakeCall& call) {
        servedElsewhere = std::this_thread::get_id() != caller;
        return FakeReply::packet(R"({"rows":[[")" + call.args[0].value + R"("]]})");
    });
    int pumps = 0;
    bool pumpOnCaller = true;
    TNetConnection::SetWaitPump([&] {
        ++pumps;
        pumpOnCaller = pumpOnCaller && std::this_thread::get_id() == caller;
    });
    net.SetConnected(true);
    const int pumpsWhileConnecting = pumps;  // none when the connect is quick
    auto answer = net.AppServer().Call("GetProdRelac", {TRemoteArg::Text("42")});
    EXPECT_EQ(answer.Payload, R"({"rows":[["42"]]})");
    EXPECT_GE(pumps - pumpsWhileConnecting, 5);  // ~120 ms at a few ms per turn
    EXPECT_TRUE(pumpOnCaller);
    EXPECT_TRUE(servedElsewhere);
}

TEST_F(TNetConnectionTest, WaitPumpPassesFailuresToTheCaller) {
    TNetConnection::SetWaitPump([] {});
    fake.on("GetArvProd").fail(-32001, "Registro alterado por outro usuário.");
    net.SetConnected(true);
    EXPECT_EQ(errorOf([&] { net.AppServer().Call("GetArvProd", {}); }),
              "Registro alterado por outro usuário.");
    fake.on("GetArvProd").resetMidAnswer();
    EXPECT_THROW(net.AppServer().Call("GetArvProd", {}), ETransportError);
    fake.refuseConnections(true);
    net.SetConnected(false);
    EXPECT_THROW(net.SetConnected(true), ETransportError);
}

TEST_F(TNetConnectionTest, CallFromInsideTheWaitPumpIsRefused) {
    fake.on("GetGrupSegProd").delay(30ms);
    net.SetConnected(true);
    std::string nested;
    TNetConnection::SetWaitPump([&] {
        if (nested.empty()) nested = errorOf([&] { net.AppServer().Call("GetNmGrupo", {}); });
    });
    EXPECT_TRUE(net.AppServer().Call("GetGrupSegProd", {}).Ok);
    EXPECT_EQ(
        nested,
        "Uma chamada ao servidor de aplicação ainda está em andamento; aguarde o seu término.");
    EXPECT_EQ(fake.callLog(), "GetGrupSegProd()\n");
}

}  // namespace
