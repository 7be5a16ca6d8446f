#include "dsp/fir/Window.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace hm::dsp {

namespace {

constexpr double kPi = std::numbers::pi;

double cosineSum(double x, const double* a, int terms)
{
    // a0 - a1 cos 2 pi x + a2 cos 4 pi x - a3 cos 6 pi x + ...
    double w = 0.0, sign = 1.0;
    for (int i = 0; i < terms; ++i) {
        w += sign * a[i] * std::cos(2.0 * kPi * i * x);
        sign = -sign;
    }
    return w;
}

}  // namespace

double besselI0(double t)
{
    const double a = std::abs(t);
    if (a < 3.75) {
        const double y = (t / 3.75) * (t / 3.75);
        return 1.0 + y * (3.5156229 + y * (3.0899424 + y * (1.2067492 +
                   y * (0.2659732 + y * (0.0360768 + y * 0.0045813)))));
    }
    const double y = 3.75 / a;
    const double p = 0.39894228 + y * (0.01328592 + y * (0.00225319 + y * (-0.00157565 +
                     y * (0.00916281 + y * (-0.02057706 + y * (0.02635537 +
                     y * (-0.01647633 + y * 0.00392377)))))));
    return p * std::exp(a) / std::sqrt(a);
}

float mapWindowParam(int type, float x)
{
    if (!(x >= 0.0f)) x = 0.0f;  // NaN as well
    if (x > 1.0f) x = 1.0f;
    switch (type) {
    case kWindowTukey: return x;
    case kWindowGaussian: return 0.01f * std::pow(10.0f, 3.0f * x);
    case kWindowBlackman: return 0.32f * x;
    case kWindowKaiser: return 12.0f * std::pow(2.0f * x, 5.0f);
    default: return 0.0f;
    }
}

std::vector<double> makeWindow(int type, double p, int n)
{
    if (n <= 0) return {};
    std::vector<double> w(static_cast<std::size_t>(n), 1.0);
    if (n == 1) return w;  // a one-tap window passes its tap
    const double last = static_cast<double>(n - 1);
    const double c = std::floor(last / 2.0);
    static constexpr double kNutall[] = {0.355768, 0.487396, 0.144232, 0.012604};
    static constexpr double kBlackmanHarris[] = {0.35875, 0.48829, 0.14128, 0.01168};
    static constexpr double kBlackmanNutall[] = {0.3635819, 0.4891775, 0.1365995, 0.0106411};
    static constexpr double kFlatTop[] = {1.0, 1.93, 1.29, 0.388, 0.032};
    const double i0beta = besselI0(p);
    for (int k = 0; k < n; ++k) {
        const double x = k / last;
        double v = 1.0;
        switch (type) {
        case kWindowHann: v = 0.5 * (1.0 - std::cos(2.0 * kPi * x)); break;
        case kWindowHamming: v = 0.54 - 0.46 * std::cos(2.0 * kPi * x); break;
        case kWindowTukey: {
            const double edge = std::min(x, 1.0 - x);  // mirrored at the end
            v = (p > 0.0 && edge <= p / 2.0) ? 0.5 * (1.0 + std::cos(kPi * (2.0 * edge / p - 1.0))) : 1.0;
            break;
        }
        case kWindowCosine: v = std::sin(kPi * x); break;
        case kWindowLanczos: {
            const double u = 2.0 * x - 1.0;
            v = u == 0.0 ? 1.0 : std::sin(kPi * u) / (kPi * u);
            break;
        }
        case kWindowTriangular:
            // c is rounded down, so for even n the last tap would dip below zero.
            v = std::max(0.0, (2.0 / last) * (c - std::abs(k - c)));
            break;
        case kWindowGaussian: {
            if (p <= 0.0) break;
            const double r = 2.0 * (k - c) / (p * last);
            v = std::exp(-0.5 * r * r);
            break;
        }
        case kWindowBartlettHann:
            v = 0.62 - 0.48 * std::abs(x - 0.5) - 0.38 * std::cos(2.0 * kPi * x);
            break;
        case kWindowBlackman:
            v = (1.0 - p) / 2.0 - 0.5 * std::cos(2.0 * kPi * x) + (p / 2.0) * std::cos(4.0 * kPi * x);
            break;
        case kWindowKaiser: {
            const double u = 2.0 * x - 1.0;
            v = besselI0(p * std::sqrt(std::max(0.0, 1.0 - u * u))) / i0beta;
            break;
        }
        case kWindowNutall: v = cosineSum(x, kNutall, 4); break;
        case kWindowBlackmanHarris: v = cosineSum(x, kBlackmanHarris, 4); break;
        case kWindowBlackmanNutall: v = cosineSum(x, kBlackmanNutall, 4); break;
        case kWindowFlatTop: v = cosineSum(x, kFlatTop, 5); break;
        default: break;  // rectangular, and any unknown type
        }
        w[static_cast<std::size_t>(k)] = v;
    }
    return w;
}

void setWindowType(WindowRecord& record, int type)
{
    if (type == record.windowType) return;
    record.windowType = type;
    record.windowLength = 0;
}

void setWindowParam(WindowRecord& record, float x)
{
    const float mapped = mapWindowParam(record.windowType, x);
    if (mapped == record.windowParam) return;
    record.windowParam = mapped;
    record.windowLength = 0;
}

const std::vector<double>& windowTable(WindowRecord& record, int n)
{
    if (record.windowLength != n || static_cast<int>(record.table.size()) != n) {
        record.table = makeWindow(record.windowType, record.windowParam, n);
        record.windowLength = n;
    }
    return record.table;
}

void symmetricWindow(WindowRecord& record, double* values, int n)
{
    const auto& w = windowTable(record, n);
    for (int k = 0; k < n; ++k) values[k] *= w[static_cast<std::size_t>(k)];
}

void oneSidedWindow(WindowRecord& record, double* values, int n)
{
    const auto& w = windowTable(record, 2 * n);
    for (int k = 0; k < n; ++k) values[k] *= w[static_cast<std::size_t>(n + k)];
}

}  // namespace hm::dsp
