#include "rpc/SignInThrottle.h"

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
        ++m_usersTried[std::string(address)];
    } else if (now - it->second.last > kForgetAfter) {
        it->second = Attempts{};
    }
    Attempts& attempts = it->second;
    const unsigned before = attempts.count++;
    attempts.last = now;
    // A user who mistypes once or twice waits for nothing.
    const auto delay =
        before < 2 ? std::chrono::milliseconds(0)
                   : std::min(kLongestDelay, kFirstDelay * (1u << std::min(before - 2, 6u)));
    attempts.next = std::max(now, attempts.next) + delay;
    return std::chrono::duration_cast<std::chrono::milliseconds>(attempts.next - now);
}

void SignInThrottle::succeeded(std::string_view address, std::string_view user) {
    std::lock_guard lock(m_mutex);
    auto it = m_attempts.find(key(address, user));
    if (it != m_attempts.end()) forget(it);
}

void SignInThrottle::uncounted(std::string_view address, std::string_view user) {
    std::lock_guard lock(m_mutex);
    auto it = m_attempts.find(key(address, user));
    if (it != m_attempts.end() && it->second.count > 0 && --it->second.count == 0) forget(it);
}

bool SignInThrottle::counts(std::string_view address) {
    std::lock_guard lock(m_mutex);
    return m_usersTried.contains(std::string(address));
}

void SignInThrottle::forget(std::unordered_map<std::string, Attempts>::iterator it) {
    const std::string address = it->first.substr(0, it->first.find('\0'));
    auto tried = m_usersTried.find(address);
    if (tried != m_usersTried.end() && --tried->second == 0) m_usersTried.erase(tried);
    m_attempts.erase(it);
}

void SignInThrottle::forgetOldest() {
    auto oldest = std::min_element(
        m_attempts.begin(), m_attempts.end(),
        [](const auto& a, const auto& b) { return a.second.last < b.second.last; });
    if (oldest != m_attempts.end()) forget(oldest);
}

}  // namespace appserver
