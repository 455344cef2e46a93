#include "dataaccess/RpcModuleCheck.h"

#include <rapidjson/document.h>

#include "wire/Status.h"

namespace {

// A describe answer is a few hundred bytes; anything far larger is not one.
constexpr std::size_t kMaxDescribeBytes = 1u << 20;

// The member's value, or null. (Comparing RapidJSON's member iterators ourselves is ambiguous in
// C++20, so the lookup stays inside the library.)
const rapidjson::Value* member(const rapidjson::Value& object, const char* name) {
    return object.IsObject() && object.HasMember(name) ? &object[name] : nullptr;
}

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
    const rapidjson::Value* version = member(doc, "jsonrpc");
    if (!version || !version->IsString() || std::string_view(version->GetString()) != "2.0")
        return notUnderstood("não é JSON-RPC 2.0");
    const rapidjson::Value* answerId = member(doc, "id");
    const bool ours = answerId && answerId->IsInt64() && answerId->GetInt64() == id;
    // A server refuses an unknown path before reading the request: its error carries id null.
    const bool unaddressed = answerId && answerId->IsNull();
    if (!ours && !(unaddressed && doc.HasMember("error")))
        return notUnderstood("identificador da resposta não confere");

    if (const rapidjson::Value* error = member(doc, "error"); error && error->IsObject()) {
        const rapidjson::Value* code = member(*error, "code");
        const rapidjson::Value* message = member(*error, "message");
        if (!code || !code->IsInt()) return notUnderstood("erro sem código");
        if (code->GetInt() == static_cast<int>(wire::ErrorCode::MethodNotFound))
            return {Verdict::NotHosted, {}};
        std::string text;
        if (message && message->IsString())
            text.assign(message->GetString(), message->GetStringLength());
        const bool whoCalls = code->GetInt() == static_cast<int>(wire::ErrorCode::Unauthenticated);
        return {whoCalls ? Verdict::Unauthenticated : Verdict::ServerError, std::move(text)};
    }
    const rapidjson::Value* result = member(doc, "result");
    if (!result || !result->IsObject()) return notUnderstood("resposta sem resultado");
    const rapidjson::Value* name = member(*result, "module");
    if (!name || !name->IsString()) return notUnderstood("resposta sem o nome do módulo");
    std::string_view hosted(name->GetString(), name->GetStringLength());
    return {hosted == module ? Verdict::Hosted : Verdict::NotHosted, {}};
}
