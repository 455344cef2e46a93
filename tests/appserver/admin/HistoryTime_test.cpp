// The times "history --since" takes, as UTC, in the store's own form; everything else refused.
#include "admin/HistoryTime.h"

#include <gtest/gtest.h>

namespace appserver {
namespace {

TEST(HistoryTime, TakesADayOrAMinuteOrASecondInUtc) {
    struct Case {
        std::string_view text, time;
    };
    const Case cases[] = {
        {"2026-05-04", "2026-05-04T00:00:00.000Z"},
        {"2026-05-04T10:15", "2026-05-04T10:15:00.000Z"},
        {"2026-05-04T10:15:02", "2026-05-04T10:15:02.000Z"},
        {"2026-05-04T10:15Z", "2026-05-04T10:15:00.000Z"},
        {"2026-05-04T10:15:02Z", "2026-05-04T10:15:02.000Z"},
        // As the history itself prints it, so a time can be copied from its output.
        {"2026-05-04T10:15:02.114Z", "2026-05-04T10:15:02.114Z"},
        {"2024-02-29T23:59:59", "2024-02-29T23:59:59.000Z"},
        {"1999-12-31", "1999-12-31T00:00:00.000Z"},
    };
    for (const Case& c : cases) {
        auto parsed = parseHistoryTime(c.text);
        ASSERT_TRUE(parsed) << c.text << ": " << parsed.status().message();
        EXPECT_EQ(*parsed, c.time) << c.text;
    }
}

TEST(HistoryTime, RefusesAnythingElseSayingWhatItTakes) {
    for (std::string_view text : {"",
                                  "ontem",
                                  "2026-5-4",
                                  "04/05/2026",
                                  "2026-05-04 10:15",
                                  "2026-05-04T10",
                                  "2026-05-04T",
                                  "2026-02-29",
                                  "2026-04-31",
                                  "2026-13-01",
                                  "2026-00-10",
                                  "2026-05-00",
                                  "2026-05-04T24:00",
                                  "2026-05-04T10:60",
                                  "2026-05-04T10:15:60",
                                  "2026-05-04T10:15:02.1Z",
                                  "2026-05-04T10:15:02.114",
                                  "2026-05-04T10:15+03:00",
                                  "2026-05-04x",
                                  " 2026-05-04",
                                  "２０２６-05-04"}) {
        auto parsed = parseHistoryTime(text);
        ASSERT_FALSE(parsed) << text << " -> " << *parsed;
        EXPECT_EQ(parsed.status().message(),
                  "Data e hora inválidas em --since: use AAAA-MM-DD ou AAAA-MM-DDTHH:MM[:SS] "
                  "(UTC), por exemplo 2026-05-04 ou 2026-05-04T10:15.")
            << text;
    }
}

}  // namespace
}  // namespace appserver
