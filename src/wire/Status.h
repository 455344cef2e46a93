#pragma once
// Errors as values for the wire format and the application server: a code from the JSON-RPC error
// space and the text a user may see. The client's record sets and connection turn a failure into
// an exception (EDatabaseError) at their surface, as the screen expects of them.

#include <string>
#include <utility>
#include <variant>

namespace wire {

enum class ErrorCode : int {
    ParseError = -32700,      // not JSON, invalid UTF-8, nesting too deep
    InvalidRequest = -32600,  // JSON, but not a JSON-RPC 2.0 request or answer
    MethodNotFound = -32601,  // unknown module or method
    InvalidParams = -32602,   // wrong count or kind of arguments
    Internal = -32603,        // the server failed; nothing was changed
    Refused = -32000,         // a rule of the data refused the change; the message says which
    Conflict = -32001,        // the row changed or vanished since it was read (another user)
    BadPacket = -32002,       // a packet or change log that is malformed or does not fit
    TooLarge = -32003,        // a body or value over its limit
    Unavailable = -32004,     // the database cannot be reached
    Unauthenticated = -32005,  // no credentials, or not those of an enabled user (HTTP 401)
};

class Status {
  public:
    Status() = default;
    Status(ErrorCode code, std::string message)
        : m_code(static_cast<int>(code)), m_message(std::move(message)) {}
    Status(int code, std::string message) : m_code(code), m_message(std::move(message)) {}

    static Status ok() { return {}; }

    bool isOk() const { return m_code == 0; }
    explicit operator bool() const { return isOk(); }
    int code() const { return m_code; }
    const std::string& message() const { return m_message; }

  private:
    int m_code = 0;
    std::string m_message;
};

// A value or the Status that explains why there is none.
template <class T>
class Result {
  public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Status error) : m_state(std::move(error)) {}

    bool isOk() const { return m_state.index() == 0; }
    explicit operator bool() const { return isOk(); }
    T& value() { return std::get<0>(m_state); }
    const T& value() const { return std::get<0>(m_state); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    Status status() const { return isOk() ? Status::ok() : std::get<1>(m_state); }

  private:
    std::variant<T, Status> m_state;
};

}  // namespace wire
