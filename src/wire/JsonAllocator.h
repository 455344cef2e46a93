#pragma once
// The allocator of every RapidJSON reader stack and writer buffer in wire. RapidJSON's default
// returns null when memory runs out and then writes through it; this one throws std::bad_alloc
// instead, leaving the old block owned by its stack, so the caller can refuse one request and
// the process goes on. A reader's stack may be capped: a string outgrowing the cap ends the parse
// with JsonTextTooLong soon after passing it, before the rest is copied.

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <new>

namespace wire {

struct JsonTextTooLong {};

class JsonAllocator {
  public:
    static const bool kNeedFree = true;

    // cap, when given, is read at each allocation (SIZE_MAX: none); it must outlive the allocator.
    explicit JsonAllocator(const std::size_t* cap = nullptr) : m_cap(cap) {}

    void* Malloc(std::size_t size) {
        if (size == 0) return nullptr;
        checkCap(size);
        return checked(refused(size) ? nullptr : std::malloc(size));
    }
    void* Realloc(void* original, std::size_t, std::size_t newSize) {
        if (newSize == 0) {
            std::free(original);
            return nullptr;
        }
        checkCap(newSize);
        return checked(refused(newSize) ? nullptr : std::realloc(original, newSize));
    }
    static void Free(void* p) { std::free(p); }

    // Tests only: blocks of at least bytes fail as if memory had run out (SIZE_MAX: none).
    static void failFrom(std::size_t bytes) { s_failFrom.store(bytes); }

  private:
    // A stack grows by half: a block past 1.5 cap (+ the first block) means it already held more
    // than cap bytes, so no string within the cap is ever cut.
    void checkCap(std::size_t size) const {
        if (!m_cap || *m_cap >= std::numeric_limits<std::size_t>::max() / 2) return;
        if (size > *m_cap + *m_cap / 2 + 256) throw JsonTextTooLong{};
    }
    static bool refused(std::size_t size) {
        return size >= s_failFrom.load(std::memory_order_relaxed);
    }
    static void* checked(void* p) {
        if (!p) throw std::bad_alloc();
        return p;
    }
    const std::size_t* m_cap;
    static inline std::atomic<std::size_t> s_failFrom{std::numeric_limits<std::size_t>::max()};
};

}  // namespace wire
