#include "dsp/fir/Convolver.h"

#include "dsp/fir/ConvolverParts.h"
#include "dsp/fft/RealSplit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace hm::dsp {

namespace {

std::size_t nextPow2(std::size_t n)
{
    std::size_t p = 1;
    while (p < n) p <<= 1;
    return p;
}

std::atomic<std::uint64_t> gClears{0};

std::int64_t log2Of(std::size_t n)
{
    std::int64_t b = 0;
    while ((std::size_t(1) << b) < n) ++b;
    return b;
}

}  // namespace

Convolver::Convolver(int length, int channels)
{
    length_ = static_cast<int>(nextPow2(static_cast<std::size_t>(std::max(1, length))));
    channels_ = channels == 2 ? 2 : 1;
    directTaps_ = std::min(length_, kDirectTaps);
    const std::size_t L = static_cast<std::size_t>(length_);

    // Stereo packs left and right into one complex transform of 2P points; mono
    // packs sample pairs into one of P points and splits the real spectrum out.
    const bool mono = channels_ == 1;
    std::size_t offset = 0;
    std::size_t maxPart = 0, maxPoints = 0;
    for (std::size_t p = kSmallestPart; 4 * p <= L; p *= 2) {
        Level lv;
        lv.part = p;
        const std::size_t n = mono ? p : 2 * p;
        lv.points = n;
        lv.spectraOffset = offset;
        offset += 4 * n;
        // Smaller cache blocks than a one-shot transform uses: a block is the
        // smallest slice of a transform, and it must stay small next to the work
        // of a 32-frame host block.
        std::size_t blk = n;
        while (blk > kSliceBlock) blk /= 4;
        const std::int64_t blockUnits = static_cast<std::int64_t>(blk) * std::max<std::int64_t>(1, log2Of(blk));
        // Units: a transform block of b points counts b log2 b; the other step kinds
        // are weighted by their cost measured inside a running convolver relative
        // to that. Transforms of 32768 points and more no longer stay in cache and
        // their whole-array stages, loads and products cost more per element.
        const bool big = n >= 32768;
        lv.steps.push_back({Step::Load, 0, n, big ? 5 : 4, 256});
        for (std::size_t m = n; m > blk; m /= 4) lv.steps.push_back({Step::FwdStage, m, n / 4, big ? 14 : 10, 64});
        lv.steps.push_back({Step::FwdBlocks, blk, n / blk, blockUnits, 1});
        if (mono) lv.steps.push_back({Step::Split, 0, n, 5, 128});
        lv.steps.push_back({Step::Multiply, 0, n, big ? 14 : 8, 128});
        if (mono) lv.steps.push_back({Step::Merge, 0, n, 5, 128});
        lv.steps.push_back({Step::InvBlocks, blk, n / blk, blockUnits, 1});
        for (std::size_t m = blk * 4; m <= n; m *= 4) lv.steps.push_back({Step::InvStage, m, n / 4, big ? 14 : 10, 64});
        lv.steps.push_back({Step::Accumulate, 0, p, big ? 4 : 3, 256});
        for (const Step& s : lv.steps) lv.totalUnits += s.units * static_cast<std::int64_t>(s.count);
        lv.work.assign(2 * n, 0.0);
        lv.slots.assign(4 * n, 0.0);
        if (mono) lv.splitTw = realSplitTwiddles(n);
        levels_.push_back(std::move(lv));
        maxPart = p;
        maxPoints = n;
    }
    if (maxPoints) fft_.prepare(maxPoints);

    const std::size_t historySize = nextPow2(L + 2 * kChunk + 64);
    const std::size_t accSize = nextPow2(2 * maxPart + kChunk + 64);
    historyMask_ = historySize - 1;
    accMask_ = accSize - 1;
    for (int c = 0; c < channels_; ++c) {
        history_[c].assign(historySize, 0.0);
        acc_[c].assign(accSize, 0.0);
        directLine_[c].assign(static_cast<std::size_t>(kChunk + directTaps_), 0.0);
    }

    auto zero = std::make_unique<PartitionSet>();
    zero->direct.assign(static_cast<std::size_t>(directTaps_), 0.0);
    zero->spectra.assign(offset, 0.0);
    active_ = zero.get();
    sets_.push_back(std::move(zero));
    spare_.reserve(8);
}

