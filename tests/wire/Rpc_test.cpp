#include "wire/Rpc.h"

#include <gtest/gtest.h>

#include <functional>

#include "wire/ChangeLog.h"
#include "wire/JsonAllocator.h"
#include "wire/Limits.h"

using namespace wire;

namespace {

Result<Request> read(std::string_view body, std::string* id = nullptr) {
    std::string ignored;
    return readRequest(body, id ? *id : ignored);
}

}  // namespace

TEST(RpcRequest, RoundTripOfTheThreeArgumentKinds) {
    ChangeLog log;
    log.fields = {{"A", 3}};
    log.changes = {{ChangeKind::Insert, {}, {"ção"}}};
    std::vector<Argument> args = {Argument::text("0001"), Argument::inOut("1.01.001.0001"),
                                  Argument::packet(log.toJson()), Argument::text("")};
    std::string body = writeRequest(42, "SetProdRelac", args);
    std::string id;
    auto r = read(body, &id);
    ASSERT_TRUE(r.isOk()) << r.status().message();
    EXPECT_EQ(id, "42");
    EXPECT_EQ(r->method, "SetProdRelac");
    EXPECT_FALSE(r->notification);
    EXPECT_EQ(r->params, args);
    EXPECT_TRUE(ChangeLog::fromJson(r->params[2].value).isOk());
}

TEST(RpcRequest, IdsEchoRawAndNotificationsAreMarked) {
    std::string id;
    ASSERT_TRUE(read(R"({"jsonrpc":"2.0","id":"a\"b","method":"m"})", &id).isOk());
    EXPECT_EQ(id, R"("a\"b")");
    auto n = read(R"({"jsonrpc":"2.0","method":"m","params":[]})");
    ASSERT_TRUE(n.isOk());
    EXPECT_TRUE(n->notification);
}

TEST(RpcRequest, RefusalsCarryTheRightCode) {
    struct Case {
        const char* body;
        ErrorCode code;
    } cases[] = {
        {"{", ErrorCode::ParseError},
        {R"([{"jsonrpc":"2.0","id":1,"method":"m"}])", ErrorCode::InvalidRequest},
        {R"({"jsonrpc":"1.0","id":1,"method":"m"})", ErrorCode::InvalidRequest},
        {R"({"id":1,"method":"m"})", ErrorCode::InvalidRequest},
        {R"({"jsonrpc":"2.0","id":1})", ErrorCode::InvalidRequest},
        {R"({"jsonrpc":"2.0","id":1,"method":5})", ErrorCode::InvalidRequest},
        {R"({"jsonrpc":"2.0","id":1,"method":"m","params":{"a":"b"}})", ErrorCode::InvalidParams},
        {R"({"jsonrpc":"2.0","id":1,"method":"m","params":[1]})", ErrorCode::InvalidParams},
        {R"({"jsonrpc":"2.0","id":1,"method":"m","params":[null]})", ErrorCode::InvalidParams},
        {R"({"jsonrpc":"2.0","id":1,"method":"m","params":[{"inout":1}]})",
         ErrorCode::InvalidParams},
        {R"({"jsonrpc":"2.0","id":1,"method":"m","params":[{"other":"x"}]})",
         ErrorCode::InvalidParams},
        {R"({"jsonrpc":"2.0","id":1,"method":"m","params":[{"packet":"x"}]})",
         ErrorCode::InvalidParams},
        {R"({"jsonrpc":"2.0","id":1,"method":"m","params":[{"inout":"a","packet":{}}]})",
         ErrorCode::InvalidParams},
        {"{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"m\",\"params\":[\"\xC3\x28\"]}",
         ErrorCode::ParseError},
        // Not JSON at all, whatever the first value looks like: a parse error, not a shape.
        {"[1,2", ErrorCode::ParseError},
        {"[fals]", ErrorCode::ParseError},
        {"12 x", ErrorCode::ParseError},
        {"\"texto\" sobra", ErrorCode::ParseError},
        {R"({"jsonrpc":"2.0","id":1,"method":5,})", ErrorCode::ParseError},
        {R"({"jsonrpc":"2.0","id":1,"method":"m","params":[1,}])", ErrorCode::ParseError},
        // Well-formed but not a call: the shape is what is wrong.
        {"[1,2]", ErrorCode::InvalidRequest},
        {"12", ErrorCode::InvalidRequest},
        {"\"texto\"", ErrorCode::InvalidRequest},
    };
    for (const Case& c : cases) {
        auto r = read(c.body);
        ASSERT_FALSE(r.isOk()) << c.body;
        EXPECT_EQ(r.status().code(), static_cast<int>(c.code))
            << c.body << " -> " << r.status().message();
    }
}

