#include "MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include "SafeCall.h"

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
    bool refused = false;
    for (QMdiSubWindow* window : m_mdi->subWindowList())
        if (window->isVisible()) refused = true;
    if (refused) {
        event->ignore();
        return;
    }
    event->accept();
}
