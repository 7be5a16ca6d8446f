#include "gui/editor/TextEntry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace hm::gui {
namespace {

constexpr std::size_t kMaxTextLength = 31;

int leadingDigits(std::string_view text, std::size_t& i) {
    int value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (value < 100000) value = value * 10 + (text[i] - '0');
        ++i;
    }
    return value;
}

}  // namespace

namespace {

std::string_view trimmed(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// Digits from i on as a number (and how many there were).
double digitsValue(std::string_view t, std::size_t& i, int& count, double& scale) {
    double v = 0.0;
    count = 0;
    scale = 1.0;
    while (i < t.size() && isDigit(t[i])) {
        v = v * 10.0 + (t[i] - '0');
        scale *= 10.0;
        ++count;
        ++i;
    }
    return v;
}

TextReading refused(std::string why) { return TextReading{std::nullopt, std::move(why)}; }

}  // namespace

TextReading readNoteText(std::string_view text) {
    static constexpr int kSemitones[7] = {0, 2, 3, 5, 7, 8, 10};
    const std::string_view t = trimmed(text);
    std::size_t i = 0;
    const char letter = t.empty() ? '\0' : lower(t[0]);
    if (letter < 'a' || letter > 'g') return refused("not a note");
    ++i;
    int semitones = kSemitones[letter - 'a'];
    if (i < t.size() && t[i] == '#') {
        ++semitones;
        ++i;
    }
    const bool negativeOctave = i < t.size() && t[i] == '-';
    if (negativeOctave) ++i;
    if (i >= t.size() || !isDigit(t[i])) return refused("not a note");
    int octave = leadingDigits(t, i);
    if (negativeOctave) octave = -octave;
    int cents = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
        const bool negative = t[i] == '-';
        ++i;
        if (i >= t.size() || !isDigit(t[i])) return refused("not a note");
        cents = leadingDigits(t, i);
        if (negative) cents = -cents;
    }
    if (i != t.size()) return refused("not a note");
    const int belowA = letter >= 'c' ? 1 : 0;
    return {440.0 * std::pow(2.0, semitones / 12.0 + cents / 1200.0 + octave - 4 - belowA), {}};
}

TextReading readValueText(std::string_view text, std::string_view unit, bool notes) {
    const std::string_view t = trimmed(text.substr(0, std::min(text.size(), std::size_t{64})));
    if (t.empty()) return refused("no value");
    if (t.find(',') != std::string_view::npos) {
        // A decimal comma is not read as anything else: say what to type.
        std::string hint(t.substr(0, kMaxTextLength));
        for (char& c : hint)
            if (c == ',') c = '.';
        return refused("use " + hint);
    }
    if (notes && lower(t[0]) >= 'a' && lower(t[0]) <= 'g') return readNoteText(t);

    std::size_t i = 0;
    bool negative = false;
    if (t[i] == '+' || t[i] == '-') {
        negative = t[i] == '-';
        ++i;
    }
    int wholeDigits = 0, fractionDigits = 0;
    double scale = 1.0;
    const double whole = digitsValue(t, i, wholeDigits, scale);
    double value = whole;
    double multiplier = 1.0;
    if (i < t.size() && (t[i] == '.' || lower(t[i]) == 'k')) {
        // "k" between digits is the point of thousands; after the number, a multiplier.
        const bool thousands = lower(t[i]) == 'k';
        const bool kBeforeUnit = thousands && sameText(t.substr(i), "khz");
        if (!kBeforeUnit) {
            ++i;
            const double fraction = digitsValue(t, i, fractionDigits, scale);
            value = whole + fraction / scale;
            if (thousands) multiplier = 1000.0;
        }
    }
    if (wholeDigits + fractionDigits == 0) return refused(unit == "Hz" && notes ? "not a value or note" : "not a value");
    if (multiplier == 1.0 && i < t.size() && lower(t[i]) == 'k' && !sameText(t.substr(i), "khz")) {
        multiplier = 1000.0;
        ++i;
    }
    while (i < t.size() && t[i] == ' ') ++i;
    const std::string_view rest = t.substr(i);
    if (!rest.empty()) {
        const bool ownUnit = !unit.empty() && sameText(rest, unit);
        const bool kiloHertz = unit == "Hz" && multiplier == 1.0 && sameText(rest, "khz");
        if (kiloHertz) multiplier = 1000.0;
        else if (!ownUnit) return refused(unit.empty() ? "not a value" : "not in " + std::string(unit));
    }
    value *= multiplier;
    return {negative ? -value : value, {}};
}

}  // namespace hm::gui
