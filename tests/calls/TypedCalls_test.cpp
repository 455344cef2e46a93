// Each typed call sends its method as the server has always read it: the name, the arguments in
// order and of their kinds, the change log last; every method of the description has one. A
// call built by hand that disagrees with the description is refused before anything is sent.

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>

#include "CallsFixture.h"
#include "calls/Actions.h"
#include "calls/Reads.h"
#include "calls/Saves.h"
#include "calls/Transfer.h"

namespace {

using calls::TMergeOrder;

struct TypedCall {
    const wire::Method& method;
    std::function<void()> call;
    std::string sent;  // the call as it goes on the wire, up to the change log
};

class TypedCalls : public ServerCalls {
  protected:
    // A record set shaped as the method's answer, to load it.
    TClientDataSet& TargetFor(const wire::Method& method) {
        target = std::make_unique<TClientDataSet>("alvo", FieldsOf(method.answer));
        return *target;
    }

    std::string code = "1.01.001.0001";  // a tree code, sent in/out
    std::string operation = "I";
    std::unique_ptr<TClientDataSet> target;
};

TEST_F(TypedCalls, EverySendsItsMethodWithTheArgumentsTheDescriptionGives) {
    namespace m = wire::method;
    const TypedCall table[] = {
        {m::GetGrupSegProd, [this] { calls::GetGrupSegProd(net, TargetFor(m::GetGrupSegProd)); },
         "GetGrupSegProd()"},
        {m::GetVerifGrupo,
         [this] { calls::GetVerifGrupo(net, "0000000001", TargetFor(m::GetVerifGrupo)); },
         "GetVerifGrupo(\"0000000001\")"},
        {m::GetNmGrupo, [this] { calls::GetNmGrupo(net, "Lanches", TargetFor(m::GetNmGrupo)); },
         "GetNmGrupo(\"Lanches\")"},
        {m::GetVerifOrd, [this] { calls::GetVerifOrd(net, "7", TargetFor(m::GetVerifOrd)); },
         "GetVerifOrd(\"7\")"},
        {m::GetPesqProdPrinc,
         [this] { calls::GetPesqProdPrinc(net, TargetFor(m::GetPesqProdPrinc)); },
         "GetPesqProdPrinc()"},
        {m::GetVerifProduto,
         [this] { calls::GetVerifProduto(net, code, TargetFor(m::GetVerifProduto)); },
         "GetVerifProduto(inout \"1.01.001.0001\")"},
        {m::GetArvProd, [this] { calls::GetArvProd(net, "0000000001", TargetFor(m::GetArvProd)); },
         "GetArvProd(\"0000000001\")"},
        {m::GetVdProdPrinc,
         [this] { calls::GetVdProdPrinc(net, "0000000001", code, TargetFor(m::GetVdProdPrinc)); },
         "GetVdProdPrinc(\"0000000001\", inout \"1.01.001.0001\")"},
        {m::GetProdRelac,
         [this] { calls::GetProdRelac(net, "0000000001", "P1", TargetFor(m::GetProdRelac)); },
         "GetProdRelac(\"0000000001\", \"P1\")"},
        {m::GetPesqProd,
         [this] { calls::GetPesqProd(net, "P1", "0000000001", TargetFor(m::GetPesqProd)); },
         "GetPesqProd(\"P1\", \"0000000001\")"},
        {m::GetVdProduto,
         [this] { calls::GetVdProduto(net, "0000000001", "P1", code, TargetFor(m::GetVdProduto)); },
         "GetVdProduto(\"0000000001\", \"P1\", inout \"1.01.001.0001\")"},
        {m::GetExportaSugestoes,
         [this] { calls::GetExportaSugestoes(net, "", TargetFor(m::GetExportaSugestoes), {}); },
         "GetExportaSugestoes(\"\")"},
        {m::SetImportaSugestoes,
         [this] {
             calls::SetImportaSugestoes(net, "grupo;nome_grupo\r\n", "substituir", true,
                                        TargetFor(m::SetImportaSugestoes), {});
         },
         "SetImportaSugestoes(\"grupo;nome_grupo\r\n\", \"substituir\", \"S\")"},
        {m::GetOndeUsado, [this] { calls::GetOndeUsado(net, "P1", TargetFor(m::GetOndeUsado)); },
         "GetOndeUsado(\"P1\")"},
        {m::SetSubstituiProduto,
         [this] {
             calls::SetSubstituiProduto(net, "P1", "", true, TargetFor(m::SetSubstituiProduto));
         },
         "SetSubstituiProduto(\"P1\", \"\", \"S\")"},
        {m::GetHistorico,
         [this] { calls::GetHistorico(net, "0000000001", "", "77", TargetFor(m::GetHistorico)); },
         "GetHistorico(\"0000000001\", \"\", \"77\")"},
        {m::SetDesfazGravacao,
         [this] { calls::SetDesfazGravacao(net, "12", false, TargetFor(m::SetDesfazGravacao)); },
         "SetDesfazGravacao(\"12\", \"N\")"},
        {m::SetCopiaGrupo,
         [this] { calls::SetCopiaGrupo(net, "0000000001", "0000000002", "Cópia", "9", ""); },
         "SetCopiaGrupo(\"0000000001\", \"0000000002\", \"Cópia\", \"9\")"},
        {m::SetGrupSegProd,
         [this] { calls::SetGrupSegProd(net, groups, "", TMergeOrder::MergeThenHide); },
         "SetGrupSegProd("},
        {m::SetArvProd,
         [this] {
             calls::SetArvProd(net, TRemoteArg::InOut(operation), groups, "",
                               TMergeOrder::HideThenMerge);
         },
         "SetArvProd(inout \"I\", "},
        {m::SetProdRelac,
         [this] {
             calls::SetProdRelac(net, TRemoteArg::Text("D"), groups, "",
                                 TMergeOrder::HideThenMerge);
         },
         "SetProdRelac(\"D\", "},
    };

    std::set<std::string_view> covered;
    for (const TypedCall& row : table) {
        SCOPED_TRACE(row.method.name);
        covered.insert(row.method.name);
        if (row.method.IsWrite()) {
            LoadAndInsertOne();
        } else {
            fake.clearCalls();
            fake.on(std::string(row.method.name))
                .answerPacket(PacketJson(wire::fieldDefs(row.method.answer), {}));
        }
        row.call();

        const std::vector<FakeCall> sent = fake.calls();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].toString().substr(0, row.sent.size()), row.sent);
        EXPECT_EQ(sent[0].args.size(), row.method.params.size());
    }
    EXPECT_EQ(covered.size(), wire::kMethods.size());
}

