#include "rpc/CallLog.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <exception>

#include "store/LogText.h"
#include "store/UtcTime.h"

namespace appserver {

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
    line = utcTimestamp(std::chrono::system_clock::now()) + ' ' + escapeForLog(line) + '\n';
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
