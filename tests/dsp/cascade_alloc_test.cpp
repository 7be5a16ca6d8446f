// Processing must never allocate: every operator new is counted while a
// designed cascade processes blocks in both forms, gliding and steady.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "dsp/VerdanseEQ.h"
#include "tests/support/AllocationCounter.h"


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

    test::CountAllocations counter;
    for (int i = 0; i < 8; ++i) {  // crosses the end of the glide
        eq.processDouble(d.data(), 512);
        eq.processFloat(f.data(), 512);
    }
    EXPECT_EQ(counter.count(), 0);
    EXPECT_LE(eq.getRampRemaining(), 0);

    // The counter itself works.
    auto* probe = new std::vector<int>(4);
    EXPECT_GT(counter.count(), 0);
    delete probe;
}

}  // namespace
}  // namespace hm::dsp
