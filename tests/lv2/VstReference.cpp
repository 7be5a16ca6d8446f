#include "tests/lv2/VstReference.h"

#include <cmath>
#include <limits>
#include <random>

namespace hm::test {

std::unique_ptr<host::PluginInstance> makeVstReference(int channels, float rate, int block,
                                                       const std::vector<std::pair<int, float>>& normalised) {
    auto plug = host::PluginInstance::create(pluginLibrary());
    if (!plug) return nullptr;
    plug->dispatch(vst::effOpen);
    if (channels != plug->effect()->numInputs) {
        vst::VstSpeakerArrangement in{}, out{};
        in.numChannels = out.numChannels = channels;
        plug->dispatch(vst::effMainsChanged, 0, 0);
        if (!plug->dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(&in), &out)) return nullptr;
    }
    plug->dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
    plug->dispatch(vst::effSetBlockSize, 0, block);
    for (const auto& [index, value] : normalised) plug->setParameter(index, value);
    plug->dispatch(vst::effMainsChanged, 0, 1);
    return plug;
}

lv2host::Channels renderVst(host::PluginInstance& plug, const lv2host::Channels& in, int block) {
    const int channels = static_cast<int>(in.size());
    const std::size_t frames = in.empty() ? 0 : in[0].size();
    lv2host::Channels out(channels, std::vector<float>(frames));
    std::vector<float*> inputs(channels), outputs(channels);
    std::vector<std::vector<float>> copy = in;  // the host's buffers are its own
    for (std::size_t done = 0; done < frames; done += block) {
        const int n = static_cast<int>(std::min<std::size_t>(block, frames - done));
        for (int c = 0; c < channels; ++c) {
            inputs[c] = copy[c].data() + done;
            outputs[c] = out[c].data() + done;
        }
        plug.processFloat(inputs.data(), outputs.data(), n);
    }
    return out;
}

lv2host::Channels noise(int channels, int frames, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> sample(-0.5f, 0.5f);
    lv2host::Channels out(channels, std::vector<float>(frames));
    for (auto& channel : out)
        for (float& s : channel) s = sample(rng);
    return out;
}

double maxDifference(const lv2host::Channels& a, const lv2host::Channels& b) {
    if (a.size() != b.size()) return std::numeric_limits<double>::infinity();
    double worst = 0.0;
    for (std::size_t c = 0; c < a.size(); ++c) {
        if (a[c].size() != b[c].size()) return std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < a[c].size(); ++i) {
            const double d = std::fabs(double(a[c][i]) - double(b[c][i]));
            if (!(d <= worst)) worst = d;  // NaN makes it NaN
        }
    }
    return worst;
}

}  // namespace hm::test
