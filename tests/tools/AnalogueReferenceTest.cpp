// The analogue reference of the response command against textbook responses:
// a peak's centre gain, Butterworth high-pass magnitudes, the master gain offset.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/harmoniform/AnalogueReference.h"
#include "tools/harmoniform/HostSession.h"

namespace hm::tool {
namespace {

std::vector<double> reference(const std::vector<std::string>& assignments, const std::vector<double>& hz, bool& ok) {
    SessionOptions options;
    options.assignments = assignments;
    HostSession session;
    std::string error;
    std::vector<double> db;
    ok = session.open(options, 48000.0f, error);
    EXPECT_TRUE(ok) << error;
    if (ok) ok = analogueResponseDb(session, hz, db);
    return db;
}

const std::vector<std::string> kPeak = {"Band1 State=On", "Band1 Type=Peak", "Band1 Gain=6dB", "Band1 Frequency=1k",
                                        "Band1 Q=1Q"};

TEST(AnalogueReference, PeakReachesItsGainAtItsCentre) {
    bool ok = false;
    const auto db = reference(kPeak, {10.0, 1000.0, 20000.0}, ok);
    ASSERT_TRUE(ok);
    EXPECT_NEAR(db[1], 6.0, 0.01);
    EXPECT_NEAR(db[0], 0.0, 0.3);
    EXPECT_NEAR(db[2], 0.0, 0.3);
}

TEST(AnalogueReference, ButterworthHighPassFollowsItsMagnitudeLaw) {
    // Third order (18 dB per octave): |H|^2 = 1 / (1 + (fc/f)^6).
    const std::vector<double> hz = {100.0, 500.0, 1000.0, 2000.0, 10000.0};
    bool ok = false;
    const auto db = reference({"Band1 State=On", "Band1 Type=HPF", "Band1 Subtype=3", "Band1 Slope=18dB",
                               "Band1 Frequency=1k"},
                              hz, ok);
    ASSERT_TRUE(ok);
    for (std::size_t i = 0; i < hz.size(); ++i)
        EXPECT_NEAR(db[i], -10.0 * std::log10(1.0 + std::pow(1000.0 / hz[i], 6.0)), 0.01) << hz[i];
}

TEST(AnalogueReference, MasterGainAndShiftApply) {
    const std::vector<double> hz = {50.0, 1000.0, 2000.0, 15000.0};
    bool ok = false;
    const auto plain = reference(kPeak, hz, ok);
    ASSERT_TRUE(ok);
    std::vector<std::string> quieter = kPeak;
    quieter.push_back("kGain=-6dB");
    const auto lowered = reference(quieter, hz, ok);
    ASSERT_TRUE(ok);
    for (std::size_t i = 0; i < hz.size(); ++i) EXPECT_NEAR(lowered[i] - plain[i], -6.0, 1e-6);
    // Shift 200 % set first: the band set to 1 kHz as shown sits at 1 kHz.
    std::vector<std::string> shifted = {"kFShift=200%"};
    shifted.insert(shifted.end(), kPeak.begin(), kPeak.end());
    const auto moved = reference(shifted, hz, ok);
    ASSERT_TRUE(ok);
    EXPECT_NEAR(moved[1], 6.0, 0.01);
}

TEST(AnalogueReference, BandsOffTheFirstGroupAndParallelModes) {
    bool ok = false;
    // Group 2 only (the side channel of the default mid/side pair): no effect on a centred signal.
    std::vector<std::string> side = kPeak;
    side.push_back("Band1 Groups=64");
    for (double v : reference(side, {300.0, 1000.0}, ok)) EXPECT_NEAR(v, 0.0, 1e-9);
    EXPECT_TRUE(ok);
    std::vector<std::string> parallel = kPeak;
    parallel.push_back("kParallel=Peaks");
    reference(parallel, {1000.0}, ok);
    EXPECT_FALSE(ok) << "no series reference for parallel bands";
}

}  // namespace
}  // namespace hm::tool
