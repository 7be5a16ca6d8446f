#include "tools/harmoniform/BenchTarget.h"

#include <cstdio>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>

#include "tools/harmoniform/DisplayAssignment.h"
#include "tools/harmoniform/HostSession.h"

namespace hm::tool {
namespace {

constexpr std::size_t kNoiseFrames = 1 << 16;
// Time for a plug-in's own timers to apply deferred settings (the equaliser's
// runs every 10 ms), then audio for coefficient glides and smoothing to finish.
constexpr auto kSettleTime = std::chrono::milliseconds(150);
constexpr double kPrerollSeconds = 0.5;

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

}  // namespace

bool parseSweep(const std::string& text, BenchSweep& sweep) {
    int index = -1, used = 0;
    float from = 0.0f, to = 0.0f;
    if (std::sscanf(text.c_str(), "%d=%f..%f%n", &index, &from, &to, &used) != 3 ||
        used != static_cast<int>(text.size()))
        return false;
    if (index < 0 || !(from >= 0.0f && from <= 1.0f) || !(to >= 0.0f && to <= 1.0f)) return false;
    sweep = {index, from, to};
    return true;
}

bool BenchTarget::isHarmoniform() const {
    return instance_ && instance_->effect()->uniqueID == vst::fourCC('H', 'r', 'm', 'f');
}

bool BenchTarget::open(const std::string& path, const std::vector<std::string>& assignments, const BenchSetup& setup,
                       std::string& error, BenchSweep sweep) {
    path_ = path;
    setup_ = setup;
    sweep_ = sweep;
    library_ = host::PluginLibrary::open(path, error);
    if (!library_) return false;
    host::HostBehaviour behaviour;
    behaviour.sampleRate = setup.rate;
    behaviour.blockSize = setup.block;
    // Timing models live use: the instance must behave as it does against the clock.
    behaviour.processLevel = vst::kVstProcessLevelRealtime;
    instance_ = host::PluginInstance::create(*library_, behaviour);
    if (!instance_) {
        error = path + ": the plug-in refused to start";
        return false;
    }
    const vst::AEffect* e = instance_->effect();
    if (sweep_.index >= e->numParams) {
        error = path + ": has no parameter " + std::to_string(sweep_.index) + " to automate";
        return false;
    }
    if (!(e->flags & vst::effFlagsCanReplacing) || e->numInputs < 1 || e->numOutputs < 1) {
        error = path + ": the plug-in offers no replacing float processing with audio inputs and outputs";
        return false;
    }
    instance_->start(setup.rate, setup.block);
    for (const std::string& text : assignments) {
        std::string shown;
        if (isHarmoniform()) {
            if (!applyAssignment(*instance_, text, error)) return false;
        } else if (!assignByDisplay(*instance_, text, shown, error)) {
            return false;
        }
        applied_.push_back(text + (shown.empty() ? "" : "  (shows " + shown + ")"));
    }

    // Both directions of every channel get their own noise; the output is never
    // fed back (a decaying signal would end in denormals and time those instead).
    channels_ = std::max(e->numInputs, e->numOutputs);
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
    noise_.assign(static_cast<std::size_t>(channels_), std::vector<float>(kNoiseFrames));
    for (auto& channel : noise_)
        for (float& v : channel) v = uniform(random);
    out_.assign(static_cast<std::size_t>(channels_), std::vector<float>(static_cast<std::size_t>(setup.block)));
    in_.resize(static_cast<std::size_t>(channels_));
    outPtr_.clear();
    for (auto& channel : out_) outPtr_.push_back(channel.data());

    std::this_thread::sleep_for(kSettleTime);
    run(kPrerollSeconds);
    std::this_thread::sleep_for(kSettleTime);
    run(kPrerollSeconds);
    return true;
}

void BenchTarget::process(int frames) {
    if (position_ + static_cast<std::size_t>(frames) > kNoiseFrames) position_ = 0;
    for (std::size_t c = 0; c < in_.size(); ++c) in_[c] = noise_[c].data() + position_;
    position_ += static_cast<std::size_t>(frames);
    if (sweep_.index >= 0) {
        // A triangle of one second: up for half, down for half.
        const long period = std::max(2L, std::lround(setup_.rate));
        const double phase = static_cast<double>(sweepFrame_ % period) / static_cast<double>(period);
        const double x = phase < 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase;
        instance_->setParameter(sweep_.index, static_cast<float>(sweep_.from + (sweep_.to - sweep_.from) * x));
        sweepFrame_ += frames;
    }
    instance_->processFloat(in_.data(), outPtr_.data(), frames);
}

double BenchTarget::run(double seconds) {
    const long total = std::lround(seconds * setup_.rate);
    const double start = threadCpuSeconds();
    worstCall_ = 0.0;
    double before = start;
    for (long done = 0; done < total; done += setup_.block) {
        process(static_cast<int>(std::min<long>(setup_.block, total - done)));
        const double now = threadCpuSeconds();
        worstCall_ = std::max(worstCall_, now - before);
        before = now;
    }
    return threadCpuSeconds() - start;
}

}  // namespace hm::tool
