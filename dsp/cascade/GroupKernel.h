#pragma once
// The vectorised cascade's inner loop, written once over a set of vector
// operations (Ops) and compiled per instruction set (KernelSse2.cpp,
// KernelAvx2.cpp, KernelAvx512.cpp). Include it only there, after defining Ops in
// an anonymous namespace: everything here is a template of Ops, so each
// instruction set gets code of its own.
//
// Ops provides kLanes (4 or 8), kX2InRegisters (whether the instruction set has
// registers enough for the sections' x2 too), V (a vector's lanes as laid out in
// PackedGroup.h), M (a lane mask) and
//   load(p) store(p, v)      kLanes aligned doubles
//   set1(x) zero()
//   add sub mul min          lane by lane; add/sub/mul never fused, so every lane
//                            rounds exactly as the scalar cascade does
//   lessEq(a, b) equal(a, b) lane masks
//   pair(i)                  the mask of lanes i and i + kLanes/2 (0 <= i < kLanes/2)
//   columns(v)               with kX2InRegisters: the lanes of pair(0) .. pair(v-1)
//   select(mask, a, b)       mask ? a : b
//   storeLanes(p, mask, v)   store(p, select(mask, v, load(p)))
//   flushTiny(v)             |v| < 2^-1021 becomes +0
//   input(lr)                the pair {L, R} where feed takes it from
//   feed(in, y2)             each half moved up a lane, the group input entering
//                            at its lane 0: [L, y2_0, .., y2_S-2 | R, y2_S, ..];
//                            with y2 of vector P-1, vector 0's input
//   output(lr, y)            stores {y_S-1, y_2S-1}: the last section's two channels
//
// The recursion's latency (a multiplication and two subtractions from y1 to y)
// bounds a step; the pipeline keeps P vectors in flight so that the processor
// has the other vectors' work to do meanwhile. What a step keeps in registers
// (3 per vector) is what limits P.
#include <type_traits>
#include <utility>

#include "dsp/cascade/PackedGroup.h"

namespace hm::dsp::kernel {

// f(std::integral_constant<int, K>{}) for K = 0 .. N-1, written out: the vectors'
// registers are indexed by constants, so they stay registers.
template <int N, class F>
[[gnu::always_inline]] inline void unroll(F&& f) {
    [&]<int... K>(std::integer_sequence<int, K...>) __attribute__((always_inline)) {
        (f(std::integral_constant<int, K>{}), ...);
    }(std::make_integer_sequence<int, N>{});
}

template <class Ops, int P>
struct Group {
    using V = typename Ops::V;
    using M = typename Ops::M;
    static constexpr int kLanes = Ops::kLanes;
    static constexpr int S = kLanes / 2;  // sections per channel in a vector
    static_assert(kLanes == 4 || kLanes == 8);
    static constexpr int kSkew = 2 * (S * P - 1);  // steps until the last section sees sample 0

    // Lane l of vector j runs section j + (l mod S)·P, skewed by twice that.
    struct SkewRows {
        alignas(64) double v[P][kMaxVectorLanes];
    };
    static constexpr SkewRows kLaneSkew = [] {
        SkewRows r{};
        for (int j = 0; j < P; ++j)
            for (int l = 0; l < kLanes; ++l) r.v[j][l] = 2.0 * (j + (l % S) * P);
        return r;
    }();
    // Step t is the last sample's for one of vector j's sections.
    static constexpr bool lastOfSome(int j, int t, int n) {
        for (int i = 0; i < S; ++i)
            if (t == n - 1 + 2 * (j + i * P)) return true;
        return false;
    }

    // x1, y1 and y2 of every vector stay in registers (y1 closes the recursion;
    // y2 is the next vector's input). x2 is needed only two steps after it was an
    // input: with 16 registers it lives in the group's ring, where by the step's
    // parity the slot holds the input of two steps ago and takes the new one; with
    // 32 (kX2InRegisters) in registers too. The masked steps always use the ring.
    struct Regs {
        V x1[P], y1[P], y2[P];
        V x2[Ops::kX2InRegisters ? P : 1];
    };

