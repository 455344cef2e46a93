#pragma once
// The threads that run calls, each with its own Store. Connections hand every request over as it
// arrives and any free worker takes it, so a long call holds one worker for its duration, never
// the other connections of the I/O loop that read it: waiting is per call, not per connection.
// The workers run at a lower priority than the I/O loops, so when every processor is busy with long
// calls the short ones answered on the I/O loops still get one at once.

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <memory>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "rpc/CallLog.h"
#include "store/Store.h"

namespace appserver {

class CallWorkers {
  public:
    explicit CallWorkers(CallLog& log);
    ~CallWorkers();
    CallWorkers(const CallWorkers&) = delete;
    CallWorkers& operator=(const CallWorkers&) = delete;

    boost::asio::io_context::executor_type executor() { return m_calls.get_executor(); }

    // One thread per store (count threads without one when stores is empty); each sees its
    // store through workerStore(). The stores must outlive finish().
    void start(std::span<const std::unique_ptr<Store>> stores, unsigned count);
    // Runs what is queued, then joins the threads. Call once nothing can queue more.
    void finish();

  private:
    CallLog& m_log;
    boost::asio::io_context m_calls;
    std::optional<boost::asio::executor_work_guard<boost::asio::io_context::executor_type>> m_guard;
    std::vector<std::thread> m_threads;
};

}  // namespace appserver
