#pragma once
// The text behind the search dialog's filter: every row's visible values folded (lower case, no
// accents) into one buffer, so that a keystroke is a fast scan rather than a pass over the record
// set. A row matches when it holds every word typed, in any order (see TSearchQuery). Typing on
// only looks again at the previous matches, and only for the words that are new.
// Rows() ranks the matches: rows with a field starting with the first word come first, then the
// rest, each in record-set order. Built on the UI thread; not thread-safe.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/TSearchQuery.h"

class TClientDataSet;

class TSearchIndex {
  public:
    TSearchIndex(const TClientDataSet& dataSet, const std::vector<int>& fields);
    TSearchIndex(const TSearchIndex&) = delete;
    TSearchIndex& operator=(const TSearchIndex&) = delete;

    int RowCount() const { return static_cast<int>(m_offsets.size()) - 1; }
    // Filters by what the user typed and returns Rows(); all rows when nothing was typed.
    const std::vector<int>& Filter(std::string_view typed);
    const std::vector<int>& Rows() const { return m_rows; }
    const TSearchQuery& Query() const { return m_query; }
    size_t MemoryBytes() const;  // what the index holds, for the benchmark's memory figure

  private:
    void ScanAll();
    void Narrow(const std::vector<const TSearchWord*>& fresh, bool firstChanged);
    void Rank();
    uint32_t Match(uint32_t row) const;  // row, marked kLeading when a field starts with First()
    std::string_view RowText(uint32_t row) const;

    std::string m_text;               // folded rows, each field ended by '\x1f'
    std::vector<uint32_t> m_offsets;  // row r is m_text[m_offsets[r], m_offsets[r + 1])
    TSearchQuery m_query;
    // The rows matching m_query in record-set order, what narrowing starts from; each is marked
    // while its text is at hand, so that ranking needs no second look at the text.
    static constexpr uint32_t kLeading = 1u << 31;
    std::vector<uint32_t> m_matches;
    std::vector<int> m_rows;  // the view's order; every row when nothing is typed
};
