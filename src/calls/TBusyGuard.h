#pragma once
// Shows the busy animation over the host's main window for a scope and hides it on every way
// out, exceptions included. Kind aviNone shows nothing (the calls that run without one).
// Hide() may end it early; hiding twice is harmless. UI thread only.

#include <string>

#include "framework/BusyAnimation.h"

namespace calls {

class TBusyGuard {
  public:
    TBusyGuard(TAviKind kind, const std::string& caption);
    ~TBusyGuard();
    TBusyGuard(const TBusyGuard&) = delete;
    TBusyGuard& operator=(const TBusyGuard&) = delete;

    void Hide();

  private:
    bool m_showing = false;
};

}  // namespace calls
