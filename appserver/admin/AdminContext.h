#pragma once
// What an administration subcommand works with: its output streams and where passwords come
// from. The program passes the real ones; tests pass strings and scripted passwords.

#include <ostream>

#include "admin/PasswordSource.h"

namespace appserver {

// Exit codes of every subcommand.
enum AdminExit : int { kDone = 0, kRefused = 1, kBadCommandLine = 2 };

struct AdminContext {
    std::ostream& out;  // results: CSV, confirmations
    std::ostream& err;  // errors and refusals
    PasswordSource& passwords;
};

}  // namespace appserver
