#include "Rpc.h"

#include <charconv>

#include "JsonOut.h"
#include "JsonSax.h"

namespace wire {
namespace {

constexpr unsigned kRpcFlags = rapidjson::kParseNumbersAsStringsFlag;

// Shared by both envelope handlers: skipping values we do not read, and cutting a raw value
// (a packet) out of the text by the offsets of its braces.
class EnvelopeSax : public detail::SaxBase {
  public:
    // Envelopes are parsed with numbers as raw text (RawNumber), so these never run.
    bool Int(int) { return false; }
    bool Uint(unsigned) { return false; }
    bool Int64(std::int64_t) { return false; }
    bool Uint64(std::uint64_t) { return false; }
    bool Double(double) { return false; }

  protected:
    explicit EnvelopeSax(std::string_view json) : m_json(json) {}

    bool skipping() const { return m_skip > 0 || m_skipNext; }
    // A scalar token while skipping.
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
        }
        return true;
    }
    // Called from StartObject: the whole object is copied raw into target.
    bool captureObject(std::string& target) {
        if (!enter()) return false;
        m_capture = &target;
        m_captureStart = stream->Tell() - 1;
        m_skip = 1;
        return true;
    }
    void skipNextValue() { m_skipNext = true; }

  private:
    std::string_view m_json;
    int m_skip = 0;
    bool m_skipNext = false;
    std::string* m_capture = nullptr;
    std::size_t m_captureStart = 0;
};

#define VLP_SKIP_SCALAR \
    if (skipping()) return skipScalar()

// ---------------------------------------------------------------------------------------------
class RequestSax : public EnvelopeSax {
  public:
    RequestSax(std::string_view json, Request& request) : EnvelopeSax(json), m_request(request) {}

    bool Null() {
        VLP_SKIP_SCALAR;
        if (m_where == Where::Root && m_key == Member::Id) return setId("null");
        return wrongValue();
    }
    bool Bool(bool) {
        VLP_SKIP_SCALAR;
        return wrongValue();
    }
    bool RawNumber(const char* str, rapidjson::SizeType length, bool) {
        VLP_SKIP_SCALAR;
        if (m_where == Where::Root && m_key == Member::Id) return setId(std::string(str, length));
        return wrongValue();
    }

    bool String(const char* str, rapidjson::SizeType length, bool) {
        std::string_view text(str, length);
        if (!checkText(text)) return false;
        VLP_SKIP_SCALAR;
        if (m_where == Where::Root) {
            switch (m_key) {
                case Member::Version:
                    m_version = text == "2.0";
                    if (!m_version) return invalid("a versão deve ser \"2.0\"");
                    return true;
                case Member::Id: {
                    rapidjson::StringBuffer buffer;
                    detail::JsonWriter writer(buffer);
                    detail::writeText(writer, text);
                    return setId(buffer.GetString());
                }
                case Member::Method:
                    if (text.size() > kMaxMethodName) return invalid("nome de método longo demais");
                    m_request.method.assign(text);
                    m_hasMethod = true;
                    return true;
                default:
                    return wrongValue();
            }
        }
        if (m_where == Where::Params) {
            m_request.params.push_back(Argument::text(std::string(text)));
            return true;
        }
        if (m_where == Where::Arg && m_argKey == "inout" && !m_argDone) {
            m_request.params.push_back(Argument::inOut(std::string(text)));
            m_argDone = true;
            return true;
        }
        return wrongValue();
    }

    bool StartObject() {
        if (skipping()) return skipStart();
        if (m_where == Where::Start) {
            if (!enter()) return false;
            m_where = Where::Root;
            return true;
        }
        if (m_where == Where::Params) {
            if (!enter()) return false;
            m_where = Where::Arg;
            m_argKey.clear();
            m_argDone = false;
            return true;
        }
        if (m_where == Where::Arg && m_argKey == "packet" && !m_argDone) {
            m_request.params.push_back(Argument::packet({}));
            m_argDone = true;
            return captureObject(m_request.params.back().value);
        }
        if (m_where == Where::Root && m_key == Member::Params) {
            return fail(ErrorCode::InvalidParams,
                        "Parâmetros inválidos: devem ser posicionais (uma lista).");
        }
        return wrongValue();
    }

    bool Key(const char* str, rapidjson::SizeType length, bool) {
        if (skipping()) return true;
        std::string_view key(str, length);
        if (m_where == Where::Root) {
            if (key == "jsonrpc")
                m_key = Member::Version;
            else if (key == "id")
                m_key = Member::Id;
            else if (key == "method")
                m_key = Member::Method;
            else if (key == "params")
                m_key = Member::Params;
            else
                skipNextValue();
            return true;
        }
        // Where::Arg
        if (!m_argKey.empty() || (key != "inout" && key != "packet")) {
            return fail(ErrorCode::InvalidParams,
                        "Parâmetros inválidos: cada argumento é um texto, {\"inout\": texto} ou "
                        "{\"packet\": pacote}.");
        }
        m_argKey = key;
        return true;
    }

