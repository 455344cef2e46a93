#include "framework/TSearchIndex.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

#include "dataaccess/TClientDataSet.h"
#include "framework/TSearchFold.h"

TSearchIndex::TSearchIndex(const TClientDataSet& dataSet, const std::vector<int>& fields) {
    int rows = dataSet.Active() ? dataSet.RecordCount() : 0;
    size_t bytes = 0;  // folding never lengthens, so this is enough and no more
    for (int row = 0; row < rows; ++row)
        for (int field : fields) bytes += dataSet.ValueAt(row, field).value_or("").size() + 1;
    if (bytes > UINT32_MAX / 2) throw std::length_error("Lista grande demais para pesquisar.");
    m_text.reserve(bytes);
    m_offsets.reserve(static_cast<size_t>(rows) + 1);
    for (int row = 0; row < rows; ++row) {
        m_offsets.push_back(static_cast<uint32_t>(m_text.size()));
        for (int field : fields) {
            if (auto value = dataSet.ValueAt(row, field)) SearchFold::AppendFolded(m_text, *value);
            m_text.push_back('\x1f');
        }
    }
    m_offsets.push_back(static_cast<uint32_t>(m_text.size()));
    Rank();
}

std::string_view TSearchIndex::RowText(uint32_t row) const {
    return std::string_view(m_text).substr(m_offsets[row], m_offsets[row + 1] - m_offsets[row]);
}

const std::vector<int>& TSearchIndex::Filter(std::string_view typed) {
    TSearchQuery query(typed);
    bool wasAll = m_query.Empty();
    std::swap(m_query, query);  // `query` now holds the previous one
    const TSearchWord* first = m_query.First();
    const TSearchWord* previousFirst = query.First();
    if (m_query.Empty())
        m_matches = {};
    else if (!wasAll && m_query.Narrows(query))
        Narrow(m_query.NewSince(query), !previousFirst || !(*first == *previousFirst));
    else
        ScanAll();
    Rank();
    return m_rows;
}

uint32_t TSearchIndex::Match(uint32_t row) const {
    std::string_view text = RowText(row);
    const char* end = text.data() + text.size();
    for (const char* field = text.data(); field < end; ++field) {
        if (m_query.First()->StartsAt(field, end)) return row | kLeading;
        while (*field != '\x1f') ++field;  // every field ends in one
    }
    return row;
}

void TSearchIndex::ScanAll() {
    m_matches.clear();
    const auto& words = m_query.Words();
    const TSearchWord& lead = words.front();
    const char* begin = m_text.data();
    const char* end = begin + m_text.size();
    uint32_t row = 0;
    for (const char* at = begin; const char* hit = lead.FindIn(at, end);) {
        auto offset = static_cast<uint32_t>(hit - begin);
        while (m_offsets[row + 1] <= offset) ++row;  // hits only move forward
        std::string_view text = RowText(row);
        if (std::all_of(words.begin() + 1, words.end(),
                        [&](const TSearchWord& word) { return word.FoundIn(text); }))
            m_matches.push_back(Match(row));
        at = begin + m_offsets[row + 1];
    }
}

void TSearchIndex::Narrow(const std::vector<const TSearchWord*>& fresh, bool firstChanged) {
    auto kept = m_matches.begin();
    for (uint32_t match : m_matches) {
        uint32_t row = match & ~kLeading;
        std::string_view text = RowText(row);
        if (std::all_of(fresh.begin(), fresh.end(),
                        [&](const TSearchWord* word) { return word->FoundIn(text); }))
            *kept++ = firstChanged ? Match(row) : match;
    }
    m_matches.erase(kept, m_matches.end());
}

void TSearchIndex::Rank() {
    if (m_query.Empty()) {
        m_rows.resize(static_cast<size_t>(RowCount()));
        std::iota(m_rows.begin(), m_rows.end(), 0);
        return;
    }
    // One pass: leading rows from the front, the others from the back, which is then reversed.
    m_rows.resize(m_matches.size());
    auto front = m_rows.begin(), back = m_rows.end();
    for (uint32_t match : m_matches)
        *(match & kLeading ? front++ : --back) = static_cast<int>(match & ~kLeading);
    std::reverse(back, m_rows.end());
}

size_t TSearchIndex::MemoryBytes() const {
    return m_text.capacity() + m_offsets.capacity() * sizeof(uint32_t) +
           m_matches.capacity() * sizeof(uint32_t) + m_rows.capacity() * sizeof(int);
}
