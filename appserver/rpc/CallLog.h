#pragma once
// One line per call: time, method, milliseconds, outcome ("ok", "erro CODE" or "notificação").
// Each line goes out in a single write(2), so lines from several threads never interleave, and
// through escapeForLog, so no text a client chose can split, forge or disguise one.

#include <string>
#include <string_view>

namespace appserver {

class CallLog {
  public:
    // fd < 0 disables the log (tests, fuzzing). The descriptor is not owned.
    explicit CallLog(int fd) : m_fd(fd) {}
    CallLog(const CallLog&) = delete;
    CallLog& operator=(const CallLog&) = delete;

    // Never throws: a line there is no memory for is dropped.
    void call(std::string_view method, double milliseconds, int code,
              bool notification = false) noexcept;
    // A line about the server itself (start, stop, refused connections): text then detail.
    void note(std::string_view text, std::string_view detail = {}) noexcept;

    static std::string formatCall(std::string_view method, double milliseconds, int code,
                                  bool notification);

  private:
    void writeLine(std::string line);
    int m_fd;
};

}  // namespace appserver
