#pragma once
// A message catalogue: entries "key|text" (the first '|' separates; the text may hold more).
// Keys match exactly. A key missing from the catalogue is looked up in the fallback catalogue;
// missing there too, Msg returns the key itself so that a forgotten entry shows something
// recognisable rather than a blank dialog. UI thread only.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "framework/MsgDlg.h"

class TMessages {
  public:
    TMessages() = default;
    explicit TMessages(const std::vector<std::string>& entries);
    TMessages(const TMessages&) = delete;
    TMessages& operator=(const TMessages&) = delete;

    // Replaces the entries; an entry without '|' is ignored; of repeated keys the first wins.
    void SetItems(const std::vector<std::string>& entries);
    void Add(std::string_view entry);
    // Not owned; must outlive this catalogue. nullptr: no fallback.
    void SetFallback(const TMessages* fallback) { m_fallback = fallback; }

    bool Contains(std::string_view key) const;
    std::string Msg(std::string_view key) const;
    // MessageDlg with the key's text; returns the modal result (mrYes = 6).
    int ShowMsg(std::string_view key, TMsgDlgType type, TMsgDlgButtons buttons,
                int helpContext) const;

    // The framework's standard messages ("Canc", "Excl", "verificando", "Atualizando", ...).
    static const TMessages& Standard();

  private:
    const std::string* Find(std::string_view key) const;

    std::unordered_map<std::string, std::string> m_texts;
    const TMessages* m_fallback = nullptr;
};
