#include "RpcModuleCheck.h"

#include <rapidjson/document.h>

#include "wire/Status.h"

namespace {

// A describe answer is a few hundred bytes; anything far larger is not one.
constexpr std::size_t kMaxDescribeBytes = 1u << 20;

RpcModuleCheck::Outcome notUnderstood(std::string why) {
    return {RpcModuleCheck::Verdict::NotUnderstood, std::move(why)};
}

}  // namespace

std::string RpcModuleCheck::request(std::int64_t id) {
    return R"({"jsonrpc":"2.0","id":)" + std::to_string(id) + R"(,"method":"rpc.describe"})";
}

RpcModuleCheck::Outcome RpcModuleCheck::read(std::string_view body, std::int64_t id,
                                             std::string_view module) {
    if (body.size() > kMaxDescribeBytes) return notUnderstood("resposta grande demais");
    rapidjson::Document doc;
    doc.Parse<rapidjson::kParseIterativeFlag>(body.data(), body.size());
    if (doc.HasParseError() || !doc.IsObject()) return notUnderstood("não é JSON-RPC");
    auto version = doc.FindMember("jsonrpc");
    if (version == doc.MemberEnd() || !version->value.IsString() ||
        std::string_view(version->value.GetString()) != "2.0")
        return notUnderstood("não é JSON-RPC 2.0");
    auto answerId = doc.FindMember("id");
    const bool ours = answerId != doc.MemberEnd() && answerId->value.IsInt64() &&
                      answerId->value.GetInt64() == id;
    // A server refuses an unknown path before reading the request: its error carries id null.
    const bool unaddressed = answerId != doc.MemberEnd() && answerId->value.IsNull();
    if (!ours && !(unaddressed && doc.HasMember("error")))
        return notUnderstood("identificador da resposta não confere");

    if (auto error = doc.FindMember("error"); error != doc.MemberEnd() && error->value.IsObject()) {
        auto code = error->value.FindMember("code");
        auto message = error->value.FindMember("message");
        if (code == error->value.MemberEnd() || !code->value.IsInt())
            return notUnderstood("erro sem código");
        if (code->value.GetInt() == static_cast<int>(wire::ErrorCode::MethodNotFound))
            return {Verdict::NotHosted, {}};
        std::string text;
        if (message != error->value.MemberEnd() && message->value.IsString())
            text.assign(message->value.GetString(), message->value.GetStringLength());
        return {Verdict::ServerError, std::move(text)};
    }
    auto result = doc.FindMember("result");
    if (result == doc.MemberEnd() || !result->value.IsObject())
        return notUnderstood("resposta sem resultado");
    auto name = result->value.FindMember("module");
    if (name == result->value.MemberEnd() || !name->value.IsString())
        return notUnderstood("resposta sem o nome do módulo");
    std::string_view hosted(name->value.GetString(), name->value.GetStringLength());
    return {hosted == module ? Verdict::Hosted : Verdict::NotHosted, {}};
}
