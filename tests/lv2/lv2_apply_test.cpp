// lv2apply renders a file through the stereo plug-in as `harmoniform render`
// renders it through the VST plug-in.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/lv2/VstReference.h"

namespace hm::test {
namespace {

constexpr int kRate = 48000;

#ifndef HM_LV2APPLY_PREFIX
#define HM_LV2APPLY_PREFIX ""
#endif

bool writeWav(const std::string& path, const lv2host::Channels& audio) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = static_cast<int>(audio.size());
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    std::vector<float> interleaved;
    for (std::size_t i = 0; i < audio[0].size(); ++i)
        for (const auto& channel : audio) interleaved.push_back(channel[i]);
    sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(audio[0].size()));
    return sf_close(file) == 0;
}

lv2host::Channels readWav(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return {};
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    lv2host::Channels audio(info.channels, std::vector<float>(info.frames));
    for (sf_count_t i = 0; i < info.frames; ++i)
        for (int c = 0; c < info.channels; ++c) audio[c][i] = interleaved[i * info.channels + c];
    return audio;
}

TEST(Lv2Apply, RendersAsTheToolRendersThroughTheVstPlugin) {
    const std::string folder = std::string(std::getenv("XDG_DATA_HOME")) + "/lv2apply";
    std::filesystem::create_directories(folder);
    const auto in = noise(2, kRate / 2, 17);
    ASSERT_TRUE(writeWav(folder + "/in.wav", in));

    const std::string lv2 = HM_LV2APPLY_PREFIX "LV2_PATH='" + std::string(HM_LV2_PATH) + "' lv2apply -i '" + folder + "/in.wav' -o '" +
                            folder + "/lv2.wav' -c band1_state 2 -c band1_gain 6 -c band1_frequency 1000 -c band1_q 1.5" +
                            " -c band2_state 2 -c band2_type 2 -c band2_frequency 90 urn:corvanta:harmoniform:stereo";
    ASSERT_EQ(std::system(lv2.c_str()), 0);
    const std::string vst = std::string("'") + HM_TOOL + "' render '" + folder + "/in.wav' '" + folder +
                            "/vst.wav' --format wavf --set 'Band1 State=On' --set 'Band1 Gain=6'" +
                            " --set 'Band1 Frequency=1000' --set 'Band1 Q=1.5' --set 'Band2 State=On'" +
                            " --set 'Band2 Type=HPF' --set 'Band2 Frequency=90' > /dev/null 2>&1";
    ASSERT_EQ(std::system(vst.c_str()), 0);

    const auto viaLv2 = readWav(folder + "/lv2.wav");
    const auto viaVst = readWav(folder + "/vst.wav");
    ASSERT_EQ(viaLv2.size(), 2u);
    ASSERT_EQ(viaLv2[0].size(), in[0].size());
    // lv2apply sets the ports before activation and runs one frame at a time: the
    // settings are in place from its first frame, as from the tool's.
    EXPECT_LE(maxDifference(viaLv2, viaVst), 1e-6);
    EXPECT_GT(maxDifference(viaLv2, in), 0.05);
}

}  // namespace
}  // namespace hm::test
