#pragma once
// How a transport that drives its own I/O waits for it (RpcTransport::setWaiter). Where it would
// block, it calls wait() with two ways to run the operation under way: runUntil runs it on the
// calling thread until the deadline (what is ready already runs even past it) and returns true once
// it has ended; finish runs it to its end, possibly on another thread. The waiter calls them one at
// a time and returns once the operation has ended; what they throw travels on.

#include <chrono>
#include <functional>

class RpcWaiter {
  public:
    using Deadline = std::chrono::steady_clock::time_point;

    virtual ~RpcWaiter() = default;
    virtual void wait(const std::function<bool(Deadline)>& runUntil,
                      const std::function<void()>& finish) = 0;
};
