#include "RpcUnaddressedError.h"

#include <rapidjson/document.h>

namespace {
constexpr std::size_t kMaxErrorBytes = 64u * 1024u;  // error answers are one short message
}

std::optional<RpcUnaddressedError> RpcUnaddressedError::read(std::string_view body) {
    if (body.size() > kMaxErrorBytes) return std::nullopt;
    rapidjson::Document doc;
    doc.Parse<rapidjson::kParseIterativeFlag>(body.data(), body.size());
    if (doc.HasParseError() || !doc.IsObject()) return std::nullopt;
    auto version = doc.FindMember("jsonrpc");
    auto id = doc.FindMember("id");
    auto error = doc.FindMember("error");
    if (version == doc.MemberEnd() || !version->value.IsString() ||
        std::string_view(version->value.GetString()) != "2.0" || id == doc.MemberEnd() ||
        !id->value.IsNull() || error == doc.MemberEnd() || !error->value.IsObject())
        return std::nullopt;
    auto code = error->value.FindMember("code");
    auto message = error->value.FindMember("message");
    if (code == error->value.MemberEnd() || !code->value.IsInt() ||
        message == error->value.MemberEnd() || !message->value.IsString())
        return std::nullopt;
    return RpcUnaddressedError{code->value.GetInt(),
                               {message->value.GetString(), message->value.GetStringLength()}};
}
