#pragma once
// Who is calling. Once some user exists in the store, every call but /health must carry HTTP
// Basic credentials of an enabled user; until then every call is "local". Credentials are checked
// against the stored Argon2id hash (64 MiB and a sizeable fraction of a second, on purpose, so
// the checks are queued: SignInQueue), and the connection keeps the header it accepted, so a
// keep-alive client pays the check once; what it accepted is checked again against the user's
// state every few seconds, cheaply, so disabling a user or changing a password ends its open
// sessions. Thread-safe.

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>

#include "rpc/BasicCredentials.h"
#include "rpc/SignInThrottle.h"
#include "store/Store.h"

namespace appserver {

class Authenticator {
  public:
    enum class Verdict { Accepted, Missing, Malformed, Wrong, Disabled, Unavailable };
    struct Outcome {
        Verdict verdict = Verdict::Missing;
        std::string user;          // Accepted: the signed-in user; else the name tried, if any
        std::string message;       // not Accepted: what the client is told
        std::string passwordHash;  // Accepted: the stored hash the password matched
    };

    // Whether calls must carry credentials: some user exists (a disabled one too). The store is
    // asked at most every few seconds; when it cannot answer, credentials are required.
    bool required(Store& store);
    // The verdict on credentials; runs where Argon2id may take its time.
    Outcome verify(Store& store, const BasicCredentials& credentials) const;
    // Whether user, accepted with passwordHash, may still call: enabled, with the same password.
    // One lookup, no hash computed.
    Outcome recheck(Store& store, std::string_view user, std::string_view passwordHash) const;
    static Outcome missing();
    static Outcome malformed(std::string message);
    // Not Accepted: the verdict on user's attempt, and what the client is told.
    static Outcome refused(Verdict verdict, std::string user, std::string message);

    SignInThrottle& throttle() { return m_throttle; }

  private:
    SignInThrottle m_throttle;
    std::atomic<std::int64_t> m_checkedAt{0};  // steady clock, ms; 0: never
    std::atomic<bool> m_required{false};
};

}  // namespace appserver
