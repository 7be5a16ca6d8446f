// The filter bank's audio side: adopting the designer's snapshot and block processing.
#include <algorithm>
#include <cstring>

#include "dsp/BankAudioSide.h"

namespace hm::dsp {

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
    // long-gone input, which would ring out as a burst. (Their state is small.)
    const bool backToRecursive = a.mode >= 2 && s.mode < 2;
    const bool fresh = s.resetSerial != a.resetSerial || backToRecursive;
    if (fresh) {
        for (auto& row : a.runners)
            for (GlideCascade& r : row) r.reset();
        a.resetSerial = s.resetSerial;
    }
    a.requiredLong = std::max(a.requiredLong, s.freshLong);
    a.requiredCompensation = std::max(a.requiredCompensation, s.freshCompensation);
    const int rows = std::clamp(s.channels, 0, kBankMaxChannels);  // the rows the designer sent
    for (int c = 0; c < rows; ++c) {
        for (int b = 0; b < kBankBands; ++b) {
            const BandCoefficients& e = s.entries[c][b];
            if (e.generation == a.adopted[c][b]) continue;
            GlideCascade& r = a.runners[c][b];
            // The runner holds H in either routing: a band that changes routing
            // carries on from where it stands.
            a.parallel[c][b] = e.parallel;
            r.setCoefficients(e.coeffs, e.sections);
            r.setIdentity(e.identity);
            a.adopted[c][b] = e.generation;
        }
    }
    // Fresh memories hear nothing from before: every band starts at its design
    // (settings made before the first block after a resume are heard at sample 0).
    if (fresh)
        for (auto& row : a.runners)
            for (GlideCascade& r : row) r.settle();
    a.mode = s.mode;
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
        for (int i = 0; i < count; ++i) sum[i] += branch[i] - buffer[i];  // H - 1
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

void EQBank::buildPipelines(unsigned present, int lanes) {
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
        pipeline.build(cascades[first], hasL && hasR ? cascades[1] : nullptr, series[first], series[1], kBankBands,
                       lanes);
    }
    a.pipelineChannels = present;
    a.pipelineLanes = lanes;
    a.pipelinesStale = false;
}

void EQBank::processPipelines(double** pieces, int channels, int count, const CascadeKernel& kernel) {
    AudioSide& a = *audio;
    unsigned present = 0;
    for (int c = 0; c < channels; ++c)
        if (pieces[c]) present |= 1u << c;
    // A path of another width (a forced switch) packs its groups differently.
    if (a.pipelinesStale || present != a.pipelineChannels || kernel.lanes != a.pipelineLanes)
        buildPipelines(present, kernel.lanes);
    if (a.parallelMode)
        for (int c = 0; c < channels; ++c)
            if (pieces[c]) parallelSum(c, pieces[c], count);
    for (int p = 0; 2 * p < channels; ++p) {
        double* l = pieces[2 * p];
        double* r = 2 * p + 1 < channels ? pieces[2 * p + 1] : nullptr;
        if (!l && !r) continue;
        if (!a.pipelines[p].process(l ? l : r, l ? r : nullptr, count, kernel)) a.pipelinesStale = true;
    }
}

void EQBank::process(int count, double** buffers, int n, double** dry) {
    adoptSnapshot();
    if (!buffers || count <= 0) return;
    const int channels = std::min({audio->channels, n, kBankMaxChannels});
    // Pieces no longer than the scratch buffers (nothing grows on this thread) and
    // the chunks the stage's input history is sized for.
    for (int done = 0; done < count; done += kBankScratch)
        processPiece(std::min(kBankScratch, count - done), buffers, channels, dry, done);
}

void EQBank::processPiece(int count, double** buffers, int channels, double** dry, int offset) {
    AudioSide& a = *audio;
    double* piece[kBankMaxChannels] = {};
    for (int c = 0; c < channels; ++c) piece[c] = buffers[c] ? buffers[c] + offset : nullptr;
    // Without a stage that delays, the dry signal is the input as it is.
    if (dry)
        for (int c = 0; c < channels; ++c)
            if (piece[c] && dry[c])
                std::memcpy(dry[c] + offset, piece[c], sizeof(double) * static_cast<std::size_t>(count));
    if (a.mode < 2) {
        if (const CascadeKernel* kernel = cascadeKernel(activeCascadePath())) {
            processPipelines(piece, channels, count, *kernel);
        } else {
            releasePipelines();
            for (int c = 0; c < channels; ++c)
                if (piece[c]) processChannel(c, piece[c], count);
        }
    }
    if (!a.firActive || a.mode < 1) return;
    // Digital+ compensation after the recursive bands in mode 1, the long FIR
    // instead of them in modes 2..6. The stage is borrowed for this piece only.
    const bool compensation = a.mode == 1;
    Handover<FirStage>& h = fir->stage(compensation);
    if (FirStage* stage = h.acquire();
        stage && stage->generation >= (compensation ? a.requiredCompensation : a.requiredLong)) {
        stage->run(piece, channels, count);
        (compensation ? a.ranCompensation : a.ranLong) = stage->generation;
        // The compensation FIR adds no latency and hears the recursive bands' output,
        // not the dry input: the copy above stands.
        if (dry && !compensation)
            for (int c = 0; c < channels; ++c)
                if (piece[c] && dry[c]) stage->delayedInput(c, dry[c] + offset, count);
    }
    h.release();
}

void EQBank::resetChannel(int channel) {
    if (channel < 0 || channel >= kBankMaxChannels) return;
    AudioSide& a = *audio;
    releasePipelines();
    for (GlideCascade& r : a.runners[channel]) r.reset();
    // The stages may hold non-finite sums: run none of them until fresh ones arrive.
    a.requiredLong = std::max(a.requiredLong, a.ranLong + 1);
    a.requiredCompensation = std::max(a.requiredCompensation, a.ranCompensation + 1);
    stageFault.store(true, std::memory_order_release);
}

int EQBank::audioGlideRemaining(int band, int channel) const {
    if (band < 0 || band >= kBankBands || channel < 0 || channel >= kBankMaxChannels) return 0;
    return audio->runners[channel][band].getRampRemaining();
}

}  // namespace hm::dsp
