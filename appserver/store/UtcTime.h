#pragma once
// The store's times: UTC as "YYYY-MM-DDTHH:MM:SS.mmmZ", fixed width, so text order is time order
// in both databases.

#include <chrono>
#include <string>
#include <string_view>

namespace appserver {

std::string utcTimestamp(std::chrono::system_clock::time_point when);

// A stored time as the server's local time, "dd/mm/aaaa hh:mm:ss", for the screen; the text as
// it is when it is not a stored time.
std::string localDisplayTime(std::string_view stored);

}  // namespace appserver
