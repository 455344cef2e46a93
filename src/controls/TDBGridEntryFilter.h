#pragma once
// The grid's key-press filter applied to text that reaches a cell editor without a typed key:
// a paste (Ctrl+V, Shift+Insert, the context menu), a drop, an input method's commit. Each
// inserted character is offered to the filter as if typed; the ones it drops are left out, the
// ones it replaces go in replaced. Typed keys were offered already and pass as they are.
// Owned by its editor; UI thread only.

#include <QValidator>
#include <functional>

class QLineEdit;

class TDBGridEntryFilter : public QValidator {
  public:
    using TKeyFilter = std::function<char32_t(char32_t)>;  // 0 drops the character
    using TTyping = std::function<bool()>;  // true while a typed, already filtered key arrives

    TDBGridEntryFilter(QLineEdit& editor, TKeyFilter filter, TTyping typing);

    State validate(QString& input, int& position) const override;

  private:
    QString m_before;  // the editor's text before the change being validated
    TKeyFilter m_filter;
    TTyping m_typing;
};
