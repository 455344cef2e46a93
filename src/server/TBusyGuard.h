#pragma once
// Shows the busy animation over the host's main window for a scope and hides it on every way
// out, exceptions included. Kind -1 shows nothing (the calls that run without an animation).
// Hide() may end it early; hiding twice is harmless. UI thread only.

#include <string>

namespace server {

inline constexpr int kNoAnimation = -1;

class TBusyGuard {
  public:
    TBusyGuard(int kind, const std::string& caption);
    ~TBusyGuard();
    TBusyGuard(const TBusyGuard&) = delete;
    TBusyGuard& operator=(const TBusyGuard&) = delete;

    void Hide();

  private:
    bool m_showing = false;
};

}  // namespace server
