#include "SignInThrottle.h"

#include <algorithm>

namespace appserver {
namespace {

constexpr auto kForgetAfter = std::chrono::minutes(15);
constexpr auto kFirstDelay = std::chrono::milliseconds(250);
constexpr auto kLongestDelay = std::chrono::milliseconds(16'000);

}  // namespace

// A user name holds no control character (BasicCredentials refuses them), so NUL separates.
std::string SignInThrottle::key(std::string_view address, std::string_view user) {
    std::string k(address);
    k += '\0';
    k += user;
    return k;
}

std::chrono::milliseconds SignInThrottle::attempt(std::string_view address, std::string_view user,
                                                  Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    const std::string k = key(address, user);
    auto it = m_attempts.find(k);
    if (it == m_attempts.end()) {
        if (m_attempts.size() >= m_capacity) forgetOldest();
        it = m_attempts.emplace(k, Attempts{}).first;
    } else if (now - it->second.last > kForgetAfter) {
        it->second.count = 0;
    }
    const unsigned before = it->second.count++;
    it->second.last = now;
    // A user who mistypes once or twice waits for nothing.
    if (before < 2) return {};
    const unsigned doublings = std::min(before - 2, 6u);
    return std::min(kLongestDelay, kFirstDelay * (1u << doublings));
}

void SignInThrottle::succeeded(std::string_view address, std::string_view user) {
    std::lock_guard lock(m_mutex);
    m_attempts.erase(key(address, user));
}

void SignInThrottle::uncounted(std::string_view address, std::string_view user) {
    std::lock_guard lock(m_mutex);
    auto it = m_attempts.find(key(address, user));
    if (it != m_attempts.end() && it->second.count > 0 && --it->second.count == 0)
        m_attempts.erase(it);
}

void SignInThrottle::forgetOldest() {
    auto oldest = std::min_element(
        m_attempts.begin(), m_attempts.end(),
        [](const auto& a, const auto& b) { return a.second.last < b.second.last; });
    if (oldest != m_attempts.end()) m_attempts.erase(oldest);
}

}  // namespace appserver
