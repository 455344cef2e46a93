#pragma once
// One word of a search, already folded, and how it is found in folded text. A word of digits
// also matches with the text's '.' ignored, so that "1010010012" and "0012" both find the code
// "1.01.001.0012". Text here is the index's folded buffer: fields end in '\x1f', which no word
// holds, so no match runs across two fields.

#include <string>
#include <string_view>

struct TSearchWord {
    std::string text;     // folded, non-empty, no separators
    bool digits = false;  // only '0'..'9'

    explicit TSearchWord(std::string folded);

    // The first match starting in [from, end), or nullptr: for scanning the whole buffer.
    const char* FindIn(const char* from, const char* end) const;
    // Whether one row's text holds the word: rows are short, so no memmem set-up.
    bool FoundIn(std::string_view row) const;
    // Whether the text at `at` begins with the word (dots skipped for digits).
    bool StartsAt(const char* at, const char* end) const;

    bool operator==(const TSearchWord& other) const { return text == other.text; }
};
