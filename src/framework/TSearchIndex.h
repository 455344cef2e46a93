#pragma once
// The text behind the search dialog's filter: every row's visible values folded (lower case, no
// accents) into one buffer, so that a keystroke is one fast substring scan rather than a pass over
// the record set. Filter returns the matching rows in record-set order; a filter extending the
// previous one only rescans the previous matches. Built on the UI thread; not thread-safe.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TClientDataSet;

class TSearchIndex {
  public:
    TSearchIndex(const TClientDataSet& dataSet, const std::vector<int>& fields);
    TSearchIndex(const TSearchIndex&) = delete;
    TSearchIndex& operator=(const TSearchIndex&) = delete;

    int RowCount() const { return static_cast<int>(m_offsets.size()) - 1; }
    // Rows whose folded values contain the folded needle; all rows for an empty needle.
    const std::vector<int>& Filter(std::string_view needle);

    // Lower case without accents (Latin letters), as the filter compares.
    static std::string Fold(std::string_view text);

  private:
    void ScanAll(const std::string& needle);
    void ScanWithin(const std::string& needle);
    std::string_view RowText(int row) const;

    std::string m_text;               // folded rows, columns separated by '\x1f'
    std::vector<uint32_t> m_offsets;  // row r is m_text[m_offsets[r], m_offsets[r + 1])
    std::string m_lastNeedle;
    std::vector<int> m_matches;
    bool m_all = false;  // m_matches holds every row
};
