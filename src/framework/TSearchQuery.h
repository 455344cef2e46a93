#pragma once
// What the user typed in the search box, as the words a row must hold: folded, split on blanks
// and control characters, without repeats and without words found inside another word (a row
// holding "integral" holds "int"). Words() puts the most selective first: the longest word that
// is not digits, else the longest.

#include <optional>
#include <string_view>
#include <vector>

#include "framework/TSearchWord.h"

class TSearchQuery {
  public:
    TSearchQuery() = default;
    explicit TSearchQuery(std::string_view typed);

    bool Empty() const { return m_words.empty(); }
    const std::vector<TSearchWord>& Words() const { return m_words; }
    // The first word typed, which ranks rows; nullptr when nothing was typed.
    const TSearchWord* First() const { return m_first ? &*m_first : nullptr; }

    // True when every row matching this query matches `previous` too: each previous word lies
    // inside one of these words (typing on, adding a word).
    bool Narrows(const TSearchQuery& previous) const;
    // The words previous did not have: the only ones a narrowing must check.
    std::vector<const TSearchWord*> NewSince(const TSearchQuery& previous) const;

  private:
    std::vector<TSearchWord> m_words;
    std::optional<TSearchWord> m_first;
};
