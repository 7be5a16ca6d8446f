// The filter bank's audio side: adopting the designer's snapshot and block processing.
#include <algorithm>
#include <cstring>

#include "dsp/BankAudioSide.h"

namespace hm::dsp {

void GlideCascade::switchRouting(bool toParallel) {
    const double sign = toParallel ? -1.0 : 1.0;
    double* c = current[0];
    c[0] += sign;
    c[1] += sign * c[3];
    c[2] += sign * c[4];
    double* st = state[0];
    st[2] += sign * st[0];
    st[3] += sign * st[1];
}

void EQBank::releasePipelines() {
    for (PairPipeline& p : audio->pipelines)
        if (p.built()) p.flush();
    audio->pipelinesStale = true;
}

void EQBank::adoptSnapshot() {
    if (!handover.consume()) return;
    // The runners change below: their memories come home from the pipelines first.
    releasePipelines();
    const BankSnapshot& s = handover.front();
    AudioSide& a = *audio;
    // Leaving an FIR mode: the recursive filters sat idle with the memories of
    // long-gone input, which would ring out as a burst.
    const bool backToRecursive = a.mode >= 2 && s.mode < 2;
    if (s.resetSerial != a.resetSerial || backToRecursive) {
        for (auto& row : a.runners)
            for (GlideCascade& r : row) r.reset();
        if (s.resetSerial != a.resetSerial) a.clearLong = a.clearCompensation = true;
        a.resetSerial = s.resetSerial;
    }
    // A stage that sat idle holds the input of long ago.
    if (s.mode >= 2 && a.mode < 2) a.clearLong = true;
    if (s.mode == 1 && a.mode != 1) a.clearCompensation = true;
    for (int c = 0; c < kBankMaxChannels; ++c) {
        for (int b = 0; b < kBankBands; ++b) {
            const BandCoefficients& e = s.entries[c][b];
            if (e.generation == a.adopted[c][b]) continue;
            GlideCascade& r = a.runners[c][b];
            if (e.parallel != a.parallel[c][b]) {
                r.switchRouting(e.parallel != 0);
                a.parallel[c][b] = e.parallel;
            }
            r.setCoefficients(e.coeffs, e.sections);
            r.setIdentity(e.identity);
            a.adopted[c][b] = e.generation;
        }
    }
    a.mode = s.mode;
    a.latency = s.latency;
    a.channels = s.channels;
    a.parallelMode = s.parallelMode;
    a.firActive = s.firActive;
    a.linked = s.linked;
}

void EQBank::parallelSum(int c, double* buffer, int count) {
    AudioSide& a = *audio;
    GlideCascade* runners = a.runners[c];
    double* sum = a.scratchB;
    double* branch = a.scratchA;
    bool any = false;
    for (int b = 0; b < kBankBands; ++b) {
        // An idle unity filter in the parallel sum contributes nothing.
        if (!a.parallel[c][b] || runners[b].idle()) continue;
        if (!any) std::memset(sum, 0, sizeof(double) * static_cast<std::size_t>(count));
        any = true;
        std::memcpy(branch, buffer, sizeof(double) * static_cast<std::size_t>(count));
        runners[b].processDouble(branch, count);
        for (int i = 0; i < count; ++i) sum[i] += branch[i];
    }
    if (any)
        for (int i = 0; i < count; ++i) buffer[i] += sum[i];
}

void EQBank::processChannel(int c, double* buffer, int count) {
    AudioSide& a = *audio;
    if (a.parallelMode) parallelSum(c, buffer, count);
    for (int b = 0; b < kBankBands; ++b)
        if (!a.parallelMode || !a.parallel[c][b]) a.runners[c][b].processDouble(buffer, count);
}

void EQBank::buildPipelines(unsigned present) {
    AudioSide& a = *audio;
    for (int p = 0; p < kBankMaxChannels / 2; ++p) {
        PairPipeline& pipeline = a.pipelines[p];
        if (pipeline.built()) pipeline.flush();
        const int l = 2 * p, r = l + 1;
        const bool hasL = (present >> l) & 1, hasR = (present >> r) & 1;
        if (!hasL && !hasR) continue;
        DF1Cascade* cascades[2][kBankBands];
        bool series[2][kBankBands];
        for (int side = 0; side < 2; ++side) {
            for (int b = 0; b < kBankBands; ++b) {
                cascades[side][b] = &a.runners[l + side][b];
                series[side][b] = !a.parallelMode || !a.parallel[l + side][b];
            }
        }
        // A lone channel goes first, with shadow lanes for its partner.
        const int first = hasL ? 0 : 1;
        pipeline.build(cascades[first], hasL && hasR ? cascades[1] : nullptr, series[first], series[1], kBankBands);
    }
    a.pipelineChannels = present;
    a.pipelinesStale = false;
}

void EQBank::processPipelines(double** buffers, int channels, int count, GroupRunner run) {
    AudioSide& a = *audio;
    unsigned present = 0;
    for (int c = 0; c < channels; ++c)
        if (buffers[c]) present |= 1u << c;
    for (int done = 0; done < count; done += kBankScratch) {
        const int n = std::min(kBankScratch, count - done);
        if (a.pipelinesStale || present != a.pipelineChannels) buildPipelines(present);
        if (a.parallelMode)
            for (int c = 0; c < channels; ++c)
                if (buffers[c]) parallelSum(c, buffers[c] + done, n);
        for (int p = 0; 2 * p < channels; ++p) {
            double* l = buffers[2 * p] ? buffers[2 * p] + done : nullptr;
            double* r = 2 * p + 1 < channels && buffers[2 * p + 1] ? buffers[2 * p + 1] + done : nullptr;
            if (!l && !r) continue;
            if (!a.pipelines[p].process(l ? l : r, l ? r : nullptr, n, run)) a.pipelinesStale = true;
        }
    }
}

void EQBank::process(int count, double** buffers, int n) {
    adoptSnapshot();
    if (!buffers || count <= 0) return;
    const AudioSide& a = *audio;
    const int channels = std::min({a.channels, n, kBankMaxChannels});
    if (a.mode < 2) {
        if (const GroupRunner run = groupRunner(activeCascadePath())) {
            processPipelines(buffers, channels, count, run);
        } else {
            releasePipelines();
            for (int c = 0; c < channels; ++c) {
                double* buffer = buffers[c];
                if (!buffer) continue;
                // Long blocks go through in scratch-sized pieces: nothing grows on this thread.
                for (int done = 0; done < count; done += kBankScratch)
                    processChannel(c, buffer + done, std::min(kBankScratch, count - done));
            }
        }
    }
    if (a.firActive && a.mode >= 1) {
        // Digital+ compensation after the recursive bands in mode 1, the long FIR
        // instead of them in modes 2..6. The stage is borrowed for this block only.
        const bool compensation = a.mode == 1;
        Handover<FirStage>& h = fir->stage(compensation);
        if (FirStage* stage = h.acquire()) {
            bool& clear = compensation ? audio->clearCompensation : audio->clearLong;
            if (clear) {
                stage->clear();
                clear = false;
            }
            stage->run(buffers, channels, count);
        }
        h.release();
    }
}

int EQBank::processLatency() const { return audio->latency; }

void EQBank::resetChannel(int channel) {
    if (channel < 0 || channel >= kBankMaxChannels) return;
    releasePipelines();
    for (GlideCascade& r : audio->runners[channel]) r.reset();
    audio->clearLong = audio->clearCompensation = true;
}

int EQBank::audioGlideRemaining(int band, int channel) const {
    if (band < 0 || band >= kBankBands || channel < 0 || channel >= kBankMaxChannels) return 0;
    return audio->runners[channel][band].getRampRemaining();
}

}  // namespace hm::dsp
