#include "framework/TPageControl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>
#include <QWheelEvent>

#include "controls/SafeCall.h"
#include "framework/TTabSheet.h"

namespace {

// The tab bar asks the page control for every turn instead of turning by itself.
class TTurnTabBar : public QTabBar {
  public:
    explicit TTurnTabBar(TPageControl& pages) : m_pages(pages) {}

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        int index = tabAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && index >= 0 && index != currentIndex()) {
            event->accept();
            m_pages.TurnTo(index);
            return;
        }
        QTabBar::mousePressEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        bool forward = event->key() == Qt::Key_Right || event->key() == Qt::Key_Down;
        bool backward = event->key() == Qt::Key_Left || event->key() == Qt::Key_Up;
        if (!forward && !backward) return QTabBar::keyPressEvent(event);
        event->accept();
        m_pages.TurnTo(m_pages.NeighbourPage(forward));
    }
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }  // no turns by accident

  private:
    TPageControl& m_pages;
};

}  // namespace

TPageControl::TPageControl(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new TTurnTabBar(*this));
    connect(this, &QTabWidget::currentChanged, this, &TPageControl::onCurrentChanged);
}

TTabSheet* TPageControl::ActivePage() const { return qobject_cast<TTabSheet*>(currentWidget()); }

TTabSheet* TPageControl::Pages(int index) const { return qobject_cast<TTabSheet*>(widget(index)); }

void TPageControl::SetActivePage(TTabSheet* page) {
    if (!page || indexOf(page) < 0) return;
    setCurrentWidget(page);
}

int TPageControl::NeighbourPage(bool forward) const {
    for (int step = 1; step < count(); ++step) {
        int index = (currentIndex() + (forward ? step : count() - step)) % count();
        if (isTabEnabled(index)) return index;
    }
    return -1;
}

bool TPageControl::TurnTo(int index) {
    if (index < 0 || index >= count() || index == currentIndex() || !isTabEnabled(index))
        return false;
    if (!LeaveActivePage()) return false;
    m_userTurn = true;
    setCurrentIndex(index);
    m_userTurn = false;
    return true;
}

bool TPageControl::LeaveActivePage() {
    QWidget* page = currentWidget();
    QWidget* focus = QApplication::focusWidget();
    if (!page || !focus || !page->isAncestorOf(focus)) return true;
    // The tab bar takes the focus; the control losing it runs its exit right here.
    tabBar()->setFocus(Qt::TabFocusReason);
    QWidget* now = QApplication::focusWidget();
    return !now || !page->isAncestorOf(now);
}

void TPageControl::onCurrentChanged(int index) {
    // Only the user's turns: the program's choice, and the move Qt makes by itself away from a
    // page the program disabled, run nothing.
    if (!m_userTurn || index < 0 || !OnChange) return;
    // A page the handler chooses itself (turning back after a failed read) is the program's.
    m_userTurn = false;
    SafeCall([this] { OnChange(this); });
}

void TPageControl::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    bool forward = key == Qt::Key_PageDown || key == Qt::Key_Tab;
    bool backward = key == Qt::Key_PageUp || key == Qt::Key_Backtab;
    if (!(event->modifiers() & Qt::ControlModifier) || !(forward || backward) || count() < 2)
        return QTabWidget::keyPressEvent(event);
    if (key == Qt::Key_Tab && (event->modifiers() & Qt::ShiftModifier)) forward = false;
    TurnTo(NeighbourPage(forward));
    event->accept();
}