    bool EndObject(rapidjson::SizeType) {
        if (skipping()) return skipEnd();
        leave();
        if (m_where == Where::Arg) {
            if (!m_argDone) return wrongValue();
            m_where = Where::Params;
            return true;
        }
        m_where = Where::Done;
        return true;
    }

    bool StartArray() {
        if (skipping()) return skipStart();
        if (m_where == Where::Start)
            return invalid("lotes não são aceitos; envie uma chamada por requisição");
        if (m_where == Where::Root && m_key == Member::Params && !m_hasParams) {
            if (!enter()) return false;
            m_hasParams = true;
            m_where = Where::Params;
            return true;
        }
        return wrongValue();
    }

    bool EndArray(rapidjson::SizeType) {
        if (skipping()) return skipEnd();
        leave();
        m_where = Where::Root;
        return true;
    }

    Status finish() {
        if (m_where != Where::Done)
            return Status(ErrorCode::InvalidRequest,
                          "Requisição inválida: não é um objeto JSON-RPC.");
        if (!m_version)
            return Status(ErrorCode::InvalidRequest,
                          "Requisição inválida: falta \"jsonrpc\": \"2.0\".");
        if (!m_hasMethod)
            return Status(ErrorCode::InvalidRequest, "Requisição inválida: falta o método.");
        m_request.notification = !m_hasId;
        return Status::ok();
    }

    std::string id() const { return m_hasId ? m_request.id : "null"; }

  private:
    enum class Where { Start, Root, Params, Arg, Done };
    enum class Member { None, Version, Id, Method, Params };

    bool setId(std::string id) {
        m_request.id = std::move(id);
        m_hasId = true;
        return true;
    }
    bool invalid(const std::string& why) {
        return fail(ErrorCode::InvalidRequest, "Requisição inválida: " + why + ".");
    }
    bool wrongValue() {
        if (m_where == Where::Params || m_where == Where::Arg) {
            return fail(ErrorCode::InvalidParams,
                        "Parâmetros inválidos: cada argumento é um texto, {\"inout\": texto} ou "
                        "{\"packet\": pacote}.");
        }
        return invalid("membro com valor de tipo errado");
    }

    Request& m_request;
    Where m_where = Where::Start;
    Member m_key = Member::None;
    std::string m_argKey;
    bool m_argDone = false;
    bool m_version = false;
    bool m_hasId = false;
    bool m_hasMethod = false;
    bool m_hasParams = false;
};

// ---------------------------------------------------------------------------------------------
class AnswerSax : public EnvelopeSax {
  public:
    AnswerSax(std::string_view json, Answer& answer, std::int64_t expectedId)
        : EnvelopeSax(json), m_answer(answer), m_expectedId(std::to_string(expectedId)) {}

    bool Null() {
        VLP_SKIP_SCALAR;
        if (m_where == Where::Result && m_key == "payload") return true;
        if (m_where == Where::Root && m_key == "id") return m_idNull = true;
        return wrong();
    }
    bool Bool(bool) {
        VLP_SKIP_SCALAR;
        return wrong();
    }
    bool RawNumber(const char* str, rapidjson::SizeType length, bool) {
        VLP_SKIP_SCALAR;
        std::string_view number(str, length);
        if (m_where == Where::Root && m_key == "id") {
            m_idMatches = number == m_expectedId;
            return true;
        }
        if (m_where == Where::Error && m_key == "code") {
            auto [end, ec] =
                std::from_chars(number.data(), number.data() + number.size(), m_answer.errorCode);
            if (ec != std::errc() || end != number.data() + number.size()) return wrong();
            m_hasCode = true;
            return true;
        }
        return wrong();
    }

    bool String(const char* str, rapidjson::SizeType length, bool) {
        std::string_view text(str, length);
        if (!checkText(text)) return false;
        VLP_SKIP_SCALAR;
        if (m_where == Where::Root && m_key == "jsonrpc") {
            m_version = text == "2.0";
            return true;
        }
        if (m_where == Where::Root && m_key == "id") return true;  // our ids are numbers: no match
        if (m_where == Where::Error && m_key == "message") {
            m_answer.errorMessage.assign(text);
            m_hasMessage = true;
            return true;
        }
        if (m_where == Where::Out) {
            m_answer.out.emplace_back(text);
            return true;
        }
        return wrong();
    }

