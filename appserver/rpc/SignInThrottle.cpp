#include "SignInThrottle.h"

#include <algorithm>

namespace appserver {
namespace {

constexpr auto kForgetAfter = std::chrono::minutes(15);
constexpr auto kFirstDelay = std::chrono::milliseconds(250);
constexpr auto kLongestDelay = std::chrono::milliseconds(16'000);

}  // namespace

std::chrono::milliseconds SignInThrottle::delayFor(const std::string& address,
                                                   Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    auto it = m_failures.find(address);
    if (it == m_failures.end()) return {};
    if (now - it->second.last > kForgetAfter) {
        m_failures.erase(it);
        return {};
    }
    // One slip is free: a user mistyping once waits for nothing.
    if (it->second.count < 2) return {};
    const unsigned doublings = std::min(it->second.count - 2, 6u);
    return std::min(kLongestDelay, kFirstDelay * (1u << doublings));
}

void SignInThrottle::failed(const std::string& address, Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    auto it = m_failures.find(address);
    if (it == m_failures.end()) {
        if (m_failures.size() >= m_capacity) forgetOldest();
        it = m_failures.emplace(address, Failures{}).first;
    } else if (now - it->second.last > kForgetAfter) {
        it->second.count = 0;
    }
    ++it->second.count;
    it->second.last = now;
}

void SignInThrottle::succeeded(const std::string& address) {
    std::lock_guard lock(m_mutex);
    m_failures.erase(address);
}

void SignInThrottle::forgetOldest() {
    auto oldest = std::min_element(
        m_failures.begin(), m_failures.end(),
        [](const auto& a, const auto& b) { return a.second.last < b.second.last; });
    if (oldest != m_failures.end()) m_failures.erase(oldest);
}

}  // namespace appserver
