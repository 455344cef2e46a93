#include "rpc/Authenticator.h"

#include "auth/PasswordHash.h"

namespace appserver {
namespace {

constexpr std::chrono::milliseconds kRecheck{5000};

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Kept for a hash check against a user that does not exist, so a wrong name costs the same time
// as a wrong password and does not tell which names exist.
const std::string& decoyHash() {
    static const std::string hash = hashPassword("senha que ninguém usa");
    return hash;
}

}  // namespace

bool Authenticator::required(Store& store) {
    const std::int64_t now = nowMs();
    const std::int64_t checked = m_checkedAt.load(std::memory_order_relaxed);
    if (checked != 0 && now - checked < kRecheck.count())
        return m_required.load(std::memory_order_relaxed);
    auto any = store.anyUser();
    m_required.store(!any || *any, std::memory_order_relaxed);
    m_checkedAt.store(now == 0 ? 1 : now, std::memory_order_relaxed);
    return m_required.load(std::memory_order_relaxed);
}

Authenticator::Outcome Authenticator::missing() {
    return refused(Verdict::Missing, {}, "Este servidor exige usuário e senha.");
}

Authenticator::Outcome Authenticator::malformed(std::string message) {
    return refused(Verdict::Malformed, {}, std::move(message));
}

Authenticator::Outcome Authenticator::refused(Verdict verdict, std::string user,
                                              std::string message) {
    Outcome outcome;
    outcome.verdict = verdict;
    outcome.user = std::move(user);
    outcome.message = std::move(message);
    return outcome;
}

Authenticator::Outcome Authenticator::verify(Store& store,
                                             const BasicCredentials& credentials) const {
    auto found = store.findUser(credentials.user);
    if (!found) return refused(Verdict::Unavailable, credentials.user, found.status().message());
    const std::optional<StoredUser>& user = *found;
    const bool matches =
        verifyPassword(user ? user->passwordHash : decoyHash(), credentials.password);
    if (!user || !matches)
        return refused(Verdict::Wrong, credentials.user, "Usuário ou senha incorretos.");
    if (!user->enabled)
        return refused(Verdict::Disabled, credentials.user,
                       "O usuário " + credentials.user + " está desativado.");
    return {Verdict::Accepted, credentials.user, {}, user->passwordHash};
}

// Hashes are salted, so a new password, even the same one set again, is a new hash.
Authenticator::Outcome Authenticator::recheck(Store& store, std::string_view name,
                                              std::string_view passwordHash) const {
    const std::string user(name);
    auto found = store.findUser(user);
    if (!found) return refused(Verdict::Unavailable, user, found.status().message());
    if (!*found) return refused(Verdict::Wrong, user, "Usuário ou senha incorretos.");
    if (!(*found)->enabled)
        return refused(Verdict::Disabled, user, "O usuário " + user + " está desativado.");
    if ((*found)->passwordHash != passwordHash)
        return refused(
            Verdict::Wrong, user,
            "A senha do usuário " + user + " foi alterada; entre de novo com a senha nova.");
    return {Verdict::Accepted, user, {}, std::string(passwordHash)};
}

}  // namespace appserver
