#include "tests/support/AllocationCounter.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
// Plain thread-locals: no dynamic initialisation, safe inside operator new.
thread_local bool tCounting = false;
thread_local long tCount = 0;
// Allocations of at least this many bytes fail (0: none do).
std::atomic<std::size_t> gRefuseFrom{0};
}  // namespace

// Every form of the global allocation functions is replaced, so no pair can mix
// ours with the runtime's (sanitizers report such mismatches).
namespace {
void* counted(std::size_t size, std::size_t align) {
    if (tCounting) ++tCount;
    const std::size_t refuse = gRefuseFrom.load(std::memory_order_relaxed);
    if (refuse != 0 && size >= refuse) return nullptr;
    if (size == 0) size = 1;
    if (align <= alignof(std::max_align_t)) return std::malloc(size);
    return std::aligned_alloc(align, (size + align - 1) / align * align);
}
void* countedOrThrow(std::size_t size, std::size_t align) {
    if (void* p = counted(size, align)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return countedOrThrow(size, 0); }
void* operator new[](std::size_t size) { return countedOrThrow(size, 0); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return counted(size, 0); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return counted(size, 0); }
void* operator new(std::size_t size, std::align_val_t a) { return countedOrThrow(size, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return countedOrThrow(size, static_cast<std::size_t>(a)); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return counted(size, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return counted(size, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }

namespace hm::test {

CountAllocations::CountAllocations() : start_(tCount), wasCounting_(tCounting) { tCounting = true; }
CountAllocations::~CountAllocations() { tCounting = wasCounting_; }
long CountAllocations::count() const { return tCount - start_; }

RefuseLargeAllocations::RefuseLargeAllocations(unsigned long bytes) { gRefuseFrom.store(bytes, std::memory_order_relaxed); }
RefuseLargeAllocations::~RefuseLargeAllocations() { gRefuseFrom.store(0, std::memory_order_relaxed); }

}  // namespace hm::test
