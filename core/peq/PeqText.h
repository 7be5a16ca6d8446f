#pragma once
// Parametric EQ text: the plain filter lists that headphone and room
// correction tools write, one command a line:
//
//   Preamp: -6.2 dB
//   Channel: L                      (L, R, 1..8, several, or ALL; until the next Channel line)
//   Filter 1: ON PK Fc 105 Hz Gain 4.5 dB Q 0.70
//   Filter 2: OFF LSC 12dB Fc 80 Hz Gain 3 dB
//   Filter 3: ON HPQ Fc 20 Hz Q 0.5
//   # a comment
//
// Room-correction exports are read as well: their header lines ("Filter
// Settings file", "Room EQ V5.31", "Dated:", "Notes:", "Equaliser:", "Average
// 1") and unused slots ("Filter 5: ON None") are passed over, and PEQ is a peak.
//
// The reader turns such a text into plain records, with one diagnostic (line
// number and message) for every line it cannot read; the records hold the
// filters as the text describes them, before any mapping onto bands. Pure
// functions; any thread; numbers are read and written independently of the
// process's locale (a host may have set one with decimal commas).
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hm::peq {

enum class FilterType { Peak, LowShelf, HighShelf, LowPass, HighPass, Notch, AllPass, BandPass };

// The Q a filter gets when its line gives neither Q nor bandwidth; a notch
// gets kDefaultNotchQ, and a shelf with neither Q nor slope the textbook shelf
// slope kDefaultShelfSlope (S, 1 being 12 dB per octave at the midpoint). A
// peak must give its width.
inline constexpr double kDefaultQ = 0.70710678118654752;
inline constexpr double kDefaultNotchQ = 30.0;
inline constexpr double kDefaultShelfSlope = 0.9;

// Channel selections as a band's group set: group g (1..8) is bit 8 - g.
inline constexpr int kAllGroups = 255;
inline constexpr int kLeftGroup = 128;
inline constexpr int kRightGroup = 64;

struct Filter {
    int line = 0;  // 1-based line of the text
    bool on = true;
    FilterType type = FilterType::Peak;
    double frequency = 0.0;  // Hz
    double gainDb = 0.0;
    double q = kDefaultQ;      // as written, or kDefaultQ
    double bandwidth = 0.0;    // octaves when the line gave "BW Oct", else 0
    double slopeDb = 0.0;      // shelves: the "LS 12dB" form's dB per octave, else 0
    int groups = kAllGroups;   // the channel selection in force
};

struct Diagnostic {
    int line = 0;
    std::string message;
    bool applied = false;  // the line was applied changed (a lenient import's clamped value), not skipped
};

struct Text {
    double preampDb = 0.0;  // all Preamp lines added
    // Each channel's preamp (channel c, group c + 1): the Preamp lines added
    // under the Channel selections that held it.
    std::array<double, 8> channelPreampDb{};
    int preampLine = 0;     // the last Preamp line, 0 without one
    std::vector<Filter> filters;
    std::vector<Diagnostic> errors;  // in line order
    bool refused = false;            // no filter list at all: not to be imported even leniently
};

// A text with more lines that cannot be imported is no filter list (a real one
// has a few dozen lines); reading stops there, and memory and the messages
// stay bounded whatever file was handed over.
inline constexpr std::size_t kMaxDiagnostics = 100;

// Reads a whole text (UTF-8 with or without a byte-order mark; LF, CRLF or CR
// line ends).
Text readText(std::string_view text);

// When `errors` has reached kMaxDiagnostics: adds the diagnostic that stops the
// import at `line` and says so.
bool stopForDiagnostics(std::vector<Diagnostic>& errors, int line);

// A number with up to `digits` significant digits and no trailing zeros, with
// a decimal point whatever the locale ("105", "4.5", "-0.25").
std::string formatNumber(double value, int digits = 6);

// A decimal number with a point and perhaps an exponent ("1e3"), nothing
// else; none for anything else
// (a decimal comma included). Locale-independent.
std::optional<double> parseNumber(std::string_view token);

// The type's text name as written on export ("PK", "LSC", "HPQ", ...).
const char* typeName(FilterType type);

}  // namespace hm::peq
