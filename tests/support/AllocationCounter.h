#pragma once
// Proof that a code path never allocates: every test binary replaces the global
// allocation functions with counting ones (AllocationCounter.cpp); a
// CountAllocations object counts the calls its own thread makes while it lives.
// The same functions can refuse large allocations, to test running out of memory.

namespace hm::test {

class CountAllocations {
public:
    CountAllocations();
    ~CountAllocations();
    CountAllocations(const CountAllocations&) = delete;
    CountAllocations& operator=(const CountAllocations&) = delete;
    // operator new calls made by this thread since construction.
    long count() const;

private:
    long start_;
    bool wasCounting_;
};

// While one lives, every thread's allocations of `bytes` or more fail (operator new
// throws std::bad_alloc), as they would on a machine out of memory.
class RefuseLargeAllocations {
public:
    explicit RefuseLargeAllocations(unsigned long bytes);
    ~RefuseLargeAllocations();
    RefuseLargeAllocations(const RefuseLargeAllocations&) = delete;
    RefuseLargeAllocations& operator=(const RefuseLargeAllocations&) = delete;
};

}  // namespace hm::test
