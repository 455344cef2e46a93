#include "store/UtcTime.h"

#include <cstdio>
#include <ctime>

namespace appserver {

std::string utcTimestamp(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const auto millis = floor<milliseconds>(when);
    const auto day = floor<days>(millis);
    const year_month_day date{day};
    const hh_mm_ss time{millis - day};
    char text[32];
    std::snprintf(
        text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
        static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
    return text;
}

std::string localDisplayTime(std::string_view stored) {
    std::tm utc{};
    const std::string text(stored);
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &utc.tm_year, &utc.tm_mon,
                    &utc.tm_mday, &utc.tm_hour, &utc.tm_min, &utc.tm_sec) != 6)
        return text;
    utc.tm_year -= 1900;
    utc.tm_mon -= 1;
    const std::time_t when = ::timegm(&utc);
    std::tm local{};
    if (!::localtime_r(&when, &local)) return text;
    char out[32];
    std::strftime(out, sizeof out, "%d/%m/%Y %H:%M:%S", &local);
    return out;
}

}  // namespace appserver
