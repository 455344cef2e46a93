#include "AppServerProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string_view>
#include <thread>

namespace {

// inFd: the child's standard input; -1 for /dev/null.
pid_t spawn(std::vector<std::string> args, int& errFd, bool captureStdout = false, int inFd = -1) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return -1;
    args.insert(args.begin(), VLP_APPSERVER_BIN);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 2);
        int null = ::open("/dev/null", O_RDWR);
        ::dup2(inFd >= 0 ? inFd : null, 0);
        ::dup2(captureStdout ? fds[1] : null, 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    errFd = fds[0];
    return pid;
}

// Reads the pipe to its end, handing each piece to take, and closes it.
void readToEnd(int fd, const std::function<void(std::string_view)>& take) {
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) take({buf, static_cast<std::size_t>(n)});
    ::close(fd);
}

int exitCode(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

AppServerProcess::~AppServerProcess() {
    if (m_pid > 0) stop(SIGTERM, std::chrono::seconds(5));
}

bool AppServerProcess::launch(std::vector<std::string> args, bool captureStdout) {
    int err = -1;
    m_pid = spawn(std::move(args), err, captureStdout);
    if (m_pid < 0) return false;
    m_reader = std::thread([this, err] { readUntilEnd(err); });
    return true;
}

bool AppServerProcess::start(std::vector<std::string> args) {
    args.push_back("--listen");
    args.push_back("127.0.0.1:0");
    if (!launch(std::move(args), false)) return false;
    const std::string marker = "escutando em 127.0.0.1:";
    // Where the port starts once the whole line is in; npos until then.
    auto portAt = [&] {
        const auto at = m_output.find(marker);
        return at != std::string::npos &&
                       m_output.find(' ', at + marker.size()) != std::string::npos
                   ? at + marker.size()
                   : std::string::npos;
    };
    {
        std::unique_lock lock(m_mutex);
        m_grew.wait_for(lock, std::chrono::seconds(20),
                        [&] { return m_ended || portAt() != std::string::npos; });
        if (const auto at = portAt(); at != std::string::npos) {
            m_port = static_cast<unsigned short>(std::stoi(m_output.substr(at)));
            return true;
        }
    }
    stop(SIGKILL);
    return false;
}

bool AppServerProcess::startUntil(std::vector<std::string> args, std::string_view text,
                                  std::chrono::seconds patience) {
    if (!launch(std::move(args), true)) return false;
    // Only the part not searched yet, so a program writing megabytes is not searched again and again.
    std::size_t searched = 0;
    bool found = false;
    auto written = [&] {
        const std::size_t from = searched > text.size() ? searched - text.size() : 0;
        searched = m_output.size();
        return found = found || m_output.find(text, from) != std::string::npos;
    };
    std::unique_lock lock(m_mutex);
    m_grew.wait_for(lock, patience, [&] { return written() || m_ended; });
    return found;
}

int AppServerProcess::stop(int signal, std::chrono::milliseconds grace) {
    if (m_pid <= 0) return -1;
    ::kill(m_pid, signal);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_pid = -1;
    if (m_reader.joinable()) m_reader.join();  // the pipe ends with the server
    return exitCode(status);
}

std::string AppServerProcess::output() {
    std::lock_guard lock(m_mutex);
    return m_output;
}

void AppServerProcess::readUntilEnd(int fd) {
    readToEnd(fd, [this](std::string_view piece) {
        std::lock_guard lock(m_mutex);
        m_output += piece;
        m_grew.notify_all();
    });
    std::lock_guard lock(m_mutex);
    m_ended = true;
    m_grew.notify_all();
}

int AppServerProcess::runToExit(std::vector<std::string> args, std::string* output,
                                const std::string& input) {
    // Written before the child starts: a small input waits in the pipe's buffer, and no SIGPIPE
    // can come from a child that exits without reading it.
    int in[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return -1;
    bool written = input.empty() ||
                   ::write(in[1], input.data(), input.size()) == static_cast<ssize_t>(input.size());
    ::close(in[1]);
    int err = -1;
    pid_t pid = written ? spawn(std::move(args), err, true, in[0]) : -1;
    ::close(in[0]);
    if (pid < 0) return -1;
    std::string text;
    readToEnd(err, [&text](std::string_view piece) { text += piece; });
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (output) *output = text;
    return exitCode(status);
}
