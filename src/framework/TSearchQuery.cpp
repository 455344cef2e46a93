#include "framework/TSearchQuery.h"

#include <algorithm>
#include <string>

#include "framework/TSearchFold.h"

namespace {

bool Contains(const TSearchWord& outer, const TSearchWord& inner) {
    return outer.text.find(inner.text) != std::string::npos;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7f'; }

}  // namespace

TSearchQuery::TSearchQuery(std::string_view typed) {
    std::string folded = SearchFold::Fold(typed);
    std::vector<TSearchWord> words;
    for (size_t at = 0; at < folded.size();) {
        if (IsBlank(folded[at])) {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < folded.size() && !IsBlank(folded[end])) ++end;
        words.emplace_back(folded.substr(at, end - at));
        at = end;
    }
    if (words.empty()) return;
    m_first = words.front();
    // Longest first, so that a word is only ever contained in one already kept.
    std::stable_sort(words.begin(), words.end(), [](const TSearchWord& a, const TSearchWord& b) {
        return a.text.size() > b.text.size();
    });
    for (auto& word : words)
        if (std::none_of(m_words.begin(), m_words.end(),
                         [&](const TSearchWord& kept) { return Contains(kept, word); }))
            m_words.push_back(std::move(word));
    // Digits are scanned byte by byte, letters with memmem: lead with letters when there are any.
    std::stable_partition(m_words.begin(), m_words.end(),
                          [](const TSearchWord& word) { return !word.digits; });
}

bool TSearchQuery::Narrows(const TSearchQuery& previous) const {
    return std::all_of(previous.m_words.begin(), previous.m_words.end(), [&](const auto& old) {
        return std::any_of(m_words.begin(), m_words.end(),
                           [&](const TSearchWord& word) { return Contains(word, old); });
    });
}

std::vector<const TSearchWord*> TSearchQuery::NewSince(const TSearchQuery& previous) const {
    std::vector<const TSearchWord*> fresh;
    for (const auto& word : m_words)
        if (std::find(previous.m_words.begin(), previous.m_words.end(), word) ==
            previous.m_words.end())
            fresh.push_back(&word);
    return fresh;
}
