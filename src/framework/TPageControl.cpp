#include "TPageControl.h"

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
