#include "dsp/FirWorker.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "dsp/DenormalGuard.h"

namespace hm::dsp {

namespace {

void syncWindow(WindowRecord& w, int type, float param)
{
    if (w.windowType == type && w.windowParam == param) return;
    w.windowType = type;
    w.windowParam = param;
    w.windowLength = 0;  // the cached table no longer matches
}

}  // namespace

FirWorker::~FirWorker()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        pending_.reset();
    }
    cancel_.store(true, std::memory_order_relaxed);  // a long multi-channel build ends after its current channel
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void FirWorker::post(FirRequest request)
{
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(request);
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
}

void FirWorker::waitIdle()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !working_; });
}

bool FirWorker::waitIdleFor(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, timeout, [this] { return !pending_ && !working_; });
}

void FirWorker::run()
{
    // The builders' FFTs meet decaying tails too.
    DenormalGuard denormals;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || pending_.has_value(); });
        if (stop_) break;
        FirRequest r = std::move(*pending_);
        pending_.reset();
        working_ = true;
        lock.unlock();
        // A build that cannot get its memory (or fails otherwise) leaves the stage in
        // use running and says so; nothing may end the host.
        bool built = false;
        try {
            build(r);
            built = true;
        } catch (...) {
        }
        failed_.store(!built, std::memory_order_relaxed);
        lock.lock();
        working_ = false;
        if (!pending_) idle_.notify_all();
    }
    working_ = false;
    idle_.notify_all();
}

void FirWorker::build(const FirRequest& r)
{
    const auto start = std::chrono::steady_clock::now();
    const bool compensation = r.mode == kModeDigitalPlus;
    const int count = static_cast<int>(r.sources.size());
    if (count == 0 || r.length < 1) return;
    built_.resize(static_cast<std::size_t>(count));
    WindowRecord& window = compensation ? compensationWindow_ : firWindow_;
    syncWindow(window, r.windowType, r.windowParam);
    for (int i = 0; i < count; ++i) {
        if (cancel_.load(std::memory_order_relaxed)) return;
        std::vector<double>& out = built_[static_cast<std::size_t>(i)];
        const BankResponse& src = r.sources[static_cast<std::size_t>(i)];
        // Channels with the same bands (a surround bed with bands on every group)
        // share one build.
        int same = 0;
        while (same < i && !r.sources[static_cast<std::size_t>(same)].sameAs(src)) ++same;
        if (same < i) {
            out = built_[static_cast<std::size_t>(same)];
            continue;
        }
        out.assign(static_cast<std::size_t>(r.length), 0.0);
        const bool ok = compensation
                            ? builder_.buildCompensation(src, r.length, r.sampleRate, window, out.data())
                            : builder_.buildImpulse(src, r.mode, r.length, r.padFactor, r.sampleRate, window, out.data());
        if (!ok) return;
    }

    // Same shape: new impulses go into the running convolvers, which switch at a
    // sample boundary. New length or layout, or a stage that must forget what it
    // heard: a whole new stage replaces the old one, which is freed once the audio
    // thread has let go of it.
    Handover<FirStage>& h = stage(compensation);
    FirStage* current = h.writerView();
    const bool linked = r.linked && r.channels == 2;
    const int latency = firLatency(r.mode, r.length);
    std::uint32_t generation = r.generation;
    if (current && current->fits(r.length, r.channels, linked) && current->generation >= r.generation) {
        for (std::size_t c = 0; c < current->convolvers.size(); ++c)
            current->convolvers[c]->load(built_[std::min(c, built_.size() - 1)].data(), r.length, latency);
        generation = current->generation;
    } else {
        auto fresh = std::make_unique<FirStage>(r.length, r.channels, linked, r.generation);
        for (std::size_t c = 0; c < fresh->convolvers.size(); ++c)
            fresh->convolvers[c]->load(built_[std::min(c, built_.size() - 1)].data(), r.length, latency);
        h.replace(std::move(fresh));
    }

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::lock_guard lock(resultMutex_);
    buildSeconds_ = seconds;
    ++builds_;
    if (!compensation) {
        results_ = built_;
        resultLength_ = r.length;
        ++resultSerial_;
        installedLatency_ = latency;
        installedGeneration_ = generation;
    }
}

int FirWorker::installedLatency(std::uint32_t oldestGeneration)
{
    std::lock_guard lock(resultMutex_);
    return resultSerial_ != 0 && installedGeneration_ >= oldestGeneration ? installedLatency_ : 0;
}

bool FirWorker::takeImpulses(std::uint64_t& serial, int length, std::vector<std::unique_ptr<double[]>>& out)
{
    std::lock_guard lock(resultMutex_);
    if (resultSerial_ == serial || resultLength_ != length || results_.empty()) return false;
    for (std::size_t c = 0; c < out.size(); ++c) {
        const std::vector<double>& src = results_[std::min(c, results_.size() - 1)];
        std::memcpy(out[c].get(), src.data(), sizeof(double) * static_cast<std::size_t>(length));
    }
    serial = resultSerial_;
    return true;
}

std::uint64_t FirWorker::buildCount()
{
    std::lock_guard lock(resultMutex_);
    return builds_;
}

double FirWorker::lastBuildSeconds()
{
    std::lock_guard lock(resultMutex_);
    return buildSeconds_;
}

}  // namespace hm::dsp
