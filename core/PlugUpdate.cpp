// The update of the filter bank from the parameter table, the timer tick and resume.
//
// The audio stream is the clock: every change that has completed before a
// processing call begins is in effect from that call's first sample, whatever the
// wall clock and whatever thread made it. A value stored on a thread that may
// design (the UI thread) is designed there at once, throttled while controls are
// dragged; one stored anywhere else (the audio thread for host automation and MIDI,
// an unknown host thread) only marks the update pending, and the audio thread
// completes whatever is pending at the start of its next processing call
// (catchUp), before it adopts the bank's snapshot and the processor's settings.
// Every update runs under updateMutex_ (a DesignGate), so the bank is designed by
// one thread at a time; a live audio thread only tries the gate and otherwise
// carries on with the design it has until its next call.
//
// FIR builds take far longer than a block. A live audio thread never posts one (it
// would allocate and lock): the timer posts it within a tick and the convolvers
// take the new impulses over seamlessly. When the host renders offline, the
// processing call posts the build itself and waits for it, so every offline render
// is the same.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "analysis/Meters.h"
#include "core/BandMapping.h"
#include "core/ChannelModel.h"
#include "core/Plug.h"

namespace hm {
namespace {

// Bank mode by kIRPhase: "Linear", "Full Minimum", "Zero-latency Analogue", "Analogue", "Free"...
constexpr int kFirMode[8] = {5, 2, 3, 4, 6, 6, 6, 6};
constexpr int kIirRate = 40;
constexpr std::uint64_t kThrottleSamples = 4096;
// Longest wait in resume for a pending FIR build (262144 taps with padding take ~0.5 s).
constexpr int kResumeFirWaitMs = 3000;
// Crossfade into and out of bypass.
constexpr double kBypassFadeSeconds = 0.005;

int toInt(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

double Plug::updateClockMs() const {
    const double manual = manualClockMs_.load(std::memory_order_relaxed);
    if (manual >= 0.0) return manual;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - clockStart_).count();
}

std::uint64_t Plug::bankRecalcCount() {
    std::lock_guard lock(updateMutex_);
    return bank_->recalcCount();
}

bool Plug::firUnavailable() {
    std::lock_guard lock(updateMutex_);
    return bank_->firUnavailable();
}

void Plug::resume() {
    threads_.rememberUiThread();
    // Hosts that still use the old MIDI request need it on every resume.
    wantEvents();
    {
        std::lock_guard lock(updateMutex_);
        readGlobalPreferences();  // under the lock: the timer's updates read the preferences
        const int outputs = cEffect_.numOutputs;
        channels_ = std::clamp(outputs, 1, kMaxChannels);
        ProcessSettings& d = processor_->draft();
        d.inputs = cEffect_.numInputs;
        d.outputs = outputs;
        d.channels = channels_;
        if (groupNameCount_ != channels_) rebuildGroupNames();
        bank_->setChannelCount(channels_);
        pushedValid_ = false;  // a new channel count makes new filters: every band is pushed again
        channelOrderFor(channels_, d.order);
        d.bypassFadeFrames = std::max(1, toInt(kBypassFadeSeconds * getSampleRate()));
        bank_->setSampleRate(getSampleRate());
        auditionedBand_.store(-1, std::memory_order_relaxed);
        applyBallistics();
        d.resetSerial++;  // meters, rings and gains start afresh at the next block
        updatePending_.store(false, std::memory_order_relaxed);
        runUpdate(true);
    }
    // FIR impulses are built on the bank's worker. Processing starts (or an offline
    // render begins) right after resume, so give the first build time to finish
    // here, on the host's UI thread, rather than letting the first blocks through
    // unfiltered. Bounded: a host must never hang on us. Not when the host resumes
    // us from inside one of our own calls (a host that answers IOChanged with
    // suspend and resume, perhaps on the timer that serves every instance).
    if (!vst::AudioEffect::insideHostCall() && !platform::onTimerThread())
        bank_->waitForFir(std::chrono::milliseconds(kResumeFirWaitMs));
    reportLatency();
    wantEvents();
    if (groupNamesChanged_.exchange(false)) forwardToEditor(kGUIGroupNamesChanged, 0.0f);
}

void Plug::applyBallistics() {
    ProcessSettings& d = processor_->draft();
    d.attack = analysis::ballisticCoefficient(editorPrefs_.ballistics, true, getSampleRate());
    d.release = analysis::ballisticCoefficient(editorPrefs_.ballistics, false, getSampleRate());
}

void Plug::rebuildGroupNames() {
    groupNameCount_ = groupNamesFor(channels_, channels_.load() == 2 && (msMask_ & 1) != 0, groupNames_);
    groupNamesChanged_.store(true, std::memory_order_relaxed);
}

std::string Plug::groupName(int group) {
    std::lock_guard lock(updateMutex_);
    return groupNames_[group & 7];
}

int Plug::groupNameCount() {
    std::lock_guard lock(updateMutex_);
    return groupNameCount_;
}

const char* Plug::getChannelName(int channel) const {
    return channelNameFor(channels_, channel, channels_.load() == 2 && (msMask_ & 1) != 0);
}

void Plug::updateProcessing(bool force) {
    if (!threads_.mayDesign()) {
        // Never design on an audio thread (or a thread that may be one): the timer
        // finishes this update.
        if (force) deferredForce_.store(true, std::memory_order_relaxed);
        updatePending_.store(true, std::memory_order_release);
        return;
    }
    {
        std::lock_guard lock(updateMutex_);
        runUpdate(force);
    }
    if (groupNamesChanged_.exchange(false)) forwardToEditor(kGUIGroupNamesChanged, 0.0f);
}

void Plug::onTimer() {
    reportLatency();
    {
        // A FIR stage the audio thread gave up on (non-finite output) is rebuilt here.
        std::lock_guard lock(updateMutex_);
        bank_->recoverStages();
    }
    // While processing calls keep coming, pending changes are theirs to complete at
    // the sample they belong to; the timer completes them only for an instance the
    // host has stopped processing (so the bank, its responses and the latency stay
    // current), and does the work a live audio thread may not do.
    const std::uint64_t calls = processCalls_.load(std::memory_order_relaxed);
    const bool audioIdle = callsAtLastTick_.exchange(calls, std::memory_order_relaxed) == calls;
    const bool pending = audioIdle && updatePending_.load(std::memory_order_acquire);
    if (pending || timerOwed_.load(std::memory_order_acquire)) {
        std::lock_guard lock(updateMutex_);
        // Owed FIR builds follow the "FFT Update throttle" rate while a control moves.
        bool owed = false;
        if (timerOwed_.load(std::memory_order_acquire)) {
            const int bucket = static_cast<int>(std::floor(prefs_.fftUpdateRate * updateClockMs() / 1000.0));
            if (bucket != lastOwedBucket_) {
                lastOwedBucket_ = bucket;
                timerOwed_.store(false, std::memory_order_relaxed);
                owed = true;
            }
        }
        if (owed || pending) runUpdate(owed || deferredForce_.exchange(false, std::memory_order_relaxed));
    }
    if (groupNamesChanged_.exchange(false)) forwardToEditor(kGUIGroupNamesChanged, 0.0f);
    deliverHostReports();
}

void Plug::reportLatency() {
    {
        // Compared and stored under the lock, so a change is reported once even when
        // the timer and a host call race here.
        std::lock_guard lock(updateMutex_);
        const int latency = bank_->runningLatency();
        if (latency == initialDelay()) return;
        setInitialDelay(latency);
    }
    reportLatencyChange();
}

// ---------------------------------------------------------------------------
// The update proper (updateMutex_ held).

void Plug::pushBands(int channels, bool auditioning, int audition, int& auditionMask) {
    const double scale = paramReal(kScale);
    const double fshift = paramReal(kFShift) * 0.01 * frequencyMultiplier();
    const int all = (1 << channels) - 1;
    // A band whose values and surroundings are as last pushed is left alone: the
    // processing call that completes one automated band then costs that band only.
    PushContext context{scale, fshift, channels, audition, prefs_.autoListenGain, prefs_.autoListenQ, {}};
    std::memcpy(context.groups, channelGroups_, sizeof context.groups);
    const bool sameContext = pushedValid_ && std::memcmp(&context, &pushedContext_, sizeof context) == 0;
    pushedContext_ = context;
    pushedValid_ = true;
    for (int b = 0; b < kNumBands; ++b) {
        const auto real = [&](int field) { return paramReal(bandParam(b, field)); };
        double fields[kParamsPerBand];
        for (int f = 0; f < kParamsPerBand; ++f) fields[f] = real(f);
        int groups = toInt(fields[kBandGroups]);
        if (groups == (1 << channels)) groups = all;
        int mask = 0;
        for (int k = 0; k < channels; ++k)
            if ((groups >> (7 - k)) & 1) mask |= channelGroups_[k];
        mask &= all;
        if (b == audition) auditionMask = mask;
        if (sameContext && std::memcmp(fields, pushedFields_[b], sizeof fields) == 0) continue;
        std::memcpy(pushedFields_[b], fields, sizeof fields);

        dsp::BandSettings settings = engineBandSettings(fields, scale, fshift);
        int disabled = toInt(real(kBandState)) == 2 ? 0 : 1;
        if (auditioning) {
            // Only the auditioned band sounds, through its listening type and options.
            disabled = b == audition ? 0 : 1;
            settings.type = b == audition ? engineBandType(toInt(real(kBandType)), true) : dsp::kTypeNone;
            if (prefs_.autoListenGain != 0) settings.gain = prefs_.autoListenGain == 1 ? 12.0f : 0.0f;
            if (prefs_.autoListenQ == 1) settings.q = 12.0f;
        }
        bank_->setDisabled(1, b, all & ~mask);
        if (mask) bank_->setDisabled(disabled, b, mask);

        bank_->setType(settings.type, b, -1);
        bank_->setSubtype(settings.subtype, b, -1);
        bank_->setGain(settings.gain, b, -1);
        bank_->setFrequency(settings.frequency, b, -1);
        bank_->setQ(settings.q, b, -1);
        bank_->setShift(settings.shift, b, -1);
        bank_->setPhase(settings.phase, b, -1);
        bank_->setSlope(settings.slope, b, -1);
    }
}

int Plug::pushChannels(int channels, bool auditioning, int auditionMask) {
    ChannelGainInputs g;
    for (int c = 0; c < kMaxChannels; ++c) {
        g.level[c] = paramReal(channelParam(c, kChannelLevel));
        if (c >= channels) continue;
        if (paramReal(channelParam(c, kChannelPhase)) != 0.0) g.phaseMask |= 1 << c;
        if (paramReal(channelParam(c, kChannelMute)) != 0.0) g.muteMask |= 1 << c;
        if (paramReal(channelParam(c, kChannelSolo)) != 0.0) g.soloMask |= 1 << c;
    }
    const bool muteMode = prefs_.soloMode == 1;
    g.masterDb = paramReal(kGain);
    g.muteMode = muteMode;
    g.auditioning = auditioning;
    g.auditionMask = auditionMask;
    ProcessSettings& d = processor_->draft();
    outputGains(g, d.targetGain);
    const int solo = g.soloMask;
    d.soloMask = solo;
    d.auditionMask = auditionMask;
    d.auditioning = auditioning;
    d.soloSelect = !muteMode;
    d.bypass = paramReal(kBypass) != 0.0;
    d.clipThreshold = prefs_.clipThreshold < 1.0f ? 0.9885530946569389 : 1.0;
    soloMask_ = solo;

    const int ms = reverseFourBits(toInt(paramReal(kMsState)) & 15);
    if (ms != msMask_) {
        msMask_ = ms;
        if (channels == 2) rebuildGroupNames();
    }
    d.msMask = ms;
    return solo;
}

void Plug::catchUp(bool offline) {
    // Work the live audio thread left to the timer counts as pending here when the
    // host renders offline: the offline call does it itself.
    const bool owed = offline && timerOwed_.load(std::memory_order_acquire);
    if (updatePending_.load(std::memory_order_acquire) || owed) {
        if (offline) {
            updateMutex_.lock();
        } else if (!updateMutex_.try_lock()) {
            return;  // another thread designs right now: this call plays what is published
        }
        if (owed) timerOwed_.store(false, std::memory_order_relaxed);
        runUpdate(true, offline ? UpdateSite::OfflineAudio : UpdateSite::LiveAudio);
        updateMutex_.unlock();
    }
    // Offline, the FIR stage runs what was asked for so far, whoever asked.
    if (offline && bank_->getMode() >= 1) bank_->waitForFir();
}

bool Plug::hostRendersOffline() {
    // The one host query made from the audio thread: it exists for this thread.
    return callHost(vst::audioMasterGetCurrentProcessLevel) == vst::kVstProcessLevelOffline;
}

void Plug::runUpdate(bool force, UpdateSite site) {
    // A load sets hundreds of values one by one: pushing the whole table into the
    // bank for each of them cost a project load milliseconds and could publish
    // half-loaded channel gains. The update that ends every load does it once.
    if (isLoadInProgress()) {
        if (force) deferredForce_.store(true, std::memory_order_relaxed);
        updatePending_.store(true, std::memory_order_release);
        return;
    }
    // Cleared first: a value stored on the audio thread while this update reads the
    // table marks it again and is not lost.
    updatePending_.store(false, std::memory_order_relaxed);
    midiDisabled_.store(prefs_.midiDisabled, std::memory_order_relaxed);
    const int channels = channels_;
    const int audition = auditionedBand();
    const bool auditioning = audition >= 0 && audition < kNumBands;
    int auditionMask = 0;
    pushBands(channels, auditioning, auditioning ? audition : -1, auditionMask);
    pushChannels(channels, auditioning, auditionMask);
    processor_->publish();

    bank_->setParallelMode(toInt(paramReal(kParallel)));
    int mode;
    int rate = kIirRate;
    if (toInt(paramReal(kMode)) == 1) {
        bank_->setWindowType(toInt(paramReal(kIRWindow)));
        bank_->setWindowParam(static_cast<float>(paramReal(kIRWindowParam)));
        bank_->setPadFactor(1 << std::clamp(toInt(paramReal(kIRPad)), 0, 3));
        const int length = 1024 << std::clamp(toInt(paramReal(kIRLength)), 0, 8);
        // A new length allocates its display copies: not on a live audio thread.
        if (site == UpdateSite::LiveAudio && bank_->irLengthDiffers(length))
            timerOwed_.store(true, std::memory_order_release);
        else
            bank_->setIRLength(length);
        mode = kFirMode[std::clamp(toInt(paramReal(kIRPhase)), 0, 7)];
        rate = prefs_.fftUpdateRate;
    } else {
        const int d = std::clamp(toInt(paramReal(kDPlusLen)), 0, 6);
        if (d != 0) bank_->setCompensationLength(8 << d);
        mode = d != 0 ? 1 : 0;
    }

    // Throttle: at most `rate` recalculations a second, unless forced or enough
    // audio went through (offline renders run far faster than the clock).
    const double now = updateClockMs();
    const std::uint64_t processed = processedSamples();
    const std::uint64_t since = processed - samplesAtReset_;
    const int bucket = static_cast<int>(std::floor(rate * now / 1000.0));
    if (since < kThrottleSamples && bucket == lastBucket_ && !force) {
        if (force) deferredForce_.store(true, std::memory_order_relaxed);
        updatePending_.store(true, std::memory_order_release);
        return;
    }
    if (since >= kThrottleSamples) samplesAtReset_ = processed;

    bool linkedHint = channels == 2;
    for (int b = 0; b < kNumBands && linkedHint; ++b)
        if (toInt(paramReal(bandParam(b, kBandState))) == 2 &&
            toInt(paramReal(bandParam(b, kBandGroups))) < 192)
            linkedHint = false;
    bank_->setLinked(linkedHint);
    const bool live = site == UpdateSite::LiveAudio;
    bank_->holdFirBuilds(live);
    bank_->setMode(mode);
    bank_->holdFirBuilds(false);
    if (live && bank_->firBuildOwed()) timerOwed_.store(true, std::memory_order_release);
    const int bucketRate = mode < 2 ? kIirRate : prefs_.fftUpdateRate;
    lastBucket_ = static_cast<int>(std::floor(bucketRate * now / 1000.0));
}

}  // namespace hm
