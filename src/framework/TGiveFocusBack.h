#pragma once
// For a modal dialog's scope: the window active before it is active again after it, with its
// focus where it was. Without a window manager to hand the activation back, that window would
// stay inactive and its shortcuts dead. UI thread only.

#include <QApplication>
#include <QPointer>
#include <QWidget>

class TGiveFocusBack {
  public:
    // window: the one to activate again; by default the one active now.
    explicit TGiveFocusBack(QWidget* window = QApplication::activeWindow()) : m_window(window) {}
    ~TGiveFocusBack() {
        if (m_window && m_window->isVisible() && QApplication::activeWindow() != m_window)
            m_window->activateWindow();
    }
    TGiveFocusBack(const TGiveFocusBack&) = delete;
    TGiveFocusBack& operator=(const TGiveFocusBack&) = delete;

  private:
    QPointer<QWidget> m_window;
};
