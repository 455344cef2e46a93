#pragma once
// The store's times: UTC as "YYYY-MM-DDTHH:MM:SS.mmmZ", fixed width, so text order is time order
// in both databases.

#include <chrono>
#include <string>

namespace appserver {

std::string utcTimestamp(std::chrono::system_clock::time_point when);

}  // namespace appserver
