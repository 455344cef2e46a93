#pragma once
// The real PasswordSource: when standard input is a terminal, prompts on /dev/tty and reads with
// echo off (the terminal's settings are restored afterwards, also when a signal ends the
// program meanwhile); otherwise reads one line from standard input, without a prompt.

#include "admin/PasswordSource.h"

namespace appserver {

class TerminalPasswordSource : public PasswordSource {
  public:
    TerminalPasswordSource();
    TerminalPasswordSource(const TerminalPasswordSource&) = delete;
    TerminalPasswordSource& operator=(const TerminalPasswordSource&) = delete;

    bool interactive() const override { return m_interactive; }
    wire::Result<std::string> read(std::string_view prompt) override;

  private:
    bool m_interactive;
};

}  // namespace appserver
