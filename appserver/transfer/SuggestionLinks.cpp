#include "transfer/SuggestionLinks.h"

#include <algorithm>
#include <numeric>

namespace appserver {

std::uint32_t GroupTable::take(std::string_view code) {
    auto [at, added] =
        m_byCode.try_emplace(std::string(code), static_cast<std::uint32_t>(m_groups.size()));
    if (added) m_groups.push_back({std::string(code), {}, {}, {}, {}, 0, false});
    return at->second;
}

const GroupEntry* GroupTable::find(std::string_view code) const {
    auto at = m_byCode.find(std::string(code));
    return at == m_byCode.end() ? nullptr : &m_groups[at->second];
}

std::vector<std::uint32_t> GroupTable::sortByCode() {
    std::vector<std::uint32_t> byCode(m_groups.size());
    std::iota(byCode.begin(), byCode.end(), 0);
    std::sort(byCode.begin(), byCode.end(),
              [&](auto a, auto b) { return m_groups[a].code < m_groups[b].code; });
    std::vector<std::uint32_t> renumbered(m_groups.size());
    std::vector<GroupEntry> sorted;
    sorted.reserve(m_groups.size());
    for (std::uint32_t n = 0; n < byCode.size(); ++n) {
        renumbered[byCode[n]] = n;
        sorted.push_back(std::move(m_groups[byCode[n]]));
        m_byCode[sorted.back().code] = n;
    }
    m_groups = std::move(sorted);
    return renumbered;
}

void SuggestionLinks::sort() {
    const std::vector<std::uint32_t> renumbered = groups.sortByCode();
    auto byKeyThenLine = [](const auto& a, const auto& b) {
        return std::pair(key(a), a.line) < std::pair(key(b), b.line);
    };
    for (auto* mains : {&fileMains, &storedMains}) {
        for (MainLink& m : *mains) m.group = renumbered[m.group];
        std::sort(mains->begin(), mains->end(), byKeyThenLine);
    }
    for (auto* related : {&fileRelated, &storedRelated}) {
        for (RelatedLink& r : *related) r.group = renumbered[r.group];
        std::sort(related->begin(), related->end(), byKeyThenLine);
    }
}

}  // namespace appserver
