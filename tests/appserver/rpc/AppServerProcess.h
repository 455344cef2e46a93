#pragma once
// Runs the real vlp-appserver binary on an ephemeral loopback port for process-level tests:
// start() waits for its "escutando em" line to learn the port; its later log lines are kept.

#include <sys/types.h>

#include <string>
#include <vector>

namespace appserver::testing {

class AppServerProcess {
  public:
    AppServerProcess() = default;
    ~AppServerProcess();  // SIGKILLs a server still running
    AppServerProcess(const AppServerProcess&) = delete;
    AppServerProcess& operator=(const AppServerProcess&) = delete;

    // Starts the binary with these arguments plus "--listen 127.0.0.1:0". False (with the
    // server's output in output()) when it exits or stays silent instead of listening.
    bool start(std::vector<std::string> args);
    unsigned short port() const { return m_port; }
    // Sends the signal and waits; the exit code, or 128 + signal when it was killed.
    int stop(int signal);
    // Everything the server wrote to stderr so far.
    const std::string& output();

    // Runs the binary to completion with these arguments and input as its standard input (not a
    // terminal); its exit code. output receives standard output and standard error together.
    static int runToExit(std::vector<std::string> args, std::string* output = nullptr,
                         const std::string& input = {});

  private:
    pid_t m_pid = -1;
    int m_err = -1;
    unsigned short m_port = 0;
    std::string m_output;
};

}  // namespace appserver::testing
