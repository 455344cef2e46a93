#pragma once
// A seeded stream of what a user does on the screen: keys of the README's keyboard table, text
// typed or pasted, clicks on cells, page tabs and tool buttons, and the answer ready for the next
// dialog or search. Now and then a whole task (include a valid row, rename a group, switch a flag,
// delete a row) so that the walk saves as well as wanders. Positions are fractions resolved
// against the screen as it is when the action is performed, so one seed on one screen replays.

#include <Qt>
#include <deque>
#include <random>
#include <string>
#include <vector>

struct UserAction {
    enum Kind { Key, Type, Paste, ClickCell, DoubleClickCell, ClickTab, ClickButton, Answer, Pick };
    Kind kind = Key;
    Qt::Key key = Qt::Key_unknown;  // Key
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    std::string text;  // Type, Paste
    // ClickCell, DoubleClickCell: the grid of the page shown (0 the first, wrapping), the row and
    // the visible column as fractions of their counts; `field` names the column instead when the
    // grid has it.
    int grid = 0;
    double row = 0, column = 0;
    std::string field;
    double at = 0;   // ClickTab, ClickButton: fraction of the tabs or of the enabled buttons
    int answer = 0;  // Answer: mrYes, mrNo or mrCancel; Pick: the search row, -1 cancels
};

class UserActions {
  public:
    // productCodes: tree codes of existing products as a user types them (digits only).
    UserActions(unsigned seed, std::vector<std::string> productCodes);

    UserAction Next(bool onProductPage);
    // A click into a grid of the page shown: where the keys go when the focus is elsewhere.
    UserAction ClickIntoGrid();
    int AnyAnswer();  // mrYes, mrNo or mrCancel

  private:
    UserAction Single();
    void PlanTask(bool onProductPage);
    int Below(int n);  // 0 .. n-1
    bool Chance(double p);
    double Fraction();
    std::string Digits(int minimum, int maximum);
    std::string GroupName();

    std::mt19937 m_random;
    std::vector<std::string> m_productCodes;
    std::deque<UserAction> m_task;
};
