#include <gtest/gtest.h>

#include "CallsFixture.h"
#include "calls/Apply.h"
#include "framework/EAbort.h"

namespace {

TEST_F(ServerCalls, FetchLoadsThePayloadUnderTheAnimationAndHidesIt) {
    ScriptGroups(GroupsPacket(3));
    calls::Fetch(net, wire::method::GetGrupSegProd, {}, groups, Reading());
    EXPECT_EQ(fake.callLog(), "GetGrupSegProd()\n");
    EXPECT_EQ(seen.text, "6 Verificando...");
    EXPECT_FALSE(AviShowing());
    EXPECT_EQ(groups.RecordCount(), 3);
    EXPECT_EQ(groups.RecNo(), 0);
}

TEST_F(ServerCalls, FetchWithoutAnimationShowsNone) {
    ScriptGroups(GroupsPacket(1));
    calls::Fetch(net, wire::method::GetGrupSegProd, {}, groups, {});
    EXPECT_EQ(seen.text, "none");
}

TEST_F(ServerCalls, FetchPassesArgumentsInOrderAndWritesInOutBack) {
    fake.on("GetVdProduto").answerPacket(GroupsPacket(0)).answerOut({"1.01.001.0002"});
    std::string typed = "1.01.001.0001";
    calls::Fetch(net, wire::method::GetVdProduto,
                 {TRemoteArg::Text("0000000001"), TRemoteArg::Text("P1"), TRemoteArg::InOut(typed)},
                 groups, {});
    EXPECT_EQ(fake.calls().at(0).values(),
              (std::vector<std::string>{"0000000001", "P1", "1.01.001.0001"}));
    EXPECT_EQ(typed, "1.01.001.0002");
}

TEST_F(ServerCalls, FetchRepositionsOnTheSavedKeyOrStaysOnTheFirstRow) {
    ScriptGroups(GroupsPacket(5));
    calls::Fetch(net, wire::method::GetGrupSegProd, {}, groups, {});
    groups.MoveTo(3);
    calls::Fetch(net, wire::method::GetGrupSegProd, {}, groups, Reading("CDGRUSUGESPROD"));
    EXPECT_EQ(groups.FieldByName("CDGRUSUGESPROD").AsString(), "0000000004");

    ScriptGroups(GroupsPacket(2));  // the row went away meanwhile
    calls::Fetch(net, wire::method::GetGrupSegProd, {}, groups, Reading("CDGRUSUGESPROD"));
    EXPECT_EQ(groups.RecNo(), 0);
}

TEST_F(ServerCalls, AfterLoadRunsBeforeTheAnimationIsHidden) {
    ScriptGroups(GroupsPacket(1));
    bool showing = false;
    calls::TFetchOptions o = Reading();
    o.AfterLoad = [&] { showing = AviShowing(); };
    calls::Fetch(net, wire::method::GetGrupSegProd, {}, groups, o);
    EXPECT_TRUE(showing);
    EXPECT_FALSE(AviShowing());
}

TEST_F(ServerCalls, RefusedFetchReportsHidesAndKeepsTheOldRows) {
    ScriptGroups(GroupsPacket(2));
    calls::Fetch(net, wire::method::GetGrupSegProd, {}, groups, {});
    fake.on("GetGrupSegProd").fail(-32000, "Banco de dados indisponível.");
    EXPECT_THROW(calls::Fetch(net, wire::method::GetGrupSegProd, {}, groups, Reading()), EAbort);
    EXPECT_FALSE(AviShowing());
    EXPECT_TRUE(ShownOnce(dialogs, "Banco de dados indisponível."));
    EXPECT_EQ(groups.RecordCount(), 2);
}

TEST_F(ServerCalls, PacketThatDoesNotFitFailsAfterTheCallAndHidesTheAnimation) {
    fake.on("GetGrupSegProd").answerPacket(R"({"fields":[{"name":"OUTRO","size":3}],"rows":[]})");
    EXPECT_THROW(calls::Fetch(net, wire::method::GetGrupSegProd, {}, groups, Reading()),
                 EDatabaseError);
    EXPECT_FALSE(AviShowing());
}

TEST_F(ServerCalls, ClosedConnectionFailsAndHidesTheAnimation) {
    net.SetConnected(false);
    EXPECT_THROW(calls::Fetch(net, wire::method::GetGrupSegProd, {}, groups, Reading()),
                 EDatabaseError);
    EXPECT_FALSE(AviShowing());
}

class ApplyCalls : public ServerCalls {};

TEST_F(ApplyCalls, NothingPendingSendsNothingAndShowsNothing) {
    fake.on("GetGrupSegProd").answerPacket(GroupsPacket(1));
    calls::Fetch(net, wire::method::GetGrupSegProd, {}, groups, {});
    fake.clearCalls();
    EXPECT_FALSE(calls::Apply(net, wire::method::SetGrupSegProd, {}, groups, "Atualizando",
                              calls::TMergeOrder::MergeThenHide));
    EXPECT_EQ(fake.callLog(), "");
    EXPECT_FALSE(AviShowing());
}

TEST_F(ApplyCalls, SendsOperationCodeThenChangeLogUnderTheSavingAnimationAndMerges) {
    LoadAndInsertOne();
    fake.on("SetArvProd").answerWith([this](const FakeCall&) {
        return seen.Record(FakeReply{{}, std::vector<std::string>{"I"}, 0, {}});
    });
    std::string op = "I";
    EXPECT_TRUE(calls::Apply(net, wire::method::SetArvProd, {TRemoteArg::InOut(op)}, groups,
                             "Atualiza", calls::TMergeOrder::HideThenMerge));
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
    EXPECT_THROW(calls::Apply(net, wire::method::SetGrupSegProd, {}, groups, "Atualizando",
                              calls::TMergeOrder::MergeThenHide),
                 EAbort);
    EXPECT_FALSE(AviShowing());
    EXPECT_TRUE(ShownOnce(dialogs, "Código já cadastrado."));
    EXPECT_EQ(groups.ChangeCount(), 1);
}

}  // namespace
