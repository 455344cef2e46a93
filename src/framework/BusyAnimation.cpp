#include "framework/BusyAnimation.h"

#include <QApplication>
#include <QBasicTimer>
#include <QMainWindow>
#include <QPointer>
#include <QTimerEvent>

#include "framework/TApplication.h"
#include "framework/TBusyOverlay.h"
#include "dataaccess/TNetConnection.h"

namespace {

QPointer<TBusyOverlay> g_overlay;

// What ActiveShowAvi asked for while the overlay is not up yet. It goes up at the first turn of
// the wait pump (once a call has outlasted its quiet wait) or when the event loop runs, so a call
// answered at once costs no widget work and flashes nothing.
struct TAviRequest {
    bool pending = false;
    QPointer<QWidget> parent;
    int kind = -1;
    std::string caption;
} g_request;

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

bool OverlayUp() { return g_overlay && g_overlay->isVisible(); }

void Reveal();

// Puts a pending request up when the event loop next runs, for a wait that does not pump.
class TAviRevealer : public QObject {
  public:
    using QObject::QObject;
    void Arm() { m_timer.start(0, this); }
    void Disarm() { m_timer.stop(); }

  protected:
    void timerEvent(QTimerEvent* event) override {
        if (event->timerId() == m_timer.timerId()) Reveal();
    }

  private:
    QBasicTimer m_timer;
};

QPointer<TAviRevealer> g_revealer;

void Reveal() {
    if (g_revealer) g_revealer->Disarm();
    if (!g_request.pending) return;
    g_request.pending = false;
    OverlayFor(g_request.parent)->Start(g_request.kind, QString::fromStdString(g_request.caption));
}

}  // namespace

void ActiveShowAvi(QWidget* parent, int kind, const std::string& caption) {
    if (OverlayUp()) {  // already up: the last call wins at once
        OverlayFor(parent)->Start(kind, QString::fromStdString(caption));
        return;
    }
    g_request = {true, parent ? parent : Application().MainForm(), kind, caption};
    if (!g_revealer) g_revealer = new TAviRevealer(QCoreApplication::instance());
    g_revealer->Arm();
}

void DeactiveShowAvi() {
    g_request.pending = false;
    if (g_revealer) g_revealer->Disarm();
    if (!g_overlay) return;
    g_overlay->Stop();
    if (!g_overlay->parentWidget()) Release(g_overlay);
}

bool AviShowing() { return g_request.pending || OverlayUp(); }

int AviKind() {
    if (g_request.pending) return g_request.kind;
    return OverlayUp() ? g_overlay->Kind() : -1;
}

std::string AviCaption() {
    if (g_request.pending) return g_request.caption;
    return OverlayUp() ? g_overlay->CaptionText().toStdString() : "";
}

int AviFrame() { return g_overlay ? g_overlay->Frame() : 0; }

void WaitPumpOnce() {
    Reveal();
    if (OverlayUp()) g_overlay->Advance();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
}

void InstallWaitPump() { TNetConnection::SetWaitPump(&WaitPumpOnce); }
