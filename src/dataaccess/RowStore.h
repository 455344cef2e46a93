#pragma once
// The rows of a record set in display order, each row one immutable block in an arena:
//   [int32 change-log index][uint32 end offset of each value, top bit = null][value bytes]
// No string or optional is kept per value, so a loaded packet costs about its own text size.
// A changed row gets a new block; the old one stays valid (the change log and undo refer to it)
// until it is retired and the store compacted. Not thread-safe. Move-only.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "dataaccess/RowArena.h"
#include "wire/FieldDef.h"

class RowStore {
  public:
    // A row block; nullptr stands for a row being inserted and not yet posted.
    using Row = char*;

    explicit RowStore(int fieldCount) : m_fieldCount(fieldCount) {}
    RowStore(RowStore&&) noexcept = default;
    RowStore& operator=(RowStore&&) noexcept = default;

    int fieldCount() const { return m_fieldCount; }
    int size() const { return static_cast<int>(m_rows.size()); }
    bool empty() const { return m_rows.empty(); }
    Row at(int position) const { return m_rows[static_cast<std::size_t>(position)]; }

    void insert(int position, Row row);
    void erase(int position);
    void replace(int position, Row row) { m_rows[static_cast<std::size_t>(position)] = row; }
    void append(Row row) { m_rows.push_back(row); }
    void shrinkToFit() { m_rows.shrink_to_fit(); }

    // New blocks holding copies of the values (one per field, in field order).
    Row make(std::span<const wire::ValueView> values);
    Row make(std::span<const wire::Value> values);

    wire::ValueView value(Row row, int field) const;
    // Fills `out` with one view per field; the views live as long as the store.
    void values(Row row, std::vector<wire::ValueView>& out) const;
    bool sameValues(Row row, std::span<const wire::Value> values) const;
    bool sameValues(Row a, Row b) const;

    // The change-log entry of a row block, -1 when the row is unchanged since the last merge.
    static int logIndex(Row row);
    static void setLogIndex(Row row, int index);

    // First position whose field holds exactly `text` (null never matches), or -1.
    int find(int field, std::string_view text) const;

    // Heap bytes held: arena chunks plus the row table.
    std::size_t memoryBytes() const;

    // Notes that a block is no longer referenced by anyone.
    void retire(Row row) { m_garbage += blockBytes(row); }
    // Copies the live rows into a fresh arena when retired blocks dominate, so that a long
    // editing session does not grow without bound. Only the row table may refer to blocks.
    void compactIfWasteful();

  private:
    static constexpr std::uint32_t kNullBit = 0x80000000u;

    template <class Values>
    Row makeFrom(const Values& values);
    std::uint32_t endOf(Row row, int field) const;
    std::size_t blockBytes(Row row) const;

    int m_fieldCount;
    RowArena m_arena;
    std::vector<Row> m_rows;
    std::size_t m_garbage = 0;
};
