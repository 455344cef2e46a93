#pragma once
// The scripted dialogs of the random walk, answering from a queue of their own, which the walk
// keeps short (two at most) and the close replaces; each message's answer is written beside it
// in Log.

#include <algorithm>
#include <deque>
#include <string>

#include "UserActions.h"
#include "support/TScriptedDialogs.h"

// The answer as the trail names it.
inline std::string AnswerName(int answer) {
    return answer == mrYes ? "Sim" : answer == mrNo ? "Não" : answer == mrCancel ? "Cancelar" : "?";
}

class WalkDialogs : public TScriptedDialogs {
  public:
    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                   int /*help*/) override {
        Log.push_back("MessageDlg " + std::to_string(type) + ": " + text);
        int answer = Take(m_answers, DefaultAnswer);
        // Without a Cancel button, Esc answers No: only answers a person can give.
        if (answer == mrCancel && !buttons.Contains(mbCancel)) answer = mrNo;
        Log.back() += " = " + AnswerName(answer);
        return answer;
    }
    bool Pesquisar(TDataSource& source, const std::string& text, bool multiSelect,
                   bool showFilter) override {
        QueueSearchPick(Take(m_picks, -1));
        return TScriptedDialogs::Pesquisar(source, text, multiSelect, showFilter);
    }
    // Queues an Answer or Pick action; false when two already wait.
    bool Ready(const UserAction& a) {
        std::deque<int>& waiting = a.kind == UserAction::Answer ? m_answers : m_picks;
        if (waiting.size() >= 2) return false;
        waiting.push_back(a.answer);
        return true;
    }
    void AnswerNext(int answer) { m_answers.assign(1, answer); }  // whatever waited goes
    // Whether a dialog shown since `from` starts with `line`.
    bool Shown(std::size_t from, const std::string& line) const {
        return std::any_of(Log.begin() + static_cast<long>(from), Log.end(),
                           [&](const std::string& l) { return l.starts_with(line); });
    }
    // Whether the user dropped changes by an answer given since `from`.
    bool Dropped(std::size_t from) const {
        for (const char* answer : {"MessageDlg 3: Cancela as alterações? = Sim",
                                   "MessageDlg 3: Confirma exclusão? = Sim", "Envia de novo? = Não",
                                   "Grava as alterações? = Não"})
            if (std::any_of(Log.begin() + static_cast<long>(from), Log.end(),
                            [&](const std::string& l) { return l.ends_with(answer); }))
                return true;
        return false;
    }

  private:
    static int Take(std::deque<int>& queue, int otherwise) {
        if (queue.empty()) return otherwise;
        const int first = queue.front();
        queue.pop_front();
        return first;
    }
    std::deque<int> m_answers, m_picks;
};
