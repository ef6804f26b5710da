#pragma once
// Array allocation for the records. Allocation failures surface as std::bad_alloc, which the
// record routines catch and report. Tests can make the n-th allocation of the current thread fail.

#include <cstddef>
#include <memory>
#include <new>

namespace platform {

namespace detail {
// Allocations left before a forced failure on this thread; negative: never fail.
inline thread_local long allocationsBeforeFailure = -1;
}  // namespace detail

// Zero-initialised array of n elements; throws std::bad_alloc on failure (real or injected).
template <class T>
std::unique_ptr<T[]> allocateArray(std::size_t n) {
    if (detail::allocationsBeforeFailure == 0)
        throw std::bad_alloc();
    if (detail::allocationsBeforeFailure > 0)
        --detail::allocationsBeforeFailure;
    return std::make_unique<T[]>(n);
}

// While alive, lets `successes` allocations on this thread succeed and fails the next ones.
class FailingAllocations {
  public:
    explicit FailingAllocations(long successes) : saved_(detail::allocationsBeforeFailure) {
        detail::allocationsBeforeFailure = successes;
    }
    ~FailingAllocations() { detail::allocationsBeforeFailure = saved_; }
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;

  private:
    long saved_;
};

}  // namespace platform
