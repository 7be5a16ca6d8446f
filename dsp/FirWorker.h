#pragma once
// Builds the bank's FIR impulses on a thread of its own and hands the convolvers
// to the audio thread.
//
// A long FIR with padding takes a good part of a second to build. The design side
// (the settings update, serialised by the bank's owner, often on the process-wide
// timer that serves every instance) only copies the band set into a request and
// posts it; the worker builds, loads the impulses into the convolvers and, when
// the length or channel layout changed, installs a new stage through a Handover.
// One request waits at most: a newer one replaces it, so a control being dragged
// never queues builds faster than they finish. The worker is the only thread that
// loads impulses into or replaces stages, which is what Convolver and Handover ask.
//
// The thread starts with the first request, so instances that never leave the
// recursive modes never own one.
#include <chrono>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "dsp/BankResponse.h"
#include "dsp/fir/FirBuilder.h"
#include "dsp/fir/FirStage.h"
#include "dsp/fir/Handover.h"
#include "dsp/fir/Window.h"

namespace hm::dsp {

struct FirRequest {
    int mode = 0;  // 1: Digital+ compensation; 2..6: the long FIR of that phase mode
    int length = 0;
    int padFactor = 1;
    double sampleRate = 44100.0;
    int windowType = kWindowKaiser;
    float windowParam = 12.0f;
    int channels = 0;  // channels the stage serves
    bool linked = false;
    // A stage older than this has heard input the bank must forget: the build then
    // installs a new stage instead of loading the running one.
    std::uint32_t generation = 0;
    std::vector<BankResponse> sources;  // per built channel: one when linked
};

class FirWorker {
public:
    FirWorker() = default;
    ~FirWorker();
    FirWorker(const FirWorker&) = delete;
    FirWorker& operator=(const FirWorker&) = delete;

    // Design side: queues the request, replacing one that has not started yet.
    void post(FirRequest request);
    // Blocks until no request waits or runs.
    void waitIdle();
    // The same, giving up after `timeout`; true when the worker is idle.
    bool waitIdleFor(std::chrono::milliseconds timeout);

    // Audio thread borrows from these (acquire/release); only the worker replaces.
    Handover<FirStage>& stage(bool compensation) { return compensation ? compensation_ : long_; }

    // Design side: when a long FIR newer than `serial` finished, copies its impulses
    // (one per built channel, `length` samples each) into out and moves serial on.
    bool takeImpulses(std::uint64_t& serial, int length, std::vector<std::unique_ptr<double[]>>& out);
    // Latency of the long FIR installed last, if its stage is at least that
    // generation (else 0: the audio side will not run it).
    int installedLatency(std::uint32_t oldestGeneration);
    // Seconds the last finished build took (benchmarks, tools).
    double lastBuildSeconds();
    // Builds finished so far.
    std::uint64_t buildCount();
    // The last build failed (its memory could not be had); the previous stage runs on.
    bool lastBuildFailed() const { return failed_.load(std::memory_order_relaxed); }

private:
    void run();
    void build(const FirRequest& r);

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::optional<FirRequest> pending_;
    bool working_ = false;
    bool stop_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> failed_{false};
    std::thread thread_;

    // Worker only.
    FirBuilder builder_;
    WindowRecord firWindow_, compensationWindow_;
    std::vector<std::vector<double>> built_;

    // Finished long impulses, for the display queries.
    std::mutex resultMutex_;
    std::vector<std::vector<double>> results_;
    int resultLength_ = 0;
    std::uint64_t resultSerial_ = 0;
    int installedLatency_ = 0;
    std::uint32_t installedGeneration_ = 0;
    double buildSeconds_ = 0.0;
    std::uint64_t builds_ = 0;

    Handover<FirStage> long_, compensation_;
};

}  // namespace hm::dsp
