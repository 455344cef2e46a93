// The busy animation: one at a time, the last call wins, and it keeps moving while a call blocks.
#include "framework/BusyAnimation.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMdiArea>
#include <QTimer>
#include <thread>

#include "framework/TApplication.h"
#include "framework/TBusyOverlay.h"

namespace {

class BusyAnimationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.setCentralWidget(mdi);
        window.resize(800, 600);
        window.show();
        Application().SetMainForm(&window, mdi);
    }
    void TearDown() override {
        DeactiveShowAvi();
        Application().SetMainForm(nullptr, nullptr);
    }

    QMainWindow window;
    QMdiArea* mdi = new QMdiArea;
};

TEST_F(BusyAnimationTest, ShowsOverTheMainWindowAndTheLastCallWins) {
    EXPECT_FALSE(AviShowing());
    ActiveShowAvi(nullptr, 0);
    EXPECT_TRUE(AviShowing());
    EXPECT_EQ(AviKind(), 0);
    ActiveShowAvi(&window, 6, "Verificando os registros no servidor...");
    EXPECT_EQ(AviKind(), 6);
    EXPECT_EQ(AviCaption(), "Verificando os registros no servidor...");
    DeactiveShowAvi();
    EXPECT_FALSE(AviShowing());
    EXPECT_EQ(AviKind(), -1);
    DeactiveShowAvi();  // hiding twice is harmless
    EXPECT_FALSE(AviShowing());
}

// A call that answers at once must not flash the overlay: it goes up only when events are next
// processed, and a request withdrawn before that never shows.
TEST_F(BusyAnimationTest, GoesUpWhenEventsAreNextProcessed) {
    auto up = [&] {
        auto* overlay = window.findChild<TBusyOverlay*>();
        return overlay && overlay->isVisible();
    };
    ActiveShowAvi(nullptr, 6, "Verificando os registros no servidor...");
    EXPECT_FALSE(up());
    QApplication::processEvents();
    EXPECT_TRUE(up());
    DeactiveShowAvi();
    EXPECT_FALSE(up());

    ActiveShowAvi(nullptr, 6, "Verificando os registros no servidor...");
    DeactiveShowAvi();
    QApplication::processEvents();
    EXPECT_FALSE(up());
}

// A blocking server call runs the wait pump on the UI thread until the answer comes: timers and
// painting go on, so the animation moves, while the user's input waits.
TEST_F(BusyAnimationTest, KeepsMovingWhileACallBlocks) {
    ActiveShowAvi(nullptr, 1, "Atualizando os registros no servidor...");
    int firstFrame = AviFrame();
    int ticks = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] { ++ticks; });
    other.start(20);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 400) {  // the "call": busy on the UI thread, pumping
        WaitPumpOnce();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_GE(AviFrame() - firstFrame, 3);
    EXPECT_GE(ticks, 5);
    DeactiveShowAvi();
}

}  // namespace
