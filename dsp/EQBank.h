#pragma once
// EQBank: the per-instance filter engine. A grid of 32 bands x channels of filter
// objects, the rules that combine them (series, or parallel peaks and shelves),
// the processing mode and the response queries the graphs use.
//
// Two sides, two threads:
//  - The design side (settings setters, recalc, response queries, channel count,
//    sample rate) owns the VerdanseEQ grid. It is not thread-safe by itself: the
//    owner serialises every call to it (one designer at a time).
//  - The audio side (process) owns a separate grid of glide cascades that only the
//    audio thread touches. recalc hands new coefficients over as one complete
//    snapshot through a triple buffer; process adopts the newest snapshot at the
//    start of a block and starts a glide, from where each filter stands, only for
//    the entries that changed. Nothing on the audio side locks, waits or allocates.
//
// Processing modes: 0 IIR, 1 IIR + Digital+ compensation FIR, 2 FIR "Full Minimum",
// 3 "Zero-latency Analogue", 4 "Analogue", 5 "Linear", 6 "Free". In modes 2..6 the
// FIR stage replaces the recursive bands; in mode 1 it follows them. recalc copies
// each channel's band set and lets the FIR worker build and load the impulses on
// its own thread (FirWorker.h); the audio thread borrows the convolvers block by
// block through a Handover, so a length change never makes it wait or touch a
// freed convolver. Until the first build of a mode's stage has finished, that
// stage passes the audio unfiltered. A stage that must forget what it heard (it
// sat idle while another mode ran, the rate or layout changed, or its output went
// non-finite) is replaced by a fresh one rather than cleared on the audio thread;
// until that arrives the old one is skipped.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "dsp/fir/Window.h"
#include "dsp/BankSnapshot.h"
#include "dsp/DF1Cascade.h"
#include "dsp/FirWorker.h"
#include "dsp/TripleBuffer.h"
#include "dsp/VerdanseEQ.h"
#include "dsp/cascade/CascadePath.h"

namespace hm::dsp {


class EQBank {
public:
    EQBank();
    virtual ~EQBank();
    EQBank(const EQBank&) = delete;
    EQBank& operator=(const EQBank&) = delete;

    // --- Design side (serialised by the owner) ----------------------------
    virtual EQ* getFilter(int band, int channel) const;
    virtual void setMode(int mode);
    virtual void setParallelMode(int mode);
    virtual bool setLinked(bool linked);
    virtual void setSampleRate(float hz);
    virtual void setDisabled(int value, int band, int mask);
    virtual void setType(int value, int band, int mask);
    virtual void setSubtype(int value, int band, int mask);
    virtual void setFrequency(float hz, int band, int mask);
    virtual void setSlope(int value, int band, int mask);
    virtual void setGain(float db, int band, int mask);
    virtual void setQ(float q, int band, int mask);
    virtual void setShift(float value, int band, int mask);
    virtual void setPhase(float value, int band, int mask);
    virtual void recalc(bool force);
    // While held, recalc designs the recursive bands but posts no FIR build (posting
    // allocates and takes the worker's lock, which a live audio thread must not): the
    // build stays owed until a recalc without the hold.
    void holdFirBuilds(bool hold) { firBuildsHeld = hold; }
    // A FIR build the current mode needs has not been posted yet.
    bool firBuildOwed() const { return firActive && mode >= 1 && firDirty; }
    // True when setIRLength(n) would have to allocate (the length differs).
    bool irLengthDiffers(int n) const { return n >= 1 && n != irLength; }
    // The newest finished impulse of a channel (copied from the worker's result).
    virtual const double* getImpulse(int channel) const;
    // Advances whenever a newer impulse set has been taken over (0 while there is
    // none), so a display knows when to read the impulse again.
    std::uint64_t getImpulseSerial() const;
    virtual int getIRLength() const { return irLength; }
    virtual const double* getWindow() const { return window.data(); }
    virtual float getEffectiveQ(float fallback, int band) const;
    // Latency of the mode and length set (the mode table).
    virtual int getLatency() const { return firLatency(mode, irLength); }
    virtual void setWindowType(int type);
    virtual void setWindowParam(float x);
    virtual void setPadFactor(int factor);
    virtual float getAnalogueMagnitude(float hz, int channel) const;
    virtual float getAnaloguePhase(float hz, int channel) const;
    virtual float getDigitalMagnitude(float hz, int channel) const;
    virtual float getMagnitudeRatio(float hz, int channel) const;

    void setChannelCount(int n);
    void setIRLength(int n);
    void setCompensationLength(int n);

