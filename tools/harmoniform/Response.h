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

// Feeds a unit impulse into every input (a signal centred between the channels)
// and records the first output from the impulse on: the reported latency plus
// `length` samples. Nothing before the latency is dropped: a linear-phase
// response rings before its centre, and that ringing belongs to the response.
std::vector<double> measureImpulseResponse(HostSession& session, int length);

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

// CSV text with a header line: hz, magnitude_db, phase_deg and, when given (one
// per point), analogue_db; one row per point.
std::string responseCsv(const std::vector<ResponsePoint>& points, const std::vector<double>& analogueDb);

}  // namespace hm::tool
