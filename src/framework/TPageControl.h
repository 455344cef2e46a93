#pragma once
// A page control: tabs of TTabSheet pages. OnChange runs only when the user turns the page (tab
// click, Ctrl+PgDn/Ctrl+PgUp or Ctrl+Tab from inside a page, keyboard on the tab bar), after the
// new page became active; disabled pages are skipped; SetActivePage is
// the program's choice and runs nothing. A disabled page cannot be chosen. An error leaving
// OnChange is reported (EAbort silently); the new page stays active.

#include <QTabWidget>
#include <functional>

class TTabSheet;

class TPageControl : public QTabWidget {
    Q_OBJECT
  public:
    explicit TPageControl(QWidget* parent = nullptr);

    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* page);
    int PageCount() const { return count(); }
    TTabSheet* Pages(int index) const;

    std::function<void(QObject* sender)> OnChange;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void onCurrentChanged(int index);
    bool m_programmatic = false;
};
