// The vectorised cascade against the scalar one: filter banks with designs from
// the real designer, run side by side on the same input in the same blocks, one
// on each cascade path the processor has, must give the same output to the last
// bit. The scalar path (each band's DF1Cascade::processDouble in turn) is the
// reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "dsp/EQBank.h"
#include "dsp/cascade/CascadePath.h"

namespace hm::dsp {
namespace {

constexpr float kRate = 48000.0f;

// Restores automatic path selection however the test ends.
struct PathGuard {
    ~PathGuard() { clearForcedCascadePath(); }
};

std::vector<CascadePath> vectorPaths() {
    std::vector<CascadePath> paths;
    for (CascadePath p : {CascadePath::Sse2, CascadePath::Avx2, CascadePath::Avx512})
        if (cascadePathAvailable(p)) paths.push_back(p);
    return paths;
}

// One band's settings; `mask` picks the channels it is on.
struct BandPlan {
    int type, subtype, slope;
    float hz, db, q;
    int mask;
};

// Bands whose designs add up to exactly `sections` sections: passes of order 7 or
// 8 give four, the remainder comes from one shorter band.
std::vector<BandPlan> planFor(int sections, std::mt19937& random, bool perChannel) {
    std::uniform_real_distribution<float> octave(0.0f, 9.9f), db(-18.0f, 18.0f), q(0.3f, 8.0f);
    std::uniform_int_distribution<int> passSubtype(0, 9), coin(0, 1), mask(1, 3);
    const auto band = [&](int type, int subtype, int slope) {
        return BandPlan{type, subtype, slope, 20.0f * std::pow(2.0f, octave(random)), db(random), q(random),
                        perChannel ? mask(random) : 3};
    };
    std::vector<BandPlan> plan;
    for (int i = 0; i < sections / 4; ++i)
        plan.push_back(band(coin(random) ? kTypeHighPass : kTypeLowPass, passSubtype(random), 7 + coin(random)));
    switch (sections % 4) {
        case 1: {
            const int oneSection[] = {kTypePeak, kTypeLowShelf, kTypeHighShelf, kTypeNotch, kTypeBandPass};
            plan.push_back(band(oneSection[random() % 5], 0, 2));
            break;
        }
        case 2: plan.push_back(band(kTypeHighPass, passSubtype(random), 3 + coin(random))); break;
        case 3: plan.push_back(band(kTypeLowPass, passSubtype(random), 5 + coin(random))); break;
        default: break;
    }
    std::shuffle(plan.begin(), plan.end(), random);
    return plan;
}

void apply(EQBank& bank, const std::vector<BandPlan>& plan) {
    for (int b = 0; b < static_cast<int>(plan.size()); ++b) {
        const BandPlan& p = plan[static_cast<std::size_t>(b)];
        bank.setType(p.type, b, -1);
        bank.setSubtype(p.subtype, b, -1);
        bank.setSlope(p.slope, b, -1);
        bank.setFrequency(p.hz, b, -1);
        bank.setGain(p.db, b, -1);
        bank.setQ(p.q, b, -1);
        bank.setDisabled(1, b, -1);
        bank.setDisabled(0, b, p.mask);
    }
    bank.setMode(0);
}

int designedSections(const EQBank& bank, int channel) {
    int n = 0;
    double coeffs[kMaxSections * 5];
    for (int b = 0; b < bank.getBandCount(); ++b) {
        const EQ* f = bank.getFilter(b, channel);
        if (!f->getIdentity()) n += f->getCoefficients(coeffs);
    }
    return n;
}

// Banks that run the same plan, the first on the scalar path.
struct Lineup {
    std::vector<std::unique_ptr<EQBank>> banks;
    std::vector<CascadePath> paths;
    int channels;