Convolver::~Convolver() = default;

Convolver::PartitionSet* Convolver::takeSpareSet()
{
    if (PartitionSet* back = returned_.exchange(nullptr, std::memory_order_acq_rel)) spare_.push_back(back);
    if (!spare_.empty()) {
        PartitionSet* s = spare_.back();
        spare_.pop_back();
        return s;
    }
    auto fresh = std::make_unique<PartitionSet>();
    fresh->direct.assign(static_cast<std::size_t>(directTaps_), 0.0);
    fresh->spectra.assign(sets_.front()->spectra.size(), 0.0);
    sets_.push_back(std::move(fresh));
    return sets_.back().get();
}

void Convolver::load(const double* impulse, int count, int latency)
{
    if (impulse == nullptr) count = 0;
    count = std::clamp(count, 0, length_);
    auto tap = [&](std::size_t k) {
        return k < static_cast<std::size_t>(count) && std::isfinite(impulse[k]) ? impulse[k] : 0.0;
    };

    PartitionSet* set = takeSpareSet();
    set->latency = latency;
    for (int k = 0; k < directTaps_; ++k) set->direct[static_cast<std::size_t>(k)] = tap(static_cast<std::size_t>(k));
    for (const Level& lv : levels_) {
        const std::size_t p = lv.part, n = lv.points;
        // The inverse transform is unnormalised: its 1/n (mono: 1/P for the
        // P-point transform of sample pairs) is folded into the partitions.
        const double scale = 1.0 / static_cast<double>(n);
        for (int half = 0; half < 2; ++half) {
            double* s = set->spectra.data() + lv.spectraOffset + static_cast<std::size_t>(half) * 2 * n;
            std::fill(s, s + 2 * n, 0.0);
            const std::size_t first = (2 + static_cast<std::size_t>(half)) * p;
            if (channels_ == 1) {
                for (std::size_t j = 0; j < p; ++j) s[j] = tap(first + j) * scale;  // pairs as complex points
                fft_.forwardScrambled(s, n);
                realSplit(s, lv.splitTw.data(), 0, n);
            } else {
                for (std::size_t j = 0; j < p; ++j) s[2 * j] = tap(first + j) * scale;
                fft_.forwardScrambled(s, n);
            }
        }
    }
    if (PartitionSet* unused = pending_.exchange(set, std::memory_order_acq_rel)) spare_.push_back(unused);
}

bool Convolver::referenced(const PartitionSet* set) const
{
    for (const Level& lv : levels_)
        if (lv.productSet == set) return true;
    return false;
}

void Convolver::adopt()
{
    // A retired set goes back once no product reads it and the return slot is free.
    if (draining_ && !referenced(draining_) && returned_.load(std::memory_order_acquire) == nullptr) {
        returned_.store(draining_, std::memory_order_release);
        draining_ = nullptr;
    }
    if (draining_) return;  // adopt the next set only after the last one is retired
    PartitionSet* fresh = pending_.exchange(nullptr, std::memory_order_acq_rel);
    if (!fresh) return;
    draining_ = active_;
    active_ = fresh;
    if (!referenced(draining_) && returned_.load(std::memory_order_acquire) == nullptr) {
        returned_.store(draining_, std::memory_order_release);
        draining_ = nullptr;
    }
}

std::uint64_t Convolver::clearCount() { return gClears.load(std::memory_order_relaxed); }

void Convolver::clear()
{
    gClears.fetch_add(1, std::memory_order_relaxed);
    for (int c = 0; c < channels_; ++c) {
        std::fill(history_[c].begin(), history_[c].end(), 0.0);
        std::fill(acc_[c].begin(), acc_[c].end(), 0.0);
        std::fill(directLine_[c].begin(), directLine_[c].end(), 0.0);
    }
    for (Level& lv : levels_) {
        std::fill(lv.slots.begin(), lv.slots.end(), 0.0);
        lv.running = false;
        lv.productSet = nullptr;
        lv.step = lv.element = 0;
        lv.done = 0;
    }
    position_ = 0;
}

