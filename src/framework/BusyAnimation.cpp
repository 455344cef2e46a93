#include "BusyAnimation.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>

#include "TApplication.h"
#include "TBusyOverlay.h"
#include "TNetConnection.h"

namespace {

QPointer<TBusyOverlay> g_overlay;

// A top-level overlay (no main window) has no parent to own it: it lives only while shown.
void Release(TBusyOverlay* overlay) {
    if (!overlay) return;
    if (overlay->parentWidget())
        overlay->deleteLater();
    else
        delete overlay;
}

TBusyOverlay* OverlayFor(QWidget* parent) {
    if (!parent) parent = Application().MainForm();
    if (g_overlay && g_overlay->parentWidget() == parent) return g_overlay;
    Release(g_overlay);
    g_overlay = new TBusyOverlay(parent);
    return g_overlay;
}

}  // namespace

void ActiveShowAvi(QWidget* parent, int kind, const std::string& caption) {
    TBusyOverlay* overlay = OverlayFor(parent);
    // Painted by the first turn of the wait pump, once the call has outlasted its quiet wait, or
    // by the event loop: a call answered within that wait never flashes the overlay, nor pays
    // for painting it.
    overlay->Start(kind, QString::fromStdString(caption));
}

void DeactiveShowAvi() {
    if (!g_overlay) return;
    g_overlay->Stop();
    if (!g_overlay->parentWidget()) Release(g_overlay);
}

bool AviShowing() { return g_overlay && g_overlay->isVisible(); }

int AviKind() { return AviShowing() ? g_overlay->Kind() : -1; }

std::string AviCaption() { return AviShowing() ? g_overlay->CaptionText().toStdString() : ""; }

int AviFrame() { return g_overlay ? g_overlay->Frame() : 0; }

void WaitPumpOnce() {
    if (g_overlay && g_overlay->isVisible()) g_overlay->Advance();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
}

void InstallWaitPump() { TNetConnection::SetWaitPump(&WaitPumpOnce); }
