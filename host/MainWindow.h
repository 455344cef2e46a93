#pragma once
// The host's main window: an MDI area for the screens and the menus that open them. A screen entry
// runs its module's IniProc; errors are reported and the host goes on. Closing the window closes
// every screen first (each may refuse); the window stays open while one refuses. "Janela" offers
// closing the active screen or all of them, enabled while a screen is open.

#include <QMainWindow>
#include <functional>

class QAction;
class QMdiArea;
class QMdiSubWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow();
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    QMdiArea* mdiArea() const { return m_mdi; }
    // Adds a screen entry to the "Cadastros" menu; disabled (with reason as tooltip) when the
    // module could not be loaded.
    QAction* addScreen(const QString& caption, const QKeySequence& key, std::function<void()> open,
                       bool enabled, const QString& reason = {});

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // A screen that was closed is hidden before it is deleted, so it no longer counts.
    bool anyScreenOpen() const;
    // Each subwindow's own menu claims Ctrl+F4 too, which would leave the key to neither.
    void releaseCloseKey(QMdiSubWindow* window);
    void updateWindowActions();

    QMdiArea* m_mdi;
    QMenu* m_screens;
    QAction* m_close;
    QAction* m_closeAll;
};
