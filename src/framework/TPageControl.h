#pragma once
// A page control: tabs of TTabSheet pages. The user turns pages with a tab click, the arrow keys
// on the tab bar, or Ctrl+PgDn/Ctrl+PgUp (and Ctrl+Tab) from inside a page; disabled pages are
// skipped and cannot be chosen. A turn first takes the focus out of the page being left, while
// that page is still the active one, so its control's exit runs there (a grid posts its row);
// a control that refuses to let the focus go (a post the checks refused) refuses the turn.
// OnChange then runs, after the new page became active. SetActivePage is the program's choice
// and runs nothing. An error leaving OnChange is reported (EAbort silently); the new page stays.

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

    // Turns to the page at index as the user does; false when the page is the active one,
    // disabled or out of range, or when the page being left refused to let the focus go.
    bool TurnTo(int index);
    // The next enabled page after (or before) the active one, wrapping around; -1 when none.
    int NeighbourPage(bool forward) const;

    std::function<void(QObject* sender)> OnChange;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool LeaveActivePage();
    void onCurrentChanged(int index);
    bool m_userTurn = false;
};
