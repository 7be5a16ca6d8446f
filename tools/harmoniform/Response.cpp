#include "tools/harmoniform/Response.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>


namespace hm::tool {

std::vector<double> responseGrid(double sampleRate) {
    const double top = std::min(22000.0, 0.49 * sampleRate);
    const int first = static_cast<int>(std::ceil(24.0 * std::log2(10.0 / 1000.0) - 1e-9));
    const int last = static_cast<int>(std::floor(24.0 * std::log2(top / 1000.0) + 1e-9));
    std::vector<double> hz;
    for (int k = first; k <= last; ++k) hz.push_back(1000.0 * std::exp2(k / 24.0));
    return hz;
}

std::vector<double> measureImpulseResponse(HostSession& session, int length) {
    const int block = session.blockSize();
    const int channels = session.channels();
    std::vector<std::vector<double>> in(static_cast<std::size_t>(channels), std::vector<double>(static_cast<std::size_t>(block)));
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
            for (auto& v : in) v[0] = 1.0;
        session.process(inPtr.data(), outPtr.data(), n);
        h.insert(h.end(), out[0].begin(), out[0].begin() + n);
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

std::string responseCsv(const std::vector<ResponsePoint>& points, const std::vector<double>& analogueDb) {
    const bool analogue = analogueDb.size() == points.size() && !points.empty();
    std::string text = analogue ? "hz,magnitude_db,phase_deg,analogue_db\n" : "hz,magnitude_db,phase_deg\n";
    char line[128];
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::snprintf(line, sizeof(line), "%.4f,%.6f,%.4f", points[i].hz, points[i].magnitudeDb, points[i].phaseDegrees);
        text += line;
        if (analogue) {
            std::snprintf(line, sizeof(line), ",%.6f", analogueDb[i]);
            text += line;
        }
        text += '\n';
    }
    return text;
}

}  // namespace hm::tool
