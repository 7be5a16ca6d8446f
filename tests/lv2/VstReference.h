#pragma once
// The VST path the LV2 plug-ins are measured against: the built Harmoniform.so
// loaded with dlopen and driven with the host sequence the wrapper uses.
#include <memory>
#include <utility>
#include <vector>

#include "tests/host/HostFixture.h"
#include "tests/lv2/Lv2TestHost.h"

namespace hm::test {

// Created with `channels` channels, rate and block set, `normalised` (index, value)
// applied, then resumed: ready to process.
std::unique_ptr<host::PluginInstance> makeVstReference(int channels, float rate, int block,
                                                       const std::vector<std::pair<int, float>>& normalised);

// Processes `in` in blocks of `block` frames.
lv2host::Channels renderVst(host::PluginInstance& plug, const lv2host::Channels& in, int block);

// Deterministic noise, one different sequence per channel.
lv2host::Channels noise(int channels, int frames, unsigned seed = 7);

// Largest absolute difference between two renders of equal shape (infinity when the shapes differ).
double maxDifference(const lv2host::Channels& a, const lv2host::Channels& b);

}  // namespace hm::test
