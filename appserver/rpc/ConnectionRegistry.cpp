#include "ConnectionRegistry.h"

#include <vector>

#include "Connection.h"

namespace appserver {

std::uint64_t ConnectionRegistry::add(std::weak_ptr<Connection> connection) {
    std::lock_guard lock(m_mutex);
    m_connections.emplace(++m_next, std::move(connection));
    return m_next;
}

void ConnectionRegistry::remove(std::uint64_t id) {
    std::lock_guard lock(m_mutex);
    m_connections.erase(id);
}

std::size_t ConnectionRegistry::size() const {
    std::lock_guard lock(m_mutex);
    return m_connections.size();
}

void ConnectionRegistry::shutdownAll() {
    m_stopping = true;
    std::vector<std::shared_ptr<Connection>> open;
    {
        std::lock_guard lock(m_mutex);
        for (auto& [id, weak] : m_connections)
            if (auto c = weak.lock()) open.push_back(std::move(c));
    }
    for (auto& c : open) c->shutdown();
}

Store*& workerStore() {
    thread_local Store* store = nullptr;
    return store;
}

}  // namespace appserver
