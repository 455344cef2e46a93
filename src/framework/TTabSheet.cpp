#include "framework/TTabSheet.h"

#include "framework/TPageControl.h"

TTabSheet::TTabSheet(TPageControl* pageControl, const std::string& caption)
    : QWidget(pageControl), m_pageControl(pageControl) {
    pageControl->addTab(this, QString::fromStdString(caption));
}

int TTabSheet::PageIndex() const { return m_pageControl->indexOf(const_cast<TTabSheet*>(this)); }

bool TTabSheet::Enabled() const { return m_pageControl->isTabEnabled(PageIndex()); }

void TTabSheet::SetEnabled(bool enabled) { m_pageControl->setTabEnabled(PageIndex(), enabled); }

std::string TTabSheet::Caption() const { return m_pageControl->tabText(PageIndex()).toStdString(); }

void TTabSheet::SetCaption(const std::string& caption) {
    m_pageControl->setTabText(PageIndex(), QString::fromStdString(caption));
}
