#include "dataaccess/RowArena.h"

char* RowArena::allocate(std::size_t bytes) {
    bytes = (bytes + 7) & ~std::size_t{7};
    if (bytes > kChunkBytes / 4) {
        // A large block gets a chunk of its own so it does not waste the current one.
        m_chunks.push_back(std::make_unique_for_overwrite<char[]>(bytes));
        m_reserved += bytes;
        return m_chunks.back().get();
    }
    if (bytes > m_left) {
        m_chunks.push_back(std::make_unique_for_overwrite<char[]>(kChunkBytes));
        m_reserved += kChunkBytes;
        m_next = m_chunks.back().get();
        m_left = kChunkBytes;
    }
    char* block = m_next;
    m_next += bytes;
    m_left -= bytes;
    return block;
}
