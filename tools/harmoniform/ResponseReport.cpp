#include "tools/harmoniform/ResponseReport.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "platform/AtomicFile.h"
#include "tools/harmoniform/AnalogueReference.h"
#include "tools/harmoniform/PlotPng.h"

namespace hm::tool {

bool measureAndWrite(HostSession& session, ResponseRequest& request, ResponseResult& result, std::string& error) {
    // Checked before the measurement so a bad size costs nothing.
    if (!request.pngPath.empty() && (request.width < kMinPlotWidth || request.height < kMinPlotHeight ||
                                     request.width > 8192 || request.height > 8192)) {
        error = "plot size must be between " + std::to_string(kMinPlotWidth) + "x" + std::to_string(kMinPlotHeight) +
                " and 8192x8192";
        return false;
    }
    const std::vector<double> hz = responseGrid(session.sampleRate());
    const std::vector<double> h =
        measureImpulseResponse(session, static_cast<int>(kImpulseSeconds * session.sampleRate()));
    result.points = frequencyResponse(h, session.sampleRate(), hz, session.latency());
    if (!analogueResponseDb(session, hz, result.analogueDb) || result.analogueDb.size() != hz.size())
        result.analogueDb.clear();
    for (std::size_t i = 0; i < result.analogueDb.size(); ++i) {
        // Deep in a stop band both are only numerical noise.
        if (result.analogueDb[i] < kDeviationFloorDb) continue;
        const double d = std::fabs(result.points[i].magnitudeDb - result.analogueDb[i]);
        if (d > result.deviationDb) {
            result.deviationDb = d;
            result.deviationHz = hz[i];
        }
    }
    if (request.fitHighHz > 0.0) request.rangeDb = fittingEditorRange(result.points, request.fitLowHz, request.fitHighHz);
    result.csvText = responseCsv(result.points, result.analogueDb);
    if (!request.csvPath.empty() && !platform::writeFileAtomically(request.csvPath, result.csvText)) {
        error = "cannot write " + request.csvPath;
        return false;
    }
    if (!request.pngPath.empty()) {
        ResponsePlot plot;
        plot.width = request.width;
        plot.height = request.height;
        plot.analogueDb = result.analogueDb;
        plot.rangeDb = request.rangeDb;
        for (const ResponsePoint& p : result.points) {
            plot.hz.push_back(p.hz);
            plot.magnitudeDb.push_back(p.magnitudeDb);
            plot.phaseDegrees.push_back(p.phaseDegrees);
        }
        // "-" is the name of a program nobody named.
        const std::string name = session.programName();
        char title[160];
        std::snprintf(title, sizeof(title), "Harmoniform%s%s, %.0f Hz", name == "-" ? "" : ": ",
                      name == "-" ? "" : name.c_str(), static_cast<double>(session.sampleRate()));
        plot.title = title;
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
    const std::string name = session.programName();
    std::fprintf(out, "program:        %s\n", name == "-" ? "(unnamed)" : name.c_str());
    std::fprintf(out, "active bands:   %zu\n", bands.size());
    for (const std::string& b : bands) std::fprintf(out, "  %s\n", b.c_str());
    std::fprintf(out, "latency:        %d samples (compensated)\n", session.latency());
    if (!result.points.empty()) {
        const ResponsePoint* lo = &result.points.front();
        const ResponsePoint* hi = lo;
        for (const ResponsePoint& p : result.points) {
            if (p.magnitudeDb < lo->magnitudeDb) lo = &p;
            if (p.magnitudeDb > hi->magnitudeDb) hi = &p;
        }
        // Rounded first so that a tiny negative value does not print as -0.00.
        const auto db = [](double v) { return std::round(v * 100.0) / 100.0 + 0.0; };
        std::fprintf(out, "response:       %+.2f dB at %.0f Hz .. %+.2f dB at %.0f Hz (%zu points, 1/24 octave)\n",
                     db(lo->magnitudeDb), lo->hz, db(hi->magnitudeDb), hi->hz, result.points.size());
    }
    if (result.analogueDb.empty())
        std::fprintf(out, "analogue:       no analogue reference in this build\n");
    else
        std::fprintf(out, "analogue:       peak deviation %.3f dB at %.0f Hz (where the reference is above %.0f dB)\n",
                     result.deviationDb, result.deviationHz, kDeviationFloorDb);
}

}  // namespace hm::tool
