// The vectorised cascade against the scalar one: filter banks with designs from
// the real designer, run side by side on the same input in the same blocks, one
// on each cascade path, must give the same output. The scalar path (each band's
// DF1Cascade::processDouble in turn) is the reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
    // Runs one block of `input` through every bank; the paths' outputs must match the
    // scalar one within 1e-12 of the largest output the reference has given so far.
    void block(const std::vector<std::vector<double>>& input, std::size_t offset, int n, double& peak) {
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
        for (int c = 0; c < channels; ++c)
            for (double v : out[static_cast<std::size_t>(c)]) peak = std::max(peak, std::fabs(v));
        for (std::size_t k = 1; k < banks.size(); ++k) {
            for (int c = 0; c < channels; ++c) {
                const auto& ref = out[static_cast<std::size_t>(c)];
                const auto& got = out[k * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)];
                for (int i = 0; i < n; ++i) {
                    ASSERT_LE(std::fabs(got[static_cast<std::size_t>(i)] - ref[static_cast<std::size_t>(i)]),
                              1e-12 * std::max(peak, 1e-300))
                        << cascadePathName(paths[k]) << " channel " << c << " sample " << offset + i << " of a block of " << n;
                }
            }
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

        std::normal_distribution<double> noise(0.0, 0.3);
        const std::size_t total = 8192 * 2;
        std::vector<std::vector<double>> input(static_cast<std::size_t>(channels), std::vector<double>(total));
        for (auto& ch : input)
            for (double& v : ch) v = noise(random);
        double peak = 0.0;
        std::size_t at = 0;
        // Block sizes in a different order per plan; between some blocks, new gains
        // or frequencies for a few bands start glides that other bands' glides overlap,
        // and a band sent to 0 dB glides to unity and drops out of the chain.
        for (int k = 0; at < total; ++k) {
            const int n = std::min<int>(blockSizes[(k + sections) % 15], static_cast<int>(total - at));
            lineup.block(input, at, n, peak);
            if (HasFatalFailure()) return;
            at += static_cast<std::size_t>(n);
            if (k % 3 == 1) {
                const int b = static_cast<int>(random() % plan.size());
                const float db = k % 6 == 1 ? 0.0f : plan[static_cast<std::size_t>(b)].db * 0.5f + 1.0f;
                const float hz = plan[static_cast<std::size_t>(b)].hz * (k % 2 ? 1.1f : 0.9f);
                lineup.each([&](EQBank& bank) {
                    bank.setGain(db, b, -1);
                    bank.setFrequency(hz, b, -1);
                    bank.setMode(0);
                });
            }
        }
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
        for (std::size_t i = 0; i < l.size(); ++i) ASSERT_NEAR(l2[i], l[i], 1e-12) << "block " << k;
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
