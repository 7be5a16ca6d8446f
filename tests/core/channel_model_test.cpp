// Output gains and mask helpers of the channel model.
#include <gtest/gtest.h>

#include <cmath>

#include "core/ChannelModel.h"

namespace hm::test {
namespace {

TEST(ChannelModel, OutputGainsFollowLevelPhaseMuteAndSoloMode) {
    const double half = std::pow(10.0, -6.0 / 20.0);
    struct Row {
        const char* what;
        ChannelGainInputs in;
        double expected[4];
    };
    ChannelGainInputs base;
    base.masterDb = -6.0;
    base.level[1] = 2.0;
    Row rows[] = {
        {"plain", base, {half, 2 * half, half, half}},
        {"phase", base, {half, 2 * half, -half, half}},
        {"mute", base, {0, 2 * half, half, half}},
        {"select solo leaves gains", base, {half, 2 * half, half, half}},
        {"mute-mode solo", base, {0, 2 * half, 0, half}},
        {"mute-mode audition", base, {half, 0, 0, 0}},
    };
    rows[1].in.phaseMask = 0b0100;
    rows[2].in.muteMask = 0b0001;
    rows[3].in.soloMask = 0b0010;
    rows[4].in.soloMask = 0b1010;
    rows[4].in.muteMode = true;
    rows[5].in.muteMode = true;
    rows[5].in.auditioning = true;
    rows[5].in.auditionMask = 0b0001;
    for (const Row& row : rows) {
        double gains[8];
        outputGains(row.in, gains);
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(gains[c], row.expected[c], 1e-15) << row.what << " channel " << c;
    }
    ChannelGainInputs bad;
    bad.level[0] = std::nan("");
    double gains[8];
    outputGains(bad, gains);
    EXPECT_EQ(gains[0], 0.0);
}

TEST(ChannelModel, MidSideStateIsStoredBitReversed) {
    const int table[][2] = {{8, 1}, {1, 8}, {4, 2}, {2, 4}, {15, 15}, {0, 0}, {12, 3}};
    for (const auto& row : table) EXPECT_EQ(reverseFourBits(row[0]), row[1]) << row[0];
}

}  // namespace
}  // namespace hm::test
