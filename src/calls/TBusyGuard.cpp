#include "calls/TBusyGuard.h"

#include <QMainWindow>

#include "framework/BusyAnimation.h"
#include "framework/TApplication.h"

namespace calls {

TBusyGuard::TBusyGuard(TAviKind kind, const std::string& caption) {
    if (kind == aviNone) return;
    ActiveShowAvi(Application().MainForm(), kind, caption);
    m_showing = true;
}

TBusyGuard::~TBusyGuard() { Hide(); }

void TBusyGuard::Hide() {
    if (!m_showing) return;
    m_showing = false;
    DeactiveShowAvi();
}

}  // namespace calls
