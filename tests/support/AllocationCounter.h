#pragma once
// Proof that a code path never allocates: every test binary replaces the global
// allocation functions with counting ones (AllocationCounter.cpp); a
// CountAllocations object counts the calls its own thread makes while it lives.

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

}  // namespace hm::test
