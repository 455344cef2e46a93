// Client side of the envelope: reads the server's answer to one of our requests.
#include <charconv>

#include "wire/EnvelopeSax.h"
#include "wire/Rpc.h"

namespace wire {
namespace {

class AnswerSax : public detail::EnvelopeSax<AnswerSax> {
  public:
    AnswerSax(std::string_view json, Answer& answer, std::int64_t expectedId)
        : EnvelopeSax(json), m_answer(answer), m_expectedId(std::to_string(expectedId)) {}

    bool onNull() {
        if (m_where == Where::Result && m_key == "payload") return true;
        if (m_where == Where::Root && m_key == "id") return m_idNull = true;
        return wrong();
    }
    bool onBool() { return wrong(); }
    bool onNumber(std::string_view number) {
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

    bool onText(std::string_view text) {
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

    bool onStartObject() {
        if (m_where == Where::Start) {
            m_where = Where::Root;
            return true;
        }
        if (m_where == Where::Root && (m_key == "result" || m_key == "error")) {
            if (m_hasResult || m_hasError) return wrong();
            bool result = m_key == "result";
            (result ? m_hasResult : m_hasError) = true;
            m_where = result ? Where::Result : Where::Error;
            return true;
        }
        if (m_where == Where::Result && m_key == "payload") return captureObject(m_answer.payload);
        return wrong();
    }

    bool onKey(std::string_view key) {
        m_key.assign(key);
        bool known = (m_where == Where::Root && (m_key == "jsonrpc" || m_key == "id" ||
                                                 m_key == "result" || m_key == "error")) ||
                     (m_where == Where::Result && (m_key == "payload" || m_key == "out")) ||
                     (m_where == Where::Error && (m_key == "code" || m_key == "message"));
        if (!known) skipNextValue();
        return true;
    }

    bool onEndObject() {
        m_where = (m_where == Where::Root) ? Where::Done : Where::Root;
        return true;
    }

    bool onStartArray() {
        if (m_where == Where::Result && m_key == "out") {
            m_where = Where::Out;
            return true;
        }
        return wrong();
    }

    bool onEndArray() {
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

}  // namespace

Result<Answer> readAnswer(std::string_view body, std::int64_t expectedId) {
    Answer answer;
    AnswerSax sax(body, answer, expectedId);
    Status s = detail::readEnvelope(body, sax);
    if (!s.isOk()) return s;
    return answer;
}

}  // namespace wire
