#include "TSearchIndex.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "TClientDataSet.h"

namespace {

// Folds the two-byte UTF-8 Latin-1 letters (U+00C0..U+00FF) to their base letters.
char FoldLatin1(unsigned char second) {
    static const char map[] =
        "aaaaaaaceeeeiiii"   // C0-CF
        "dnooooo*ouuuuyts"   // D0-DF
        "aaaaaaaceeeeiiii"   // E0-EF
        "dnooooo/ouuuuyty";  // F0-FF
    unsigned code = 0xC0u + (second & 0x3Fu) + 0u;
    return map[code - 0xC0u];
}

void AppendFolded(std::string& out, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : static_cast<char>(c));
        } else if (c == 0xC3 && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            out.push_back(FoldLatin1(static_cast<unsigned char>(text[++i])));
        } else {
            out.push_back(static_cast<char>(c));  // other scripts compare as they are
        }
    }
}

}  // namespace

std::string TSearchIndex::Fold(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendFolded(out, text);
    return out;
}

TSearchIndex::TSearchIndex(const TClientDataSet& dataSet, const std::vector<int>& fields) {
    int rows = dataSet.Active() ? dataSet.RecordCount() : 0;
    m_offsets.reserve(static_cast<size_t>(rows) + 1);
    m_text.reserve(static_cast<size_t>(rows) * 32);
    for (int row = 0; row < rows; ++row) {
        m_offsets.push_back(static_cast<uint32_t>(m_text.size()));
        for (int field : fields) {
            if (auto value = dataSet.ValueAt(row, field)) AppendFolded(m_text, *value);
            m_text.push_back('\x1f');
        }
        if (m_text.size() > UINT32_MAX / 2)
            throw std::length_error("Lista grande demais para pesquisar.");
    }
    m_offsets.push_back(static_cast<uint32_t>(m_text.size()));
    m_matches.resize(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row) m_matches[static_cast<size_t>(row)] = row;
    m_all = true;
}

std::string_view TSearchIndex::RowText(int row) const {
    return std::string_view(m_text).substr(
        m_offsets[static_cast<size_t>(row)],
        m_offsets[static_cast<size_t>(row) + 1] - m_offsets[static_cast<size_t>(row)]);
}

const std::vector<int>& TSearchIndex::Filter(std::string_view needleText) {
    std::string needle = Fold(needleText);
    if (needle.find('\x1f') != std::string::npos) needle.clear();
    if (needle.empty()) {
        if (!m_all) {
            m_matches.resize(static_cast<size_t>(RowCount()));
            for (int row = 0; row < RowCount(); ++row) m_matches[static_cast<size_t>(row)] = row;
            m_all = true;
        }
    } else if (!m_lastNeedle.empty() && needle.find(m_lastNeedle) != std::string::npos) {
        ScanWithin(needle);  // narrowing: every match contains the previous needle
    } else {
        ScanAll(needle);
    }
    m_lastNeedle = needle;
    return m_matches;
}

void TSearchIndex::ScanAll(const std::string& needle) {
    m_matches.clear();
    m_all = false;
    const char* begin = m_text.data();
    const char* end = begin + m_text.size();
    const char* at = begin;
    while (at < end) {
        const void* hit = memmem(at, static_cast<size_t>(end - at), needle.data(), needle.size());
        if (!hit) break;
        uint32_t offset = static_cast<uint32_t>(static_cast<const char*>(hit) - begin);
        auto next = std::upper_bound(m_offsets.begin(), m_offsets.end(), offset);
        int row = static_cast<int>(next - m_offsets.begin()) - 1;
        m_matches.push_back(row);
        at = begin + *next;  // continue at the next row
    }
}

void TSearchIndex::ScanWithin(const std::string& needle) {
    std::vector<int> kept;
    kept.reserve(m_matches.size());
    for (int row : m_matches)
        if (RowText(row).find(needle) != std::string_view::npos) kept.push_back(row);
    m_matches.swap(kept);
    m_all = false;
}
