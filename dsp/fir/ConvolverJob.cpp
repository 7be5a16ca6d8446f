// Running the partition jobs of the convolver: each job is a list of steps (load,
// forward transform, products, inverse transform, accumulate) cut into slices of
// roughly equal cost, so that a job can advance a little on every sample.
#include <algorithm>

#include "dsp/fir/ConvolverParts.h"
#include "dsp/fft/RealSplit.h"

namespace hm::dsp {

void Convolver::startJob(Level& lv, std::int64_t t0)
{
    lv.running = true;
    lv.t0 = t0;
    lv.step = 0;
    lv.element = 0;
    lv.done = 0;
    lv.parity ^= 1;
}

void Convolver::runJob(Level& lv, std::int64_t target)
{
    while (lv.done < target && lv.step < lv.steps.size()) {
        const Step& s = lv.steps[lv.step];
        const std::int64_t wanted = (target - lv.done + s.units - 1) / s.units;
        std::size_t count = std::max<std::size_t>(static_cast<std::size_t>(wanted), s.grain);
        count = std::min(count, s.count - lv.element);
        runStep(lv, s, lv.element, lv.element + count);
        lv.element += count;
        lv.done += static_cast<std::int64_t>(count) * s.units;
        if (lv.element == s.count) {
            ++lv.step;
            lv.element = 0;
        }
    }
    if (lv.step == lv.steps.size()) lv.running = false;
}

void Convolver::runStep(Level& lv, const Step& s, std::size_t b, std::size_t e)
{
    const std::size_t p = lv.part, n = lv.points;
    const bool mono = channels_ == 1;
    double* w = lv.work.data();
    switch (s.kind) {
    case Step::Load: {
        // The 2P inputs ending at t0: mono as P complex points of sample pairs,
        // stereo with left in the real parts and right in the imaginary ones.
        const std::uint64_t first = static_cast<std::uint64_t>(lv.t0 + 1 - static_cast<std::int64_t>(2 * p));
        const double* h0 = history_[0].data();
        if (mono) {
            for (std::size_t i = 2 * b; i < 2 * e; ++i) w[i] = h0[static_cast<std::size_t>((first + i) & historyMask_)];
            break;
        }
        const double* h1 = history_[1].data();
        for (std::size_t i = b; i < e; ++i) {
            const std::size_t idx = static_cast<std::size_t>((first + i) & historyMask_);
            w[2 * i] = h0[idx];
            w[2 * i + 1] = h1[idx];
        }
        break;
    }
    case Step::Split: realSplit(w, lv.splitTw.data(), b, e); break;
    case Step::Merge: realMerge(w, lv.splitTw.data(), b, e); break;
    case Step::FwdStage: fft_.difStage(w, s.span, b, e, false); break;
    case Step::FwdBlocks:
        for (std::size_t k = b; k < e; ++k) fft_.difBlock(w + 2 * k * s.span, s.span, false);
        break;
    case Step::Multiply: {
        if (b == 0) lv.productSet = active_;
        const double* ha = lv.productSet->spectra.data() + lv.spectraOffset;
        const double* hb = ha + 2 * n;
        double* cur = lv.slots.data() + static_cast<std::size_t>(lv.parity) * 2 * n;
        const double* prev = lv.slots.data() + static_cast<std::size_t>(1 - lv.parity) * 2 * n;
        if (mono && b == 0) {
            // Position 0 holds the real DC and Nyquist bins side by side.
            cur[0] = w[0];
            cur[1] = w[1];
            w[0] = w[0] * ha[0] + prev[0] * hb[0];
            w[1] = w[1] * ha[1] + prev[1] * hb[1];
            ++b;
        }
        for (std::size_t i = b; i < e; ++i) {
            const double xr = w[2 * i], xi = w[2 * i + 1];
            cur[2 * i] = xr;
            cur[2 * i + 1] = xi;
            const double pr = prev[2 * i], pi = prev[2 * i + 1];
            w[2 * i] = xr * ha[2 * i] - xi * ha[2 * i + 1] + pr * hb[2 * i] - pi * hb[2 * i + 1];
            w[2 * i + 1] = xr * ha[2 * i + 1] + xi * ha[2 * i] + pr * hb[2 * i + 1] + pi * hb[2 * i];
        }
        if (e == s.count) lv.productSet = nullptr;
        break;
    }
    case Step::InvBlocks:
        for (std::size_t k = b; k < e; ++k) fft_.ditBlock(w + 2 * k * s.span, s.span, true);
        break;
    case Step::InvStage: fft_.ditStage(w, s.span, b, e, true); break;
    case Step::Accumulate: {
        // The second half of the circular result is the valid overlap-save part:
        // outputs t0+P+1 .. t0+2P.
        const std::uint64_t first = static_cast<std::uint64_t>(lv.t0 + 1 + static_cast<std::int64_t>(p));
        double* a0 = acc_[0].data();
        if (mono) {  // real sample r of the result is double r of the work area
            for (std::size_t i = b; i < e; ++i) a0[static_cast<std::size_t>((first + i) & accMask_)] += w[p + i];
            break;
        }
        double* a1 = acc_[1].data();
        for (std::size_t i = b; i < e; ++i) {
            const std::size_t idx = static_cast<std::size_t>((first + i) & accMask_);
            a0[idx] += w[2 * (p + i)];
            a1[idx] += w[2 * (p + i) + 1];
        }
        break;
    }
    }
}

}  // namespace hm::dsp