    // Coefficients of vector j at step t: the static rows, or the glide rule of
    // each lane's own cascade at the lane's own sample: target - step * d with
    // d = max(base - t, 0), computed as target + step * m with m = -d = min(t -
    // base, 0), which rounds identically (the product only changes sign).
    //
    // The static rows are a copy in locals: a store to the block might, for all
    // the compiler knows, write the group's rows, so rows read through the group
    // would be read again at every step; a copy it sees whole it keeps in
    // registers as far as they go, the rest in the stack frame. (The glide's
    // three rows a coefficient cost the same from the group or from a copy.)
    struct Held {
        V c[P][kCoefficientRows];
        explicit Held(const PackedGroup& g) {
            for (int j = 0; j < P; ++j)
                for (int k = 0; k < kCoefficientRows; ++k) c[j][k] = Ops::load(g.coef[j][k]);
        }
        V distance(int, V) const { return V{}; }
        V at(int j, int k, V) const { return c[j][k]; }
    };
    struct Glide {
        const PackedGroup& g;
        V distance(int j, V tv) const { return Ops::min(Ops::sub(tv, Ops::load(g.base[j])), Ops::zero()); }
        V at(int j, int c, V m) const { return Ops::add(Ops::mul(m, Ops::load(g.step[j][c])), Ops::load(g.target[j][c])); }
    };

    // y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2, left to right, as the scalar cascade.
    template <class Coef>
    static inline V section(const Regs& r, int j, V x, V x2, const Coef& coef, V tv) {
        const V m = coef.distance(j, tv);
        V y = Ops::mul(coef.at(j, 0, m), x);
        y = Ops::add(y, Ops::mul(coef.at(j, 1, m), r.x1[j]));
        y = Ops::add(y, Ops::mul(coef.at(j, 2, m), x2));
        y = Ops::sub(y, Ops::mul(coef.at(j, 3, m), r.y1[j]));
        return Ops::sub(y, Ops::mul(coef.at(j, 4, m), r.y2[j]));
    }

    // Step t, `in` the group's input pair (Ops::input). Besides advancing every
    // section it may first take the `start` lanes of vector kStartJ back to g's
    // block-start memories (a section's first step), and afterwards save the
    // memories of the `save` lanes of vector kSaveJ into saveTo (a section's last
    // step); -1 for none. Descending j: vector j reads vector j-1's y2 as its
    // input before vector j-1 moves on. kParity is t & 1 where the caller knows it.
    template <int kStartJ, int kSaveJ, int kParity, bool kOutput, class Coef>
    [[gnu::always_inline]] static inline void step(Regs& r, PackedGroup& g, PackedGroup& saveTo, V in, int t,
                                                   double* out, M start, M save, const Coef& coef) {
        const V tv = Ops::set1(static_cast<double>(t));
        const int parity = kParity >= 0 ? kParity : t & 1;
        double(*ring)[kMaxVectorLanes] = g.ring[parity];
        const V x0 = Ops::feed(in, r.y2[P - 1]);
        unroll<P>([&](auto k) __attribute__((always_inline)) {
            constexpr int j = P - 1 - decltype(k)::value;
            V x;
            if constexpr (j == 0) x = x0;
            else x = r.y2[j - 1];
            V x2;
            if constexpr (Ops::kX2InRegisters) x2 = r.x2[j];
            else x2 = Ops::load(ring[j]);
            if constexpr (j == kStartJ) {
                const V x1 = Ops::load(g.state[j][0]);
                if constexpr (!Ops::kX2InRegisters) {
                    // The ring's other slot holds what the next step takes as x2.
                    double* next = g.ring[parity ^ 1][j];
                    Ops::store(next, Ops::select(start, x1, Ops::load(next)));
                }
                r.x1[j] = Ops::select(start, x1, r.x1[j]);
                x2 = Ops::select(start, Ops::load(g.state[j][1]), x2);
                r.y1[j] = Ops::select(start, Ops::load(g.state[j][2]), r.y1[j]);
                r.y2[j] = Ops::select(start, Ops::load(g.state[j][3]), r.y2[j]);
            }
            const V y = section(r, j, x, x2, coef, tv);
            if constexpr (j == kSaveJ) {
                const V memories[4] = {x, r.x1[j], y, r.y1[j]};  // x1, x2, y1, y2 after this sample
                for (int m = 0; m < 4; ++m) Ops::storeLanes(saveTo.state[j][m], save, memories[m]);
            }
            if constexpr (Ops::kX2InRegisters) r.x2[j] = r.x1[j];
            else Ops::store(ring[j], x);
            r.x1[j] = x;
            r.y2[j] = r.y1[j];
            r.y1[j] = y;
        });
        if constexpr (kOutput) Ops::output(out, r.y1[P - 1]);
    }

