#pragma once
// One call's wait for its answer while a wait pump is installed. For the first milliseconds the
// calling thread waits quietly, running the transport's I/O itself where the transport lets it
// (RpcWaiter), so a quick answer costs no thread switch and no pump turn. What is left then runs
// on the worker's helper thread while the pump turns on the caller (a transport that only blocks
// goes there whole). A pump that throws stops being called; its exception travels on once the I/O
// has ended without an error of its own. Calling thread only; one call per object.

#include <exception>
#include <functional>

#include "dataaccess/RpcTransport.h"
#include "dataaccess/RpcWaiter.h"
#include "dataaccess/RpcWorker.h"

class RpcCallWait : private RpcWaiter {
  public:
    RpcCallWait(RpcWorker& worker, std::function<void()> pump);
    RpcCallWait(const RpcCallWait&) = delete;
    RpcCallWait& operator=(const RpcCallWait&) = delete;

    // Runs io, the transport's work for this call, waiting as above.
    void run(RpcTransport& transport, const std::function<void()>& io);

  private:
    void wait(const std::function<bool(Deadline)>& runUntil,
              const std::function<void()>& finish) override;
    void pumpOnce();

    RpcWorker& m_worker;
    std::function<void()> m_pump;
    std::function<void()> m_pumpOnce;  // what the worker calls: never throws
    Deadline m_quietUntil;
    std::exception_ptr m_pumpError;
};