    bool StartObject() {
        if (skipping()) return skipStart();
        if (m_where == Where::Start) return enter() && (m_where = Where::Root, true);
        if (m_where == Where::Root && (m_key == "result" || m_key == "error")) {
            if (m_hasResult || m_hasError) return wrong();
            if (!enter()) return false;
            bool result = m_key == "result";
            (result ? m_hasResult : m_hasError) = true;
            m_where = result ? Where::Result : Where::Error;
            return true;
        }
        if (m_where == Where::Result && m_key == "payload") return captureObject(m_answer.payload);
        return wrong();
    }

    bool Key(const char* str, rapidjson::SizeType length, bool) {
        if (skipping()) return true;
        m_key.assign(str, length);
        bool known = (m_where == Where::Root && (m_key == "jsonrpc" || m_key == "id" ||
                                                 m_key == "result" || m_key == "error")) ||
                     (m_where == Where::Result && (m_key == "payload" || m_key == "out")) ||
                     (m_where == Where::Error && (m_key == "code" || m_key == "message"));
        if (!known) skipNextValue();
        return true;
    }

    bool EndObject(rapidjson::SizeType) {
        if (skipping()) return skipEnd();
        leave();
        m_where = (m_where == Where::Root) ? Where::Done : Where::Root;
        return true;
    }

    bool StartArray() {
        if (skipping()) return skipStart();
        if (m_where == Where::Result && m_key == "out")
            return enter() && (m_where = Where::Out, true);
        return wrong();
    }

    bool EndArray(rapidjson::SizeType) {
        if (skipping()) return skipEnd();
        leave();
        m_where = Where::Result;
        return true;
    }

    Status finish() {
        if (m_where != Where::Done || !m_version) return notUnderstood("não é JSON-RPC 2.0");
        if (m_hasResult == m_hasError) return notUnderstood("deve ter \"result\" ou \"error\"");
        if (m_hasError && (!m_hasCode || !m_hasMessage))
            return notUnderstood("erro sem código ou mensagem");
        if (!m_idMatches) {
            // A server that could not read a request's id answers its error with id null.
            if (!(m_idNull && m_hasError)) return notUnderstood("o id não é o da requisição");
            m_answer.unaddressed = true;
        }
        m_answer.ok = m_hasResult;
        return Status::ok();
    }

  private:
    enum class Where { Start, Root, Result, Error, Out, Done };

    static Status notUnderstood(const std::string& why) {
        return Status(ErrorCode::InvalidRequest, why);
    }
    bool wrong() { return fail(ErrorCode::InvalidRequest, "valor fora do lugar"); }

    Answer& m_answer;
    std::string m_expectedId;
    Where m_where = Where::Start;
    std::string m_key;
    bool m_version = false;
    bool m_idMatches = false;
    bool m_idNull = false;
    bool m_hasResult = false;
    bool m_hasError = false;
    bool m_hasCode = false;
    bool m_hasMessage = false;
};

#undef VLP_SKIP_SCALAR

}  // namespace

Result<Request> readRequest(std::string_view body, std::string& idOut) {
    Request request;
    RequestSax sax(body, request);
    Status s = detail::parse<kRpcFlags>(body, sax);
    if (s.isOk()) s = sax.finish();
    idOut = sax.id();
    if (!s.isOk()) return s;
    return request;
}

std::string writeRequest(std::int64_t id, std::string_view method,
                         std::span<const Argument> params) {
    rapidjson::StringBuffer buffer;
    detail::JsonWriter w(buffer);
    w.StartObject();
    w.Key("jsonrpc");
    w.String("2.0");
    w.Key("id");
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
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string writeResult(std::string_view idJson, std::string_view payloadJson,
                        std::span<const std::string> out) {
    rapidjson::StringBuffer buffer;
    detail::JsonWriter w(buffer);
    w.StartObject();
    w.Key("jsonrpc");
    w.String("2.0");
    w.Key("id");
    w.RawValue(idJson.data(), idJson.size(), rapidjson::kNumberType);
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
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string writeError(std::string_view idJson, int code, std::string_view message) {
    rapidjson::StringBuffer buffer;
    detail::JsonWriter w(buffer);
    w.StartObject();
    w.Key("jsonrpc");
    w.String("2.0");
    w.Key("id");
    w.RawValue(idJson.data(), idJson.size(), rapidjson::kNumberType);
    w.Key("error");
    w.StartObject();
    w.Key("code");
    w.Int(code);
    w.Key("message");
    detail::writeText(w, message);
    w.EndObject();
    w.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

Result<Answer> readAnswer(std::string_view body, std::int64_t expectedId) {
    Answer answer;
    AnswerSax sax(body, answer, expectedId);
    Status s = detail::parse<kRpcFlags>(body, sax);
    if (s.isOk()) s = sax.finish();
    if (!s.isOk()) return s;
    return answer;
}

}  // namespace wire
