// Processing must never allocate: every global operator new is counted while a
// designed cascade processes blocks in both forms, gliding and steady.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "dsp/VerdanseEQ.h"

namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t n)
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace hm::dsp {
namespace {

TEST(CascadeAlloc, ProcessingDoesNotAllocate)
{
    VerdanseEQ eq;
    eq.setDisabled(0);
    eq.setType(kTypeHighPass);
    eq.setSubtype(2);
    eq.setSlope(8);
    eq.setFrequency(200.0f);
    eq.design();
    std::vector<double> d(512, 0.25);
    std::vector<float> f(512, 0.25f);

    const long before = gAllocations.load();
    for (int i = 0; i < 8; ++i) {  // crosses the end of the glide
        eq.processDouble(d.data(), 512);
        eq.processFloat(f.data(), 512);
    }
    EXPECT_EQ(gAllocations.load(), before);
    EXPECT_LE(eq.getRampRemaining(), 0);

    // The counter itself works.
    auto* probe = new std::vector<int>(4);
    EXPECT_GT(gAllocations.load(), before);
    delete probe;
}

}  // namespace
}  // namespace hm::dsp
