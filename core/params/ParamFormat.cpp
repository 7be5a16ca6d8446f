#include "core/params/ParamFormat.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/params/Conversion.h"

namespace hm {

void formatNoteName(double hz, char* text, std::size_t size) {
    static const char* const kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    if (!(hz > 0.0) || !std::isfinite(hz)) {
        std::snprintf(text, size, "-");
        return;
    }
    const double o = std::log2(hz / 440.0);
    const double v = std::floor(o + 0.5);                // octaves from A4
    const double semis = (o - v) * 12.0;
    const double s = std::floor(semis + 0.5);            // -6..6 semitones
    const double c = std::floor((semis - s) * 100.0 + 0.5);  // cents
    const int note = (static_cast<int>(s) + 21) % 12;
    // The octave number changes at C, three semitones above A.
    const int octave = static_cast<int>(v) + 4 + (s > 2 ? 1 : 0);
    std::snprintf(text, size, "%s%d%+02d", kNames[note], octave, static_cast<int>(c));
}

void formatParameterText(int index, const ParamRecord& record, double r, int flags, NumberFormat format,
                         bool bandAware, char* text, std::size_t size) {
    if (!text || size == 0) return;
    const bool simple = bandAware && format == NumberFormat::Simple;
    const char* label = record.label;

    if (index == kIRLength) {
        std::snprintf(text, size, "%d", 1024 << static_cast<int>(r));
        return;
    }
    if (index == kDPlusLen) {
        if (static_cast<int>(r) == 0) std::snprintf(text, size, "Off");
        else std::snprintf(text, size, "%d", 8 << static_cast<int>(r));
        return;
    }
    if (index == kIRPad) {
        std::snprintf(text, size, "%d", 1 << static_cast<int>(r));
        return;
    }
    if (channelFieldOf(index) == kChannelLevel) {
        if (r < 0.000001) std::snprintf(text, size, "-");
        else std::snprintf(text, size, "%.1f", 20.0 * std::log10(r));
        return;
    }
    if (record.kind == kKindSwitch) {
        std::snprintf(text, size, "%s", r < 0.5 ? "Off" : "On");
        return;
    }
    if (record.kind == kKindInteger || record.kind == kKindSteps6) {
        std::snprintf(text, size, "%d %s", static_cast<int>(r), label);
        return;
    }
    const bool hz = std::strcmp(label, "Hz") == 0;
    if ((flags & kFormatNoteNames) && hz) {
        formatNoteName(r, text, size);
        return;
    }
    const int field = bandFieldOf(index);
    if (bandAware && field == kBandGain) {
        std::snprintf(text, size, simple ? "%.1f %s" : "%.2f %s", r, label);
        return;
    }
    if (bandAware && field == kBandFrequency) {
        if (!simple) std::snprintf(text, size, "%.0f Hz", r);
        else if (r <= 1000.0) std::snprintf(text, size, "%.1f Hz", r);
        else std::snprintf(text, size, "%.2f kHz", r / 1000.0);
        return;
    }
    if (hz) {
        if (!bandAware) {
            if (r <= 1000.0) std::snprintf(text, size, "%.0f Hz", r);
            else std::snprintf(text, size, "%.1f kHz", r / 1000.0);
        } else if (!simple) {
            if (r <= 1000.0) std::snprintf(text, size, "%.1f Hz", r);
            else std::snprintf(text, size, "%.0f Hz", r);
        } else {
            if (r <= 1000.0) std::snprintf(text, size, "%.0f Hz", r);
            else std::snprintf(text, size, "%.1f kHz", r / 1000.0);
        }
        return;
    }
    if (std::strcmp(label, "dB") == 0) {
        std::snprintf(text, size, simple ? "%.1f dB" : "%.2f dB", r);
        return;
    }
    if (std::strcmp(label, "%") == 0) {
        std::snprintf(text, size, "%.0f %%", r);
        return;
    }
    if (std::fabs(r) < 1000.0) std::snprintf(text, size, "%.2f %s", r, label);
    else std::snprintf(text, size, "%.0f %s", r, label);
}

}  // namespace hm
