#pragma once
// A helper thread that runs one task at a time while the calling thread keeps pumping: run()
// hands the task over, waits without pumping until quietUntil (most tasks have ended by then),
// then calls pump every few milliseconds until the task has ended, and rethrows on the caller
// whatever the task threw. The thread starts with the first task and is reused.
// One caller at a time; the destructor waits for the task under way.

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class RpcWorker {
  public:
    RpcWorker() = default;
    ~RpcWorker();
    RpcWorker(const RpcWorker&) = delete;
    RpcWorker& operator=(const RpcWorker&) = delete;

    // A pump that throws stops being called; its exception travels on once the task has ended.
    void run(const std::function<void()>& task, const std::function<void()>& pump,
             std::chrono::steady_clock::time_point quietUntil);

  private:
    void loop();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    const std::function<void()>* m_task = nullptr;
    bool m_finished = false;
    bool m_stop = false;
    std::exception_ptr m_error;
    std::thread m_thread;
};
