// What a request's credentials go through around the password check: the Basic header taken
// apart strictly, the slowing down of guesses, the bounded queue of checks, and the later
// rechecks of what a connection accepted.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <boost/asio/thread_pool.hpp>
#include <condition_variable>
#include <map>
#include <mutex>

#include "rpc/Authenticator.h"
#include "rpc/BasicCredentials.h"
#include "support/FakeStore.h"
#include "rpc/SignInQueue.h"
#include "rpc/SignInThrottle.h"

namespace appserver {
namespace {

std::string base64(std::string_view text) {
    std::string out(4 * ((text.size() + 2) / 3) + 1, '\0');
    int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                            reinterpret_cast<const unsigned char*>(text.data()),
                            static_cast<int>(text.size()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

TEST(BasicCredentials, AreTakenApartStrictly) {
    const struct {
        std::string header;
        std::string user, password;  // expected when error is empty
        std::string error;
    } cases[] = {
        {"Basic " + base64("ana:segredo"), "ana", "segredo", ""},
        {"basic   " + base64("ana:segredo") + "  ", "ana", "segredo", ""},
        {"Basic " + base64("ana:se:gre:do"), "ana", "se:gre:do", ""},
        {"Basic " + base64("joão:çãé€"), "joão", "çãé€", ""},
        {"Basic " + base64("a:b"), "a", "b", ""},
        {"Bearer abc", "", "", "esquema Basic"},
        {"Basic", "", "", "esquema Basic"},
        {"Basic ", "", "", "base64"},
        {"Basic !!!!", "", "", "base64"},
        {"Basic YW5hOnNlZ3JlZG8", "", "", "base64"},  // padding missing
        {"Basic YW5h=mFu", "", "", "base64"},         // padding inside
        {"Basic " + base64("ana"), "", "", "separador"},
        {"Basic " + base64(":segredo"), "", "", "vazios"},
        {"Basic " + base64("ana:"), "", "", "vazios"},
        {"Basic " + base64("an\x01"
                           "a:x"),
         "", "", "caracteres inválidos"},
        {"Basic " + base64("ana:x\ny"), "", "", "caracteres inválidos"},
        {"Basic " + base64("\xff:x"), "", "", "caracteres inválidos"},
        {"Basic " + base64("ana:" + std::string(800, 'x')), "", "", "longo demais"},
    };
    for (const auto& c : cases) {
        auto parsed = parseBasicCredentials(c.header);
        if (c.error.empty()) {
            ASSERT_TRUE(parsed.isOk()) << c.header << ": " << parsed.status().message();
            EXPECT_EQ(parsed->user, c.user);
            EXPECT_EQ(parsed->password, c.password);
        } else {
            ASSERT_FALSE(parsed.isOk()) << c.header;
            EXPECT_NE(parsed.status().message().find(c.error), std::string::npos)
                << c.header << ": " << parsed.status().message();
            EXPECT_EQ(parsed.status().message().find("segredo"), std::string::npos);
        }
    }
}

TEST(SignInThrottle, AttemptsCountWhenQueuedPerAddressAndUserUntilTheirSuccess) {
    using namespace std::chrono;
    SignInThrottle throttle(3);
    const auto t0 = SignInThrottle::Clock::time_point{} + hours(1);
    const struct {
        const char* step;  // "try" (the delay it gets), "ok" or "lost" (uncounted)
        const char* address;
        const char* user;
        seconds at;
        milliseconds delay;
    } steps[] = {
        {"try", "a", "ana", 0s, 0ms},
        {"try", "a", "ana", 0s, 0ms},
        {"try", "a", "ana", 0s, 250ms},  // side by side, slowed as if one after the other
        {"try", "a", "ana", 0s, 750ms},
        {"try", "b", "ana", 1s, 0ms},  // another address
        {"try", "a", "bia", 1s, 0ms},
        {"ok", "a", "bia", 1s, 0ms},      // another account's success...
        {"try", "a", "ana", 2s, 1000ms},  // ...clears nothing of ana's
        {"ok", "a", "ana", 3s, 0ms},
        {"try", "a", "ana", 3s, 0ms},
        {"lost", "a", "ana", 3s, 0ms},  // never checked: not counted
        {"try", "a", "ana", 4s, 0ms},
        {"try", "a", "ana", 4s, 0ms},
        {"try", "a", "ana", 4s, 250ms},
        {"try", "a", "ana", 4s + 16min, 0ms},  // forgotten after a quiet quarter of an hour
    };
    int n = 0;
    for (const auto& s : steps) {
        ++n;
        const std::string step = s.step;
        if (step == "try") {
            EXPECT_EQ(throttle.attempt(s.address, s.user, t0 + s.at), s.delay) << "step " << n;
        }
        if (step == "ok") throttle.succeeded(s.address, s.user);
        if (step == "lost") throttle.uncounted(s.address, s.user);
    }

    EXPECT_TRUE(throttle.counts("a"));  // ana's attempts from a still count
    EXPECT_FALSE(throttle.counts("z"));
    throttle.succeeded("a", "ana");
    EXPECT_FALSE(throttle.counts("a"));

    for (int i = 0; i < 12; ++i) throttle.attempt("c", "ana", t0 + i * 20s);
    EXPECT_EQ(throttle.attempt("c", "ana", t0 + 240s), 16000ms);  // capped

    // Full (capacity 2): a new pair pushes out the one whose last attempt is oldest.
    SignInThrottle small(2);
    for (int i = 0; i < 2; ++i) {
        small.attempt("x", "d", t0 + 1s);
        small.attempt("x", "e", t0 + 2s);
    }
    small.attempt("x", "f", t0 + 3s);
    EXPECT_EQ(small.attempt("x", "d", t0 + 4s), 0ms);  // forgotten, and pushes out e
    EXPECT_EQ(small.attempt("x", "f", t0 + 5s), 0ms);
    EXPECT_EQ(small.attempt("x", "f", t0 + 6s), 250ms);
}

TEST(SignInQueue, ABoundedNumberOfAddressesAndAnyNumberOfAttemptsFromEach) {
    boost::asio::thread_pool workers(1);
    SignInQueue queue(workers.get_executor(), 2);
    auto a1 = queue.admit("a");
    auto a2 = queue.admit("a");  // waits its turn behind a1, but is not refused
    auto b = queue.admit("b");
    ASSERT_TRUE(a1.ticket && a2.ticket && b.ticket);
    EXPECT_EQ(queue.admit("c").refusal,
              "O servidor está verificando muitas senhas agora; tente de novo em instantes.");
    a1.ticket.reset();
    EXPECT_FALSE(queue.admit("c").ticket);  // a still has an attempt under way
    a2.ticket.reset();
    EXPECT_TRUE(queue.admit("c").ticket);  // a's place is given back with its last ticket
}

// Checks queued while the runners are held back, then let go; the order they ran in and the
// most that ran at once, in all and from one address.
struct QueuedChecks {
    explicit QueuedChecks(unsigned parallel) : queue(workers.get_executor(), 16, parallel) {}
    void add(const char* address, bool failing = false) {
        tickets.push_back(std::move(*queue.admit(address).ticket));
        tickets.back().run(
            [this, address] {
                std::unique_lock lock(mutex);
                order += address;
                most = std::max(most, ++running);
                sameAddress = sameAddress || runningFrom[address]++ > 0;
                changed.notify_all();
                changed.wait(lock, [this] { return open; });
                --runningFrom[address];
                --running;
                changed.notify_all();
            },
            failing);
    }
    // Lets the first `held` checks go once they run, then waits for all to end.
    void release(std::size_t held) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return order.size() == held; });
        open = true;
        changed.notify_all();
        changed.wait(lock, [&] { return order.size() == tickets.size() && running == 0; });
        lock.unlock();
        workers.join();  // the runners are done with the queue before it goes
    }

