#include "tests/support/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
// Plain thread-locals: no dynamic initialisation, safe inside operator new.
thread_local bool tCounting = false;
thread_local long tCount = 0;
}  // namespace

void* operator new(std::size_t size) {
    if (tCounting) ++tCount;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace hm::test {

CountAllocations::CountAllocations() : start_(tCount), wasCounting_(tCounting) { tCounting = true; }
CountAllocations::~CountAllocations() { tCounting = wasCounting_; }
long CountAllocations::count() const { return tCount - start_; }

}  // namespace hm::test
