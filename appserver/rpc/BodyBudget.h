#pragma once
// The bytes of request bodies the server holds at once, across every connection: a request
// leases its body's size before the body is read and gives it back once its call has answered,
// so many large uploads at once cost a bounded amount of memory and the rest are told to retry
// (503 with Retry-After) instead of running the process out of memory. Thread-safe.

#include <atomic>
#include <cstddef>

namespace appserver {

class BodyBudget {
  public:
    explicit BodyBudget(std::size_t bytes) : m_capacity(bytes) {}
    BodyBudget(const BodyBudget&) = delete;
    BodyBudget& operator=(const BodyBudget&) = delete;

    // Holds some of the budget until it is destroyed or grown past what remains.
    class Lease {
      public:
        Lease() = default;
        explicit Lease(BodyBudget& budget) : m_budget(&budget) {}
        Lease(Lease&& other) noexcept : m_budget(other.m_budget), m_bytes(other.m_bytes) {
            other.m_bytes = 0;
        }
        Lease& operator=(Lease&& other) noexcept;
        ~Lease() { release(); }

        // Raises the lease to bytes in all; false (and the lease unchanged) when the budget
        // cannot spare the difference.
        bool growTo(std::size_t bytes);
        void release();
        std::size_t bytes() const { return m_bytes; }

      private:
        BodyBudget* m_budget = nullptr;
        std::size_t m_bytes = 0;
    };

    std::size_t capacity() const { return m_capacity; }
    std::size_t inUse() const { return m_used.load(std::memory_order_relaxed); }

  private:
    bool take(std::size_t bytes);
    void give(std::size_t bytes) { m_used.fetch_sub(bytes, std::memory_order_relaxed); }

    const std::size_t m_capacity;
    std::atomic<std::size_t> m_used{0};
};

}  // namespace appserver
