#pragma once
// A question with a few exclusive answers, each a radio button with a sentence saying what it
// does: "Exportar: o grupo atual ou todos?". Keyboard-first: the arrows or the answers'
// underlined letters (Alt+letter) choose, Enter confirms ("OK", the default button), Esc
// cancels. A disabled answer cannot be chosen. UI thread only.

#include <QDialog>
#include <optional>
#include <vector>

class QButtonGroup;
class QRadioButton;

class TChoiceDialog : public QDialog {
    Q_OBJECT
  public:
    struct TChoice {
        QString Caption;      // with its mnemonic: "&Todos os grupos"
        QString Explanation;  // what choosing it does, one sentence
        bool Enabled = true;
    };

    // chosen: the answer checked at first (the first enabled one when that one is disabled).
    TChoiceDialog(const QString& title, const QString& question, std::vector<TChoice> choices,
                  int chosen, QWidget* parent = nullptr);

    std::optional<int> Run();  // modal; the index chosen, nullopt when cancelled
    int Chosen() const;        // the index checked now, -1 when none

    QRadioButton* Choice(int index) const;

  private:
    QButtonGroup* m_group;
    std::vector<QRadioButton*> m_buttons;
};
