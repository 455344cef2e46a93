#include "rpc/BodyBudget.h"

namespace appserver {

bool BodyBudget::take(std::size_t bytes) {
    std::size_t used = m_used.load(std::memory_order_relaxed);
    do {
        if (bytes > m_capacity - used) return false;
    } while (!m_used.compare_exchange_weak(used, used + bytes, std::memory_order_relaxed));
    return true;
}

BodyBudget::Lease& BodyBudget::Lease::operator=(Lease&& other) noexcept {
    if (this != &other) {
        release();
        m_budget = other.m_budget;
        m_bytes = other.m_bytes;
        other.m_bytes = 0;
    }
    return *this;
}

bool BodyBudget::Lease::growTo(std::size_t bytes) {
    if (bytes <= m_bytes) return true;
    if (!m_budget || !m_budget->take(bytes - m_bytes)) return false;
    m_bytes = bytes;
    return true;
}

void BodyBudget::Lease::release() {
    if (m_budget && m_bytes) m_budget->give(m_bytes);
    m_bytes = 0;
}

}  // namespace appserver
