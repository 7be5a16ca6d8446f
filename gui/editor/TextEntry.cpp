#include "gui/editor/TextEntry.h"

#include <charconv>
#include <cmath>
#include <string>

namespace hm::gui {
namespace {

constexpr std::size_t kMaxTextLength = 31;

// The longest number at the start of the text (after blanks and an optional
// "+"), as the C library's reader would take it but in the "C" locale; 0 when
// there is none.
double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    double value = 0.0;
    const char* first = text.data() + i;
    const auto result = std::from_chars(first, text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large for a double: the reader's HUGE_VAL with the text's sign.
        return (i < text.size() && text[i] == '-') ? -HUGE_VAL : HUGE_VAL;
    }
    return result.ec == std::errc() ? value : 0.0;
}

int leadingDigits(std::string_view text, std::size_t& i) {
    int value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (value < 100000) value = value * 10 + (text[i] - '0');
        ++i;
    }
    return value;
}

}  // namespace

std::optional<double> parseNoteFrequency(std::string_view text) {
    // Semitones above A of the letters a..g.
    static constexpr int kSemitones[7] = {0, 2, 3, 5, 7, 8, 10};
    std::size_t i = 0;
    int letter = -1;
    for (; i < text.size(); ++i) {
        const char c = static_cast<char>(text[i] | 0x20);
        if (c >= 'a' && c <= 'g') {
            letter = c - 'a';
            ++i;
            break;
        }
    }
    if (letter < 0) return std::nullopt;
    int semitones = kSemitones[letter];
    if (i < text.size() && text[i] == '#') {
        ++semitones;
        ++i;
    }
    bool negativeOctave = false;
    if (i < text.size() && text[i] == '-') {
        negativeOctave = true;
        ++i;
    }
    int octave = leadingDigits(text, i);
    if (negativeOctave) octave = -octave;
    int cents = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        const bool negative = text[i] == '-';
        ++i;
        cents = leadingDigits(text, i);
        if (negative) cents = -cents;
    }
    // Octave numbers change at C: the letters c..g lie in the octave below A's.
    const int belowA = letter >= 2 ? 1 : 0;
    return 440.0 * std::pow(2.0, semitones / 12.0 + cents / 1200.0 + octave - 4 - belowA);
}

std::optional<double> parseValueText(std::string_view text) {
    std::string t(text.substr(0, kMaxTextLength));
    double multiplier = 1.0;
    if (const std::size_t k = t.find('k'); k != std::string::npos) {
        t[k] = '.';
        multiplier = 1000.0;
    }
    const double value = leadingNumber(t) * multiplier;
    if (value == 0.0 && t.find('0') == std::string::npos) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> parseLevelText(std::string_view text) {
    const double db = leadingNumber(text.substr(0, kMaxTextLength));
    if (db != 0.0 && !std::isnormal(db)) return std::nullopt;
    const double gain = std::pow(10.0, db * 0.05);
    if (!std::isfinite(gain)) return std::nullopt;
    return gain;
}

}  // namespace hm::gui