TEST_F(TypedCalls, ATreeCodeComesBackAsTheServerLeftIt) {
    fake.on("GetVerifProduto").answerPacket(ProductsPacket({})).answerOut({"1.01.001.0002"});
    calls::GetVerifProduto(net, code, TargetFor(wire::method::GetVerifProduto));
    EXPECT_EQ(code, "1.01.001.0002");
}

// An import to apply goes with "N"; a file over the method's characters never leaves, so that
// the user is told at once instead of after sending up to 200 MiB.
TEST_F(TypedCalls, AnImportToApplySaysSoAndAFileOverTheLimitIsRefusedBeforeItIsSent) {
    const wire::Method& import = wire::method::SetImportaSugestoes;
    fake.on("SetImportaSugestoes").answerPacket(PacketJson(wire::fieldDefs(import.answer), {}));
    calls::SetImportaSugestoes(net, "x", "incluir", false, TargetFor(import), Reading());
    EXPECT_EQ(fake.callLog(), "SetImportaSugestoes(\"x\", \"incluir\", \"N\")\n");

    fake.clearCalls();
    const std::string tooLong(static_cast<std::size_t>(wire::param::kCsvText.size) + 1, 'a');
    EXPECT_THROW(
        calls::SetImportaSugestoes(net, tooLong, "incluir", true, TargetFor(import), Reading()),
        std::length_error);
    EXPECT_FALSE(AviShowing());
    EXPECT_EQ(fake.callLog(), "");
}

// Arguments the description does not take: wrong number, wrong kind, a change log not last.
TEST_F(TypedCalls, ArgumentsOtherThanTheDescriptionsAreRefusedBeforeAnythingIsSent) {
    LoadAndInsertOne();
    TClientDataSet& products = TargetFor(wire::method::GetArvProd);
    const std::function<void()> refused[] = {
        [&] { calls::Fetch(net, wire::method::GetArvProd, {}, products, Reading()); },
        [&] {
            calls::Fetch(net, wire::method::GetArvProd, {TRemoteArg::InOut(code)}, products,
                         Reading());
        },
        [&] {
            calls::Fetch(net, wire::method::GetVerifProduto, {TRemoteArg::Text(code)}, products,
                         Reading());
        },
        [&] {
            calls::Apply(net, wire::method::SetArvProd, {}, groups, "Atualiza",
                         TMergeOrder::HideThenMerge);
        },
        [&] {
            calls::Apply(net, wire::method::SetArvProd, {TRemoteArg::Packet("{}")}, groups,
                         "Atualiza", TMergeOrder::HideThenMerge);
        },
        [&] {
            calls::Apply(net, wire::method::SetGrupSegProd, {TRemoteArg::Text("I")}, groups,
                         "Atualizando", TMergeOrder::MergeThenHide);
        },
        [&] {
            calls::Apply(net, wire::method::GetArvProd, {TRemoteArg::Text("0000000001")}, groups,
                         "Atualiza", TMergeOrder::HideThenMerge);
        },
    };
    for (size_t i = 0; i < std::size(refused); ++i) {
        EXPECT_THROW(refused[i](), std::invalid_argument) << i;
        EXPECT_FALSE(AviShowing()) << i;
    }
    EXPECT_EQ(fake.callLog(), "");
    EXPECT_EQ(groups.ChangeCount(), 1);
}

}  // namespace
