#include "framework/TSearchWord.h"

#include <algorithm>
#include <cstring>

TSearchWord::TSearchWord(std::string folded)
    : text(std::move(folded)),
      digits(std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {}

const char* TSearchWord::FindIn(const char* from, const char* end) const {
    if (!digits)
        return static_cast<const char*>(
            memmem(from, static_cast<size_t>(end - from), text.data(), text.size()));
    // The dot-skipping comparison finds the plain occurrences too, so one pass does both.
    for (const char* at = from; at < end; ++at) {
        at = static_cast<const char*>(memchr(at, text[0], static_cast<size_t>(end - at)));
        if (!at) return nullptr;
        if (StartsAt(at, end)) return at;
    }
    return nullptr;
}

bool TSearchWord::FoundIn(std::string_view row) const {
    if (!digits) return row.find(text) != std::string_view::npos;
    const char* end = row.data() + row.size();
    for (size_t at = row.find(text[0]); at != std::string_view::npos;
         at = row.find(text[0], at + 1))
        if (StartsAt(row.data() + at, end)) return true;
    return false;
}

bool TSearchWord::StartsAt(const char* at, const char* end) const {
    if (!digits)
        return static_cast<size_t>(end - at) >= text.size() && *at == text[0] &&
               memcmp(at, text.data(), text.size()) == 0;
    size_t matched = 0;
    for (; at < end && matched < text.size(); ++at) {
        if (*at == text[matched])
            ++matched;
        else if (*at != '.')
            return false;
    }
    return matched == text.size();
}
