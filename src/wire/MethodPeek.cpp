// Server side: the method a request names, read without the rest of the body.
#include "wire/JsonSax.h"
#include "wire/Rpc.h"

namespace wire {
namespace {

// Stops the parse at the top-level "method" text; everything else is skipped unread.
class MethodSax : public detail::SaxBase {
  public:
    std::optional<std::string> method;

    bool StartObject() { return enter(); }
    bool EndObject(rapidjson::SizeType) { return leave(), true; }
    bool StartArray() { return enter() && (m_methodNext = false, true); }
    bool EndArray(rapidjson::SizeType) { return leave(), true; }
    bool Key(const char* text, rapidjson::SizeType length, bool) {
        m_methodNext = depth == 1 && std::string_view(text, length) == "method";
        return true;
    }
    bool String(const char* text, rapidjson::SizeType length, bool) {
        if (!m_methodNext) return true;
        method.emplace(text, length);
        return false;  // found: the rest is not read
    }
    bool Null() { return value(); }
    bool Bool(bool) { return value(); }
    bool Int(int) { return value(); }
    bool Uint(unsigned) { return value(); }
    bool Int64(std::int64_t) { return value(); }
    bool Uint64(std::uint64_t) { return value(); }
    bool Double(double) { return value(); }
    bool RawNumber(const char*, rapidjson::SizeType, bool) { return value(); }

  private:
    bool value() { return m_methodNext = false, true; }
    bool m_methodNext = false;
};

}  // namespace

std::optional<std::string> peekMethod(std::string_view body) {
    MethodSax handler;
    detail::JsonReader reader;
    rapidjson::MemoryStream memory(body.data(), body.size());
    reader.Parse<rapidjson::kParseNumbersAsStringsFlag>(memory, handler);
    return handler.method;
}

}  // namespace wire
