#include "core/peq/PeqFidelity.h"

#include <cmath>

#include "core/BankAnalogue.h"
#include "core/params/ParamTable.h"
#include "core/peq/PeqFit.h"
#include "core/peq/TextbookBiquad.h"
#include "dsp/DigitalResponse.h"

namespace hm::peq {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLowestHz = 20.0, kHighestHz = 20000.0;
constexpr int kGridPoints = 4001;  // 1/400 octave: the difference curve is smooth at that spacing

std::vector<double> grid(double from = kLowestHz, double to = kHighestHz, int points = kGridPoints) {
    std::vector<double> hz(points);
    for (int i = 0; i < points; ++i) hz[i] = from * std::pow(to / from, static_cast<double>(i) / (points - 1));
    return hz;
}

// The bank's digital designs at the rate the bands were fitted for against the
// textbook biquads there, levels below the fit's floor taken as the floor.
Fidelity compareFitted(const Import& import, const std::vector<double>& hz, int channel) {
    Fidelity out;
    out.sampleRate = import.playRate;
    out.channel = channel;
    out.fitted = true;
    out.fromHz = hz.front();
    out.toHz = hz.back();
    const std::vector<double> bands = bandsDigitalDb(import, import.playRate, channel, hz);
    const std::vector<double> textbook = textbookDb(import, import.playRate, channel, hz);
    double worst = -1.0;
    for (std::size_t i = 0; i < hz.size(); ++i) {
        const double difference = std::max(bands[i], kFloorDb) - std::max(textbook[i], kFloorDb);
        if (std::fabs(difference) > worst) {
            worst = std::fabs(difference);
            out.differenceDb = difference;
            out.atHz = hz[i];
        }
    }
    return out;
}

bool actsOn(const Filter& f, int channel) { return channel < 0 || ((f.groups >> (7 - channel)) & 1) != 0; }

Fidelity compare(const Import& import, const std::vector<double>& hz, double rate, int channel) {
    Fidelity out;
    out.sampleRate = rate;
    out.channel = channel;
    std::vector<double> bandsDb;
    const auto real = [&import](int index) { return staticRealOf(index, import.values[index]); };
    if (!analogueResponseDb(real, hz, bandsDb, channel < 0 ? 0 : channel)) return out;
    std::vector<dsp::Biquad> biquads;
    for (const Filter& f : import.mapped)
        if (f.on && actsOn(f, channel)) biquads.push_back(textbookBiquad(f, rate));
    double worst = -1.0;
    for (std::size_t i = 0; i < hz.size(); ++i) {
        double magnitude = 1.0;
        for (const dsp::Biquad& b : biquads) magnitude *= dsp::biquadMagnitude(b, 2.0 * kPi * hz[i] / rate);
        const double textbookDb =
            20.0 * std::log10(std::max(magnitude, 1e-15)) + import.channelPreampDb[channel < 0 ? 0 : channel];
        const double difference = bandsDb[i] - textbookDb;
        if (std::fabs(difference) > worst) {
            worst = std::fabs(difference);
            out.differenceDb = difference;
            out.atHz = hz[i];
        }
    }
    return out;
}

}  // namespace

std::vector<Fidelity> fidelityReport(const Import& import) {
    bool sided = false;
    for (const Filter& f : import.mapped) sided = sided || actsOn(f, 0) != actsOn(f, 1);
    sided = sided || import.channelPreampDb[0] != import.channelPreampDb[1];
    std::vector<Fidelity> out;
    if (import.playRate > 0.0) {
        // 1/400 octave, as below.
        const double top = std::min(kHighestHz, 0.45 * import.playRate);
        const std::vector<double> fitRange = grid(kFitFromHz, kFitUpToHz, 3862);
        const std::vector<double> above = grid(kFitUpToHz, top, std::max(2, static_cast<int>(400 * std::log2(top / kFitUpToHz))));
        for (int channel = sided ? 0 : -1; channel < (sided ? 2 : 0); ++channel) {
            out.push_back(compareFitted(import, fitRange, channel));
            if (top > kFitUpToHz) out.push_back(compareFitted(import, above, channel));
        }
        return out;
    }
    const std::vector<double> hz = grid();
    for (int channel = sided ? 0 : -1; channel < (sided ? 2 : 0); ++channel)
        for (double rate : kCorrectionRates) out.push_back(compare(import, hz, rate, channel));
    return out;
}

std::string describe(const Fidelity& f) {
    std::string text = f.channel < 0 ? "" : f.channel == 0 ? "left: " : "right: ";
    text += "at " + formatNumber(f.sampleRate / 1000.0, 3) + " kHz: largest difference ";
    if (f.differenceDb >= 0.0) text += '+';
    text += formatNumber(std::round(f.differenceDb * 100.0) / 100.0, 4);
    const auto hz = [](double v) { return v >= 1000.0 ? formatNumber(v / 1000.0, 3) + " kHz" : formatNumber(v, 3) + " Hz"; };
    text += " dB at " + hz(f.atHz);
    if (f.fitted) text += ", " + hz(f.fromHz) + " to " + hz(f.toHz);
    return text;
}

}  // namespace hm::peq
