// Server side of the envelope: reads a JSON-RPC request into a Request.
#include "wire/EnvelopeSax.h"
#include "wire/JsonOut.h"
#include "wire/Rpc.h"

namespace wire {
namespace {

class RequestSax : public detail::EnvelopeSax<RequestSax> {
  public:
    RequestSax(std::string_view json, Request& request, MaxText maxText)
        : EnvelopeSax(json), m_request(request), m_maxText(maxText) {
        textCap = kMaxTextBytes;
    }

    bool onNull() {
        if (m_where == Where::Root && m_key == Member::Id) return setId("null");
        return wrongValue();
    }
    bool onBool() { return wrongValue(); }
    bool onNumber(std::string_view number) {
        if (m_where == Where::Root && m_key == Member::Id) return setId(std::string(number));
        return wrongValue();
    }

    bool onText(std::string_view text) {
        if (m_where == Where::Root) {
            switch (m_key) {
                case Member::Version:
                    m_version = text == "2.0";
                    if (!m_version) return invalid("a versão deve ser \"2.0\"");
                    return true;
                case Member::Id: {
                    detail::JsonBuffer buffer;
                    detail::JsonWriter writer(buffer);
                    detail::writeText(writer, text);
                    return setId(buffer.GetString());
                }
                case Member::Method:
                    if (text.size() > kMaxMethodName) return invalid("nome de método longo demais");
                    m_request.method.assign(text);
                    m_hasMethod = true;
                    m_argChars = m_maxText ? m_maxText(m_request.method) : 0;
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

    bool onStartObject() {
        if (m_where == Where::Start) {
            m_where = Where::Root;
            return true;
        }
        if (m_where == Where::Params) {
            m_where = Where::Arg;
            m_argKey.clear();
            m_argDone = false;
            return true;
        }
        if (m_where == Where::Arg && m_argKey == "packet" && !m_argDone) {
            m_request.params.push_back(Argument::packet({}));
            m_argDone = true;
            textCap = kMaxTextBytes;  // a packet's values keep their own limits
            return captureObject(m_request.params.back().value);
        }
        if (m_where == Where::Root && m_key == Member::Params) {
            return fail(ErrorCode::InvalidParams,
                        "Parâmetros inválidos: devem ser posicionais (uma lista).");
        }
        return wrongValue();
    }

    bool onKey(std::string_view key) {
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
        if (!m_argKey.empty() || (key != "inout" && key != "packet")) return badArgument();
        m_argKey = key;
        return true;
    }

    bool onEndObject() {
        if (m_where == Where::Arg) {
            if (!m_argDone) return wrongValue();
            m_where = Where::Params;
            return true;
        }
        m_where = Where::Done;
        return true;
    }

    bool onStartArray() {
        // Only a batch that is JSON throughout is refused as one: readRequest turns anything
        // else into a parse error once the shape has been refused.
        if (m_where == Where::Start)
            return fail(ErrorCode::InvalidRequest, "Lotes não são aceitos.");
        if (m_where == Where::Root && m_key == Member::Params && !m_hasParams) {
            m_hasParams = true;
            m_where = Where::Params;
            textCap = argCap();
            return true;
        }
        return wrongValue();
    }

    bool onEndArray() {
        m_where = Where::Root;
        textCap = kMaxTextBytes;
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

    void onCaptured() { textCap = argCap(); }

    Status textTooLong() const {
        if (m_where != Where::Params && m_where != Where::Arg)
            return Status(ErrorCode::InvalidRequest, "Requisição inválida: texto longo demais.");
        const std::string n = std::to_string(m_request.params.size() + 1);
        if (m_argChars == 0 || textCap != argCap())
            return Status(ErrorCode::InvalidParams,
                          "Parâmetros inválidos: o argumento " + n + " tem um texto de mais de " +
                              std::to_string(kMaxFieldSize) + " caracteres.");
        return Status(ErrorCode::InvalidParams, "Parâmetros inválidos: o argumento " + n +
                                                    " excede " + std::to_string(m_argChars) +
                                                    " caracteres, o maior texto que " +
                                                    m_request.method + " aceita.");
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
    bool badArgument() {
        return fail(ErrorCode::InvalidParams,
                    "Parâmetros inválidos: cada argumento é um texto, {\"inout\": texto} ou "
                    "{\"packet\": pacote}.");
    }
    // Bytes of the longest text argument: its characters at four bytes each, at most.
    std::size_t argCap() const { return m_argChars ? 4 * m_argChars : kMaxTextBytes; }
    bool wrongValue() {
        if (m_where == Where::Params || m_where == Where::Arg) return badArgument();
        return invalid("membro com valor de tipo errado");
    }

    Request& m_request;
    MaxText m_maxText;
    std::size_t m_argChars = 0;  // the method's longest text argument; 0: the general bound
    Where m_where = Where::Start;
    Member m_key = Member::None;
    std::string m_argKey;
    bool m_argDone = false;
    bool m_version = false;
    bool m_hasId = false;
    bool m_hasMethod = false;
    bool m_hasParams = false;
};

// Reads a whole text for its well-formedness alone (nesting and UTF-8 limits included).
class WellFormedSax : public detail::SaxBase,
                      public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, WellFormedSax> {
  public:
    bool Default() { return true; }
    bool String(const char* text, rapidjson::SizeType length, bool) {
        return checkText({text, length});
    }
    bool Key(const char* text, rapidjson::SizeType length, bool) {
        return checkText({text, length});
    }
    bool StartObject() { return enter(); }
    bool EndObject(rapidjson::SizeType) {
        leave();
        return true;
    }
    bool StartArray() { return enter(); }
    bool EndArray(rapidjson::SizeType) {
        leave();
        return true;
    }
};

}  // namespace

Result<Request> readRequest(std::string_view body, std::string& idOut, MaxText maxText) {
    Request request;
    RequestSax sax(body, request, maxText);
    Status s = detail::readEnvelope(body, sax);
    idOut = sax.id();
    if (s.isOk()) return request;
    // The shape may be refused before the parser has seen all the text; text that is not JSON
    // at all is a parse error whatever its first value looked like (and has no id to answer).
    if (s.code() != static_cast<int>(ErrorCode::ParseError)) {
        WellFormedSax json;
        json.textCap = kMaxTextBytes;  // a text past it was refused already; do not copy it now
        Status wellFormed = detail::parseCapped<rapidjson::kParseNumbersAsStringsFlag>(body, json);
        if (!wellFormed.isOk() && wellFormed.code() != static_cast<int>(ErrorCode::TooLarge)) {
            idOut = "null";
            return wellFormed;
        }
    }
    return s;
}

}  // namespace wire
