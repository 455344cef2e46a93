// The three envelopes we write: a request (client side), a result and an error (server side).
#include "wire/JsonOut.h"
#include "wire/Rpc.h"

namespace wire {
namespace {

// {"jsonrpc":"2.0","id": opens every envelope; the caller writes the id and the rest.
void startEnvelope(detail::JsonWriter& w) {
    w.StartObject();
    w.Key("jsonrpc");
    w.String("2.0");
    w.Key("id");
}

// An answer echoes the request's id as it came (raw JSON: a number, a string or null).
void startAnswer(detail::JsonWriter& w, std::string_view idJson) {
    startEnvelope(w);
    w.RawValue(idJson.data(), idJson.size(), rapidjson::kNumberType);
}

std::string text(const detail::JsonBuffer& buffer) {
    return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace

std::string writeRequest(std::int64_t id, std::string_view method,
                         std::span<const Argument> params) {
    detail::JsonBuffer buffer;
    detail::JsonWriter w(buffer);
    startEnvelope(w);
    w.Int64(id);
    w.Key("method");
    detail::writeText(w, method);
    w.Key("params");
    w.StartArray();
    for (const Argument& a : params) {
        switch (a.kind) {
            case ArgKind::Text:
                detail::writeText(w, a.value);
                break;
            case ArgKind::TextInOut:
                w.StartObject();
                w.Key("inout");
                detail::writeText(w, a.value);
                w.EndObject();
                break;
            case ArgKind::Packet:
                w.StartObject();
                w.Key("packet");
                w.RawValue(a.value.data(), a.value.size(), rapidjson::kObjectType);
                w.EndObject();
                break;
        }
    }
    w.EndArray();
    w.EndObject();
    return text(buffer);
}

std::string writeResult(std::string_view idJson, std::string_view payloadJson,
                        std::span<const std::string> out) {
    detail::JsonBuffer buffer;
    detail::JsonWriter w(buffer);
    startAnswer(w, idJson);
    w.Key("result");
    w.StartObject();
    w.Key("payload");
    if (payloadJson.empty()) {
        w.Null();
    } else {
        w.RawValue(payloadJson.data(), payloadJson.size(), rapidjson::kObjectType);
    }
    w.Key("out");
    w.StartArray();
    for (const std::string& v : out) detail::writeText(w, v);
    w.EndArray();
    w.EndObject();
    w.EndObject();
    return text(buffer);
}

std::string writeError(std::string_view idJson, int code, std::string_view message) {
    detail::JsonBuffer buffer;
    detail::JsonWriter w(buffer);
    startAnswer(w, idJson);
    w.Key("error");
    w.StartObject();
    w.Key("code");
    w.Int(code);
    w.Key("message");
    detail::writeText(w, message);
    w.EndObject();
    w.EndObject();
    return text(buffer);
}

}  // namespace wire
