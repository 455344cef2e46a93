#pragma once
// Who is calling. Once some user is enabled in the store, every call but /health must carry HTTP
// Basic credentials of an enabled user; until then every call is "local". Credentials are checked
// against the stored Argon2id hash, at most two at a time (each takes 64 MiB and a tenth of a
// second on purpose), and the connection keeps the header it accepted, so a keep-alive client
// pays the check once. Thread-safe.

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>

#include "SignInThrottle.h"
#include "store/Store.h"

namespace appserver {

class Authenticator {
  public:
    enum class Verdict { Accepted, Missing, Malformed, Wrong, Disabled, Unavailable };
    struct Outcome {
        Verdict verdict = Verdict::Missing;
        std::string user;     // Accepted: the signed-in user; else the name tried, if any
        std::string message;  // not Accepted: what the client is told
    };

    // Whether calls must carry credentials: some user exists (a disabled one too). The store is
    // asked at most every few seconds; when it cannot answer, credentials are required.
    bool required(Store& store);
    // The verdict on an Authorization header; runs where Argon2id may take its time.
    Outcome verify(Store& store, std::string_view authorization) const;
    static Outcome missing();

    SignInThrottle& throttle() { return m_throttle; }

  private:
    SignInThrottle m_throttle;
    std::atomic<std::int64_t> m_checkedAt{0};  // steady clock, ms; 0: never
    std::atomic<bool> m_required{false};
};

}  // namespace appserver
