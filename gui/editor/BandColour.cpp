#include "gui/editor/BandColour.h"

#include <algorithm>
#include <cmath>

namespace hm::gui {

Rgb hueColour(double hue) {
    if (!std::isfinite(hue)) hue = 0.0;
    hue = std::fmod(hue, 360.0);
    if (hue < 0.0) hue += 360.0;
    const double h = hue / 60.0;
    const int sector = static_cast<int>(h) % 6;
    const double f = h - std::floor(h);
    const int rising = static_cast<int>(std::lround(255.0 * f));
    const int falling = static_cast<int>(std::lround(255.0 * (1.0 - f)));
    switch (sector) {
        case 0: return makeRgb(255, rising, 0);
        case 1: return makeRgb(falling, 255, 0);
        case 2: return makeRgb(0, 255, rising);
        case 3: return makeRgb(0, falling, 255);
        case 4: return makeRgb(rising, 0, 255);
        default: return makeRgb(255, 0, falling);
    }
}

Rgb hsvColour(double hue, double saturation, double value) {
    const Rgb pure = hueColour(hue);
    const double s = std::isfinite(saturation) ? std::clamp(saturation, 0.0, 1.0) : 0.0;
    const double v = std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0;
    // Each channel moves from the value's grey toward the pure hue by the saturation.
    const auto mix = [&](int c) { return static_cast<int>(std::lround(v * (255.0 * (1.0 - s) + c * s))); };
    return makeRgb(mix(rgbRed(pure)), mix(rgbGreen(pure)), mix(rgbBlue(pure)));
}

Rgb bandColour(BandColouring mode, int band, double frequency, double sampleRate) {
    double hue = 0.0;
    if (mode == BandColouring::ByNumber) {
        hue = band * 45.0;
    } else {
        const double top = sampleRate * 0.5 / 10.0;
        if (frequency > 0.0 && top > 1.0) hue = 360.0 * std::log(frequency / 10.0) / std::log(top);
    }
    // Low frequencies start at violet rather than red.
    return hueColour(std::fmod(hue + 270.0, 360.0));
}

}  // namespace hm::gui
