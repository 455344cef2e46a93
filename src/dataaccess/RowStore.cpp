#include "dataaccess/RowStore.h"

#include <cstring>

namespace {

constexpr std::size_t kHeaderBytes = sizeof(std::int32_t);

}  // namespace

void RowStore::insert(int position, Row row) { m_rows.insert(m_rows.begin() + position, row); }

void RowStore::erase(int position) { m_rows.erase(m_rows.begin() + position); }

template <class Values>
RowStore::Row RowStore::makeFrom(const Values& values) {
    std::size_t bytes = 0;
    for (const auto& v : values) bytes += v ? v->size() : 0;
    const std::size_t tableBytes = kHeaderBytes + sizeof(std::uint32_t) * values.size();
    Row row = m_arena.allocate(tableBytes + bytes);
    const std::int32_t noEntry = -1;
    std::memcpy(row, &noEntry, sizeof noEntry);
    char* ends = row + kHeaderBytes;
    char* data = row + tableBytes;
    std::uint32_t end = 0;
    for (const auto& v : values) {
        std::uint32_t slot = end;
        if (v) {
            if (!v->empty()) std::memcpy(data + end, v->data(), v->size());
            end += static_cast<std::uint32_t>(v->size());
            slot = end;
        } else {
            slot |= kNullBit;
        }
        std::memcpy(ends, &slot, sizeof slot);
        ends += sizeof slot;
    }
    return row;
}

RowStore::Row RowStore::make(std::span<const wire::ValueView> values) { return makeFrom(values); }

RowStore::Row RowStore::make(std::span<const wire::Value> values) { return makeFrom(values); }

std::uint32_t RowStore::endOf(Row row, int field) const {
    std::uint32_t end;
    std::memcpy(&end, row + kHeaderBytes + sizeof end * static_cast<std::size_t>(field),
                sizeof end);
    return end;
}

wire::ValueView RowStore::value(Row row, int field) const {
    const std::uint32_t end = endOf(row, field);
    if (end & kNullBit) return std::nullopt;
    const std::uint32_t begin = field == 0 ? 0 : endOf(row, field - 1) & ~kNullBit;
    const char* data =
        row + kHeaderBytes + sizeof(std::uint32_t) * static_cast<std::size_t>(m_fieldCount);
    return std::string_view(data + begin, end - begin);
}

void RowStore::values(Row row, std::vector<wire::ValueView>& out) const {
    out.resize(static_cast<std::size_t>(m_fieldCount));
    for (int f = 0; f < m_fieldCount; ++f) out[static_cast<std::size_t>(f)] = value(row, f);
}

bool RowStore::sameValues(Row row, std::span<const wire::Value> values) const {
    for (int f = 0; f < m_fieldCount; ++f) {
        const wire::ValueView mine = value(row, f);
        const wire::Value& theirs = values[static_cast<std::size_t>(f)];
        if (mine.has_value() != theirs.has_value()) return false;
        if (mine && *mine != *theirs) return false;
    }
    return true;
}

bool RowStore::sameValues(Row a, Row b) const {
    for (int f = 0; f < m_fieldCount; ++f)
        if (value(a, f) != value(b, f)) return false;
    return true;
}

int RowStore::logIndex(Row row) {
    std::int32_t index;
    std::memcpy(&index, row, sizeof index);
    return index;
}

void RowStore::setLogIndex(Row row, int index) {
    const std::int32_t value = index;
    std::memcpy(row, &value, sizeof value);
}

int RowStore::find(int field, std::string_view text) const {
    const std::size_t dataOffset =
        kHeaderBytes + sizeof(std::uint32_t) * static_cast<std::size_t>(m_fieldCount);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const Row row = m_rows[i];
        if (!row) continue;
        const std::uint32_t end = endOf(row, field);
        if (end & kNullBit) continue;
        const std::uint32_t begin = field == 0 ? 0 : endOf(row, field - 1) & ~kNullBit;
        if (end - begin == text.size() &&
            (text.empty() || std::memcmp(row + dataOffset + begin, text.data(), text.size()) == 0))
            return static_cast<int>(i);
    }
    return -1;
}

std::size_t RowStore::blockBytes(Row row) const {
    const std::size_t table =
        kHeaderBytes + sizeof(std::uint32_t) * static_cast<std::size_t>(m_fieldCount);
    const std::size_t data = m_fieldCount == 0 ? 0 : endOf(row, m_fieldCount - 1) & ~kNullBit;
    return (table + data + 7) & ~std::size_t{7};
}

void RowStore::compactIfWasteful() {
    constexpr std::size_t kSlack = 1024 * 1024;
    if (m_garbage < kSlack || m_garbage < m_arena.reservedBytes() / 2) return;
    RowArena fresh;
    for (Row& row : m_rows) {
        if (!row) continue;
        const std::size_t bytes = blockBytes(row);
        Row copy = fresh.allocate(bytes);
        std::memcpy(copy, row, bytes);
        row = copy;
    }
    m_arena = std::move(fresh);
    m_garbage = 0;
}

std::size_t RowStore::memoryBytes() const {
    return m_arena.reservedBytes() + m_rows.capacity() * sizeof(Row);
}
