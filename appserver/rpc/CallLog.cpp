#include "CallLog.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>

namespace appserver {
namespace {

std::string timestamp() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t secs = system_clock::to_time_t(now);
    auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    gmtime_r(&secs, &tm);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(millis));
    return buf;
}

}  // namespace

std::string CallLog::formatCall(std::string_view method, double milliseconds, int code,
                                bool notification) {
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.2f", milliseconds);
    std::string line(method.empty() ? "-" : method);
    line += ' ';
    line += ms;
    line += " ms ";
    if (notification)
        line += "notificação";
    else if (code == 0)
        line += "ok";
    else
        line += "erro " + std::to_string(code);
    return line;
}

void CallLog::call(std::string_view method, double milliseconds, int code,
                   bool notification) noexcept {
    if (m_fd < 0) return;
    try {
        writeLine(formatCall(method, milliseconds, code, notification));
    } catch (const std::exception&) {
        // Out of memory for the line: the call is answered all the same.
    }
}

void CallLog::note(std::string_view text, std::string_view detail) noexcept {
    if (m_fd < 0) return;
    try {
        writeLine(std::string(text) + std::string(detail));
    } catch (const std::exception&) {
        // Out of memory for the line: a note must never be what ends a thread.
    }
}

void CallLog::writeLine(std::string line) {
    line = timestamp() + ' ' + line + '\n';
    const char* p = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        ssize_t n = ::write(m_fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // a closed log must never stop the server
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

}  // namespace appserver
