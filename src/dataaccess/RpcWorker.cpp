#include "dataaccess/RpcWorker.h"

#include <chrono>

namespace {
constexpr auto kPumpInterval = std::chrono::milliseconds(5);
}

RpcWorker::~RpcWorker() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable()) m_thread.join();
}

void RpcWorker::run(const std::function<void()>& task, const std::function<void()>& pump,
                    std::chrono::steady_clock::time_point quietUntil) {
    std::unique_lock lock(m_mutex);
    if (!m_thread.joinable()) m_thread = std::thread([this] { loop(); });
    m_task = &task;
    m_finished = false;
    m_error = nullptr;
    m_wake.notify_one();

    std::exception_ptr pumpError;
    m_done.wait_until(lock, quietUntil, [this] { return m_finished; });
    while (!m_finished) {
        if (!pumpError) {
            lock.unlock();
            try {
                pump();
            } catch (...) {
                pumpError = std::current_exception();
            }
            lock.lock();
            if (m_finished) break;
        }
        m_done.wait_for(lock, kPumpInterval);
    }
    auto error = m_error;
    m_error = nullptr;
    lock.unlock();
    if (error) std::rethrow_exception(error);
    if (pumpError) std::rethrow_exception(pumpError);
}

void RpcWorker::loop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_task != nullptr; });
        if (m_task == nullptr) return;
        const auto* task = m_task;
        m_task = nullptr;
        lock.unlock();
        std::exception_ptr error;
        try {
            (*task)();
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        m_error = error;
        m_finished = true;
        m_done.notify_one();
    }
}
