// The busy animation during a real blocking call: the connection runs the framework's wait pump
// while the scripted app server takes its time, so the overlay is painted, the animation moves
// and timers fire.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>

#include "framework/BusyAnimation.h"
#include "support/FakeAppServer.h"
#include "framework/TApplication.h"
#include "framework/TBusyOverlay.h"
#include "dataaccess/TNetConnection.h"

namespace {

// Counts the overlay's paint events.
class OverlayPaints : public QObject {
  public:
    OverlayPaints() { QCoreApplication::instance()->installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && qobject_cast<TBusyOverlay*>(object)) ++paints;
        return false;
    }
};

TEST(BusyCallTest, TheAnimationMovesWhileTheServerTakesItsTime) {
    QMainWindow window;
    window.resize(800, 600);
    window.show();
    Application().SetMainForm(&window, nullptr);
    InstallWaitPump();

    FakeAppServer fake;
    fake.on("GetGrupSegProd").answerPacket("").delay(std::chrono::milliseconds(400));
    TNetConnection net(fake.transport());
    net.ServerName = FakeAppServer::kModule;
    net.Port = 8427;  // the in-process transport opens no socket
    net.SetConnected(true);

    int ticks = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] { ++ticks; });
    other.start(20);
    OverlayPaints overlay;
    ActiveShowAvi(nullptr, 6, "Verificando os registros no servidor...");
    int before = AviFrame();
    TServerAnswer answer = net.AppServer().Call("GetGrupSegProd", {});
    int moved = AviFrame() - before;
    DeactiveShowAvi();

    EXPECT_TRUE(answer.Ok) << answer.ErrorMessage;
    EXPECT_GE(overlay.paints, 1);  // put up and painted by the wait pump
    EXPECT_GE(moved, 3);
    EXPECT_GE(ticks, 5);
    TNetConnection::SetWaitPump(nullptr);
    Application().SetMainForm(nullptr, nullptr);
}

}  // namespace
