#include "tools/harmoniform/ResponseReport.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "platform/AtomicFile.h"
#include "tools/harmoniform/AnalogueReference.h"
#include "tools/harmoniform/Messages.h"
#include "tools/harmoniform/PlotPng.h"

namespace hm::tool {
namespace {

// Paths whose responses differ by less than this look alike on any plot.
constexpr double kSameDb = 1e-4, kSameDegrees = 1e-3;

bool sameResponse(const std::vector<ResponsePoint>& a, const std::vector<ResponsePoint>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double phase = std::remainder(a[i].phaseDegrees - b[i].phaseDegrees, 360.0);
        if (!(std::fabs(a[i].magnitudeDb - b[i].magnitudeDb) <= kSameDb && std::fabs(phase) <= kSameDegrees))
            return false;
    }
    return true;
}

void compareWithReference(ResponseCurve& curve) {
    if (!curve.points.empty()) curve.deviationHz = curve.points.front().hz;
    for (std::size_t i = 0; i < curve.analogueDb.size(); ++i) {
        // Deep in a stop band both are only numerical noise.
        if (curve.analogueDb[i] < kDeviationFloorDb) continue;
        const double d = std::fabs(curve.points[i].magnitudeDb - curve.analogueDb[i]);
        if (d > curve.deviationDb) {
            curve.deviationDb = d;
            curve.deviationHz = curve.points[i].hz;
        }
    }
}

}  // namespace

std::string programTitle(HostSession& session) {
    std::string title = programLabel(session.programName());
    if (session.changesBySet() > 0) title += ", " + countOf(session.changesBySet(), "change");
    return title;
}

bool measureAndWrite(HostSession& session, ResponseRequest& request, ResponseResult& result, std::string& error) {
    // Checked before the measurement so a bad size costs nothing.
    if (!request.pngPath.empty() && (request.width < kMinPlotWidth || request.height < kMinPlotHeight ||
                                     request.width > 8192 || request.height > 8192)) {
        error = "plot size must be between " + std::to_string(kMinPlotWidth) + "x" + std::to_string(kMinPlotHeight) +
                " and 8192x8192";
        return false;
    }
    const std::vector<double> hz = responseGrid(session.sampleRate());
    const int length = static_cast<int>(kImpulseSeconds * session.sampleRate());
    result.curves.clear();
    std::vector<int> channels;
    for (const Probe& probe : responseProbes(session)) {
        // Each probe starts once the previous response has decayed (the recording's length).
        const std::vector<double> h = measureImpulseResponse(session, length, probe);
        ResponseCurve curve;
        curve.name = probe.name;
        curve.points = frequencyResponse(h, session.sampleRate(), hz, session.latency());
        result.curves.push_back(std::move(curve));
        channels.push_back(probe.channel);
    }
    bool alike = true;
    for (const ResponseCurve& c : result.curves) alike = alike && sameResponse(c.points, result.curves.front().points);
    if (alike) {
        result.curves.resize(1);
        result.curves.front().name.clear();
    }
    for (std::size_t c = 0; c < result.curves.size(); ++c) {
        ResponseCurve& curve = result.curves[c];
        if (!analogueResponseDb(session, hz, curve.analogueDb, channels[c]) || curve.analogueDb.size() != hz.size())
            curve.analogueDb.clear();
        compareWithReference(curve);
    }
    if (request.fitHighHz > 0.0) {
        request.rangeDb = 0.0;
        for (const ResponseCurve& c : result.curves)
            request.rangeDb = std::max(request.rangeDb, fittingEditorRange(c.points, request.fitLowHz, request.fitHighHz));
    }
    result.csvText = responseCsv(result.curves);
    if (!request.csvPath.empty() && !platform::writeFileAtomically(request.csvPath, result.csvText)) {
        error = "cannot write " + request.csvPath;
        return false;
    }
    if (!request.pngPath.empty()) {
        ResponsePlot plot;
        plot.width = request.width;
        plot.height = request.height;
        plot.hz = hz;
        plot.rangeDb = request.rangeDb;
        for (const ResponseCurve& c : result.curves) {
            PlotCurve curve{c.name, {}, {}, c.analogueDb};
            for (const ResponsePoint& p : c.points) {
                curve.magnitudeDb.push_back(p.magnitudeDb);
                curve.phaseDegrees.push_back(p.phaseDegrees);
            }
            plot.curves.push_back(std::move(curve));
        }
        // "Harmoniform: Vocal Presence, 2 changes, 48000 Hz".
        char rate[32];
        std::snprintf(rate, sizeof(rate), ", %.0f Hz", static_cast<double>(session.sampleRate()));
        plot.title = "Harmoniform: " + programTitle(session) + rate;
        if (!writeResponsePng(request.pngPath, plot, error)) return false;
    }
    return true;
}

double fittingEditorRange(const std::vector<ResponsePoint>& points, double lowHz, double highHz) {
    double largest = 0.0;
    for (const ResponsePoint& p : points)
        if (p.hz >= lowHz && p.hz <= highHz && std::isfinite(p.magnitudeDb))
            largest = std::max(largest, std::fabs(p.magnitudeDb));
    // A little room above the highest peak, so it does not touch the edge.
    for (double range : kEditorRangesDb)
        if (largest * 1.1 <= range) return range;
    return kEditorRangesDb[std::size(kEditorRangesDb) - 1];
}

void printResponseSummary(std::FILE* out, HostSession& session, const ResponseResult& result) {
    const std::vector<std::string> bands = session.activeBands();
    std::fprintf(out, "program:        %s\n", programTitle(session).c_str());
    std::fprintf(out, "active bands:   %zu\n", bands.size());
    for (const std::string& b : bands) std::fprintf(out, "  %s\n", b.c_str());
    std::fprintf(out, "latency:        %s (compensated)\n", countOf(session.latency(), "sample").c_str());
    // Rounded first so that a tiny negative value does not print as -0.00.
    const auto db = [](double v) { return std::round(v * 100.0) / 100.0 + 0.0; };
    bool reference = false;
    for (const ResponseCurve& c : result.curves) {
        if (c.points.empty()) continue;
        const ResponsePoint* lo = &c.points.front();
        const ResponsePoint* hi = lo;
        for (const ResponsePoint& p : c.points) {
            if (p.magnitudeDb < lo->magnitudeDb) lo = &p;
            if (p.magnitudeDb > hi->magnitudeDb) hi = &p;
        }
        const std::string label = c.name.empty() ? "response:" : "response " + c.name + ":";
        std::fprintf(out, "%-15s %+.2f dB at %.0f Hz .. %+.2f dB at %.0f Hz (%zu points, 1/24 octave)\n", label.c_str(),
                     db(lo->magnitudeDb), lo->hz, db(hi->magnitudeDb), hi->hz, c.points.size());
        reference = reference || !c.analogueDb.empty();
    }
    if (!reference) {
        std::fprintf(out, "analogue:       no analogue reference for these settings\n");
        return;
    }
    for (const ResponseCurve& c : result.curves) {
        if (c.analogueDb.empty()) continue;
        const std::string label = c.name.empty() ? "analogue:" : "analogue " + c.name + ":";
        std::fprintf(out, "%-15s peak deviation %.3f dB at %.0f Hz (where the reference is above %.0f dB)\n",
                     label.c_str(), c.deviationDb, c.deviationHz, kDeviationFloorDb);
    }
}

}  // namespace hm::tool
