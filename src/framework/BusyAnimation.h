#pragma once
// The busy animation shown over the host's main window while a server call runs. One look per
// kind: 0 connecting, 6 reading, 1 saving (others get a plain spinner). Nested calls: the last
// ActiveShowAvi wins; DeactiveShowAvi always hides. The overlay goes up at the wait pump's first
// turn or when the event loop next runs, so a call that answers at once never shows it (the
// queries below report it shown all the same); while a call waits longer, the connection's wait
// pump (InstallWaitPump) processes paint and timer events and the animation keeps moving.
// UI thread only.

#include <string>

class QWidget;

// The kinds the screens use; aviNone runs a call without showing anything.
enum TAviKind { aviNone = -1, aviConnecting = 0, aviSaving = 1, aviReading = 6 };

// parent: the window to cover (usually Application().MainForm()); nullptr covers the main form,
// or shows a small top-level window when there is none.
void ActiveShowAvi(QWidget* parent, int kind, const std::string& caption = "");
void DeactiveShowAvi();
bool AviShowing();         // for tests and for screens that want to know
int AviKind();             // kind shown, -1 when hidden
std::string AviCaption();  // caption shown, "" when hidden
int AviFrame();            // animation frame counter; it grows while the animation moves

// Makes blocking server calls keep the window painting: installs TNetConnection's wait pump
// (processes events except user input, and moves the animation). The host calls it at start.
void InstallWaitPump();
// One turn of that pump: puts the overlay up, moves the animation and processes pending events
// except user input.
void WaitPumpOnce();
