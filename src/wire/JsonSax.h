#pragma once
// Internal: the SAX plumbing shared by our decoders. A handler refuses anything it does not expect
// by returning false after setting its Status; nesting past kMaxDepth is refused before RapidJSON
// recurses, so hostile depth cannot exhaust the stack.

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "wire/FieldDef.h"
#include "wire/JsonAllocator.h"
#include "wire/Limits.h"
#include "wire/Status.h"

namespace wire::detail {

using JsonReader = rapidjson::GenericReader<rapidjson::UTF8<>, rapidjson::UTF8<>, JsonAllocator>;

class SaxBase {
  public:
    Status status;

    bool fail(ErrorCode code, std::string message) {
        if (status.isOk()) status = Status(code, std::move(message));
        return false;
    }
    bool enter() {
        if (++depth > kMaxDepth) return fail(ErrorCode::ParseError, "JSON aninhado demais.");
        return true;
    }
    void leave() { --depth; }
    // Text from the wire must be valid UTF-8 (RapidJSON itself only decodes escapes).
    bool checkText(std::string_view text) {
        if (!isValidUtf8(text)) return fail(ErrorCode::ParseError, "Texto com UTF-8 inválido.");
        return true;
    }

    // Tell the reader's copy of a string to stop soon after this many bytes (readCapped only);
    // a handler still checks the exact length when the string arrives.
    std::size_t textCap = SIZE_MAX;
    Status textTooLong() const { return Status(ErrorCode::TooLarge, "Texto longo demais."); }

    int depth = 0;
    // The stream being parsed; Tell() right after StartObject/EndObject gives the offsets of a
    // value's braces, which is how raw packets are cut out of an envelope.
    rapidjson::MemoryStream* stream = nullptr;
};

template <class Handler>
Status outcome(const JsonReader& reader, Handler& handler) {
    if (!handler.status.isOk()) return handler.status;
    if (reader.HasParseError()) {
        return Status(ErrorCode::ParseError,
                      std::string("JSON inválido na posição ") +
                          std::to_string(reader.GetErrorOffset()) + ": " +
                          rapidjson::GetParseError_En(reader.GetParseErrorCode()));
    }
    return Status::ok();
}

// Parses json with reader and handler; returns the handler's Status when it stopped the parse,
// else the parser's own error with its offset.
template <unsigned Flags, class Handler>
Status parseWith(std::string_view json, Handler& handler, JsonReader& reader) {
    rapidjson::MemoryStream memory(json.data(), json.size());
    handler.stream = &memory;
    reader.Parse<Flags>(memory, handler);
    Status s = outcome(reader, handler);
    if (s.isOk() && memory.Tell() != json.size()) {
        return Status(ErrorCode::ParseError, "JSON inválido: caractere nulo no texto.");
    }
    return s;
}

template <unsigned Flags = rapidjson::kParseNoFlags, class Handler>
Status parse(std::string_view json, Handler& handler) {
    JsonReader reader;
    return parseWith<Flags>(json, handler, reader);
}

// As parse, with the reader's string copies capped by handler.textCap; a string outgrowing it
// gives handler.textTooLong().
template <unsigned Flags = rapidjson::kParseNoFlags, class Handler>
Status parseCapped(std::string_view json, Handler& handler) {
    JsonAllocator allocator(&handler.textCap);
    JsonReader reader(&allocator);
    try {
        return parseWith<Flags>(json, handler, reader);
    } catch (const JsonTextTooLong&) {
        return handler.textTooLong();
    }
}

// Parses in place: strings handed to the handler point into buffer and stay valid until the
// buffer changes, so a handler may keep views across tokens. buffer must not hold a NUL byte.
template <class Handler>
Status parseInPlace(std::string& buffer, Handler& handler) {
    rapidjson::InsituStringStream stream(buffer.data());
    JsonReader reader;
    reader.Parse<rapidjson::kParseInsituFlag>(stream, handler);
    Status s = outcome(reader, handler);
    if (s.isOk() && stream.Tell() != buffer.size()) {
        return Status(ErrorCode::ParseError, "JSON inválido: caractere nulo no texto.");
    }
    return s;
}

}  // namespace wire::detail