    Lineup(const std::vector<BandPlan>& plan, int channelCount) : channels(channelCount) {
        paths.push_back(CascadePath::Scalar);
        for (CascadePath p : vectorPaths()) paths.push_back(p);
        for (std::size_t i = 0; i < paths.size(); ++i) {
            banks.push_back(std::make_unique<EQBank>());
            banks.back()->setChannelCount(channelCount);
            banks.back()->setSampleRate(kRate);
            apply(*banks.back(), plan);
        }
    }
    template <class Fn>
    void each(Fn fn) {
        for (auto& b : banks) fn(*b);
    }
    // Runs one block of `input` through every bank; the paths' outputs must equal
    // the scalar one bit for bit.
    void block(const std::vector<std::vector<double>>& input, std::size_t offset, int n) {
        std::vector<std::vector<double>> out(banks.size() * static_cast<std::size_t>(channels));
        for (std::size_t k = 0; k < banks.size(); ++k) {
            forceCascadePath(paths[k]);
            std::vector<double*> ptr;
            for (int c = 0; c < channels; ++c) {
                auto& o = out[k * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)];
                o.assign(input[static_cast<std::size_t>(c)].begin() + static_cast<long>(offset),
                         input[static_cast<std::size_t>(c)].begin() + static_cast<long>(offset) + n);
                ptr.push_back(o.data());
            }
            banks[k]->process(n, ptr.data(), channels);
        }
        for (std::size_t k = 1; k < banks.size(); ++k) {
            for (int c = 0; c < channels; ++c) {
                const auto& ref = out[static_cast<std::size_t>(c)];
                const auto& got = out[k * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)];
                for (int i = 0; i < n; ++i) {
                    ASSERT_EQ(std::bit_cast<std::uint64_t>(got[static_cast<std::size_t>(i)]),
                              std::bit_cast<std::uint64_t>(ref[static_cast<std::size_t>(i)]))
                        << cascadePathName(paths[k]) << " channel " << c << " sample " << offset + i << " of a block of "
                        << n << ": " << got[static_cast<std::size_t>(i)] << " against " << ref[static_cast<std::size_t>(i)];
                }
            }
        }
    }
    // Noise through every bank in blocks of the given sizes, in turn; between
    // blocks `between(k)` may change the banks.
    template <class Between>
    void stream(std::mt19937& random, std::size_t total, const std::vector<int>& sizes, Between between) {
        std::normal_distribution<double> noise(0.0, 0.3);
        std::vector<std::vector<double>> input(static_cast<std::size_t>(channels), std::vector<double>(total));
        for (auto& ch : input)
            for (double& v : ch) v = noise(random);
        std::size_t at = 0;
        for (std::size_t k = 0; at < total; ++k) {
            const int n = std::min<int>(sizes[k % sizes.size()], static_cast<int>(total - at));
            block(input, at, n);
            if (testing::Test::HasFatalFailure()) return;
            at += static_cast<std::size_t>(n);
            between(k);
        }
    }
};

TEST(CascadePipeline, EqualsTheScalarCascadeForEverySectionCountBlockSizeAndGlide) {
    PathGuard guard;
    const int blockSizes[] = {1, 2, 3, 7, 64, 31, 512, 511, 1023, 1024, 1025, 333, 4097, 8192, 5};
    for (int sections = 1; sections <= 128; ++sections) {
        SCOPED_TRACE(testing::Message() << sections << " sections");
        std::mt19937 random(static_cast<unsigned>(sections));
        // Every third plan has bands on one channel only (lanes that pass through
        // beside lanes that filter); every fifth bank is mono (shadow lanes).
        const bool perChannel = sections % 3 == 1;
        const int channels = sections % 5 == 2 ? 1 : 2;
        std::vector<BandPlan> plan = planFor(sections, random, perChannel);
        Lineup lineup(plan, channels);
        if (!perChannel) {
            ASSERT_EQ(designedSections(*lineup.banks[0], 0), sections);
        }

        // Block sizes in a different order per plan; between some blocks, new gains
        // or frequencies for a few bands start glides that other bands' glides overlap,
        // and a band sent to 0 dB glides to unity and drops out of the chain.
        std::vector<int> sizes;
        for (int k = 0; k < 15; ++k) sizes.push_back(blockSizes[(k + sections) % 15]);
        lineup.stream(random, 8192 * 2, sizes, [&](std::size_t k) {
            if (k % 3 != 1) return;
            const int b = static_cast<int>(random() % plan.size());
            const float db = k % 6 == 1 ? 0.0f : plan[static_cast<std::size_t>(b)].db * 0.5f + 1.0f;
            const float hz = plan[static_cast<std::size_t>(b)].hz * (k % 2 ? 1.1f : 0.9f);
            lineup.each([&](EQBank& bank) {
                bank.setGain(db, b, -1);
                bank.setFrequency(hz, b, -1);
                bank.setMode(0);
            });
        });
        if (HasFatalFailure()) return;
    }
}

// The benchmarks' bank: 32 peaks spread from 20 Hz to 20 kHz, held still for
// many blocks (the static kernels), then all gliding at once to new gains, with
// blocks shorter and longer than a group's fill and drain.
TEST(CascadePipeline, ThirtyTwoPeaksStaticAndGlidingEqualTheScalarCascade) {
    PathGuard guard;
    std::vector<BandPlan> plan;
    for (int b = 0; b < 32; ++b)
        plan.push_back({kTypePeak, 0, 2, static_cast<float>(20.0 * std::pow(1000.0, b / 31.0)), 3.0f, 1.0f, 3});
    Lineup lineup(plan, 2);
    ASSERT_EQ(designedSections(*lineup.banks[0], 0), 32);
    std::mt19937 random(32);
    // Past the first glide (1000 samples) every block is static until the gains move.
    lineup.stream(random, 24000, {512, 512, 1, 29, 30, 31, 32, 33, 1024, 61, 62, 63, 700}, [&](std::size_t k) {
        if (k != 30) return;
        lineup.each([](EQBank& bank) {
            for (int b = 0; b < 32; ++b) bank.setGain(b % 2 ? 6.0f : -2.0f, b, -1);
            bank.setMode(0);
        });
    });
}

