#pragma once
// The measurement behind the response and demo commands: impulse response,
// 1/24-octave frequency response, the analogue reference when known, and the
// CSV and PNG files.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/harmoniform/HostSession.h"
#include "tools/harmoniform/Response.h"

namespace hm::tool {

struct ResponseRequest {
    double rate = 48000.0;
    std::string csvPath, pngPath;  // empty: not written
    int width = 960, height = 540;
    double rangeDb = 0.0;  // the plot's dB axis (ResponsePlot::rangeDb); 0: fitted to the curve
    // When highHz > 0: the plot takes the editor's range that fits the curve
    // between these frequencies (fittingEditorRange), stored in rangeDb.
    double fitLowHz = 0.0, fitHighHz = 0.0;
};

struct ResponseResult {
    std::vector<ResponsePoint> points;
    std::vector<double> analogueDb;  // empty without a reference
    double deviationDb = 0.0;        // largest |measured - analogue|
    double deviationHz = 0.0;        // where it occurs
    std::string csvText;
};

// Seconds of impulse response recorded: long enough for a narrow band at 10 Hz to decay.
constexpr double kImpulseSeconds = 4.0;
// The deviation from the analogue reference counts where the reference is above this.
constexpr double kDeviationFloorDb = -60.0;

bool measureAndWrite(HostSession& session, ResponseRequest& request, ResponseResult& result, std::string& error);

// The smallest of the editor's ranges that holds the curve between lowHz and
// highHz (the pass band: pass filters' skirts below and above may leave the
// plot, as they leave the editor's graph); the largest range when none does.
double fittingEditorRange(const std::vector<ResponsePoint>& points, double lowHz, double highHz);

// Active bands, latency, response extremes and the deviation from the analogue response.
void printResponseSummary(std::FILE* out, HostSession& session, const ResponseResult& result);

}  // namespace hm::tool
