#pragma once
// The anchor: the search filter as it was before words, kept here to be measured beside the new
// one in the same run. The typed text is one contiguous piece of a row's folded text; narrowing
// rescans the previous matches. Same folded buffer and offsets as TSearchIndex.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TClientDataSet;

class ContiguousFilter {
  public:
    ContiguousFilter(const TClientDataSet& dataSet, const std::vector<int>& fields);
    const std::vector<int>& Filter(std::string_view needle);
    size_t MemoryBytes() const;

  private:
    void ScanAll(const std::string& needle);
    void ScanWithin(const std::string& needle);
    std::string_view RowText(int row) const;

    std::string m_text;
    std::vector<uint32_t> m_offsets;
    std::string m_lastNeedle;
    std::vector<int> m_matches;
    bool m_all = false;
};
