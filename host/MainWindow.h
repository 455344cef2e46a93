#pragma once
// The host's main window: an MDI area for the screens and the menus that open them. A screen entry
// runs its module's IniProc; errors are reported and the host goes on. Closing the window closes
// every screen first (each may refuse); the window stays open while one refuses.

#include <QMainWindow>
#include <functional>

class QAction;
class QMdiArea;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow();

    QMdiArea* mdiArea() const { return m_mdi; }
    // Adds a screen entry to the "Cadastros" menu; disabled (with reason as tooltip) when the
    // module could not be loaded.
    QAction* addScreen(const QString& caption, const QKeySequence& key, std::function<void()> open,
                       bool enabled, const QString& reason = {});

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QMdiArea* m_mdi;
    QMenu* m_screens;
};
