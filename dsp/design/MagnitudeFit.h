#pragma once
// Refinement of one biquad's magnitude against a target magnitude on a fixed grid.
//
// The grid has kFitPoints frequencies spaced evenly in log-frequency from 20 Hz to
// Nyquist (both included); its trigonometric tables are computed once per sample
// rate, so an iteration does no trigonometry. The free parameters are
// x = (b1/b0, b2/b0, a1, a2); the overall gain is solved in closed form for every
// candidate, and the minimiser is a BFGS quasi-Newton method with a backtracking
// line search on analytic gradients.
//
// Gradient: with the gain k = sum(m t) / sum(m^2) optimal for every x, the error's
// derivative through k vanishes (envelope theorem), so dE/dx = sum 2 (k m - t) k dm/dx
// with m = |N| / |D|: dm/dn = m Re(conj(N) dN/dn) / |N|^2 and likewise, negated, for
// the denominator, whose coefficients pass through the stabilising reflection
// (its 2 x 2 Jacobian is taken numerically: it is a closed formula, not the grid).
#include "dsp/AnalogSection.h"
#include "dsp/Biquad.h"

namespace hm::dsp {

constexpr int kFitPoints = 128;
constexpr double kFitLowestHz = 20.0;  // the grid's first frequency

// True when a resonance of quality q is narrower than the grid's spacing at rate
// fs: at most one grid point sees its peak, so a fit would chase the skirts and
// move the poles (often onto the unit circle, where the section rings for ever).
bool sharperThanFitGrid(double q, double fs);
// The same for a resonance at f0 Hz that also lies well inside the audio band
// (below 0.45 fs), where a mapping of its poles alone keeps its shape.
bool sharpResonanceInBand(double f0, double q, double fs);

// Where a section's previous fit ended: a redesign of a slightly moved band (a
// sweep under automation) starts there when that matches the new target better
// than the direct mapping, and converges in a few iterations.
struct FitStart {
    double x[4] = {};
    double hinv[4][4] = {};  // the inverse-Hessian estimate it ended with
    bool valid = false;
};

struct FitWorkspace {
    double fitOmega[kFitPoints];
    double fitCos1[kFitPoints], fitCos2[kFitPoints], fitSin1[kFitPoints], fitSin2[kFitPoints];
    double fitTarget[kFitPoints];
    double fitModel[kFitPoints];
    double fitPartial[4][kFitPoints];  // dm/dx per grid point, for the gradient
    double fitRate = 0.0;

    // Optimiser state.
    double x[4];
    double gain;
    double hinv[4][4];
    double grad[4], trial[4], direction[4];
    double best[4], bestError;  // the best point that keeps the stability margin
    double maxStep = 0.1;

    // Per section of the band: where its last fit ended.
    FitStart warm[kMaxSections];
};

struct FitMethod {
    int maxIterations;
    double acceptBelow;  // the final error must be below this (infinity: no bound)
    double skipAtMost;   // no fit when the starting error is at most this
    // Keep the numerator's zero at DC (b0 + b1 + b2 = 0): a band-pass has one, and
    // the grid, starting at 20 Hz, would otherwise let it drift off unseen.
    bool keepDcZero = false;
    // Keep the denominator as mapped: for a resonance narrower than the grid's
    // spacing, whose place and width the mapping got right and the grid cannot see,
    // only the zeros and the gain are fitted (to the skirts).
    bool keepPoles = false;
};

// The five methods of the mapper, by number.
FitMethod fitMethod(int method);

// Recomputes the grid tables when the rate differs from the one they hold.
void prepareFitGrid(FitWorkspace& ws, double fs);

// Error of parameter set x against ws.fitTarget (denominator first reflected into
// the unit circle); writes the best gain to *gain when non-null.
double fitError(FitWorkspace& ws, const double x[4], double* gain);

// The same error and its gradient with respect to x (dE/dx in grad).
double fitErrorGradient(FitWorkspace& ws, const double x[4], double grad[4]);


// Fits bq's magnitude to ws.fitTarget. On success (error lowered below the direct
// mapping's and below the method's bound, result stable) bq is replaced and true
// is returned; otherwise bq is left as it was. `warm` (may be null) offers a start
// and receives the result of a successful fit.
bool fitBiquad(FitWorkspace& ws, const FitMethod& method, Biquad& bq, FitStart* warm = nullptr);

// Reflects the roots of z^2 + c1 z + c2 into the closed unit circle; returns the
// factor by which the polynomial's magnitude on the unit circle shrank.
double reflectIntoUnitCircle(double& c1, double& c2);

}  // namespace hm::dsp
