#pragma once
// Who calls on one connection, settled from each request's Authorization header before its body
// is read, so a client that may not call never makes the server hold its body. Credentials seen
// for the first time are checked on a sign-in worker, after whatever wait this address has
// earned; the header accepted is then taken as it is, and held against the user's state again at
// a call credentialRecheck or more after the last check. Without a header the caller is the local
// user, as long as the store has no users. Used on its connection's strand only.

#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "rpc/Authenticator.h"
#include "rpc/RequestHandler.h"
#include "rpc/ServingContext.h"
#include "rpc/SignInQueue.h"
#include "store/UserNames.h"

namespace appserver {

class ConnectionSignIn {
  public:
    enum class End {
        Admitted,  // user() calls
        Refused,   // answer with the refusal given
        Stopped,   // the server stops: close
    };
    // Runs once per check, on the strand. Whatever it captures lives until then: it keeps the
    // connection, and with it this, alive across a wait.
    using Done = std::function<void(End end, Reply refusal)>;

    // peer: the client's address, for the throttle and the log. strand: the connection's.
    ConnectionSignIn(ServingContext& context, std::string peer,
                     boost::asio::any_io_executor strand);
    ConnectionSignIn(const ConnectionSignIn&) = delete;
    ConnectionSignIn& operator=(const ConnectionSignIn&) = delete;

    // authorization: the request's header, "" when it has none. done runs at once when the
    // answer needs no password check, else once the check is over.
    void check(std::string_view authorization, Done done);
    // Ends a wait under way (a failing client is not worth it); its done then ends Stopped.
    void stop();

    const std::string& user() const { return m_user; }

  private:
    void verify(std::string authorization, BasicCredentials credentials, Done done);
    void onVerified(std::string authorization, Authenticator::Outcome outcome, const Done& done);
    void recheck(const Done& done);
    // The answer to a refused outcome, logged unless the client simply sent no credentials.
    Reply refusalOf(Authenticator::Outcome outcome) const;

    ServingContext& m_context;
    std::string m_peer;
    boost::asio::steady_timer m_wait;                   // the wait a failing address has earned
    std::optional<SignInQueue::Ticket> m_ticket;        // this connection's check under way
    std::string m_acceptedAuthorization;                // verified once, then held against the user
    std::string m_acceptedHash;                         // the stored hash it matched
    std::chrono::steady_clock::time_point m_checkedAt;  // last held against the user's state
    std::string m_user{kLocalUser};
    bool m_stopped = false;
};

}  // namespace appserver