    boost::asio::thread_pool workers{4};
    SignInQueue queue;
    std::vector<SignInQueue::Ticket> tickets;
    std::mutex mutex;
    std::condition_variable changed;
    std::string order;
    std::map<std::string, int> runningFrom;
    int running = 0, most = 0;
    bool sameAddress = false, open = false;
};

TEST(SignInQueue, ChecksRunTwoAtATimeNeverTwoFromOneAddress) {
    QueuedChecks checks(2);
    for (const char* address : {"a", "a", "b", "a", "c"}) checks.add(address);
    checks.release(2);
    EXPECT_EQ(checks.most, 2);
    EXPECT_FALSE(checks.sameAddress);
    EXPECT_EQ(checks.order.substr(0, 2), "ab");
}

// Addresses take turns, so a newcomer waits behind one check of each other address, and those
// that have been failing take theirs after the others.
TEST(SignInQueue, AddressesTakeTurnsAndFailingOnesComeLast) {
    QueuedChecks checks(1);
    checks.add("a");  // runs, holding the others back
    checks.add("a");
    checks.add("a");
    checks.add("f", true);
    checks.add("b");
    checks.add("c");
    checks.release(1);
    EXPECT_EQ(checks.order, "abcaaf");
}

// What a connection accepted is held against the user's state with one lookup and no hash.
TEST(Authenticator, RecheckEndsTheSessionOfADisabledUserOrAChangedPassword) {
    testing::FakeStore::Script script;
    script.users["ana"] = {"$argon2id$um", true};
    script.users["bia"] = {"$argon2id$dois", false};
    testing::FakeStore store(script);
    Authenticator auth;
    using V = Authenticator::Verdict;
    const struct {
        const char *user, *hash;
        V verdict;
        std::string message;
    } cases[] = {
        {"ana", "$argon2id$um", V::Accepted, ""},
        {"ana", "$argon2id$antigo", V::Wrong,
         "A senha do usuário ana foi alterada; entre de novo com a senha nova."},
        {"bia", "$argon2id$dois", V::Disabled, "O usuário bia está desativado."},
        {"caio", "$argon2id$um", V::Wrong, "Usuário ou senha incorretos."},
    };
    for (const auto& c : cases) {
        auto outcome = auth.recheck(store, c.user, c.hash);
        EXPECT_EQ(outcome.verdict, c.verdict) << c.user << " " << c.hash;
        EXPECT_EQ(outcome.message, c.message) << c.user << " " << c.hash;
    }
    EXPECT_EQ(script.userLookups, 4);
}

}  // namespace
}  // namespace appserver
