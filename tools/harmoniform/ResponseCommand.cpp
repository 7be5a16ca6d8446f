// harmoniform response: the plug-in's measured frequency response as CSV and PNG.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/harmoniform/AnalogueReference.h"
#include "tools/harmoniform/Commands.h"
#include "tools/harmoniform/HostSession.h"
#include "tools/harmoniform/Messages.h"
#include "tools/harmoniform/PlotPng.h"
#include "tools/harmoniform/Response.h"
#include "tools/harmoniform/ResponseReport.h"

namespace hm::tool {
namespace {

void responseHelp(std::FILE* out) {
    std::fprintf(out,
                 "usage: harmoniform response [options]\n\n"
                 "Measures the plug-in's processed impulse response (after the coefficient glide has\n"
                 "settled, latency compensated) and writes its magnitude and phase per 1/24 octave\n"
                 "from 10 Hz to 22 kHz. Every path the settings treat differently is measured and\n"
                 "plotted as its own curve: left and right, or mid and side when the first channel\n"
                 "pair is mid/side (the CSV then has NAME_db and NAME_phase_deg columns per path).\n"
                 "Without --csv or --png the CSV goes to standard output. Prints the largest\n"
                 "deviation from the bank's analogue response when it is known; the plot draws that\n"
                 "reference dashed, and its title names the program and the changes --set made.\n\n"
                 "options:\n%s"
                 "  --rate R             sample rate in Hz (8000..384000, default 48000)\n"
                 "  --csv FILE           write the response as CSV (hz, magnitude_db, phase_deg[, analogue_db])\n"
                 "  --png FILE           write the response plot as PNG\n"
                 "  --size WxH           plot size in pixels (default 960x540)\n\n"
                 "example:\n"
                 "  harmoniform response --set \"Band1 State=On\" --set \"Band1 Gain=6dB\" \\\n"
                 "      --set \"Band1 Frequency=1k\" --png peak.png --csv peak.csv\n",
                 sessionOptionsHelp());
}

bool parseSize(const std::string& text, int& w, int& h) {
    return std::sscanf(text.c_str(), "%dx%d", &w, &h) == 2;
}

}  // namespace

int runResponse(const std::vector<std::string>& args) {
    const std::string command = "response";
    SessionOptions options;
    ResponseRequest request;
    std::string error;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            responseHelp(stdout);
            return 0;
        }
        if (takeSessionOption(args, i, options, error)) {
            if (!error.empty()) break;
            continue;
        }
        const bool hasValue = i + 1 < args.size();
        const bool takesValue = a == "--rate" || a == "--csv" || a == "--png" || a == "--size";
        if (takesValue && !hasValue) {
            error = a + " needs a value";
        } else if (a == "--rate") {
            char* end = nullptr;
            request.rate = std::strtod(args[i + 1].c_str(), &end);
            if (!end || *end || !(request.rate >= 8000.0 && request.rate <= 384000.0)) error = "--rate takes 8000..384000";
        } else if (a == "--csv") {
            request.csvPath = args[i + 1];
        } else if (a == "--png") {
            request.pngPath = args[i + 1];
        } else if (a == "--size") {
            if (!parseSize(args[i + 1], request.width, request.height)) error = "--size takes WIDTHxHEIGHT";
        } else {
            error = "unknown option " + a;
        }
        if (!error.empty()) break;
        i += 2;
    }
    if (!error.empty()) return usageError(command, error);
    const bool toStdout = request.csvPath.empty() && request.pngPath.empty();
    HostSession session;
    if (!session.open(options, static_cast<float>(request.rate), error)) return failure(command, error);
    for (const std::string& w : session.warnings()) warning(command, w);
    for (const std::string& n : session.notes()) note(command, n);
    ResponseResult result;
    if (!measureAndWrite(session, request, result, error)) return failure(command, error);
    std::FILE* report = toStdout ? stderr : stdout;
    printResponseSummary(report, session, result);
    if (toStdout) std::fputs(result.csvText.c_str(), stdout);
    return 0;
}

}  // namespace hm::tool
