#pragma once
// Refinement of one biquad's magnitude against a target magnitude on a fixed grid.
//
// The grid has kFitPoints frequencies spaced evenly in log-frequency from 20 Hz to
// Nyquist (both included); its trigonometric tables are computed once per sample
// rate, so an iteration does no trigonometry. The free parameters are
// x = (b1/b0, b2/b0, a1, a2); the overall gain is solved in closed form for every
// candidate, and the minimiser is a BFGS quasi-Newton method with a backtracking
// line search.
#include "dsp/Biquad.h"

namespace hm::dsp {

constexpr int kFitPoints = 128;

struct FitWorkspace {
    double fitOmega[kFitPoints];
    double fitCos1[kFitPoints], fitCos2[kFitPoints], fitSin1[kFitPoints], fitSin2[kFitPoints];
    double fitTarget[kFitPoints];
    double fitModel[kFitPoints];
    double fitRate = 0.0;

    // Optimiser state.
    double x[4];
    double gain;
    double hinv[4][4];
    double grad[4], trial[4], direction[4];
    double maxStep = 0.1;
};

struct FitMethod {
    int maxIterations;
    double acceptBelow;  // the final error must be below this (infinity: no bound)
    double skipAtMost;   // no fit when the starting error is at most this
};

// The five methods of the mapper, by number.
FitMethod fitMethod(int method);

// Recomputes the grid tables when the rate differs from the one they hold.
void prepareFitGrid(FitWorkspace& ws, double fs);

// Error of parameter set x against ws.fitTarget (denominator first reflected into
// the unit circle); writes the best gain to *gain when non-null.
double fitError(FitWorkspace& ws, const double x[4], double* gain);

// Fits bq's magnitude to ws.fitTarget. On success (error lowered and below the
// method's bound, result stable) bq is replaced and true is returned; otherwise bq
// is left as it was.
bool fitBiquad(FitWorkspace& ws, const FitMethod& method, Biquad& bq);

// Reflects the roots of z^2 + c1 z + c2 into the closed unit circle; returns the
// factor by which the polynomial's magnitude on the unit circle shrank.
double reflectIntoUnitCircle(double& c1, double& c2);

}  // namespace hm::dsp
