#include "rpc/SignInQueue.h"

#include <boost/asio/post.hpp>
#include <utility>

namespace appserver {

SignInQueue::SignInQueue(boost::asio::any_io_executor workers, std::size_t capacity,
                         unsigned parallel)
    : m_workers(std::move(workers)), m_capacity(capacity), m_parallel(parallel) {}

SignInQueue::Ticket::Ticket() = default;

SignInQueue::Ticket& SignInQueue::Ticket::operator=(Ticket&& other) noexcept {
    if (this == &other) return *this;
    if (m_queue) m_queue->release(m_address);
    m_queue = std::exchange(other.m_queue, nullptr);
    m_address = std::move(other.m_address);
    return *this;
}

SignInQueue::Ticket::~Ticket() {
    if (m_queue) m_queue->release(m_address);
}

SignInQueue::Admission SignInQueue::admit(const std::string& address) {
    std::lock_guard lock(m_mutex);
    auto it = m_addresses.find(address);
    if (it == m_addresses.end()) {
        if (m_addresses.size() >= m_capacity)
            return {std::nullopt,
                    "O servidor está verificando muitas senhas agora; tente de novo em "
                    "instantes."};
        it = m_addresses.emplace(address, Address{}).first;
    }
    ++it->second.tickets;
    Admission admitted;
    admitted.ticket.emplace();
    admitted.ticket->m_queue = this;
    admitted.ticket->m_address = address;
    return admitted;
}

// The address stays while a check of it is queued or running: each holds its ticket.
void SignInQueue::release(const std::string& address) {
    std::lock_guard lock(m_mutex);
    auto it = m_addresses.find(address);
    if (it != m_addresses.end() && --it->second.tickets == 0) m_addresses.erase(it);
}

void SignInQueue::takeTurn(const std::string& address, Address& state) {
    if (state.running || state.inTurn || state.waiting.empty()) return;
    state.inTurn = true;
    (state.failing ? m_failingTurns : m_turns).push_back(address);
}

void SignInQueue::Ticket::run(std::function<void()> check, bool failing) {
    SignInQueue& queue = *m_queue;
    {
        std::lock_guard lock(queue.m_mutex);
        SignInQueue::Address& state = queue.m_addresses.at(m_address);
        state.failing = failing;
        state.waiting.push_back(std::move(check));
        queue.takeTurn(m_address, state);
        if (queue.m_running >= queue.m_parallel) return;
        ++queue.m_running;
    }
    boost::asio::post(queue.m_workers, [&queue] { queue.drain(); });
}

// One of the `parallel` runners: runs the check of the address whose turn it is, until no
// address has one waiting.
void SignInQueue::drain() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        auto& turns = m_turns.empty() ? m_failingTurns : m_turns;
        if (turns.empty()) break;
        const std::string address = std::move(turns.front());
        turns.pop_front();
        Address& state = m_addresses.at(address);
        state.inTurn = false;
        state.running = true;
        std::function<void()> check = std::move(state.waiting.front());
        state.waiting.pop_front();
        lock.unlock();
        check();
        check = nullptr;  // may be what holds the connection, and with it the last ticket
        lock.lock();
        // Gone when the verdict gave its ticket back and no other attempt of it is under way.
        if (auto it = m_addresses.find(address); it != m_addresses.end()) {
            it->second.running = false;
            takeTurn(address, it->second);
        }
    }
    --m_running;
}

}  // namespace appserver