// Peaks and shelves summed in parallel beside series passes and notches: only the
// series bands are in the pipelines, the parallel ones run on their own, before.
TEST(CascadePipeline, ParallelRoutingEqualsTheScalarCascade) {
    PathGuard guard;
    for (int parallel : {1, 2}) {
        SCOPED_TRACE(testing::Message() << "parallel mode " << parallel);
        std::mt19937 random(static_cast<unsigned>(40 + parallel));
        std::uniform_real_distribution<float> octave(0.0f, 9.9f), db(-12.0f, 12.0f);
        const int types[] = {kTypePeak, kTypeHighPass, kTypeLowShelf, kTypeNotch, kTypeHighShelf, kTypeLowPass};
        std::vector<BandPlan> plan;
        for (int b = 0; b < 24; ++b)
            plan.push_back({types[b % 6], b % 10, 2 + b % 7, 20.0f * std::pow(2.0f, octave(random)), db(random), 1.2f, 3});
        Lineup lineup(plan, 2);
        lineup.each([parallel](EQBank& bank) {
            bank.setParallelMode(parallel);
            bank.setMode(0);
        });
        int parallelBands = 0, seriesBands = 0;
        for (int b = 0; b < 24; ++b) (lineup.banks[0]->getFilter(b, 0)->getParallel() ? parallelBands : seriesBands)++;
        // Both routes carry bands (a shelf without a parallel form stays in series).
        ASSERT_GE(parallelBands, 4);
        ASSERT_GE(seriesBands, 12);
        lineup.stream(random, 12000, {512, 300, 1, 1024, 45, 777}, [&](std::size_t k) {
            if (k % 4 != 2) return;
            // Moving a peak: its glide runs in the parallel sum while the series
            // bands' glides (a pass moved as well) run in the pipeline.
            const int peak = static_cast<int>(6 * (k / 4 % 4)), pass = peak + 1;
            lineup.each([&](EQBank& bank) {
                bank.setGain(plan[static_cast<std::size_t>(peak)].db * -0.5f, peak, -1);
                bank.setFrequency(plan[static_cast<std::size_t>(pass)].hz * 1.2f, pass, -1);
                bank.setMode(0);
            });
        });
        if (HasFatalFailure()) return;
    }
}

// After a switch of paths mid-stream (a forced fallback), processing continues
// from the same filter memories and glides.
TEST(CascadePipeline, SwitchingPathsMidStreamKeepsMemoriesAndGlides) {
    PathGuard guard;
    std::mt19937 random(7);
    const std::vector<BandPlan> plan = planFor(37, random, false);
    EQBank reference, switching;
    for (EQBank* b : {&reference, &switching}) {
        b->setSampleRate(kRate);
        apply(*b, plan);
    }
    std::vector<CascadePath> order = vectorPaths();
    order.insert(order.begin() + 1, CascadePath::Scalar);
    std::normal_distribution<double> noise(0.0, 0.3);
    for (int k = 0; k < 24; ++k) {
        std::vector<double> l(300), r(300);
        for (std::size_t i = 0; i < l.size(); ++i) l[i] = r[i] = noise(random);
        std::vector<double> l2 = l, r2 = r;
        double* a[2] = {l.data(), r.data()};
        double* b[2] = {l2.data(), r2.data()};
        forceCascadePath(CascadePath::Scalar);
        reference.process(300, a, 2);
        forceCascadePath(order[static_cast<std::size_t>(k) % order.size()]);
        switching.process(300, b, 2);
        for (std::size_t i = 0; i < l.size(); ++i) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(l2[i]), std::bit_cast<std::uint64_t>(l[i])) << "block " << k;
            ASSERT_EQ(std::bit_cast<std::uint64_t>(r2[i]), std::bit_cast<std::uint64_t>(r[i])) << "block " << k;
        }
        if (k == 5) {
            for (EQBank* bank : {&reference, &switching}) {
                bank->setGain(9.0f, 3, -1);
                bank->setMode(0);
            }
        }
    }
}

}  // namespace
}  // namespace hm::dsp
