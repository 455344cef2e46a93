#include "SignInQueue.h"

#include <boost/asio/post.hpp>
#include <utility>

namespace appserver {

SignInQueue::SignInQueue(boost::asio::any_io_executor workers, std::size_t capacity,
                         unsigned parallel)
    : m_workers(std::move(workers)), m_capacity(capacity), m_parallel(parallel) {}

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
    if (m_addresses.contains(address))
        return {std::nullopt,
                "Outra verificação de senha deste endereço está em andamento; tente de novo em "
                "instantes."};
    if (m_addresses.size() >= m_capacity)
        return {std::nullopt,
                "O servidor está verificando muitas senhas agora; tente de novo em instantes."};
    m_addresses.insert(address);
    Admission admitted;
    admitted.ticket.emplace();
    admitted.ticket->m_queue = this;
    admitted.ticket->m_address = address;
    return admitted;
}

void SignInQueue::release(const std::string& address) {
    std::lock_guard lock(m_mutex);
    m_addresses.erase(address);
}

void SignInQueue::Ticket::run(std::function<void()> check) {
    SignInQueue& queue = *m_queue;
    {
        std::lock_guard lock(queue.m_mutex);
        queue.m_waiting.push_back(std::move(check));
        if (queue.m_running >= queue.m_parallel) return;
        ++queue.m_running;
    }
    boost::asio::post(queue.m_workers, [&queue] { queue.drain(); });
}

// One of the `parallel` runners: takes the oldest check until none is left.
void SignInQueue::drain() {
    for (;;) {
        std::function<void()> check;
        {
            std::lock_guard lock(m_mutex);
            if (m_waiting.empty()) {
                --m_running;
                return;
            }
            check = std::move(m_waiting.front());
            m_waiting.pop_front();
        }
        check();
    }
}

}  // namespace appserver