    // Steps [t0, t1) in which every lane works on a sample of the block (t0 even,
    // t0 >= kSkew, t1 <= n - 1), two at a time so that the ring's slots are known.
    // The registers come in by value and go back as the result: a local whose
    // address never leaves the function stays in registers.
    template <class Coef>
    [[gnu::noinline]] static Regs plain(Regs r, PackedGroup& g, double* io, int t0, int t1, Coef coef) {
        int t = t0;
        for (; t + 2 <= t1; t += 2) {
            step<-1, -1, 0, true>(r, g, g, Ops::input(io + 2 * t), t, io + 2 * (t - kSkew), M{}, M{}, coef);
            step<-1, -1, 1, true>(r, g, g, Ops::input(io + 2 * t + 2), t + 1, io + 2 * (t + 1 - kSkew), M{}, M{}, coef);
        }
        if (t < t1) step<-1, -1, 0, true>(r, g, g, Ops::input(io + 2 * t), t, io + 2 * (t - kSkew), M{}, M{}, coef);
        return r;
    }

    // Steps 0 .. 2SP-1 of a block longer than that. Section k = j + iP (lanes i
    // and i + S of vector j) starts at step 2k, where it first takes its block-start
    // memories back: before that it computed on whatever reached it, which no
    // section that has started reads. The last section starts at kSkew, with the
    // first output.
    template <class Coef>
    [[gnu::noinline]] static Regs fill(Regs r, PackedGroup& g, double* io, Coef coef) {
        for (int i = 0; i < S; ++i) {
            const M lanes = Ops::pair(i);
            unroll<P>([&](auto k) __attribute__((always_inline)) {
                constexpr int j = decltype(k)::value;
                const int t = 2 * (j + i * P);
                if (j == P - 1 && i == S - 1) {
                    step<j, -1, 0, true>(r, g, g, Ops::input(io + 2 * t), t, io, lanes, M{}, coef);
                    step<-1, -1, 1, true>(r, g, g, Ops::input(io + 2 * t + 2), t + 1, io + 2, M{}, M{}, coef);
                } else {
                    step<j, -1, 0, false>(r, g, g, Ops::input(io + 2 * t), t, nullptr, lanes, M{}, coef);
                    step<-1, -1, 1, false>(r, g, g, Ops::input(io + 2 * t + 2), t + 1, nullptr, M{}, M{}, coef);
                }
            });
        }
        return r;
    }

    // Steps n-1 .. n-1+kSkew of a block longer than 2SP: section k = j + iP takes
    // the block's last sample at step n-1+2k and saves its memories there. Past
    // that it runs on: the section after it still reads its last two outputs.
    template <class Coef>
    [[gnu::noinline]] static void drain(Regs r, PackedGroup& g, double* io, int n, Coef coef) {
        const int last = n - 1;
        for (int i = 0; i < S; ++i) {
            const M lanes = Ops::pair(i);
            unroll<P>([&](auto k) __attribute__((always_inline)) {
                constexpr int j = decltype(k)::value;
                const int t = last + 2 * (j + i * P);
                const V in = t == last ? Ops::input(io + 2 * t) : Ops::zero();
                step<-1, j, -1, true>(r, g, g, in, t, io + 2 * (t - kSkew), M{}, lanes, coef);
                if (j < P - 1 || i < S - 1)
                    step<-1, -1, -1, true>(r, g, g, Ops::zero(), t + 1, io + 2 * (t + 1 - kSkew), M{}, M{}, coef);
            });
        }
    }

