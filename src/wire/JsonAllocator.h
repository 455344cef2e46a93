#pragma once
// The allocator of every RapidJSON reader stack and writer buffer in wire. RapidJSON's default
// returns null when memory runs out and then writes through it; this one throws std::bad_alloc
// instead, leaving the old block owned by its stack, so the caller can refuse one request and
// the process goes on. Stateless; intentionally copyable.

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <new>

namespace wire {

class JsonAllocator {
  public:
    static const bool kNeedFree = true;

    void* Malloc(std::size_t size) {
        if (size == 0) return nullptr;
        return checked(refused(size) ? nullptr : std::malloc(size));
    }
    void* Realloc(void* original, std::size_t, std::size_t newSize) {
        if (newSize == 0) {
            std::free(original);
            return nullptr;
        }
        return checked(refused(newSize) ? nullptr : std::realloc(original, newSize));
    }
    static void Free(void* p) { std::free(p); }

    // Tests only: blocks of at least bytes fail as if memory had run out (SIZE_MAX: none).
    static void failFrom(std::size_t bytes) { s_failFrom.store(bytes); }

  private:
    static bool refused(std::size_t size) {
        return size >= s_failFrom.load(std::memory_order_relaxed);
    }
    static void* checked(void* p) {
        if (!p) throw std::bad_alloc();
        return p;
    }
    static inline std::atomic<std::size_t> s_failFrom{std::numeric_limits<std::size_t>::max()};
};

}  // namespace wire
