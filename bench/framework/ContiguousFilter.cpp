#include "ContiguousFilter.h"

#include <algorithm>
#include <cstring>

#include "dataaccess/TClientDataSet.h"
#include "framework/TSearchFold.h"

ContiguousFilter::ContiguousFilter(const TClientDataSet& dataSet, const std::vector<int>& fields) {
    int rows = dataSet.RecordCount();
    m_offsets.reserve(static_cast<size_t>(rows) + 1);
    m_text.reserve(static_cast<size_t>(rows) * 32);
    for (int row = 0; row < rows; ++row) {
        m_offsets.push_back(static_cast<uint32_t>(m_text.size()));
        for (int field : fields) {
            if (auto value = dataSet.ValueAt(row, field)) SearchFold::AppendFolded(m_text, *value);
            m_text.push_back('\x1f');
        }
    }
    m_offsets.push_back(static_cast<uint32_t>(m_text.size()));
    Filter("");
}

size_t ContiguousFilter::MemoryBytes() const {
    return m_text.capacity() + m_offsets.capacity() * sizeof(uint32_t) +
           m_matches.capacity() * sizeof(int);
}

std::string_view ContiguousFilter::RowText(int row) const {
    auto r = static_cast<size_t>(row);
    return std::string_view(m_text).substr(m_offsets[r], m_offsets[r + 1] - m_offsets[r]);
}

const std::vector<int>& ContiguousFilter::Filter(std::string_view needleText) {
    std::string needle = SearchFold::Fold(needleText);
    int rows = static_cast<int>(m_offsets.size()) - 1;
    if (needle.empty()) {
        if (!m_all) {
            m_matches.resize(static_cast<size_t>(rows));
            for (int row = 0; row < rows; ++row) m_matches[static_cast<size_t>(row)] = row;
            m_all = true;
        }
    } else if (!m_lastNeedle.empty() && needle.find(m_lastNeedle) != std::string::npos) {
        ScanWithin(needle);
    } else {
        ScanAll(needle);
    }
    m_lastNeedle = needle;
    return m_matches;
}

void ContiguousFilter::ScanAll(const std::string& needle) {
    m_matches.clear();
    m_all = false;
    const char* begin = m_text.data();
    const char* end = begin + m_text.size();
    const char* at = begin;
    while (at < end) {
        const void* hit = memmem(at, static_cast<size_t>(end - at), needle.data(), needle.size());
        if (!hit) break;
        auto offset = static_cast<uint32_t>(static_cast<const char*>(hit) - begin);
        auto next = std::upper_bound(m_offsets.begin(), m_offsets.end(), offset);
        m_matches.push_back(static_cast<int>(next - m_offsets.begin()) - 1);
        at = begin + *next;
    }
}

void ContiguousFilter::ScanWithin(const std::string& needle) {
    std::vector<int> kept;
    kept.reserve(m_matches.size());
    for (int row : m_matches)
        if (RowText(row).find(needle) != std::string_view::npos) kept.push_back(row);
    m_matches.swap(kept);
    m_all = false;
}
