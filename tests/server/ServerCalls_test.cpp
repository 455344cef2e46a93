#include <gtest/gtest.h>

#include "Apply.h"
#include "BusyAnimation.h"
#include "EAbort.h"
#include "Fetch.h"
#include "Packets.h"
#include "Support.h"
#include "TClientDataSet.h"
#include "TScriptedDialogs.h"

namespace {

std::vector<TFieldDef> GroupFields() {
    return {{"CDGRUSUGESPROD", 10, "Código", 12, true},
            {"NMGRUSUGESPROD", 40, "Grupo", 45, true},
            {"NRORDEM", 4, "Ordem", 10, true}};
}

// The server's message reached the user in exactly one dialog.
bool ShownOnce(const TScriptedDialogs& dialogs, const std::string& text) {
    return dialogs.Log.size() == 1 && dialogs.Last().ends_with(": " + text);
}

// What the animation looked like while the server answered: "kind caption" or "none".
struct AviSeen {
    std::string text;
    FakeReply Record(FakeReply reply) {
        text = AviShowing() ? std::to_string(AviKind()) + " " + AviCaption() : "none";
        return reply;
    }
};

class ServerCalls : public ::testing::Test {
  protected:
    ServerCalls() : net(fake.transport()), groups("cdsGrupSegProd", GroupFields()) {
        net.ServerName = FakeAppServer::kModule;
        net.ThrowException = false;
        net.Port = 8427;  // any valid port: the fake transport opens no socket
        net.SetConnected(true);
    }

    void ScriptGroups(const std::string& packet) {
        fake.on("GetGrupSegProd").answerWith([this, packet](const FakeCall&) {
            return seen.Record(FakeReply::packet(packet));
        });
    }

    server::TFetchOptions Reading(std::string key = "") {
        server::TFetchOptions o;
        o.AviKind = aviReading;
        o.Caption = "Verificando...";
        o.KeyField = std::move(key);
        return o;
    }

