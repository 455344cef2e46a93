#pragma once
// Bump allocator for row blocks: many small blocks in few large chunks, so a loaded record set
// costs little more than its values. Blocks are freed all at once with the arena. Not
// thread-safe. Move-only.

#include <cstddef>
#include <memory>
#include <vector>

class RowArena {
  public:
    RowArena() = default;
    RowArena(RowArena&&) noexcept = default;
    RowArena& operator=(RowArena&&) noexcept = default;
    RowArena(const RowArena&) = delete;
    RowArena& operator=(const RowArena&) = delete;

    // Uninitialised storage of `bytes`, aligned to 8; valid until the arena is destroyed.
    char* allocate(std::size_t bytes);
    // Bytes obtained from the heap (chunks), for memory accounting.
    std::size_t reservedBytes() const { return m_reserved; }

  private:
    static constexpr std::size_t kChunkBytes = 256 * 1024;

    std::vector<std::unique_ptr<char[]>> m_chunks;
    char* m_next = nullptr;
    std::size_t m_left = 0;
    std::size_t m_reserved = 0;
};
