#pragma once
// A page control: tabs of TTabSheet pages. OnChange runs only when the user turns the page (tab
// click, Ctrl+Tab, keyboard on the tab bar), after the new page became active; SetActivePage is
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

  private:
    void onCurrentChanged(int index);
    bool m_programmatic = false;
};