TEST(RpcRequest, IdReadBeforeAnErrorIsKeptForTheAnswer) {
    std::string id;
    EXPECT_FALSE(read(R"({"jsonrpc":"2.0","id":7,"method":"m","params":[3]})", &id).isOk());
    EXPECT_EQ(id, "7");
    // Text that is not JSON has no id to answer, even one read before the fault.
    EXPECT_FALSE(read(R"({"jsonrpc":"2.0","id":7,"method":5,})", &id).isOk());
    EXPECT_EQ(id, "null");
}

TEST(RpcRequest, DeepNestingIsRefused) {
    std::string body = R"({"jsonrpc":"2.0","id":1,"method":"m","params":[{"packet":)";
    for (int i = 0; i < 500000; ++i) body += R"({"a":)";
    EXPECT_EQ(read(body).status().code(), static_cast<int>(ErrorCode::ParseError));
}

TEST(RpcAnswer, ResultWithPayloadAndOut) {
    std::string packet = R"({"fields":[{"name":"A","size":1}],"rows":[["x"]]})";
    std::vector<std::string> out = {"1.01.001.0001"};
    auto r = readAnswer(writeResult("9", packet, out), 9);
    ASSERT_TRUE(r.isOk()) << r.status().message();
    EXPECT_TRUE(r->ok);
    EXPECT_EQ(r->payload, packet);
    EXPECT_EQ(r->out, out);
}

TEST(RpcAnswer, NullPayloadIsEmpty) {
    auto r = readAnswer(writeResult("3", "", {}), 3);
    ASSERT_TRUE(r.isOk());
    EXPECT_TRUE(r->payload.empty());
}

TEST(RpcAnswer, ErrorAnswerIsAnAnswer) {
    auto r = readAnswer(writeError("5", -32000, "Código já cadastrado."), 5);
    ASSERT_TRUE(r.isOk());
    EXPECT_FALSE(r->ok);
    EXPECT_EQ(r->errorCode, -32000);
    EXPECT_EQ(r->errorMessage, "Código já cadastrado.");
}

TEST(RpcAnswer, UnknownMembersAreSkipped) {
    auto r = readAnswer(
        R"({"jsonrpc":"2.0","x":[{"y":[1,2]}],"id":4,"error":{"code":-32001,"message":"m","data":{"k":[null]}}})",
        4);
    ASSERT_TRUE(r.isOk()) << r.status().message();
    EXPECT_EQ(r->errorCode, -32001);
}

TEST(RpcAnswer, AnswersNotUnderstood) {
    const char* bad[] = {
        "garbage",
        R"({"jsonrpc":"2.0","id":8,"result":{"payload":null,"out":[]}})",    // another id
        R"({"jsonrpc":"2.0","result":{"payload":null,"out":[]}})",           // no id
        R"({"jsonrpc":"2.0","id":"1","result":{"payload":null,"out":[]}})",  // id of another type
        R"({"id":1,"result":{}})",
        R"({"jsonrpc":"2.0","id":1})",
        R"({"jsonrpc":"2.0","id":1,"result":{},"error":{"code":1,"message":"x"}})",
        R"({"jsonrpc":"2.0","id":1,"error":{"message":"x"}})",
        R"({"jsonrpc":"2.0","id":1,"result":{"payload":"x"}})",
        R"({"jsonrpc":"2.0","id":1,"result":{"out":[1]}})",
        R"({"jsonrpc":"2.0","id":1,"result":{"payload":{"fields":[)",
    };
    for (const char* body : bad) EXPECT_FALSE(readAnswer(body, 1).isOk()) << body;
}

TEST(RpcAnswer, ErrorWithNullIdIsTheServersWordAboutAnUnreadableRequest) {
    auto r = readAnswer(writeError("null", -32700, "JSON inválido."), 12);
    ASSERT_TRUE(r.isOk()) << r.status().message();
    EXPECT_FALSE(r->ok);
    EXPECT_TRUE(r->unaddressed);
    EXPECT_EQ(r->errorMessage, "JSON inválido.");
    EXPECT_FALSE(readAnswer(writeError("13", -32000, "x"), 12).isOk());  // another request's
    EXPECT_FALSE(readAnswer(R"({"jsonrpc":"2.0","id":null,"result":{}})", 12).isOk());
}