    FakeAppServer fake;
    TScriptedDialogs dialogs;
    TNetConnection net;
    TClientDataSet groups;
    AviSeen seen;
};

TEST_F(ServerCalls, FetchLoadsThePayloadUnderTheAnimationAndHidesIt) {
    ScriptGroups(GroupsPacket(3));
    server::Fetch(net, "GetGrupSegProd", {}, groups, Reading());
    EXPECT_EQ(fake.callLog(), "GetGrupSegProd()\n");
    EXPECT_EQ(seen.text, "6 Verificando...");
    EXPECT_FALSE(AviShowing());
    EXPECT_EQ(groups.RecordCount(), 3);
    EXPECT_EQ(groups.RecNo(), 0);
}

TEST_F(ServerCalls, FetchWithoutAnimationShowsNone) {
    ScriptGroups(GroupsPacket(1));
    server::Fetch(net, "GetGrupSegProd", {}, groups, {});
    EXPECT_EQ(seen.text, "none");
}

TEST_F(ServerCalls, FetchPassesArgumentsInOrderAndWritesInOutBack) {
    fake.on("GetVdProduto").answerPacket(GroupsPacket(0)).answerOut({"1.01.001.0002"});
    std::string typed = "1.01.001.0001";
    server::Fetch(
        net, "GetVdProduto",
        {TRemoteArg::Text("0000000001"), TRemoteArg::Text("P1"), TRemoteArg::InOut(typed)}, groups,
        {});
    EXPECT_EQ(fake.calls().at(0).values(),
              (std::vector<std::string>{"0000000001", "P1", "1.01.001.0001"}));
    EXPECT_EQ(typed, "1.01.001.0002");
}

TEST_F(ServerCalls, FetchRepositionsOnTheSavedKeyOrStaysOnTheFirstRow) {
    ScriptGroups(GroupsPacket(5));
    server::Fetch(net, "GetGrupSegProd", {}, groups, {});
    groups.MoveTo(3);
    server::Fetch(net, "GetGrupSegProd", {}, groups, Reading("CDGRUSUGESPROD"));
    EXPECT_EQ(groups.FieldByName("CDGRUSUGESPROD").AsString(), "0000000004");

    ScriptGroups(GroupsPacket(2));  // the row went away meanwhile
    server::Fetch(net, "GetGrupSegProd", {}, groups, Reading("CDGRUSUGESPROD"));
    EXPECT_EQ(groups.RecNo(), 0);
}

TEST_F(ServerCalls, AfterLoadRunsBeforeTheAnimationIsHidden) {
    ScriptGroups(GroupsPacket(1));
    bool showing = false;
    server::TFetchOptions o = Reading();
    o.AfterLoad = [&] { showing = AviShowing(); };
    server::Fetch(net, "GetGrupSegProd", {}, groups, o);
    EXPECT_TRUE(showing);
    EXPECT_FALSE(AviShowing());
}

TEST_F(ServerCalls, RefusedFetchReportsHidesAndKeepsTheOldRows) {
    ScriptGroups(GroupsPacket(2));
    server::Fetch(net, "GetGrupSegProd", {}, groups, {});
    fake.on("GetGrupSegProd").fail(-32000, "Banco de dados indisponível.");
    EXPECT_THROW(server::Fetch(net, "GetGrupSegProd", {}, groups, Reading()), EAbort);
    EXPECT_FALSE(AviShowing());
    EXPECT_TRUE(ShownOnce(dialogs, "Banco de dados indisponível."));
    EXPECT_EQ(groups.RecordCount(), 2);
}

TEST_F(ServerCalls, PacketThatDoesNotFitFailsAfterTheCallAndHidesTheAnimation) {
    fake.on("GetGrupSegProd").answerPacket(R"({"fields":[{"name":"OUTRO","size":3}],"rows":[]})");
    EXPECT_THROW(server::Fetch(net, "GetGrupSegProd", {}, groups, Reading()), EDatabaseError);
    EXPECT_FALSE(AviShowing());
}

TEST_F(ServerCalls, ClosedConnectionFailsAndHidesTheAnimation) {
    net.SetConnected(false);
    EXPECT_THROW(server::Fetch(net, "GetGrupSegProd", {}, groups, Reading()), EDatabaseError);
    EXPECT_FALSE(AviShowing());
}

class ApplyCalls : public ServerCalls {
  protected:
    void LoadAndInsertOne() {
        fake.on("GetGrupSegProd").answerPacket(GroupsPacket(1));
        server::Fetch(net, "GetGrupSegProd", {}, groups, {});
        groups.Append();
        groups.FieldByName("CDGRUSUGESPROD").SetAsString("0000000009");
        groups.FieldByName("NMGRUSUGESPROD").SetAsString("Lanches");
        groups.Post();
        fake.clearCalls();
    }
};

TEST_F(ApplyCalls, NothingPendingSendsNothingAndShowsNothing) {
    fake.on("GetGrupSegProd").answerPacket(GroupsPacket(1));
    server::Fetch(net, "GetGrupSegProd", {}, groups, {});
    fake.clearCalls();
    EXPECT_FALSE(server::Apply(net, "SetGrupSegProd", {}, groups, "Atualizando",
                               server::TMergeOrder::MergeThenHide));
    EXPECT_EQ(fake.callLog(), "");
    EXPECT_FALSE(AviShowing());
}

TEST_F(ApplyCalls, SendsOperationCodeThenChangeLogUnderTheSavingAnimationAndMerges) {
    LoadAndInsertOne();
    fake.on("SetArvProd").answerWith([this](const FakeCall&) {
        return seen.Record(FakeReply{{}, std::vector<std::string>{"I"}, 0, {}});
    });
    std::string op = "I";
    EXPECT_TRUE(server::Apply(net, "SetArvProd", {TRemoteArg::InOut(op)}, groups, "Atualiza",
                              server::TMergeOrder::HideThenMerge));
    const std::vector<FakeCall> calls = fake.calls();
    ASSERT_EQ(calls.size(), 1u);
    const FakeCall& call = calls[0];
    ASSERT_EQ(call.args.size(), 2u);
    EXPECT_EQ(call.toString().substr(0, 22), "SetArvProd(inout \"I\", ");
    EXPECT_EQ(call.args[1].kind, wire::ArgKind::Packet);
    EXPECT_NE(call.args[1].value.find("Lanches"), std::string::npos);
    EXPECT_EQ(seen.text, "1 Atualiza");
    EXPECT_FALSE(AviShowing());
    EXPECT_EQ(groups.ChangeCount(), 0);
}

TEST_F(ApplyCalls, RefusedSaveReportsHidesAndKeepsTheChangeLogPending) {
    LoadAndInsertOne();
    fake.on("SetGrupSegProd").fail(-32000, "Código já cadastrado.");
    EXPECT_THROW(server::Apply(net, "SetGrupSegProd", {}, groups, "Atualizando",
                               server::TMergeOrder::MergeThenHide),
                 EAbort);
    EXPECT_FALSE(AviShowing());
    EXPECT_TRUE(ShownOnce(dialogs, "Código já cadastrado."));
    EXPECT_EQ(groups.ChangeCount(), 1);
}

}  // namespace
