#include "BusyAnimation.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>

#include "TApplication.h"
#include "TBusyOverlay.h"
#include "TNetConnection.h"

namespace {

QPointer<TBusyOverlay> g_overlay;

TBusyOverlay* OverlayFor(QWidget* parent) {
    if (!parent) parent = Application().MainForm();
    if (g_overlay && g_overlay->parentWidget() == parent) return g_overlay;
    if (g_overlay) g_overlay->deleteLater();
    g_overlay = new TBusyOverlay(parent);
    return g_overlay;
}

}  // namespace

void ActiveShowAvi(QWidget* parent, int kind, const std::string& caption) {
    TBusyOverlay* overlay = OverlayFor(parent);
    overlay->Start(kind, QString::fromStdString(caption));
    // Paint now: the call that follows may block before the event loop runs again.
    overlay->repaint();
}

void DeactiveShowAvi() {
    if (g_overlay) g_overlay->Stop();
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
