#pragma once
// A second thing to do with a row of the search dialogs, besides choosing it: while an action
// lives, every search dialog answers its key on the highlighted row by closing without choosing
// (the record set stays where it was) and then handing that row to the action; the dialog names
// the key under its list. One action at a time, the latest constructed; UI thread only.

#include <QKeySequence>
#include <QString>
#include <functional>

class TSearchRowAction {
  public:
    // act receives the record set's row number of the highlighted row.
    TSearchRowAction(QKeySequence key, QString hint, std::function<void(int row)> act);
    ~TSearchRowAction();
    TSearchRowAction(const TSearchRowAction&) = delete;
    TSearchRowAction& operator=(const TSearchRowAction&) = delete;

    static const TSearchRowAction* Current();  // nullptr when none lives

    const QKeySequence& Key() const { return m_key; }
    const QString& Hint() const { return m_hint; }  // "Ctrl+U: onde é usado"
    void Act(int row) const { m_act(row); }

  private:
    QKeySequence m_key;
    QString m_hint;
    std::function<void(int row)> m_act;
    const TSearchRowAction* m_previous;
};
