#include "rpc/ConnectionSignIn.h"

#include <boost/asio/post.hpp>
#include <memory>

#include "rpc/ConnectionRegistry.h"

namespace appserver {

namespace asio = boost::asio;
using wire::ErrorCode;
using Verdict = Authenticator::Verdict;

namespace {

Authenticator::Outcome unavailable(std::string user) {
    return Authenticator::refused(Verdict::Unavailable, std::move(user),
                                  "Banco de dados indisponível.");
}

}  // namespace

ConnectionSignIn::ConnectionSignIn(ServingContext& context, std::string peer,
                                   asio::any_io_executor strand)
    : m_context(context), m_peer(std::move(peer)), m_wait(std::move(strand)) {}

void ConnectionSignIn::check(std::string_view authorization, Done done) {
    if (!authorization.empty() && authorization == m_acceptedAuthorization) {
        if (std::chrono::steady_clock::now() - m_checkedAt < m_context.options.credentialRecheck)
            return done(End::Admitted, {});
        return recheck(done);
    }
    Authenticator& auth = *m_context.auth;
    if (authorization.empty()) {
        Store* store = workerStore();
        if (store && !auth.required(*store)) {
            m_user = kLocalUser;
            return done(End::Admitted, {});
        }
        return done(End::Refused, refusalOf(Authenticator::missing()));
    }
    auto credentials = parseBasicCredentials(authorization);
    if (!credentials)
        return done(End::Refused,
                    refusalOf(Authenticator::malformed(credentials.status().message())));
    verify(std::string(authorization), std::move(*credentials), std::move(done));
}

// Off the loop, after whatever wait this name has earned from this address, the attempt counted
// from now on.
void ConnectionSignIn::verify(std::string authorization, BasicCredentials credentials, Done done) {
    auto admission = m_context.signIns->admit(m_peer);
    if (!admission.ticket)
        return done(End::Refused, refusal(503, ErrorCode::Internal, std::move(admission.refusal)));
    m_ticket = std::move(*admission.ticket);
    Authenticator& auth = *m_context.auth;
    const bool failing = auth.throttle().counts(m_peer);
    m_wait.expires_after(auth.throttle().attempt(m_peer, credentials.user));
    auto tried = std::make_shared<BasicCredentials>(std::move(credentials));
    m_wait.async_wait([this, authorization = std::move(authorization), tried, failing,
                       done = std::move(done)](boost::system::error_code) mutable {
        if (m_stopped) return done(End::Stopped, {});
        auto back = asio::prefer(m_wait.get_executor(), asio::execution::outstanding_work.tracked);
        m_ticket->run(
            [this, authorization = std::move(authorization), tried, back,
             done = std::move(done)]() mutable {
                auto outcome = unavailable(tried->user);
                try {
                    if (Store* store = workerStore())
                        outcome = m_context.auth->verify(*store, *tried);
                } catch (const std::exception&) {
                    outcome.message = kOutOfMemory;  // Argon2id's 64 MiB, most likely
                }
                asio::post(back, [this, authorization = std::move(authorization),
                                  outcome = std::move(outcome), done = std::move(done)]() mutable {
                    onVerified(std::move(authorization), std::move(outcome), done);
                });
            },
            failing);
    });
}

void ConnectionSignIn::onVerified(std::string authorization, Authenticator::Outcome outcome,
                                  const Done& done) {
    m_ticket.reset();  // before the answer, so the client's next attempt finds its place free
    if (m_stopped) return done(End::Stopped, {});
    SignInThrottle& throttle = m_context.auth->throttle();
    if (outcome.verdict == Verdict::Unavailable) throttle.uncounted(m_peer, outcome.user);
    if (outcome.verdict != Verdict::Accepted)
        return done(End::Refused, refusalOf(std::move(outcome)));
    throttle.succeeded(m_peer, outcome.user);
    m_acceptedAuthorization = std::move(authorization);
    m_acceptedHash = std::move(outcome.passwordHash);
    m_checkedAt = std::chrono::steady_clock::now();
    m_user = std::move(outcome.user);
    done(End::Admitted, {});
}

// What this connection accepted a while ago is held against the user's state now: a disabled
// user or a changed password ends the session. One key read, on this loop's own store.
void ConnectionSignIn::recheck(const Done& done) {
    Store* store = workerStore();
    auto outcome =
        store ? m_context.auth->recheck(*store, m_user, m_acceptedHash) : unavailable(m_user);
    if (outcome.verdict == Verdict::Accepted) {
        m_checkedAt = std::chrono::steady_clock::now();
        return done(End::Admitted, {});
    }
    m_acceptedAuthorization.clear();
    done(End::Refused, refusalOf(std::move(outcome)));
}

void ConnectionSignIn::stop() {
    m_stopped = true;
    m_wait.cancel();
}

Reply ConnectionSignIn::refusalOf(Authenticator::Outcome outcome) const {
    if (outcome.verdict != Verdict::Missing)
        m_context.log.note("acesso recusado a " + m_peer +
                               (outcome.user.empty() ? "" : " (usuário " + outcome.user + ")") +
                               ": ",
                           outcome.message);
    if (outcome.verdict == Verdict::Unavailable)
        return refusal(503, ErrorCode::Unavailable, std::move(outcome.message));
    Reply refused = refusal(401, ErrorCode::Unauthenticated, std::move(outcome.message));
    refused.challenge = true;
    return refused;
}

}  // namespace appserver
