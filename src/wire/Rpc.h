#pragma once
// The JSON-RPC 2.0 envelope of a call to a remote module (see docs/protocol.md):
//   request
//   {"jsonrpc":"2.0","id":7,"method":"GetVerifProduto","params":["a",{"inout":"b"},{"packet":{...}}]}
//   success  {"jsonrpc":"2.0","id":7,"result":{"payload":{...packet...}|null,"out":["b'"]}}
//   failure  {"jsonrpc":"2.0","id":7,"error":{"code":-32000,"message":"Código já cadastrado."}}
// Packets travel as raw JSON text between the envelope and PacketReader/ChangeLog, so a large
// packet is scanned once here and decoded once by its consumer. Errors are values.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "wire/Status.h"

namespace wire {

enum class ArgKind { Text, TextInOut, Packet };

// Text and TextInOut carry the text; Packet carries the packet's JSON text.
struct Argument {
    ArgKind kind = ArgKind::Text;
    std::string value;

    static Argument text(std::string v) { return {ArgKind::Text, std::move(v)}; }
    static Argument inOut(std::string v) { return {ArgKind::TextInOut, std::move(v)}; }
    static Argument packet(std::string json) { return {ArgKind::Packet, std::move(json)}; }
    bool operator==(const Argument&) const = default;
};

struct Request {
    std::string id = "null";    // the id as raw JSON (number or string), echoed in the answer
    bool notification = false;  // no id member: the server must not answer
    std::string method;
    std::vector<Argument> params;
};

// Characters of the longest text argument a method takes; 0: no bound but kMaxTextBytes.
using MaxText = std::size_t (*)(std::string_view method);

// Server side. On failure the Status says why (ParseError, InvalidRequest, InvalidParams,
// TooLarge) and idOut holds the request's id when it could be read, else "null". A text argument
// longer than maxText(method) allows (when "method" comes before "params"), or than kMaxTextBytes,
// is refused with InvalidParams as soon as the reader's copy of it passes that length.
Result<Request> readRequest(std::string_view body, std::string& idOut, MaxText maxText = nullptr);

// Server side: the top-level "method" of a request, read without the rest of the body; nullopt
// when the body names none before it stops being JSON. Cheap when "method" comes early.
std::optional<std::string> peekMethod(std::string_view body);

// Client side.
std::string writeRequest(std::int64_t id, std::string_view method,
                         std::span<const Argument> params);

struct Answer {
    bool ok = true;            // false: the server answered with a JSON-RPC error
    bool unaddressed = false;  // an error with id null: the server could not read our request
    int errorCode = 0;
    std::string errorMessage;
    std::string payload;  // raw JSON of the payload packet; empty when the payload was null
    std::vector<std::string> out;  // final values of the TextInOut arguments, in their order
};

std::string writeResult(std::string_view idJson, std::string_view payloadJson,
                        std::span<const std::string> out);
std::string writeError(std::string_view idJson, int code, std::string_view message);
inline std::string writeError(std::string_view idJson, const Status& status) {
    return writeError(idJson, status.code(), status.message());
}

// Client side: an answer that is not JSON-RPC 2.0, lacks the expected id, or is malformed gives
// a non-ok Result whose message is the reason as a phrase ("o id não é o da requisição"), for the
// caller's own sentence. A well-formed error answer, for our id or for id null, gives an Answer
// with ok == false.
Result<Answer> readAnswer(std::string_view body, std::int64_t expectedId);

}  // namespace wire
