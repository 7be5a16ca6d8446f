// The FIR worker: requests that arrive while a build runs collapse into the
// newest one, and what ends up in the stage is that newest request.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <memory>
#include <vector>

#include "dsp/FirWorker.h"

namespace hm::test {
namespace {

using namespace hm::dsp;

FirRequest linearRequest(int length, int padFactor) {
    FirRequest r;
    r.mode = kModeLinear;
    r.length = length;
    r.padFactor = padFactor;
    r.sampleRate = 48000.0;
    r.windowType = kWindowRectangular;
    r.channels = 1;
    r.sources.resize(1);  // no bands: a unit impulse at L/2
    return r;
}

TEST(FirWorker, RequestsPostedDuringABuildCollapseIntoTheNewest) {
    FirWorker worker;
    worker.post(linearRequest(65536, 8));  // long enough to still run while the others arrive
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    for (int k = 0; k < 30; ++k) worker.post(linearRequest(1024 << (k % 4), 1));
    worker.post(linearRequest(2048, 1));
    worker.waitIdle();
    // The long build, perhaps one short one that started before the rest arrived,
    // and the newest: never one build per request.
    EXPECT_LE(worker.buildCount(), 3u);

    FirStage* stage = worker.stage(false).writerView();
    ASSERT_NE(stage, nullptr);
    EXPECT_EQ(stage->length, 2048);
    std::vector<std::unique_ptr<double[]>> impulse;
    impulse.push_back(std::make_unique<double[]>(2048));
    std::uint64_t serial = 0;
    ASSERT_TRUE(worker.takeImpulses(serial, 2048, impulse));
    for (int i = 0; i < 2048; ++i) ASSERT_NEAR(impulse[0][static_cast<std::size_t>(i)], i == 1024 ? 1.0 : 0.0, 1e-12) << i;
    EXPECT_FALSE(worker.takeImpulses(serial, 2048, impulse));  // nothing newer since

    // The stage runs the impulse: one sample in, the same sample L/2 later.
    std::vector<double> x(4096, 0.0);
    x[3] = 0.5;
    double* buffers[1] = {x.data()};
    stage->run(buffers, 1, 4096);
    for (int i = 0; i < 4096; ++i) ASSERT_NEAR(x[static_cast<std::size_t>(i)], i == 1027 ? 0.5 : 0.0, 1e-12) << i;
}

}  // namespace
}  // namespace hm::test
