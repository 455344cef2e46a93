// What a request's credentials go through around the password check: the Basic header taken
// apart strictly, the slowing down of guesses, the bounded queue of checks, and the later
// rechecks of what a connection accepted.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <boost/asio/thread_pool.hpp>
#include <condition_variable>
#include <mutex>

#include "Authenticator.h"
#include "BasicCredentials.h"
#include "FakeStore.h"
#include "SignInQueue.h"
#include "SignInThrottle.h"

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
        {"try", "a", "ana", 0s, 500ms},
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

    for (int i = 0; i < 12; ++i) throttle.attempt("c", "ana", t0);
    EXPECT_EQ(throttle.attempt("c", "ana", t0), 16000ms);  // capped
    // Full (capacity 3): a new pair pushes out the one whose last attempt is oldest.
    seconds at = 5s;
    for (const char* user : {"d", "e", "f"}) {
        for (int i = 0; i < 2; ++i) throttle.attempt("x", user, t0 + at);
        at += 1s;
    }
    EXPECT_EQ(throttle.attempt("c", "ana", t0 + at), 0ms);
    EXPECT_EQ(throttle.attempt("x", "f", t0 + at), 250ms);
}

TEST(SignInQueue, OneAttemptPerAddressAndABoundedNumberInAll) {
    boost::asio::thread_pool workers(1);
    SignInQueue queue(workers.get_executor(), 3);
    auto a = queue.admit("a");
    ASSERT_TRUE(a.ticket);
    EXPECT_NE(queue.admit("a").refusal.find("deste endereço"), std::string::npos);
    auto b = queue.admit("b");
    auto c = queue.admit("c");
    ASSERT_TRUE(b.ticket && c.ticket);
    EXPECT_NE(queue.admit("d").refusal.find("muitas senhas"), std::string::npos);
    a.ticket.reset();
    EXPECT_TRUE(queue.admit("a").ticket);  // given back as the ticket dies
    b.ticket = queue.admit("d").ticket;    // b's place goes to d
    EXPECT_TRUE(b.ticket);
    EXPECT_TRUE(queue.admit("b").refusal.empty());
}

TEST(SignInQueue, ChecksRunTwoAtATimeInTheOrderTheyWereQueued) {
    boost::asio::thread_pool workers(4);
    SignInQueue queue(workers.get_executor(), 8, 2);
    std::mutex mutex;
    std::condition_variable changed;
    std::string order;
    int running = 0, most = 0;
    bool open = false;
    std::vector<SignInQueue::Ticket> tickets;
    for (const char* address : {"a", "b", "c", "d", "e"}) {
        tickets.push_back(std::move(*queue.admit(address).ticket));
        tickets.back().run([&, address] {
            std::unique_lock lock(mutex);
            order += address;
            most = std::max(most, ++running);
            changed.notify_all();
            changed.wait(lock, [&] { return open; });  // the first ones hold the others back
            --running;
            changed.notify_all();
        });
    }
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return order.size() == 2; });
    open = true;
    changed.notify_all();
    changed.wait(lock, [&] { return order.size() == 5 && running == 0; });
    EXPECT_EQ(order.substr(2), "cde");
    EXPECT_EQ(most, 2);
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
