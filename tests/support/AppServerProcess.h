#pragma once
// The real vlp-appserver program as a child process, for the tests of the program itself and of
// the screen against it. start() puts it on an ephemeral loopback port and learns the port from
// its "escutando em" line; everything it writes to standard error is kept, read as it comes by a
// thread of its own so that a server logging every call never blocks on a full pipe. A server
// still running on destruction is stopped with SIGTERM, and killed if it has not stopped within a
// few seconds. Not thread-safe, but for output(), which may be called from any thread.

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class AppServerProcess {
  public:
    AppServerProcess() = default;
    ~AppServerProcess();
    AppServerProcess(const AppServerProcess&) = delete;
    AppServerProcess& operator=(const AppServerProcess&) = delete;

    // Starts the program with these arguments plus "--listen 127.0.0.1:0". False (with the
    // server's output in output()) when it exits or stays silent instead of listening.
    bool start(std::vector<std::string> args);
    // Starts the program with exactly these arguments, its standard output kept with the rest, and
    // waits until it has written text (true) or exited first (false, still to be stopped).
    bool startUntil(std::vector<std::string> args, std::string_view text,
                    std::chrono::seconds patience = std::chrono::minutes(2));
    unsigned short port() const { return m_port; }
    // Sends the signal and waits, killing the server once the grace has passed; the exit code, or
    // 128 + signal when it was killed.
    int stop(int signal, std::chrono::milliseconds grace = std::chrono::minutes(1));
    // Everything the server wrote to standard error so far.
    std::string output();

    // Runs the program to completion with these arguments and input as its standard input (not a
    // terminal); its exit code. output receives standard output and standard error together.
    static int runToExit(std::vector<std::string> args, std::string* output = nullptr,
                         const std::string& input = {});

  private:
    // Starts the child and the reader of its output; false when it could not be started.
    bool launch(std::vector<std::string> args, bool captureStdout);
    void readUntilEnd(int fd);

    pid_t m_pid = -1;
    unsigned short m_port = 0;
    std::thread m_reader;
    std::mutex m_mutex;
    std::condition_variable m_grew;
    std::string m_output;  // under m_mutex
    bool m_ended = false;  // under m_mutex: the server closed its standard error
};
