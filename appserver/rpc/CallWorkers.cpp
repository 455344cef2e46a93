#include "rpc/CallWorkers.h"

#include <sys/resource.h>
#include <unistd.h>

#include <exception>
#include <string>

#include "rpc/ConnectionRegistry.h"

namespace appserver {

CallWorkers::CallWorkers(CallLog& log) : m_log(log), m_guard(m_calls.get_executor()) {}

CallWorkers::~CallWorkers() { finish(); }

namespace {

// Nice 5 weighs a third of a normal thread when the processors are contended, and nothing
// otherwise: short calls go first, yet long ones still move on a machine busy with other work
// (nice 10 left a search at a tenth of its speed beside a compiler). Raising one's own nice
// needs no privilege; failing to is harmless.
void lowerPriority() {
#ifdef __linux__
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 5);
#endif
}

}  // namespace

void CallWorkers::start(std::span<const std::unique_ptr<Store>> stores, unsigned count) {
    const std::size_t threads = stores.empty() ? count : stores.size();
    for (std::size_t i = 0; i < threads; ++i) {
        Store* store = stores.empty() ? nullptr : stores[i].get();
        m_threads.emplace_back([this, store] {
            lowerPriority();
            workerStore() = store;
            for (;;) {
                try {
                    m_calls.run();
                    break;
                } catch (const std::exception& e) {
                    // One failed call must not take the worker, and every later call, down.
                    m_log.note("erro inesperado num atendimento: ", e.what());
                }
            }
            workerStore() = nullptr;
        });
    }
}

void CallWorkers::finish() {
    m_guard.reset();
    for (auto& t : m_threads) t.join();
    m_threads.clear();
}

}  // namespace appserver