    // Any steps of any block, for blocks too short for fill and drain of their own
    // (whose ranges would overlap): lanes that have not reached sample 0 keep their
    // block-start memories, and each lane's memories are saved into the group at
    // its last sample (lane k at step n - 1 + 2k). Past that a lane runs on.
    template <class Coef>
    [[gnu::noinline]] static Regs masked(Regs r, PackedGroup& g, double* io, int n, int t0, int t1, Coef coef) {
        for (int t = t0; t < t1; ++t) {
            const V tv = Ops::set1(static_cast<double>(t));
            const V lastv = Ops::set1(static_cast<double>(t - (n - 1)));
            double(*ring)[kMaxVectorLanes] = g.ring[t & 1];
            const V x0 = Ops::feed(t < n ? Ops::input(io + 2 * t) : Ops::zero(), r.y2[P - 1]);
            for (int j = P - 1; j >= 0; --j) {
                const V x = j == 0 ? x0 : r.y2[j - 1];
                const V x2 = Ops::load(ring[j]);
                const V y = section(r, j, x, x2, coef, tv);
                const V skew = Ops::load(kLaneSkew.v[j]);
                // Only the vector's sections' last steps save memories, and only the
                // fill has lanes still waiting for sample 0.
                if (lastOfSome(j, t, n)) {
                    const M last = Ops::equal(skew, lastv);
                    const V memories[4] = {x, r.x1[j], y, r.y1[j]};  // x1, x2, y1, y2 after this sample
                    for (int m = 0; m < 4; ++m)
                        Ops::store(g.state[j][m], Ops::select(last, memories[m], Ops::load(g.state[j][m])));
                }
                if (t < 2 * (j + (S - 1) * P)) {
                    const M started = Ops::lessEq(skew, tv);
                    Ops::store(ring[j], Ops::select(started, x, x2));
                    r.x1[j] = Ops::select(started, x, r.x1[j]);
                    r.y2[j] = Ops::select(started, r.y1[j], r.y2[j]);
                    r.y1[j] = Ops::select(started, y, r.y1[j]);
                } else {
                    Ops::store(ring[j], x);
                    r.x1[j] = x;
                    r.y2[j] = r.y1[j];
                    r.y1[j] = y;
                }
            }
            if (t >= kSkew) Ops::output(io + 2 * (t - kSkew), r.y1[P - 1]);
        }
        return r;
    }

    template <class Coef>
    static void steps(Regs r, PackedGroup& g, double* io, int n, Coef coef) {
        constexpr int kFill = 2 * S * P;
        if (n - 1 < kFill) {
            masked(r, g, io, n, 0, n + kSkew, coef);
            return;
        }
        r = fill(r, g, io, coef);
        r = plain(r, g, io, kFill, n - 1, coef);
        drain(r, g, io, n, coef);
    }

    // The group's memories, flushed where they are kept (the fill and a hand-over
    // go back to them), as the registers of its step 0.
    static Regs begin(PackedGroup& g) {
        Regs r;
        for (int j = 0; j < P; ++j) {
            for (int m = 0; m < 4; ++m) Ops::store(g.state[j][m], Ops::flushTiny(Ops::load(g.state[j][m])));
            r.x1[j] = Ops::load(g.state[j][0]);
            r.y1[j] = Ops::load(g.state[j][2]);
            r.y2[j] = Ops::load(g.state[j][3]);
            // Step 0 finds x(-2) in the even slot, step 1 finds x(-1) in the odd one.
            Ops::store(g.ring[0][j], Ops::load(g.state[j][1]));
            Ops::store(g.ring[1][j], r.x1[j]);
            if constexpr (Ops::kX2InRegisters) r.x2[j] = Ops::load(g.state[j][1]);
        }
        return r;
    }

