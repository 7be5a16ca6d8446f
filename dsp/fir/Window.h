#pragma once
// FIR window shapes: the fifteen types of the window menu, their parameter mapping
// from the 0..1 control, and the two ways the builders apply them (symmetric over
// an impulse centred at L/2, one-sided over an impulse that starts at 0).
#include <vector>

namespace hm::dsp {

enum WindowType : int {
    kWindowRectangular = 0,
    kWindowHann,
    kWindowHamming,
    kWindowTukey,
    kWindowCosine,
    kWindowLanczos,
    kWindowTriangular,
    kWindowGaussian,
    kWindowBartlettHann,
    kWindowBlackman,
    kWindowKaiser,
    kWindowNutall,
    kWindowBlackmanHarris,
    kWindowBlackmanNutall,
    kWindowFlatTop,
    kWindowTypeCount
};

// A window choice with its cached table. windowLength is the length the table was
// computed for; 0 forces recomputation (set whenever type or parameter changes).
struct WindowRecord {
    int windowType = kWindowKaiser;
    float windowParam = 12.0f;  // already mapped (Kaiser beta 12 is the mapping of 0.5)
    std::vector<double> table;
    int windowLength = 0;
};

// Modified Bessel function I0 by the polynomial approximations of Abramowitz and
// Stegun 9.8.1 (|t| < 3.75) and 9.8.2 (|t| >= 3.75); relative error below 2e-7.
double besselI0(double t);

// Maps the 0..1 control to the stored parameter of a window type: Tukey alpha = x,
// Gaussian sigma = 0.01 * 10^(3x), Blackman alpha = 0.32 x, Kaiser beta = 12 (2x)^5,
// 0 for every other type.
float mapWindowParam(int type, float x);

// n samples of the window, x = k/(n - 1). Types outside 1..14 are rectangular.
std::vector<double> makeWindow(int type, double param, int n);

// Record setters that invalidate the cached table when something changes.
void setWindowType(WindowRecord& record, int type);
void setWindowParam(WindowRecord& record, float x);  // x in 0..1, mapped by the current type

// Returns the record's table for length n, recomputing it if the cached length differs.
const std::vector<double>& windowTable(WindowRecord& record, int n);

// values[k] *= w(k), k < n, w the window of length n.
void symmetricWindow(WindowRecord& record, double* values, int n);
// values[k] *= w2n(n + k), k < n: the falling half of the window of length 2n.
void oneSidedWindow(WindowRecord& record, double* values, int n);

}  // namespace hm::dsp
