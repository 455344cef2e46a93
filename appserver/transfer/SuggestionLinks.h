#pragma once
// The suggestions as an import compares them, kept small because a file may hold hundreds of
// thousands of lines: groups by number in one table shared by the file and the database, products
// by their catalogue number, flags as one character each. The file's links and the stored ones
// are sorted alike (group code, then tree codes), so planning walks them side by side.

#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <unordered_map>
#include <vector>

#include "wire/FieldDef.h"

namespace appserver {

// 0 for none, else 'S' or 'N' (what the database's checks allow).
using Flag = char;

struct LinkFlags {
    Flag quantity = 0, total = 0;
    bool operator==(const LinkFlags&) const = default;
};

inline wire::Value flagValue(Flag flag) {
    return flag ? wire::Value(std::string(1, flag)) : std::nullopt;
}
inline Flag flagOf(wire::ValueView value) { return value && !value->empty() ? (*value)[0] : 0; }

// A group of the file, of the database, or of both.
struct GroupEntry {
    std::string code;
    std::string name, order;              // as the file has them
    std::string storedName, storedOrder;  // as the database has them
    std::uint32_t line = 0;               // its first line in the file; 0 when not in the file
    bool stored = false;
};

struct MainLink {
    std::uint32_t group, product, line;  // line 0 for a stored link
    LinkFlags flags;
};

struct RelatedLink {
    std::uint32_t group, main, product, line;
    LinkFlags flags;
};

inline auto key(const MainLink& m) { return std::pair(m.group, m.product); }
inline auto key(const RelatedLink& r) { return std::tuple(r.group, r.main, r.product); }

// Groups by number, found by code.
class GroupTable {
  public:
    // The number of the group with that code, added when new.
    std::uint32_t take(std::string_view code);
    const GroupEntry* find(std::string_view code) const;
    GroupEntry& operator[](std::uint32_t number) { return m_groups[number]; }
    const GroupEntry& operator[](std::uint32_t number) const { return m_groups[number]; }
    std::size_t size() const { return m_groups.size(); }

    // Renumbers the groups in code order; renumbered[old] is each group's new number.
    std::vector<std::uint32_t> sortByCode();

  private:
    std::vector<GroupEntry> m_groups;
    std::unordered_map<std::string, std::uint32_t> m_byCode;
};

// Everything an import compares: the groups, and the main and related links of the file and of
// the database, each sorted by key once read.
struct SuggestionLinks {
    GroupTable groups;
    std::vector<MainLink> fileMains, storedMains;
    std::vector<RelatedLink> fileRelated, storedRelated;

    // Numbers the groups in code order and sorts every link by key (then by line), so the file's
    // links and the stored ones can be walked side by side in the screen's order.
    void sort();
};

}  // namespace appserver
