#include "TBusyGuard.h"

#include <QMainWindow>

#include "BusyAnimation.h"
#include "TApplication.h"

namespace server {

TBusyGuard::TBusyGuard(int kind, const std::string& caption) {
    if (kind == kNoAnimation) return;
    ActiveShowAvi(Application().MainForm(), kind, caption);
    m_showing = true;
}

TBusyGuard::~TBusyGuard() { Hide(); }

void TBusyGuard::Hide() {
    if (!m_showing) return;
    m_showing = false;
    DeactiveShowAvi();
}

}  // namespace server
