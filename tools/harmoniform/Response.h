#pragma once
// The processed impulse response of a prepared instance and its frequency
// response on a 1/24-octave grid.
#include <string>
#include <vector>

#include "tools/harmoniform/HostSession.h"

namespace hm::tool {

// 1/24-octave centres through 1 kHz, from the first at or above 10 Hz to the last
// at or below min(22 kHz, 0.49 x rate): one row of the response each.
std::vector<double> responseGrid(double sampleRate);

// One signal path through the instance: an impulse fed into the inputs with
// these weights, the outputs summed with those weights.
struct Probe {
    std::string name;                   // "left", "mid", ...; empty for the only path
    int channel = 0;                    // the processing channel it measures (0 first)
    std::vector<double> inputWeights;   // one per instance input
    std::vector<double> outputWeights;  // one per instance output
};

// The paths the settings may treat differently: one for a mono instance; mid
// and side when the first channel pair is processed as mid/side (in: both
// inputs alike or opposite; out: half their sum or difference); otherwise
// left and right, each on its own.
std::vector<Probe> responseProbes(HostSession& session);

// Feeds a unit impulse along the probe's path and records the first output from
// the impulse on: the reported latency plus `length` samples. Nothing before the
// latency is dropped: a linear-phase response rings before its centre, and that
// ringing belongs to the response.
std::vector<double> measureImpulseResponse(HostSession& session, int length, const Probe& probe);

struct ResponsePoint {
    double hz = 0.0;
    double magnitudeDb = 0.0;
    double phaseDegrees = 0.0;  // wrapped to -180..180
};

// The discrete-time Fourier transform of h at each frequency (direct summation,
// exact at any frequency, no windowing; h must have decayed by its end), with
// `delay` samples of latency taken out of the phase: sum h[n] e^{-jw(n - delay)}.
std::vector<ResponsePoint> frequencyResponse(const std::vector<double>& h, double sampleRate,
                                             const std::vector<double>& hz, int delay = 0);

struct ResponseCurve {
    std::string name;                  // as the probe's
    std::vector<ResponsePoint> points;
    std::vector<double> analogueDb;    // one per point, or empty without a reference
    double deviationDb = 0.0;          // largest |measured - analogue|
    double deviationHz = 0.0;          // where it occurs
};

// CSV text with a header line and one row per point. One curve: hz,
// magnitude_db, phase_deg and, when it has a reference, analogue_db. Several
// curves: hz, then NAME_db and NAME_phase_deg per curve, then NAME_analogue_db
// per curve that has a reference.
std::string responseCsv(const std::vector<ResponseCurve>& curves);
std::string responseCsv(const std::vector<ResponsePoint>& points, const std::vector<double>& analogueDb);

}  // namespace hm::tool
