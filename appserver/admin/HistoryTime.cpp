#include "admin/HistoryTime.h"

#include <chrono>
#include <vector>

#include "store/UtcTime.h"

namespace appserver {

namespace {

// Reads text as a pattern: '9' a digit, other characters themselves; the digits in order.
// False when text does not have exactly that shape.
bool matches(std::string_view text, std::string_view pattern, std::vector<int>& numbers) {
    if (text.size() != pattern.size()) return false;
    bool inNumber = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (pattern[i] != '9') {
            if (text[i] != pattern[i]) return false;
            inNumber = false;
            continue;
        }
        if (text[i] < '0' || text[i] > '9') return false;
        if (!inNumber) numbers.push_back(0);
        numbers.back() = numbers.back() * 10 + (text[i] - '0');
        inNumber = true;
    }
    return true;
}

constexpr std::string_view kForms[] = {
    "9999-99-99",           "9999-99-99T99:99",         "9999-99-99T99:99:99",
    "9999-99-99T99:99:99Z", "9999-99-99T99:99:99.999Z", "9999-99-99T99:99Z",
};

}  // namespace

wire::Result<std::string> parseHistoryTime(std::string_view text) {
    for (std::string_view form : kForms) {
        std::vector<int> n;
        if (!matches(text, form, n)) continue;
        n.resize(7, 0);  // year month day hour minute second millisecond
        using namespace std::chrono;
        const year_month_day date{year(n[0]), month(static_cast<unsigned>(n[1])),
                                  day(static_cast<unsigned>(n[2]))};
        if (!date.ok() || n[3] > 23 || n[4] > 59 || n[5] > 59) break;
        return utcTimestamp(sys_days(date) + hours(n[3]) + minutes(n[4]) + seconds(n[5]) +
                            milliseconds(n[6]));
    }
    return wire::Status{wire::ErrorCode::InvalidParams,
                        "Data e hora inválidas em --since: use AAAA-MM-DD ou AAAA-MM-DDTHH:MM[:SS] "
                        "(UTC), por exemplo 2026-05-04 ou 2026-05-04T10:15."};
}

}  // namespace appserver
