#include "TPageControl.h"

#include <QKeyEvent>

#include "SafeCall.h"
#include "TTabSheet.h"

TPageControl::TPageControl(QWidget* parent) : QTabWidget(parent) {
    connect(this, &QTabWidget::currentChanged, this, &TPageControl::onCurrentChanged);
}

TTabSheet* TPageControl::ActivePage() const { return qobject_cast<TTabSheet*>(currentWidget()); }

TTabSheet* TPageControl::Pages(int index) const { return qobject_cast<TTabSheet*>(widget(index)); }

void TPageControl::SetActivePage(TTabSheet* page) {
    if (!page || indexOf(page) < 0) return;
    m_programmatic = true;
    setCurrentWidget(page);
    m_programmatic = false;
}

void TPageControl::onCurrentChanged(int index) {
    // Adding the first page also makes it current; that is not a user's turn either.
    if (m_programmatic || index < 0 || !OnChange || count() <= 1) return;
    SafeCall([this] { OnChange(this); });
}

void TPageControl::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    bool forward = key == Qt::Key_PageDown || key == Qt::Key_Tab;
    bool backward = key == Qt::Key_PageUp || key == Qt::Key_Backtab;
    if (!(event->modifiers() & Qt::ControlModifier) || !(forward || backward) || count() < 2)
        return QTabWidget::keyPressEvent(event);
    if (key == Qt::Key_Tab && (event->modifiers() & Qt::ShiftModifier)) forward = false;
    // The next enabled page, wrapping around; QTabWidget itself knows only Ctrl+Tab.
    for (int step = 1; step < count(); ++step) {
        int index = (currentIndex() + (forward ? step : count() - step)) % count();
        if (isTabEnabled(index)) {
            setCurrentIndex(index);
            break;
        }
    }
    event->accept();
}