namespace {

// Makes large blocks of every JSON reader and writer fail while alive, as if memory ran out.
struct FailingJsonAllocations {
    explicit FailingJsonAllocations(std::size_t from) { JsonAllocator::failFrom(from); }
    ~FailingJsonAllocations() { JsonAllocator::failFrom(SIZE_MAX); }
};

}  // namespace

TEST(RpcMemory, ExhaustionThrowsAndLeavesTheNextCallWhole) {
    const std::string big(24 * 1024, 'x');  // within the general bound of a text
    const std::vector<Argument> args = {Argument::text(big)};
    const std::string body = writeRequest(1, "GetNmGrupo", args);
    const std::vector<std::function<void()>> steps = {
        [&] { read(body); },
        [&] { writeRequest(1, "GetNmGrupo", args); },
        [&] { writeResult("1", "null", std::vector<std::string>{big}); },
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        {
            FailingJsonAllocations failing(16 * 1024);
            EXPECT_THROW(steps[i](), std::bad_alloc) << "step " << i;
        }
        EXPECT_NO_THROW(steps[i]()) << "step " << i;
    }
    auto again = read(body);
    ASSERT_TRUE(again.isOk());
    EXPECT_EQ(again->params, args);
}

namespace {

// Methods and the characters of their longest text argument, as a server's table gives them.
std::size_t testMaxText(std::string_view method) {
    if (method == "Code10") return 10;
    if (method == "Op1") return 1;
    return 0;
}

// "code: message" of a refused request, or "ok".
std::string readOutcome(std::string_view body) {
    std::string id;
    auto r = readRequest(body, id, &testMaxText);
    return r ? "ok" : std::to_string(r.status().code()) + ": " + r.status().message();
}

std::string call(std::string_view method, std::string_view paramsJson) {
    return R"({"jsonrpc":"2.0","id":1,"method":")" + std::string(method) + R"(","params":)" +
           std::string(paramsJson) + "}";
}

}  // namespace

TEST(RpcRequest, TextArgumentsPastTheMethodsLongestFieldAreRefusedWhileRead) {
    const std::string b40(40, 'x'), b41(41, 'x'), b5(5, 'x');
    const std::string general(kMaxTextBytes + 1, 'g');
    const std::string code10 =
        "-32602: Parâmetros inválidos: o argumento 1 excede 10 caracteres, o maior texto que "
        "Code10 aceita.";
    struct Case {
        std::string body;
        std::string outcome;
    };
    const Case cases[] = {
        // Within four bytes a character, the field's own check counts characters later.
        {call("Code10", "[\"" + b40 + "\"]"), "ok"},
        {call("Code10", "[\"" + b41 + "\"]"), code10},
        {call("Code10", "[{\"inout\":\"" + b41 + "\"}]"), code10},
        {call("Op1", "[\"a\",\"" + b5 + "\"]"),
         "-32602: Parâmetros inválidos: o argumento 2 excede 1 caracteres, o maior texto que Op1 "
         "aceita."},
        // Escapes count as what they decode to.
        {call("Code10", "[\"" + std::string(40, 'x').replace(0, 1, "\\u00e9") + "\"]"), code10},
        // A packet's values keep the limits of packets.
        {call("Op1", "[\"I\",{\"packet\":{\"v\":\"" + b41 + "\"}}]"), "ok"},
        // Unknown methods, or params before the method, have the general bound.
        {call("Other", "[\"" + b41 + "\"]"), "ok"},
        {call("Other", "[\"" + general + "\"]"),
         "-32602: Parâmetros inválidos: o argumento 1 tem um texto de mais de 8192 caracteres."},
        {R"({"jsonrpc":"2.0","id":1,"params":[")" + b41 + R"("],"method":"Code10"})", "ok"},
        {R"({"jsonrpc":"2.0","id":1,"x":")" + general + R"(","method":"Code10"})",
         "-32600: Requisição inválida: texto longo demais."},
    };
    for (const auto& c : cases) EXPECT_EQ(readOutcome(c.body), c.outcome) << c.body.substr(0, 120);
}

TEST(RpcRequest, AnOversizedTextIsRefusedBeforeItIsCopiedWhole) {
    const std::string body = call("Code10", "[\"" + std::string(4 * 1024 * 1024, 'x') + "\"]");
    FailingJsonAllocations failing(64 * 1024);
    std::string id;
    auto r = readRequest(body, id, &testMaxText);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.status().code(), -32602);
    EXPECT_EQ(id, "1");
}
