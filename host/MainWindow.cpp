#include "MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include "controls/SafeCall.h"

MainWindow::MainWindow() {
    setWindowTitle(QStringLiteral("VLP"));
    resize(1280, 720);
    m_mdi = new QMdiArea(this);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&Arquivo"));
    QAction* quit = file->addAction(QStringLiteral("&Sair"), this, &QWidget::close);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_screens = menuBar()->addMenu(QStringLiteral("&Cadastros"));
    QMenu* windows = menuBar()->addMenu(QStringLiteral("&Janela"));
    windows->addAction(QStringLiteral("&Cascata"), m_mdi, &QMdiArea::cascadeSubWindows);
    windows->addAction(QStringLiteral("&Lado a lado"), m_mdi, &QMdiArea::tileSubWindows);
    QAction* next =
        windows->addAction(QStringLiteral("&Próxima"), m_mdi, &QMdiArea::activateNextSubWindow);
    next->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F6));
    windows->addSeparator();
    // A screen may refuse to close (unsaved work the user keeps); it then simply stays open.
    m_close = windows->addAction(QStringLiteral("&Fechar"), m_mdi, &QMdiArea::closeActiveSubWindow);
    m_close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    m_closeAll =
        windows->addAction(QStringLiteral("Fechar &todas"), m_mdi, &QMdiArea::closeAllSubWindows);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        releaseCloseKey(window);
        updateWindowActions();
    });
    connect(windows, &QMenu::aboutToShow, this, &MainWindow::updateWindowActions);
    updateWindowActions();
}

// The MDI area outlives this part of the destruction and reports its last window going.
MainWindow::~MainWindow() { m_mdi->disconnect(this); }

void MainWindow::releaseCloseKey(QMdiSubWindow* window) {
    if (!window || !window->systemMenu()) return;
    const QKeySequence key = m_close->shortcut();
    for (QAction* action : window->systemMenu()->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(key) > 0) action->setShortcuts(keys);
    }
}

bool MainWindow::anyScreenOpen() const {
    for (QMdiSubWindow* window : m_mdi->subWindowList())
        if (window->isVisible()) return true;
    return false;
}

void MainWindow::updateWindowActions() {
    bool open = anyScreenOpen();
    m_close->setEnabled(open);
    m_closeAll->setEnabled(open);
}

QAction* MainWindow::addScreen(const QString& caption, const QKeySequence& key,
                               std::function<void()> open, bool enabled, const QString& reason) {
    QAction* action = m_screens->addAction(caption);
    action->setShortcut(key);
    action->setEnabled(enabled);
    if (!reason.isEmpty()) action->setToolTip(reason);
    m_screens->setToolTipsVisible(true);
    connect(action, &QAction::triggered, this, [open = std::move(open)] { SafeCall(open); });
    return action;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    m_mdi->closeAllSubWindows();
    if (anyScreenOpen()) {
        event->ignore();
        return;
    }
    event->accept();
}
