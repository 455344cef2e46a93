#include "support/FakeMethod.h"

FakeMethod& FakeMethod::answerPacket(std::string json) {
    std::lock_guard lock(*m_lock);
    m_compute = nullptr;
    m_reply.payload = std::move(json);
    m_reply.errorCode = 0;
    m_reply.errorMessage.clear();
    return *this;
}

FakeMethod& FakeMethod::answerNull() { return answerPacket({}); }

FakeMethod& FakeMethod::answerOut(std::vector<std::string> out) {
    std::lock_guard lock(*m_lock);
    m_reply.out = std::move(out);
    return *this;
}

FakeMethod& FakeMethod::fail(int code, std::string message) {
    std::lock_guard lock(*m_lock);
    m_compute = nullptr;
    m_reply.errorCode = code;
    m_reply.errorMessage = std::move(message);
    return *this;
}

FakeMethod& FakeMethod::answerWith(std::function<FakeReply(const FakeCall&)> reply) {
    std::lock_guard lock(*m_lock);
    m_compute = std::move(reply);
    return *this;
}

FakeMethod& FakeMethod::delay(std::chrono::milliseconds wait) {
    std::lock_guard lock(*m_lock);
    m_delay = wait;
    return *this;
}

FakeMethod& FakeMethod::fault(FakeFault fault, int httpStatus) {
    std::lock_guard lock(*m_lock);
    m_fault = fault;
    m_httpStatus = httpStatus;
    return *this;
}

FakeReply FakeMethod::replyTo(const FakeCall& call) const {
    FakeReply reply = m_compute ? m_compute(call) : m_reply;
    if (reply.errorCode == 0 && !reply.out) {
        std::vector<std::string> echo;
        for (const auto& arg : call.args)
            if (arg.kind == wire::ArgKind::TextInOut) echo.push_back(arg.value);
        reply.out = std::move(echo);
    }
    return reply;
}
