#pragma once
// Internal: the SAX plumbing both JSON-RPC envelope readers share. Numbers arrive as raw text;
// a member the reader does not know is skipped whole, its nesting still counted against
// kMaxDepth; a packet is cut out as raw text by the offsets of its braces. The reader (Derived)
// sees only the tokens it reads, through on...() hooks called with the depth already counted:
//   bool onNull(); bool onBool(); bool onNumber(std::string_view); bool onText(std::string_view);
//   bool onKey(std::string_view); bool onStartObject(); bool onEndObject();
//   bool onStartArray(); bool onEndArray(); Status finish();

#include <cstdint>
#include <string>
#include <string_view>

#include "wire/JsonSax.h"

namespace wire::detail {

template <class Derived>
class EnvelopeSax : public SaxBase {
  public:
    // RapidJSON's handler interface.
    bool Null() { return skipping() ? skipScalar() : self().onNull(); }
    bool Bool(bool) { return skipping() ? skipScalar() : self().onBool(); }
    bool RawNumber(const char* str, rapidjson::SizeType length, bool) {
        return skipping() ? skipScalar() : self().onNumber(std::string_view(str, length));
    }
    // Skipped text is checked too: nothing that is not UTF-8 passes through an envelope.
    bool String(const char* str, rapidjson::SizeType length, bool) {
        std::string_view text(str, length);
        if (!checkText(text) || !fitsCap(text)) return false;
        return skipping() ? skipScalar() : self().onText(text);
    }
    bool Key(const char* str, rapidjson::SizeType length, bool) {
        std::string_view key(str, length);
        // Member names are bounded by the general text limit, not by one argument's.
        if (key.size() > kMaxTextBytes)
            return fail(ErrorCode::ParseError, "Nome de membro JSON longo demais.");
        return skipping() || self().onKey(key);
    }
    bool StartObject() { return skipping() ? skipStart() : enter() && self().onStartObject(); }
    bool EndObject(rapidjson::SizeType) {
        if (skipping()) return skipEnd();
        leave();
        return self().onEndObject();
    }
    bool StartArray() { return skipping() ? skipStart() : enter() && self().onStartArray(); }
    bool EndArray(rapidjson::SizeType) {
        if (skipping()) return skipEnd();
        leave();
        return self().onEndArray();
    }
    // Envelopes are parsed with numbers as raw text (RawNumber), so these never run.
    bool Int(int) { return false; }
    bool Uint(unsigned) { return false; }
    bool Int64(std::int64_t) { return false; }
    bool Uint64(std::uint64_t) { return false; }
    bool Double(double) { return false; }

  protected:
    explicit EnvelopeSax(std::string_view json) : m_json(json) {}

    // From onKey: the member's value, whatever it is, is passed over.
    void skipNextValue() { m_skipNext = true; }
    // From onStartObject: the whole object is copied raw into target when it closes.
    bool captureObject(std::string& target) {
        m_capture = &target;
        m_captureStart = stream->Tell() - 1;
        m_skip = 1;
        return true;
    }

    // Called when a captured object has been copied; Derived may hide it.
    void onCaptured() {}

  private:
    // The exact check behind the reader's cap on its copy, which stops only somewhat past it.
    bool fitsCap(std::string_view text) {
        if (text.size() <= textCap) return true;
        Status refused = self().textTooLong();
        return fail(static_cast<ErrorCode>(refused.code()), refused.message());
    }
    Derived& self() { return static_cast<Derived&>(*this); }
    bool skipping() const { return m_skip > 0 || m_skipNext; }
    bool skipScalar() {
        if (m_skip == 0) m_skipNext = false;
        return true;
    }
    bool skipStart() {
        if (!enter()) return false;
        m_skipNext = false;
        ++m_skip;
        return true;
    }
    bool skipEnd() {
        leave();
        if (--m_skip == 0 && m_capture) {
            std::size_t end = stream->Tell();
            m_capture->assign(m_json.substr(m_captureStart, end - m_captureStart));
            m_capture = nullptr;
            self().onCaptured();
        }
        return true;
    }

    std::string_view m_json;
    int m_skip = 0;
    bool m_skipNext = false;
    std::string* m_capture = nullptr;
    std::size_t m_captureStart = 0;
};

// Parses one envelope with reader, then lets the reader judge what it saw.
template <class Reader>
Status readEnvelope(std::string_view json, Reader& reader) {
    Status s = parseCapped<rapidjson::kParseNumbersAsStringsFlag>(json, reader);
    return s.isOk() ? reader.finish() : s;
}

}  // namespace wire::detail
