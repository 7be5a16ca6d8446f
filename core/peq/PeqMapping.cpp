#include "core/peq/PeqMapping.h"

#include <algorithm>
#include <cmath>

#include "core/params/ParamTable.h"

namespace hm::peq {
namespace {

// User-facing band types and subtypes (Subtype counts from 1).
constexpr int kPeak = 1, kHighPass = 2, kLowShelf = 3, kHighShelf = 4, kLowPass = 5, kNotch = 6;
constexpr int kKes = 1, kFirstOrderShelf = 7, kAllpassFamily = 9;
constexpr int kStateBypass = 1, kStateOn = 2;
constexpr double kSecondOrderSlope = 12.0;  // dB per octave: filter order 2
constexpr double kDefaultScaleDb = 18.0;

double rangeOf(int index, bool upper) {
    const ParamRecord& r = staticParamTable()[index];
    return upper ? r.maximum : r.minimum;
}

bool isShelf(FilterType t) { return t == FilterType::LowShelf || t == FilterType::HighShelf; }
bool isFirstOrderShelf(const Filter& f) { return isShelf(f.type) && f.slopeDb == 6.0; }

// The "Kes" shelf puts its Q through a gain-dependent power: the textbook Q of
// its poles and zeros is c1·(c2·Q)^h with h = |gain|/16 and the engine's own
// constants c1 ~ 1/sqrt(2), c2 ~ sqrt(2). This is its inverse; small gains need
// extreme Q values, clamped to the band's range (the response changes little
// there, and the fidelity report shows by how much).
double kesShelfQ(double textbookQ, double gainDb) {
    constexpr double c1 = 0.707106781, c2 = 1.41421356;
    const double h = std::fabs(gainDb) / 16.0;
    if (h < 1e-9) return kDefaultQ;
    const double q = std::pow(textbookQ / c1, 1.0 / h) / c2;
    return std::clamp(q, static_cast<double>(rangeOf(bandParam(0, kBandQ), false)),
                      static_cast<double>(rangeOf(bandParam(0, kBandQ), true)));
}

// The band frequency that puts the shelf's midpoint (half its gain in dB) at
// the filter's Fc: the "Kes" shelf has its poles (boost) or zeros (cut) at the
// band frequency, the first-order shelf its pole or zero.
double shelfBandFrequency(const Filter& f) {
    const double exponent = std::fabs(f.gainDb) / (isFirstOrderShelf(f) ? 40.0 : 80.0);
    const double factor = std::pow(10.0, exponent);
    return f.type == FilterType::LowShelf ? f.frequency / factor : f.frequency * factor;
}

struct Band {
    double fields[kParamsPerBand] = {};
};

// The band for one filter; false with a message when no band matches it.
bool mapFilter(const Filter& f, double scaleDb, Band& band, std::string& error) {
    double* v = band.fields;
    for (int field = 0; field < kParamsPerBand; ++field) v[field] = staticParamTable()[bandParam(0, field)].value;
    v[kBandState] = f.on ? kStateOn : kStateBypass;
    v[kBandGroups] = f.groups;
    v[kBandSubtype] = kKes;
    v[kBandShift] = 0.0;
    v[kBandFrequency] = f.frequency;
    v[kBandQ] = analogueQ(f);
    v[kBandGain] = f.gainDb / scaleDb;
    switch (f.type) {
        case FilterType::Peak: v[kBandType] = kPeak; break;
        case FilterType::LowShelf:
        case FilterType::HighShelf:
            v[kBandType] = f.type == FilterType::LowShelf ? kLowShelf : kHighShelf;
            v[kBandFrequency] = shelfBandFrequency(f);
            if (isFirstOrderShelf(f)) {
                v[kBandSubtype] = kFirstOrderShelf;
                v[kBandQ] = kDefaultQ;  // a first-order shelf has no Q
            } else if (!std::isfinite(v[kBandQ])) {
                error = "a " + formatNumber(f.slopeDb) + " dB slope is too steep for a " + formatNumber(f.gainDb) +
                        " dB shelf";
                return false;
            } else {
                v[kBandQ] = kesShelfQ(v[kBandQ], f.gainDb);
            }
            break;
        case FilterType::LowPass:
        case FilterType::HighPass:
        case FilterType::AllPass:
            v[kBandType] = f.type == FilterType::HighPass ? kHighPass : kLowPass;
            if (f.type == FilterType::AllPass) v[kBandSubtype] = kAllpassFamily;
            v[kBandSlope] = kSecondOrderSlope;
            v[kBandGain] = 0.0;
            break;
        case FilterType::Notch:
            v[kBandType] = kNotch;
            v[kBandGain] = 0.0;
            break;
        case FilterType::BandPass:
            error = "BP (band-pass) has no Harmoniform band: no band type passes a band at unity gain";
            return false;
    }
    const int fi = bandParam(0, kBandFrequency), qi = bandParam(0, kBandQ);
    const auto outside = [&](double hz) { return hz < rangeOf(fi, false) || hz > rangeOf(fi, true); };
    // A shelf's Fc (its midpoint) is where its textbook filter is built, so it
    // must be a frequency the bands have as well as its corner.
    if (outside(f.frequency) || outside(v[kBandFrequency])) {
        error = "Fc " + formatNumber(f.frequency) + " Hz is outside the bands' range (" +
                formatNumber(rangeOf(fi, false)) + " to " + formatNumber(rangeOf(fi, true)) + " Hz" +
                (isShelf(f.type) ? " for the shelf's corner)" : ")");
        return false;
    }
    if (v[kBandQ] < rangeOf(qi, false) * (1 - 1e-6) || v[kBandQ] > rangeOf(qi, true)) {
        error = "Q " + formatNumber(v[kBandQ], 4) + " is outside the bands' range (0.1 to 50)";
        return false;
    }
    v[kBandQ] = std::clamp(v[kBandQ], static_cast<double>(rangeOf(qi, false)), static_cast<double>(rangeOf(qi, true)));
    return true;
}

// Moves a filter to the nearest settings the bands have: Fc (and a shelf's
// corner) into the frequency range, its Q into the Q range, its gain within
// the largest Scale. Says what moved; false when nothing had to.
bool clampToBands(Filter& f, std::string& moved) {
    const int fi = bandParam(0, kBandFrequency), qi = bandParam(0, kBandQ);
    const double lowest = rangeOf(fi, false), highest = rangeOf(fi, true);
    const Filter before = f;
    double low = lowest, high = highest;
    if (isShelf(f.type)) {  // the corner, at Fc times or over this factor, must be in range too
        const double factor = std::pow(10.0, std::fabs(std::clamp(f.gainDb, -36.0, 36.0)) / (isFirstOrderShelf(f) ? 40.0 : 80.0));
        (f.type == FilterType::LowShelf ? low : high) = f.type == FilterType::LowShelf ? lowest * factor : highest / factor;
    }
    f.frequency = std::clamp(f.frequency, low, high);
    const double q = analogueQ(f);
    if (std::isfinite(q) && !isFirstOrderShelf(f) && (q < rangeOf(qi, false) || q > rangeOf(qi, true))) {
        f.q = std::clamp(q, static_cast<double>(rangeOf(qi, false)), static_cast<double>(rangeOf(qi, true)));
        f.bandwidth = 0.0;
        f.slopeDb = 0.0;
    }
    f.gainDb = std::clamp(f.gainDb, -rangeOf(kScale, true), rangeOf(kScale, true));
    std::string text;
    const auto add = [&](const std::string& what) { text += (text.empty() ? "" : ", ") + what; };
    if (f.frequency != before.frequency)
        add("Fc " + formatNumber(before.frequency) + " Hz to " + formatNumber(f.frequency, 5) + " Hz");
    if (f.q != before.q || f.bandwidth != before.bandwidth)
        add("Q " + formatNumber(analogueQ(before), 4) + " to " + formatNumber(f.q, 4));
    if (f.gainDb != before.gainDb) add("gain " + formatNumber(before.gainDb) + " dB to " + formatNumber(f.gainDb) + " dB");
    if (text.empty()) return false;
    moved = "clamped to the bands' ranges: " + text;
    return true;
}

}  // namespace

PresetValues defaultValues() {
    PresetValues values{};
    for (int i = 0; i < kNumParams; ++i) values[i] = staticParamTable()[i].normalised;
    return values;
}

double analogueQ(const Filter& f) {
    if (f.bandwidth > 0.0) return 1.0 / (2.0 * std::sinh(std::log(2.0) / 2.0 * f.bandwidth));
    if (isShelf(f.type) && f.slopeDb > 0.0) {
        // Textbook shelf slope: 1/Q = sqrt((A + 1/A)(1/S - 1) + 2), S = 1 the
        // steepest slope without overshoot (12 dB per octave at the midpoint).
        const double a = std::pow(10.0, f.gainDb / 40.0);
        const double s = f.slopeDb / 12.0;
        const double inverseSquare = (a + 1.0 / a) * (1.0 / s - 1.0) + 2.0;
        return inverseSquare > 0.0 ? 1.0 / std::sqrt(inverseSquare) : NAN;
    }
    return f.q;
}

Import importText(std::string_view text, bool lenient) {
    Text read = readText(text);
    Import out;
    out.values = defaultValues();
    out.errors = std::move(read.errors);
    out.refused = read.refused;
    if (out.refused) read.filters.clear();  // nothing of it is mapped or applied

    const double maxScale = rangeOf(kScale, true);
    double scaleDb = kDefaultScaleDb;
    for (const Filter& f : read.filters)
        if (std::fabs(f.gainDb) <= maxScale || lenient) scaleDb = std::max(scaleDb, std::min(std::fabs(f.gainDb), maxScale));

    bool oneSided = false;
    int band = 0;
    for (const Filter& f : read.filters) {
        std::string error, clamped;
        Band b;
        if (band >= kNumBands) {
            error = "Harmoniform has " + std::to_string(kNumBands) + " bands; this file has " +
                    std::to_string(read.filters.size()) + " filters";
            out.tooManyFilters = true;
        } else {
            Filter applied = f;
            std::string moved;
            if (lenient && clampToBands(applied, moved)) clamped = moved;
            if (std::fabs(applied.gainDb) > maxScale)
                error = "a gain of " + formatNumber(f.gainDb) + " dB is beyond the bands' " + formatNumber(maxScale) + " dB";
            else
                mapFilter(applied, scaleDb, b, error);
        }
        if (!error.empty()) {
            out.errors.push_back({f.line, error});
            if (out.tooManyFilters) break;
            if (stopForDiagnostics(out.errors, f.line)) {
                out.refused = true;
                break;
            }
            continue;
        }
        if (!clamped.empty()) out.errors.push_back({f.line, clamped, true});
        for (int field = 0; field < kParamsPerBand; ++field)
            out.values[bandParam(band, field)] = staticNormalisedOf(bandParam(band, field), b.fields[field]);
        // Any Channel selection names channels: the first pair then runs as left
        // and right (as mid and side, "Channel: 1 2" would read as both of those).
        oneSided = oneSided || f.groups != kAllGroups;
        out.mapped.push_back(f);
        ++band;
    }
    out.values[kScale] = staticNormalisedOf(kScale, scaleDb);
    oneSided = oneSided || read.channelPreampDb[0] != read.channelPreampDb[1];
    if (oneSided) out.values[kMsState] = staticNormalisedOf(kMsState, 0.0);  // left/right: the groups are sides

    const auto& channel = read.channelPreampDb;
    const double loudest = *std::max_element(channel.begin(), channel.end());
    // The sum of many Preamp lines may be no number.
    const auto beyond = std::find_if(channel.begin(), channel.end(),
                                     [](double db) { return !(std::fabs(db) <= rangeOf(kGain, true)); });
    if (beyond != channel.end()) {
        out.errors.push_back({read.preampLine, "a preamp of " + formatNumber(*beyond) + " dB is beyond the output gain's " +
                                                   formatNumber(rangeOf(kGain, true)) + " dB"});
    } else {
        out.preampDb = loudest;
        out.channelPreampDb = channel;
        for (int c = 0; c < 8; ++c)
            if (channel[c] != loudest)
                out.values[channelParam(c, kChannelLevel)] =
                    staticNormalisedOf(channelParam(c, kChannelLevel), std::pow(10.0, (channel[c] - loudest) / 20.0));
    }
    out.values[kGain] = staticNormalisedOf(kGain, out.preampDb);
    std::stable_sort(out.errors.begin(), out.errors.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    return out;
}

}  // namespace hm::peq
