#pragma once
// One page of a TPageControl; created with its page control and caption and added as its last
// tab. Enabled is the tab's: a disabled page cannot be turned to (its contents are unaffected).

#include <QWidget>
#include <string>

class TPageControl;

class TTabSheet : public QWidget {
    Q_OBJECT
  public:
    TTabSheet(TPageControl* pageControl, const std::string& caption);

    TPageControl* PageControl() const { return m_pageControl; }
    int PageIndex() const;
    bool Enabled() const;
    void SetEnabled(bool enabled);
    std::string Caption() const;
    void SetCaption(const std::string& caption);

  private:
    TPageControl* m_pageControl;
};
