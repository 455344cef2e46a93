#include "dataaccess/RpcCallWait.h"

namespace {
// Most answers on a local network come within this: the call then returns without pumping, and
// the window paints once afterwards instead of in the middle of every call. Shorter than a frame.
constexpr auto kQuietWait = std::chrono::milliseconds(8);

// Takes the waiter off the transport on every way out of the call.
class WaiterScope {
  public:
    explicit WaiterScope(RpcTransport& transport) : m_transport(transport) {}
    ~WaiterScope() { m_transport.setWaiter(nullptr); }
    WaiterScope(const WaiterScope&) = delete;
    WaiterScope& operator=(const WaiterScope&) = delete;

  private:
    RpcTransport& m_transport;
};
}  // namespace

RpcCallWait::RpcCallWait(RpcWorker& worker, std::function<void()> pump)
    : m_worker(worker),
      m_pump(std::move(pump)),
      m_pumpOnce([this] { pumpOnce(); }),
      m_quietUntil(std::chrono::steady_clock::now() + kQuietWait) {}

void RpcCallWait::run(RpcTransport& transport, const std::function<void()>& io) {
    if (transport.setWaiter(this)) {
        WaiterScope scope(transport);
        io();
    } else {
        m_worker.run(io, m_pumpOnce, m_quietUntil);
    }
    if (m_pumpError) std::rethrow_exception(m_pumpError);
}

void RpcCallWait::wait(const std::function<bool(Deadline)>& runUntil,
                       const std::function<void()>& finish) {
    if (runUntil(m_quietUntil)) return;
    m_worker.run(finish, m_pumpOnce, m_quietUntil);
}

void RpcCallWait::pumpOnce() {
    if (m_pumpError) return;
    try {
        m_pump();
    } catch (...) {
        m_pumpError = std::current_exception();
    }
}
