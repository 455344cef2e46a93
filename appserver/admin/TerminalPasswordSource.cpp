#include "admin/TerminalPasswordSource.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace appserver {

namespace {

// What a signal handler needs to give the terminal its echo back before the program ends.
volatile std::sig_atomic_t g_tty = -1;
termios g_saved;

extern "C" void restoreAndRaise(int signal) {
    if (g_tty >= 0) ::tcsetattr(g_tty, TCSAFLUSH, &g_saved);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};

// Echo off on the terminal for its lifetime; the line end is still echoed, so the next prompt
// starts on a line of its own.
class EchoOff {
  public:
    explicit EchoOff(int tty) {
        if (::tcgetattr(tty, &g_saved) != 0) return;
        termios quiet = g_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        g_tty = tty;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
            m_previous[i] = std::signal(kEndingSignals[i], restoreAndRaise);
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    ~EchoOff() {
        if (g_tty < 0) return;
        ::tcsetattr(g_tty, TCSAFLUSH, &g_saved);
        g_tty = -1;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
            std::signal(kEndingSignals[i], m_previous[i]);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    void (*m_previous[std::size(kEndingSignals)])(int) = {};
};

// One line from fd without its line end (LF, or CRLF), keeping at most kMaxPassword + 1 bytes
// and reading the rest of a longer line away. False when fd cannot be read.
bool readLine(int fd, std::string& line) {
    char c;
    for (;;) {
        ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0 || c == '\n') break;
        if (line.size() <= kMaxPassword) line += c;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

wire::Status unreadable() { return {wire::ErrorCode::Internal, "Não foi possível ler a senha."}; }

}  // namespace

TerminalPasswordSource::TerminalPasswordSource() : m_interactive(::isatty(STDIN_FILENO) == 1) {}

wire::Result<std::string> TerminalPasswordSource::read(std::string_view prompt) {
    std::string line;
    if (!m_interactive) {
        if (!readLine(STDIN_FILENO, line)) return unreadable();
        return line;
    }
    int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (tty < 0)
        return wire::Status{wire::ErrorCode::Internal,
                            "Não foi possível abrir o terminal para pedir a senha."};
    bool ok;
    {
        EchoOff quiet(tty);
        ok = ::write(tty, prompt.data(), prompt.size()) >= 0 && readLine(tty, line);
    }
    ::close(tty);
    if (!ok) return unreadable();
    return line;
}

}  // namespace appserver
