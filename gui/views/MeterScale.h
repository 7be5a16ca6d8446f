#pragma once
// The level meters' scale: a power law whose top is amplitude 8 (+18 dBFS),
// with a curvature p per scale ("FS" 7.0, "K-12" 6.75, "K-14" 7.2, "K-20" 6.9).
// A value v lies at
//
//   y(v) = (1 − (v ÷ 8)^(1/p)) × (H − 3) + 3      (truncated, clamped to 0..H)
//
// rows below the top of a meter H rows high. The labels mark 18, 9, 0, −12,
// −36, −60 and −96 dBFS, written with the scale's offset added (a K-20 meter
// reads "20" at 0 dBFS), and "-inf" at the bottom. Pure functions, shared by
// nVU, nMicroMeter and meterText.
#include <cstdint>
#include <string>
#include <vector>

namespace hm::gui::meter {

inline constexpr double kTopAmplitude = 8.0;

double curvature(int scaleIndex);
int rowOf(double value, int height, int scaleIndex);
// The peak marker's row inside a meter whose top is at `top`.
int peakRow(double peak, int height, int scaleIndex, int top = 0);

struct Label {
    int y = 0;  // text top
    std::string text;
};
std::vector<Label> labels(int height, int scaleIndex, int labelOffset);

// "FS" 0, "K-12" 12, "K-14" 14, "K-20" 20.
int labelOffsetOf(int scaleIndex);

// A peak as a reading: "-inf" for exactly 0, else "%.1f" of its dB plus the
// offset, shortened to "%.0f" when that text would be longer than 5 characters.
std::string peakText(double peak, int labelOffset);
// meterText's reading: "-" below 1e-6, else "%.1f" of 20·log10|v|.
std::string levelText(double value);

// Wall-clock milliseconds for the peak hold; tests may replace the clock (null
// restores the real one). UI thread.
std::int64_t nowMs();
void setClockForTesting(std::int64_t (*clock)());

}  // namespace hm::gui::meter