void Convolver::processChunk(const double* const* in, double* const* out, int count)
{
    adopt();
    const std::int64_t ta = position_, tb = position_ + count;
    const std::size_t d = static_cast<std::size_t>(directTaps_);

    for (int c = 0; c < channels_; ++c) {
        double* line = directLine_[c].data();
        double* hist = history_[c].data();
        for (int i = 0; i < count; ++i) {
            // A non-finite sample would spread through whole transform blocks and
            // linger in the delay line; it enters as silence instead.
            const double x = std::isfinite(in[c][i]) ? in[c][i] : 0.0;
            hist[static_cast<std::size_t>(ta + i) & historyMask_] = x;
            line[d - 1 + static_cast<std::size_t>(i)] = x;
        }
    }

    for (Level& lv : levels_) {
        const std::int64_t p = static_cast<std::int64_t>(lv.part);
        // Block boundaries are the samples t0 with (t0 + 1) divisible by P.
        for (std::int64_t t0 = ta + (p - 1 - ta % p); t0 < tb; t0 += p) {
            if (lv.running) runJob(lv, lv.totalUnits);
            startJob(lv, t0);
        }
        if (lv.running) runJob(lv, lv.totalUnits * (tb - 1 - lv.t0) / p);
    }

    const double* h = active_->direct.data();
    for (int c = 0; c < channels_; ++c) {
        double* line = directLine_[c].data();
        double* acc = acc_[c].data();
        for (int i = 0; i < count; ++i) {
            const double* x = line + d - 1 + static_cast<std::size_t>(i);
            double y = 0.0;
            for (std::size_t k = 0; k < d; ++k) y += h[k] * x[-static_cast<std::ptrdiff_t>(k)];
            const std::size_t idx = static_cast<std::size_t>(ta + i) & accMask_;
            y += acc[idx];
            acc[idx] = 0.0;
            out[c][i] = y;
        }
        // Keep the last D-1 inputs at the front for the next chunk.
        std::memmove(line, line + count, (d - 1) * sizeof(double));
    }
    position_ = tb;
}

void Convolver::process(const double* in, double* out, int count)
{
    if (in == nullptr || out == nullptr) return;
    for (int done = 0; done < count;) {
        const int n = std::min(kChunk, count - done);
        // A linked convolver fed one channel runs it on both sides and writes it twice.
        const double* ins[2] = {in + done, in + done};
        double* outs[2] = {out + done, out + done};
        processChunk(ins, outs, n);
        done += n;
    }
}

void Convolver::processStereo(const double* inL, const double* inR, double* outL, double* outR, int count)
{
    if (!inL || !inR || !outL || !outR) return;
    for (int done = 0; done < count;) {
        const int n = std::min(kChunk, count - done);
        const double* ins[2] = {inL + done, inR + done};
        double* outs[2] = {outL + done, outR + done};
        processChunk(ins, outs, n);
        done += n;
    }
}

int Convolver::latency() const { return active_->latency; }

void Convolver::delayedInput(int channel, int delay, double* out, int count) const
{
    if (out == nullptr || count <= 0) return;
    const std::vector<double>& hist = history_[channel == 1 && channels_ == 2 ? 1 : 0];
    delay = std::clamp(delay, 0, length_);
    // The history holds the last historyMask_ + 1 inputs; anything older is gone.
    const std::int64_t oldestKept = position_ - static_cast<std::int64_t>(historyMask_);
    for (int i = 0; i < count; ++i) {
        const std::int64_t t = position_ - count + i - delay;
        out[i] = t >= 0 && t >= oldestKept ? hist[static_cast<std::size_t>(t) & historyMask_] : 0.0;
    }
}

double Convolver::processSample(double x)
{
    double y = 0.0;
    process(&x, &y, 1);
    return y;
}

}  // namespace hm::dsp
