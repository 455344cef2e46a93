#pragma once
// The silent abort: the operation under way stops and nobody reports it again, because whoever
// threw it has already shown the user why (MensErro, CheckResultServ). Every Qt entry point and
// the host's last-resort handler swallow it without a dialog.

#include <stdexcept>
#include <string>

class EAbort : public std::runtime_error {
  public:
    EAbort();
    // Carries the text already shown, for whoever keeps a record of why the operation stopped.
    explicit EAbort(const std::string& shown);
    ~EAbort() override;  // out of line: one type identity shared by host and modules
};
