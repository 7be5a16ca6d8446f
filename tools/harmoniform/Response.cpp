#include "tools/harmoniform/Response.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>

#include "core/params/ParamIds.h"

namespace hm::tool {

std::vector<double> responseGrid(double sampleRate) {
    const double top = std::min(22000.0, 0.49 * sampleRate);
    const int first = static_cast<int>(std::ceil(24.0 * std::log2(10.0 / 1000.0) - 1e-9));
    const int last = static_cast<int>(std::floor(24.0 * std::log2(top / 1000.0) + 1e-9));
    std::vector<double> hz;
    for (int k = first; k <= last; ++k) hz.push_back(1000.0 * std::exp2(k / 24.0));
    return hz;
}

std::vector<Probe> responseProbes(HostSession& session) {
    const std::size_t channels = static_cast<std::size_t>(session.channels());
    const auto probe = [&](const char* name, int channel, std::vector<double> in, std::vector<double> out) {
        in.resize(channels, 0.0);
        out.resize(channels, 0.0);
        return Probe{name, channel, std::move(in), std::move(out)};
    };
    if (channels < 2) return {probe("", 0, {1.0}, {1.0})};
    // The first pair's mid/side bit is bit 3 of MS State.
    if (std::lround(session.realValue(kMsState)) & 8)
        return {probe("mid", 0, {1.0, 1.0}, {0.5, 0.5}), probe("side", 1, {1.0, -1.0}, {0.5, -0.5})};
    return {probe("left", 0, {1.0, 0.0}, {1.0, 0.0}), probe("right", 1, {0.0, 1.0}, {0.0, 1.0})};
}

std::vector<double> measureImpulseResponse(HostSession& session, int length, const Probe& probe) {
    const int block = session.blockSize();
    const std::size_t channels = static_cast<std::size_t>(session.channels());
    std::vector<std::vector<double>> in(channels, std::vector<double>(static_cast<std::size_t>(block)));
    std::vector<std::vector<double>> out = in;
    std::vector<double*> inPtr, outPtr;
    for (auto& v : in) inPtr.push_back(v.data());
    for (auto& v : out) outPtr.push_back(v.data());

    const long total = static_cast<long>(session.latency()) + length;
    std::vector<double> h;
    h.reserve(static_cast<std::size_t>(total));
    for (long done = 0; done < total; done += block) {
        const int n = static_cast<int>(std::min<long>(block, total - done));
        for (auto& v : in) std::fill(v.begin(), v.end(), 0.0);
        if (done == 0)
            for (std::size_t c = 0; c < channels && c < probe.inputWeights.size(); ++c) in[c][0] = probe.inputWeights[c];
        session.process(inPtr.data(), outPtr.data(), n);
        for (int i = 0; i < n; ++i) {
            double sum = 0.0;
            for (std::size_t c = 0; c < channels && c < probe.outputWeights.size(); ++c)
                sum += probe.outputWeights[c] * out[c][static_cast<std::size_t>(i)];
            h.push_back(sum);
        }
    }
    return h;
}

std::vector<ResponsePoint> frequencyResponse(const std::vector<double>& h, double sampleRate,
                                             const std::vector<double>& hz, int delay) {
    std::vector<ResponsePoint> points;
    for (double f : hz) {
        const double w = 2.0 * std::numbers::pi * f / sampleRate;
        // The phasor e^{-jwn} by repeated multiplication, renewed exactly every
        // 4096 samples so rounding cannot build up over long responses.
        const std::complex<double> step = std::polar(1.0, -w);
        std::complex<double> phasor = 1.0, sum = 0.0;
        for (std::size_t n = 0; n < h.size(); ++n) {
            if (n % 4096 == 0) phasor = std::polar(1.0, -w * static_cast<double>(n));
            sum += h[n] * phasor;
            phasor *= step;
        }
        sum *= std::polar(1.0, w * static_cast<double>(delay));  // the latency is no part of the phase
        ResponsePoint p;
        p.hz = f;
        p.magnitudeDb = 20.0 * std::log10(std::max(std::abs(sum), 1e-30));
        p.phaseDegrees = std::arg(sum) * 180.0 / std::numbers::pi;
        points.push_back(p);
    }
    return points;
}

std::string responseCsv(const std::vector<ResponseCurve>& curves) {
    if (curves.empty()) return {};
    const std::size_t rows = curves.front().points.size();
    const auto hasReference = [&](const ResponseCurve& c) { return c.analogueDb.size() == rows && rows > 0; };
    const bool single = curves.size() == 1;
    std::string text = "hz";
    for (const ResponseCurve& c : curves)
        text += single ? ",magnitude_db,phase_deg" : "," + c.name + "_db," + c.name + "_phase_deg";
    for (const ResponseCurve& c : curves)
        if (hasReference(c)) text += single ? ",analogue_db" : "," + c.name + "_analogue_db";
    text += '\n';
    char cell[64];
    for (std::size_t i = 0; i < rows; ++i) {
        std::snprintf(cell, sizeof(cell), "%.4f", curves.front().points[i].hz);
        text += cell;
        for (const ResponseCurve& c : curves) {
            const ResponsePoint& p = c.points[i];
            std::snprintf(cell, sizeof(cell), ",%.6f,%.4f", p.magnitudeDb, p.phaseDegrees);
            text += cell;
        }
        for (const ResponseCurve& c : curves) {
            if (!hasReference(c)) continue;
            std::snprintf(cell, sizeof(cell), ",%.6f", c.analogueDb[i]);
            text += cell;
        }
        text += '\n';
    }
    return text;
}

std::string responseCsv(const std::vector<ResponsePoint>& points, const std::vector<double>& analogueDb) {
    ResponseCurve curve;
    curve.points = points;
    curve.analogueDb = analogueDb;
    return responseCsv(std::vector<ResponseCurve>{curve});
}

}  // namespace hm::tool
