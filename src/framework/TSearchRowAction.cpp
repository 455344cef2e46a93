#include "framework/TSearchRowAction.h"

namespace {

const TSearchRowAction*& CurrentAction() {
    static const TSearchRowAction* current = nullptr;
    return current;
}

}  // namespace

TSearchRowAction::TSearchRowAction(QKeySequence key, QString hint, std::function<void(int)> act)
    : m_key(std::move(key)), m_hint(std::move(hint)), m_act(std::move(act)),
      m_previous(CurrentAction()) {
    CurrentAction() = this;
}

TSearchRowAction::~TSearchRowAction() { CurrentAction() = m_previous; }

const TSearchRowAction* TSearchRowAction::Current() { return CurrentAction(); }
