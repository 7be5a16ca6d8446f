#include "core/peq/PeqFidelity.h"

#include <cmath>

#include "core/BankAnalogue.h"
#include "core/params/ParamTable.h"
#include "core/peq/TextbookBiquad.h"
#include "dsp/DigitalResponse.h"

namespace hm::peq {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLowestHz = 20.0, kHighestHz = 20000.0;
constexpr int kGridPoints = 4001;  // 1/400 octave: the difference curve is smooth at that spacing

std::vector<double> grid() {
    std::vector<double> hz(kGridPoints);
    for (int i = 0; i < kGridPoints; ++i)
        hz[i] = kLowestHz * std::pow(kHighestHz / kLowestHz, static_cast<double>(i) / (kGridPoints - 1));
    return hz;
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
        const double textbookDb = 20.0 * std::log10(std::max(magnitude, 1e-15)) + import.preampDb;
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
    const std::vector<double> hz = grid();
    std::vector<Fidelity> out;
    for (int channel = sided ? 0 : -1; channel < (sided ? 2 : 0); ++channel)
        for (double rate : kCorrectionRates) out.push_back(compare(import, hz, rate, channel));
    return out;
}

std::string describe(const Fidelity& f) {
    std::string text = f.channel < 0 ? "" : f.channel == 0 ? "left: " : "right: ";
    text += "at " + formatNumber(f.sampleRate / 1000.0, 3) + " kHz: largest difference ";
    if (f.differenceDb >= 0.0) text += '+';
    text += formatNumber(std::round(f.differenceDb * 100.0) / 100.0, 4);
    text += " dB at " + (f.atHz >= 1000.0 ? formatNumber(f.atHz / 1000.0, 3) + " kHz" : formatNumber(f.atHz, 3) + " Hz");
    return text;
}

}  // namespace hm::peq
