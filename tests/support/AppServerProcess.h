#pragma once
// The real vlp-appserver program as a child process, for the tests of the program itself and of
// the screen against it. start() puts it on an ephemeral loopback port and learns the port from
// its "escutando em" line; everything it writes to standard error is kept. A server still running
// on destruction is stopped with SIGTERM, and killed if it has not stopped within a few seconds.

#include <sys/types.h>

#include <chrono>
#include <string>
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
    unsigned short port() const { return m_port; }
    // Sends the signal and waits, killing the server once the grace has passed; the exit code, or
    // 128 + signal when it was killed.
    int stop(int signal, std::chrono::milliseconds grace = std::chrono::minutes(1));
    // Everything the server wrote to standard error so far.
    const std::string& output();

    // Runs the program to completion with these arguments and input as its standard input (not a
    // terminal); its exit code. output receives standard output and standard error together.
    static int runToExit(std::vector<std::string> args, std::string* output = nullptr,
                         const std::string& input = {});

  private:
    void readAvailable();

    pid_t m_pid = -1;
    int m_err = -1;
    unsigned short m_port = 0;
    std::string m_output;
};