    // Runs the group over a block of n samples (interleaved L, R in io, in place);
    // every lane's memories end up saved in the group.
    static void run(PackedGroup& g, double* io, int n) {
        const Regs r = begin(g);
        if (g.gliding) steps(r, g, io, n, Glide{g});
        else steps(r, g, io, n, Held{g});
    }

    // Coefficients while one group hands over to the next: vector j's rows where
    // row[j] points (kCoefficientRows rows of lanes), the lanes of sections handed
    // over taking the next group's.
    struct Mixed {
        const double* row[P];
        V distance(int, V) const { return V{}; }
        V at(int j, int c, V) const { return Ops::load(row[j] + c * kMaxVectorLanes); }
    };

    // The drain of `from` and the fill of `to` (both static, of P vectors) in the
    // same steps d, after from's steps up to n-2. Section k's lanes are from's
    // until its last sample at d = 2k, where its memories are saved, and to's from
    // d = 2k + 2 (to's step d - 2), where they take to's block-start memories: the
    // section after it still reads its output of d = 2k at d = 2k + 2, before it
    // moves on. The lanes one group leaves are the lanes the next needs, so the
    // steps the two would spend half idle are spent once. Section 0 takes from's
    // last sample at d = 0 and to's sample d - 2 (from's output, written long
    // before) from d = 2; the output is from's until its last section's last
    // sample (d = kSkew), then to's from d = kSkew + 2. Ends where to's fill would.
    [[gnu::noinline]] static Regs handOver(Regs r, PackedGroup& from, PackedGroup& to, double* io, int n) {
        static_assert(Ops::kX2InRegisters, "the hand-over keeps no ring");
        for (int j = 0; j < P; ++j)
            for (int m = 0; m < 4; ++m) Ops::store(to.state[j][m], Ops::flushTiny(Ops::load(to.state[j][m])));
        // rows[j][v]: vector j with the lanes of its first v columns handed over.
        alignas(64) double mixed[P][S - 1][kCoefficientRows][kMaxVectorLanes];
        const double* rows[P][S + 1];
        for (int j = 0; j < P; ++j) {
            rows[j][0] = from.coef[j][0];
            rows[j][S] = to.coef[j][0];
            for (int v = 1; v < S; ++v) {
                const M handed = Ops::columns(v);
                for (int c = 0; c < kCoefficientRows; ++c)
                    Ops::store(mixed[j][v - 1][c], Ops::select(handed, Ops::load(to.coef[j][c]), Ops::load(from.coef[j][c])));
                rows[j][v] = mixed[j][v - 1][0];
            }
        }
        const int last = n - 1;
        for (int i = 0; i < S; ++i) {
            const M lanes = Ops::pair(i), before = Ops::pair(i == 0 ? 0 : i - 1);
            unroll<P>([&](auto k) __attribute__((always_inline)) {
                constexpr int J = decltype(k)::value;
                const int m = J + i * P, d = 2 * m;
                // Steps d and d + 1: sections before m are to's, from's section m
                // takes its last sample, and to's section m - 1 starts.
                Mixed coef;
                for (int j = 0; j < P; ++j) coef.row[j] = rows[j][i + (j < J ? 1 : 0)];
                const V in = Ops::input(io + 2 * (m == 0 ? last : d - 2));
                double* out = io + 2 * (last + d - kSkew);
                if constexpr (J > 0) {
                    step<J - 1, J, -1, true>(r, to, from, in, d, out, lanes, lanes, coef);
                } else if (i > 0) {
                    step<P - 1, 0, -1, true>(r, to, from, in, d, out, before, lanes, coef);
                } else {
                    step<-1, 0, -1, true>(r, to, from, in, d, out, M{}, lanes, coef);
                }
                // d + 1: from's last section has its last sample at d = kSkew at most.
                const V next = m == 0 ? Ops::zero() : Ops::input(io + 2 * (d - 1));
                if (m < S * P - 1) step<-1, -1, -1, true>(r, to, from, next, d + 1, out + 2, M{}, M{}, coef);
                else step<-1, -1, -1, false>(r, to, from, next, d + 1, nullptr, M{}, M{}, coef);
            });
        }
        // d = 2SP, 2SP + 1: to's last section starts, at to's steps kSkew and kSkew + 1.
        const int d = 2 * S * P;
        step<P - 1, -1, -1, true>(r, to, to, Ops::input(io + 2 * (d - 2)), d, io, Ops::pair(S - 1), M{}, Held{to});
        step<-1, -1, -1, true>(r, to, to, Ops::input(io + 2 * (d - 1)), d + 1, io + 2, M{}, M{}, Held{to});
        return r;
    }

