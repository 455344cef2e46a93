// What a request's credentials go through before any user is looked up: the Basic header taken
// apart strictly, and the slowing down of an address that keeps failing.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "BasicCredentials.h"
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

TEST(SignInThrottle, FailuresInARowWaitLongerUntilASuccessOrAQuietSpell) {
    using namespace std::chrono;
    SignInThrottle throttle(3);
    const auto t0 = SignInThrottle::Clock::time_point{} + hours(1);
    const struct {
        const char* step;  // "fail", "ok" or "" (just ask)
        const char* address;
        seconds at;
        milliseconds delay;  // asked after the step
    } steps[] = {
        {"", "a", 0s, 0ms},         {"fail", "a", 0s, 0ms}, {"fail", "a", 1s, 250ms},
        {"fail", "a", 2s, 500ms},   {"", "b", 2s, 0ms},     {"fail", "a", 3s, 1000ms},
        {"ok", "a", 4s, 0ms},       {"fail", "a", 5s, 0ms}, {"fail", "a", 6s, 250ms},
        {"", "a", 6s + 16min, 0ms},  // forgotten after a quiet quarter of an hour
    };
    for (const auto& s : steps) {
        const std::string step = s.step;
        if (step == "fail") throttle.failed(s.address, t0 + s.at);
        if (step == "ok") throttle.succeeded(s.address);
        EXPECT_EQ(throttle.delayFor(s.address, t0 + s.at), s.delay)
            << step << " " << s.address << " at " << s.at.count();
    }

    for (int i = 0; i < 12; ++i) throttle.failed("c", t0);
    EXPECT_EQ(throttle.delayFor("c", t0), 16000ms);  // capped
    // Full (capacity 3): a new address pushes out the one whose last failure is oldest.
    throttle.failed("d", t0 + 1s);
    throttle.failed("d", t0 + 1s);
    throttle.failed("e", t0 + 2s);
    throttle.failed("e", t0 + 2s);
    throttle.failed("f", t0 + 3s);
    throttle.failed("f", t0 + 3s);
    EXPECT_EQ(throttle.delayFor("c", t0 + 3s), 0ms);
    EXPECT_EQ(throttle.delayFor("f", t0 + 3s), 250ms);
}

}  // namespace
}  // namespace appserver
