#include "UserActions.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "framework/MsgDlg.h"

namespace {

struct KeyChoice {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int weight;
};

constexpr auto kNone = Qt::NoModifier;
constexpr auto kCtrl = Qt::ControlModifier;

// The keyboard table of the README, Backspace added as typing needs it; moving and confirming
// weigh more than the rarer commands.
const KeyChoice kKeys[] = {
    {Qt::Key_Insert, kNone, 4}, {Qt::Key_F2, kNone, 4},
    {Qt::Key_Delete, kCtrl, 2}, {Qt::Key_F10, kNone, 5},
    {Qt::Key_Escape, kNone, 4}, {Qt::Key_F, kCtrl, 1},
    {Qt::Key_F5, kNone, 2},     {Qt::Key_Return, kNone, 5},
    {Qt::Key_Tab, kNone, 8},    {Qt::Key_Backtab, Qt::ShiftModifier, 4},
    {Qt::Key_Up, kNone, 6},     {Qt::Key_Down, kNone, 6},
    {Qt::Key_PageUp, kNone, 2}, {Qt::Key_PageDown, kNone, 2},
    {Qt::Key_Space, kNone, 5},  {Qt::Key_PageDown, kCtrl, 2},
    {Qt::Key_PageUp, kCtrl, 2}, {Qt::Key_Tab, kCtrl, 1},
    {Qt::Key_Left, kNone, 4},   {Qt::Key_Right, kNone, 4},
    {Qt::Key_Return, kCtrl, 2}, {Qt::Key_Backspace, kNone, 2},
};

const char* const kWords[] = {"Lanche", "Ceia", "Açaí", "x", "Promoção", "café", "Churrasco"};

UserAction Press(Qt::Key key, Qt::KeyboardModifiers modifiers = kNone) {
    UserAction a;
    a.key = key;
    a.modifiers = modifiers;
    return a;
}

UserAction Typing(std::string text) {
    UserAction a;
    a.kind = UserAction::Type;
    a.text = std::move(text);
    return a;
}

UserAction Cell(int grid, double row, std::string field) {
    UserAction a;
    a.kind = UserAction::ClickCell;
    a.grid = grid;
    a.row = row;
    a.field = std::move(field);
    return a;
}

UserAction Ready(UserAction::Kind kind, int answer) {
    UserAction a;
    a.kind = kind;
    a.answer = answer;
    return a;
}

// The columns of the product grids a task names: the typed code, the name, the two flags.
struct ProductColumns {
    const char *code, *name, *flagQ, *flagT;
};
const ProductColumns kProductColumns[] = {
    {"CDARVPROD", "NMPRODUTO", "IDQUANTPRODPRINC", "IDTOTALPRODPRINC"},
    {"CDARVPRODRELAC", "NMPRODUTORELAC", "IDQUANTPROD", "IDTOTALPROD"},
};

}  // namespace

UserActions::UserActions(unsigned seed, std::vector<std::string> productCodes)
    : m_random(seed), m_productCodes(std::move(productCodes)) {
    if (m_productCodes.empty()) m_productCodes.push_back("1010010001");
}

int UserActions::Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

bool UserActions::Chance(double p) { return std::bernoulli_distribution(p)(m_random); }

double UserActions::Fraction() { return std::uniform_real_distribution<double>(0, 1)(m_random); }

std::string UserActions::Digits(int minimum, int maximum) {
    std::string digits(static_cast<size_t>(minimum + Below(maximum - minimum + 1)), '0');
    for (char& d : digits) d = static_cast<char>('0' + Below(10));
    return digits;
}

std::string UserActions::GroupName() {
    return std::string(kWords[Below(static_cast<int>(std::size(kWords)))]) + " " + Digits(1, 3);
}

int UserActions::AnyAnswer() {
    const int answers[] = {mrYes, mrNo, mrCancel};
    return answers[Below(3)];
}

UserAction UserActions::ClickIntoGrid() {
    UserAction a = Cell(Below(2), Fraction(), "");
    a.column = Fraction();
    return a;
}

UserAction UserActions::Next(bool onProductPage) {
    if (m_task.empty() && Chance(0.08)) PlanTask(onProductPage);
    if (m_task.empty()) return Single();
    UserAction a = m_task.front();
    m_task.pop_front();
    return a;
}