    // Consecutive static groups of P vectors over a block longer than their fill,
    // each handing over to the next.
    static void runHandingOver(PackedGroup* groups, int count, double* io, int n) {
        Regs r = fill(begin(groups[0]), groups[0], io, Held{groups[0]});
        for (int c = 0;; ++c) {
            r = plain(r, groups[c], io, 2 * S * P, n - 1, Held{groups[c]});
            if (c + 1 == count) break;
            r = handOver(r, groups[c], groups[c + 1], io, n);
        }
        drain(r, groups[count - 1], io, n, Held{groups[count - 1]});
    }
};

// The pair's copies, plain loops the compiler vectorises for the file's
// instruction set (templates of Ops, like everything here, for code of its own).
template <class Ops>
void interleave(const double* __restrict left, const double* __restrict right, double* __restrict io, int n) {
    for (int i = 0; i < n; ++i) {
        io[2 * i] = left[i];
        io[2 * i + 1] = right[i];
    }
}
template <class Ops>
void deinterleave(const double* __restrict io, double* __restrict left, double* __restrict right, int n) {
    for (int i = 0; i < n; ++i) left[i] = io[2 * i];
    if (right)
        for (int i = 0; i < n; ++i) right[i] = io[2 * i + 1];
}

// One group, dispatched on its size.
template <class Ops>
void runGroup(PackedGroup& g, double* io, int n) {
    static_assert(kMaxGroupVectors >= 1 && kMaxGroupVectors <= 4);
    switch (g.vectors) {
        case 1: Group<Ops, 1>::run(g, io, n); break;
        case 2: if constexpr (kMaxGroupVectors >= 2) Group<Ops, 2>::run(g, io, n); break;
        case 3: if constexpr (kMaxGroupVectors >= 3) Group<Ops, 3>::run(g, io, n); break;
        default: if constexpr (kMaxGroupVectors >= 4) Group<Ops, 4>::run(g, io, n); break;
    }
}

// The chain each instruction set exports: the groups in order over the block.
// With registers enough for the hand-over, consecutive static full groups hand
// over from one to the next (Group::handOver); only a chain's last group can be
// smaller than full.
template <class Ops>
void runChain(PackedGroup* groups, int count, double* io, int n) {
    constexpr int P = kMaxGroupVectors;
    for (int g = 0; g < count;) {
        int end = g + 1;
        if constexpr (Ops::kX2InRegisters) {
            if (n - 1 >= Ops::kLanes * P)  // longer than the fill (2SP steps)
                while (end < count && groups[end - 1].vectors == P && groups[end].vectors == P &&
                       !groups[end - 1].gliding && !groups[end].gliding)
                    ++end;
        }
        if (end - g == 1) runGroup<Ops>(groups[g], io, n);
        else if constexpr (Ops::kX2InRegisters) Group<Ops, P>::runHandingOver(groups + g, end - g, io, n);
        g = end;
    }
}

}  // namespace hm::dsp::kernel
