#include "core/peq/PeqExport.h"

#include <cmath>
#include <optional>

#include "core/BandMapping.h"
#include "core/params/ParamTable.h"
#include "dsp/design/Prototype.h"
#include "dsp/design/SubtypeNames.h"

namespace hm::peq {
namespace {

constexpr double kTolerance = 1e-6;  // relative: the sections' exact relations, seen through rounding

bool near(double a, double b, double scale) { return std::fabs(a - b) <= kTolerance * std::max(std::fabs(scale), 1e-30); }

// The textbook filter with the section's analogue response (s in Hz), if any.
std::optional<Filter> filterOf(const dsp::AnalogSection& s) {
    Filter f;
    if (s.d2 == 0.0) return std::nullopt;
    const double n2 = s.n2 / s.d2, n1 = s.n1 / s.d2, n0 = s.n0 / s.d2, d1 = s.d1 / s.d2, d0 = s.d0 / s.d2;
    if (s.n0 == 0.0 && s.d0 == 0.0) {
        // First order, (n2 s + n1)/(s + d1): a shelf when one end is at unity.
        if (!(d1 > 0.0 && n2 > 0.0 && n1 > 0.0)) return std::nullopt;
        f.slopeDb = 6.0;
        f.frequency = std::sqrt(d1 * n1 / n2);
        if (near(n2, 1.0, 1.0)) {
            f.type = FilterType::LowShelf;
            f.gainDb = 20.0 * std::log10(n1 / d1);
        } else if (near(n1, d1, d1)) {
            f.type = FilterType::HighShelf;
            f.gainDb = 20.0 * std::log10(n2);
        } else {
            return std::nullopt;
        }
        return f;
    }
    if (!(d0 > 0.0 && d1 > 0.0)) return std::nullopt;
    const double w = std::sqrt(d0);
    f.frequency = w;
    f.q = w / d1;
    const bool unitTop = near(n2, 1.0, 1.0), unitDc = near(n0, d0, d0);
    if (unitTop && unitDc && n1 > 0.0) {
        f.type = FilterType::Peak;
        f.gainDb = 20.0 * std::log10(n1 / d1);
        f.q = w / std::sqrt(d1 * n1);
    } else if (unitTop && unitDc && near(n1, 0.0, d1)) {
        f.type = FilterType::Notch;
    } else if (unitTop && unitDc && near(n1, -d1, d1)) {
        f.type = FilterType::AllPass;
    } else if (near(n2, 0.0, 1.0) && near(n1, 0.0, d1) && unitDc) {
        f.type = FilterType::LowPass;
    } else if (unitTop && near(n1, 0.0, d1) && near(n0, 0.0, d0)) {
        f.type = FilterType::HighPass;
    } else if (n2 > 0.0 && n1 > 0.0 && n0 > 0.0 && (unitTop || unitDc)) {
        // A shelf: zeros and poles with one Q, the midpoint between them.
        const double wz = std::sqrt(n0 / n2);
        if (!near(wz / (n1 / n2), f.q, f.q)) return std::nullopt;
        f.type = unitTop ? FilterType::LowShelf : FilterType::HighShelf;
        f.gainDb = 20.0 * std::log10(unitTop ? n0 / d0 : n2);
        f.frequency = std::sqrt(wz * w);
    } else {
        return std::nullopt;
    }
    return f;
}

std::string channelsOf(int groups) {
    if (groups == kAllGroups) return "ALL";
    std::string text;
    for (int g = 1; g <= 8; ++g) {
        if (!((groups >> (8 - g)) & 1)) continue;
        if (!text.empty()) text += ' ';
        text += g == 1 ? "L" : g == 2 ? "R" : std::to_string(g);
    }
    return text;
}

std::string filterLine(int number, bool on, const Filter& f) {
    std::string line = "Filter " + std::to_string(number) + ": " + (on ? "ON " : "OFF ") + typeName(f.type);
    if (f.slopeDb > 0.0) line += " 6dB";
    line += " Fc " + formatNumber(f.frequency) + " Hz";
    if (f.type == FilterType::Peak || f.type == FilterType::LowShelf || f.type == FilterType::HighShelf)
        line += " Gain " + formatNumber(f.gainDb) + " dB";
    if (f.slopeDb == 0.0) line += " Q " + formatNumber(f.q);
    return line + "\n";
}

// "Band3 (LSh Tilt)": the band and its type and subtype as the strips name them.
std::string bandLabel(int band, int userType, const dsp::BandSettings& s) {
    std::string types = staticParamTable()[bandParam(0, kBandType)].label;  // "Peak/HPF/LSh/..."
    std::size_t start = 0;
    for (int t = 1; t < userType && start != std::string::npos; ++t) start = types.find('/', start) + 1;
    std::string label = "Band" + std::to_string(band + 1) + " (" + types.substr(start, types.find('/', start) - start);
    if (const char* subtype = dsp::subtypeName(s.type, s.subtype)) label += std::string(" ") + subtype;
    return label + ")";
}

}  // namespace

Export exportText(const PresetValues& values, const std::string& name) {
    const auto real = [&values](int index) { return staticRealOf(index, values[index]); };
    const int parallel = static_cast<int>(std::lround(real(kParallel)));
    const bool midSide = (std::lround(real(kMsState)) & 8) != 0;
    Export out;
    if (!name.empty()) out.text += "# " + name + "\n";
    out.text += "Preamp: " + formatNumber(real(kGain)) + " dB\n";
    // A channel's Level is the rest of its preamp, on that channel alone.
    bool channelPreamps = false;
    for (int c = 0; c < kMaxChannels; ++c) {
        const double level = real(channelParam(c, kChannelLevel));
        if (level == 1.0) continue;
        const std::string channel = channelsOf(1 << (7 - c));
        if (!(level > 0.0)) {
            out.leftOut.push_back("Channel " + channel + " Level: the channel is silent; a preamp cannot say so");
        } else if (midSide && c < 2) {
            out.leftOut.push_back("Channel " + channel + " Level: acts on the " + (c == 0 ? "mid" : "side") +
                                  " signal; the text's channels are left and right");
        } else {
            out.text += "Channel: " + channel + "\nPreamp: " + formatNumber(20.0 * std::log10(level)) + " dB\n";
            channelPreamps = true;
        }
    }
    if (channelPreamps) out.text += "Channel: ALL\n";
    int groupsInForce = kAllGroups;
    for (int b = 0; b < kNumBands; ++b) {
        const int state = static_cast<int>(std::lround(real(bandParam(b, kBandState))));
        if (state == 0) continue;
        double fields[kParamsPerBand];
        for (int f = 0; f < kParamsPerBand; ++f) fields[f] = real(bandParam(b, f));
        const dsp::BandSettings s = engineBandSettings(fields, real(kScale), real(kFShift) * 0.01);
        const int userType = static_cast<int>(std::lround(fields[kBandType]));
        const int groups = static_cast<int>(std::lround(fields[kBandGroups]));
        const std::string label = bandLabel(b, userType, s);
        const bool isPeak = s.type == dsp::kTypePeak;
        const bool isShelf = s.type == dsp::kTypeLowShelf || s.type == dsp::kTypeHighShelf;
        if ((parallel >= 1 && isPeak) || (parallel >= 2 && isShelf)) {
            out.leftOut.push_back(label + ": summed in parallel (Parallel mode); the text's filters run in series");
            continue;
        }
        if (midSide && ((groups & kLeftGroup) != 0) != ((groups & kRightGroup) != 0)) {
            out.leftOut.push_back(label + ": acts on the " + ((groups & kLeftGroup) ? "mid" : "side") +
                                  " signal alone; the text's channels are left and right");
            continue;
        }
        if (groups == 0) {
            out.leftOut.push_back(label + ": acts on no channel group");
            continue;
        }
        dsp::AnalogSection sections[dsp::kMaxSections];
        const int count = dsp::prototypeFor(s, sections);
        std::vector<Filter> filters;
        bool complete = count > 0;
        for (int i = 0; i < count && complete; ++i) {
            const dsp::AnalogSection& c = sections[i];
            if (c.n2 == c.d2 && c.n1 == 0.0 && c.n0 == 0.0 && c.d1 == 0.0 && c.d0 == 0.0) continue;  // unity
            const std::optional<Filter> f = filterOf(sections[i]);
            if (f) filters.push_back(*f);
            else complete = false;
        }
        if (!complete) {
            out.leftOut.push_back(label + ": no filter of the text has its response");
            continue;
        }
        if (groups != groupsInForce) {
            out.text += "Channel: " + channelsOf(groups) + "\n";
            groupsInForce = groups;
        }
        for (const Filter& f : filters) out.text += filterLine(++out.filters, state == 2, f);
    }
    return out;
}

}  // namespace hm::peq