    int getChannelCount() const { return channelCount; }
    int getBandCount() const { return bandCount; }
    int getMode() const { return mode; }
    bool isLinked() const { return linked != 0; }
    bool isParallel() const { return parallelMode != 0; }
    float getSampleRate() const { return sampleRate; }
    int getPadFactor() const { return padFactor; }
    int getCompensationLength() const { return compensationLength; }
    const WindowRecord& getFirWindow() const { return firWindow; }
    // Recalculations that found work to do (designed or republished), for tests and tools.
    std::uint64_t recalcCount() const { return recalcs; }
    // Blocks until every FIR build asked for so far is loaded (tests, tools, offline use).
    void waitForFir() { fir->waitIdle(); }
    bool waitForFir(std::chrono::milliseconds timeout) { return fir->waitIdleFor(timeout); }
    // Seconds the last finished FIR build took.
    double lastFirBuildSeconds() { return fir->lastBuildSeconds(); }
    // The FIR of the length asked for could not be had (no memory for it): the
    // previous one keeps running.
    bool firUnavailable() const { return lengthFailed || fir->lastBuildFailed(); }
    // Latency of what the audio side runs: that of the last FIR the worker finished
    // for the current mode, 0 while none is in place (the audio passes unfiltered)
    // or the mode has none. What the host must be told and bypass lines up with.
    int runningLatency() const;
    // After the audio side gave up on a stage (non-finite output): asks the worker
    // for fresh stages. Design side, from the owner's periodic tick; true when it did.
    bool recoverStages();

    // --- Audio side -------------------------------------------------------
    // Filters n channel buffers of `count` samples in place (null buffers are
    // skipped). Audio thread only; any block length, no allocation. With `dry`
    // (n buffers of count samples), also writes the input delayed by the latency
    // of what actually ran, so that it lines up with the filtered output.
    void process(int count, double** buffers, int n, double** dry = nullptr);
    // Takes over the newest design at a block boundary (process does it too).
    void beginBlock() { adoptSnapshot(); }
    // Restarts one channel's recursive filters and sets the FIR stages aside (after
    // the channel's output went non-finite); recoverStages replaces them.
    void resetChannel(int channel);
    // Samples of the glide still to run on one audio-side filter (tests, tools).
    int audioGlideRemaining(int band, int channel) const;
    // True while the FIR stage of a block runs.
    bool isBusy() const { return fir->stage(false).busy() || fir->stage(true).busy(); }

private:
    VerdanseEQ* filterAt(int band, int channel) const {
        return filters[static_cast<std::size_t>(channel + band * channelCount)].get();
    }
    template <typename Fn>
    void forChannels(int band, int mask, Fn&& fn);
    void designBands();
    void analogueResponse(float hz, int channel, double& re, double& im) const;
    void publish();
    void postFirBuild();
    void adoptSnapshot();
    void processChannel(int c, double* buffer, int count);
    void parallelSum(int c, double* buffer, int count);
    void releasePipelines();
    void buildPipelines(unsigned present, int lanes);
    void processPipelines(double** pieces, int channels, int count, const CascadeKernel& kernel);
    void processPiece(int count, double** buffers, int channels, double** dry, int offset);
    void requireFreshStages();

    // Design side.
    int bandCount = kBankBands;
    int channelCount = 0;
    mutable std::vector<std::unique_ptr<double[]>> impulses;
    mutable std::uint64_t impulseSerial = 0;  // the worker result impulses hold
    std::vector<double> window;
    std::vector<std::unique_ptr<VerdanseEQ>> filters;
    float sampleRate = 44100.0f;
    unsigned char firActive = 0;
    int mode = 0;
    int irLength = 8192;
    int compensationLength = 64;
    int padFactor = 1;
    unsigned char linked = 0;
    unsigned char parallelMode = 0;
    int parallelSetting = 0;  // the last setParallelMode argument
    unsigned char modeChanged = 1;
    WindowRecord firWindow;
    WindowRecord compensationWindow;
    bool publishPending = true;
    bool firBuildsHeld = false;
    bool firDirty = true;  // window, padding, lengths, layout or rate changed since the last build
    bool lengthFailed = false;  // the last setIRLength found no memory
    // The oldest stage generation the audio side may run, per stage; moved on when a
    // stage must forget its input.
    std::uint32_t freshLong = 0;
    std::uint32_t freshCompensation = 0;
    std::uint64_t recalcs = 0;
    std::unique_ptr<BankSnapshot> published;  // the designer's copy of what the audio side should hold

    // Hand-over.
    TripleBuffer<BankSnapshot> handover;
    std::unique_ptr<FirWorker> fir;

    // Audio side.
    struct AudioSide;
    std::unique_ptr<AudioSide> audio;
    std::atomic<bool> stageFault{false};  // audio side: a stage's output went non-finite
};

}  // namespace hm::dsp
