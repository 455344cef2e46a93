#include "rpc/ConnectionRegistry.h"

#include <utility>
#include <vector>

namespace appserver {

ConnectionRegistry::Slot& ConnectionRegistry::Slot::operator=(Slot&& other) noexcept {
    if (this == &other) return *this;
    if (m_registry) m_registry->release(m_id);
    m_registry = std::exchange(other.m_registry, nullptr);
    m_id = other.m_id;
    m_address = std::move(other.m_address);
    return *this;
}

ConnectionRegistry::Slot::~Slot() {
    if (m_registry) m_registry->release(m_id);
}

bool ConnectionRegistry::Slot::attach(std::weak_ptr<Connection> connection) {
    if (!m_registry) return false;
    std::lock_guard lock(m_registry->m_mutex);
    m_registry->m_connections[m_id].connection = std::move(connection);
    return !m_registry->m_stopping;
}

std::optional<ConnectionRegistry::Slot> ConnectionRegistry::admit(const std::string& address) {
    std::lock_guard lock(m_mutex);
    if (m_connections.size() >= m_max) return std::nullopt;
    std::size_t& fromAddress = m_perAddress[address];
    if (fromAddress >= m_maxPerAddress) return std::nullopt;
    ++fromAddress;
    Slot slot;
    slot.m_registry = this;
    slot.m_id = ++m_next;
    slot.m_address = address;
    m_connections.emplace(slot.m_id, Entry{{}, address});
    return slot;
}

void ConnectionRegistry::release(std::uint64_t id) {
    std::lock_guard lock(m_mutex);
    auto it = m_connections.find(id);
    if (it == m_connections.end()) return;
    auto count = m_perAddress.find(it->second.address);
    if (count != m_perAddress.end() && --count->second == 0) m_perAddress.erase(count);
    m_connections.erase(it);
}

std::size_t ConnectionRegistry::size() const {
    std::lock_guard lock(m_mutex);
    return m_connections.size();
}

void ConnectionRegistry::shutdownAll() {
    std::vector<std::shared_ptr<Connection>> open;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        for (auto& [id, entry] : m_connections)
            if (auto c = entry.connection.lock()) open.push_back(std::move(c));
    }
    for (auto& c : open) c->shutdown();
}

Store*& workerStore() {
    thread_local Store* store = nullptr;
    return store;
}

}  // namespace appserver