UserAction UserActions::Single() {
    enum { kKey, kDigits, kWord, kPaste, kCell, kDouble, kTab, kButton, kAnswer, kPick };
    static const double weights[] = {50, 8, 5, 1, 14, 2, 3, 9, 6, 2};
    const int kind =
        std::discrete_distribution<int>(std::begin(weights), std::end(weights))(m_random);
    switch (kind) {
        case kKey: {
            static const std::vector<int> keyWeights = [] {
                std::vector<int> w;
                for (const KeyChoice& k : kKeys) w.push_back(k.weight);
                return w;
            }();
            const KeyChoice& k = kKeys[std::discrete_distribution<int>(keyWeights.begin(),
                                                                       keyWeights.end())(m_random)];
            return Press(k.key, k.modifiers);
        }
        case kDigits:
            return Typing(Digits(1, 10));
        case kWord:
            return Typing(GroupName());
        case kPaste: {
            UserAction a = Typing(Digits(1, 4) + "ab" + Digits(0, 4));
            a.kind = UserAction::Paste;
            return a;
        }
        case kCell:
            return ClickIntoGrid();
        case kDouble: {
            UserAction a = ClickIntoGrid();
            a.kind = UserAction::DoubleClickCell;
            return a;
        }
        case kTab:
        case kButton: {
            UserAction a;
            a.kind = kind == kTab ? UserAction::ClickTab : UserAction::ClickButton;
            a.at = Fraction();
            return a;
        }
        case kAnswer:
            return Ready(UserAction::Answer, AnyAnswer());
        default:
            return Ready(UserAction::Pick, Below(12) - 2);
    }
}

// Tasks as a user does them; most end in a confirm that saves when the values are valid.
void UserActions::PlanTask(bool onProductPage) {
    const int grid = onProductPage ? Below(2) : 0;
    const int task = Below(10);
    auto& t = m_task;
    if (task >= 8) {  // delete the row clicked
        t.push_back(Cell(grid, Fraction(), onProductPage ? kProductColumns[grid].name : ""));
        t.push_back(Ready(UserAction::Answer, mrYes));
        t.push_back(Press(Qt::Key_Delete, kCtrl));
    } else if (!onProductPage && task >= 6) {  // rename a group
        t.push_back(Cell(0, Fraction(), "NMGRUSUGESPROD"));
        t.push_back(Press(Qt::Key_F2));
        t.push_back(Typing(GroupName()));
        t.push_back(Press(Qt::Key_F10));
    } else if (!onProductPage) {  // include a group: a full code or a short one the screen pads
        t.push_back(Press(Qt::Key_Insert));
        t.push_back(Typing(Chance(0.7) ? Digits(10, 10) : Digits(1, 2)));
        t.push_back(Press(Qt::Key_Tab));
        t.push_back(Typing(GroupName()));
        t.push_back(Press(Qt::Key_Tab));
        t.push_back(Typing(Digits(1, 2)));
        t.push_back(Press(Qt::Key_F10));
    } else if (task >= 5) {  // switch a flag of a product, with or without "Alterar" first
        const ProductColumns& c = kProductColumns[grid];
        t.push_back(Cell(grid, Fraction(), Chance(0.5) ? c.flagQ : c.flagT));
        if (Chance(0.5)) t.push_back(Press(Qt::Key_F2));
        t.push_back(Press(Qt::Key_Space));
        t.push_back(Press(Qt::Key_F10));
    } else {  // include a product: typed (mostly one that exists) or chosen in the search
        t.push_back(Cell(grid, Fraction(), kProductColumns[grid].name));
        t.push_back(Press(Qt::Key_Insert));
        if (Chance(0.75)) {
            const int known = std::min<int>(80, static_cast<int>(m_productCodes.size()));
            const int at =
                Chance(0.8) ? Below(known) : Below(static_cast<int>(m_productCodes.size()));
            t.push_back(
                Typing(Chance(0.1) ? "9990000001" : m_productCodes[static_cast<size_t>(at)]));
            t.push_back(Press(Qt::Key_Tab));
        } else {
            t.push_back(Ready(UserAction::Pick, Below(40)));
            t.push_back(Press(Qt::Key_Return, kCtrl));
        }
        t.push_back(Press(Qt::Key_F10));
    }
}
