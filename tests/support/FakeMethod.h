#pragma once
// How the fake app server answers one method: a payload packet, in/out values, a JSON-RPC error,
// a computed reply, a delay, or a fault of the connection (for socket tests). Setters chain and
// each replaces what it sets, so a test may re-script a method between calls:
//   fake.on("GetGrupSegProd").answerPacket(json).delay(50ms);
// Setters are safe while the fake's server thread answers other calls.

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/FakeCall.h"

struct FakeReply {
    std::string payload;                          // packet JSON; empty answers a null payload
    std::optional<std::vector<std::string>> out;  // none: in/out values come back unchanged
    int errorCode = 0;                            // non-zero: answer this JSON-RPC error
    std::string errorMessage;

    static FakeReply packet(std::string json) { return {std::move(json), {}, 0, {}}; }
    static FakeReply error(int code, std::string message) {
        return {{}, {}, code, std::move(message)};
    }
};

enum class FakeFault {
    None,
    ResetMidAnswer,        // part of the answer, then a TCP reset
    CloseWithoutAnswer,    // reads the request and closes
    GarbageBody,           // HTTP 200 whose JSON body is not JSON-RPC
    GarbageBytes,          // bytes that are not HTTP at all
    WrongId,               // a well-formed answer for another request id
    NullId,                // the answer with id null, as a server gives when it cannot read the id
    HttpStatus,            // a plain-text HTTP error status
    HttpStatusWithAnswer,  // an HTTP error status carrying the JSON-RPC answer
};

class FakeMethod {
  public:
    explicit FakeMethod(std::mutex& lock) : m_lock(&lock) {}
    FakeMethod(const FakeMethod&) = default;  // a snapshot: take it holding the lock
    FakeMethod& operator=(const FakeMethod&) = delete;

    FakeMethod& answerPacket(std::string json);
    FakeMethod& answerNull();
    FakeMethod& answerOut(std::vector<std::string> out);
    FakeMethod& fail(int code, std::string message);
    FakeMethod& answerWith(std::function<FakeReply(const FakeCall&)> reply);
    FakeMethod& delay(std::chrono::milliseconds wait);
    FakeMethod& fault(FakeFault fault, int httpStatus = 500);
    FakeMethod& resetMidAnswer() { return fault(FakeFault::ResetMidAnswer); }
    FakeMethod& garbage() { return fault(FakeFault::GarbageBody); }
    FakeMethod& wrongId() { return fault(FakeFault::WrongId); }
    FakeMethod& healed() { return fault(FakeFault::None); }

    // Read by the fake on a snapshot.
    FakeReply replyTo(const FakeCall& call) const;
    std::chrono::milliseconds delay() const { return m_delay; }
    FakeFault fault() const { return m_fault; }
    int httpStatus() const { return m_httpStatus; }

  private:
    std::mutex* m_lock;
    FakeReply m_reply;
    std::function<FakeReply(const FakeCall&)> m_compute;
    std::chrono::milliseconds m_delay{0};
    FakeFault m_fault = FakeFault::None;
    int m_httpStatus = 500;
};
