// Reading parametric EQ text: real-world line shapes, the lines a reader must
// refuse (each with the message a user sees), and whole-file matters (byte-order
// mark, CRLF, channel selections, preamp, the band limit).
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "core/params/ParamTable.h"
#include "core/peq/PeqFidelity.h"
#include "core/peq/PeqMapping.h"
#include "core/peq/PeqText.h"

namespace hm::peq {
namespace {

struct GoodLine {
    const char* text;
    FilterType type;
    bool on;
    double frequency, gainDb, q, bandwidth, slopeDb;
};

const GoodLine kGoodLines[] = {
    {"Filter 1: ON PK Fc 105 Hz Gain 4.5 dB Q 0.70", FilterType::Peak, true, 105, 4.5, 0.70, 0, 0},
    {"Filter 12: ON PK Fc 105.5 Hz Gain -4.5 dB Q 1.41", FilterType::Peak, true, 105.5, -4.5, 1.41, 0, 0},
    {"Filter:ON PK Fc 2000Hz Gain -3dB Q 2", FilterType::Peak, true, 2000, -3, 2, 0, 0},
    {"  Filter  3 :  ON   PK   Fc  50  Hz   Gain +2.0  dB  Q  0.5  ", FilterType::Peak, true, 50, 2, 0.5, 0, 0},
    {"filter 4: on pk fc 1000 hz gain 1 db q 1", FilterType::Peak, true, 1000, 1, 1, 0, 0},
    {"Filter 5: ON PK Fc 1.5 kHz Gain 1 dB Q 1", FilterType::Peak, true, 1500, 1, 1, 0, 0},
    {"Filter 6: ON PK Fc 1000 Hz Gain 6 dB BW Oct 1.0", FilterType::Peak, true, 1000, 6, kDefaultQ, 1.0, 0},
    {"Filter 7: ON NO Fc 4000 Hz", FilterType::Notch, true, 4000, 0, kDefaultNotchQ, 0, 0},  // a narrow notch
    {"Filter 8: OFF PK Fc 1000 Hz Gain 6 dB Q 3", FilterType::Peak, false, 1000, 6, 3, 0, 0},
    {"Filter 9: ON LS Fc 100 Hz Gain 5 dB", FilterType::LowShelf, true, 100, 5, kDefaultQ, 0, kDefaultShelfSlope * 12},
    {"Filter 10: ON LSC Fc 100 Hz Gain 5 dB Q 0.9", FilterType::LowShelf, true, 100, 5, 0.9, 0, 0},
    {"Filter 11: ON LSC 12dB Fc 100 Hz Gain 5 dB", FilterType::LowShelf, true, 100, 5, kDefaultQ, 0, 12},
    {"Filter 12: ON LS 6 dB Fc 100 Hz Gain -5 dB", FilterType::LowShelf, true, 100, -5, kDefaultQ, 0, 6},
    {"Filter 13: ON HSC Fc 9000 Hz Gain -2 dB Q 0.7", FilterType::HighShelf, true, 9000, -2, 0.7, 0, 0},
    {"Filter 14: ON HS 6dB Fc 9000 Hz Gain 3 dB", FilterType::HighShelf, true, 9000, 3, kDefaultQ, 0, 6},
    {"Filter 15: ON LP Fc 18000 Hz", FilterType::LowPass, true, 18000, 0, kDefaultQ, 0, 0},
    {"Filter 16: ON LPQ Fc 18000 Hz Q 1.2", FilterType::LowPass, true, 18000, 0, 1.2, 0, 0},
    {"Filter 17: ON HPQ Fc 20 Hz Q 0.5 Gain 0 dB", FilterType::HighPass, true, 20, 0, 0.5, 0, 0},
    {"Filter 18: ON HP Fc 30 Hz", FilterType::HighPass, true, 30, 0, kDefaultQ, 0, 0},
    {"Filter 19: ON NO Fc 60 Hz Q 30", FilterType::Notch, true, 60, 0, 30, 0, 0},
    {"Filter 20: ON AP Fc 500 Hz Q 0.8", FilterType::AllPass, true, 500, 0, 0.8, 0, 0},
    {"Filter 21: ON PK Fc 100 Hz Gain 2 dB Q 1 # trailing comment", FilterType::Peak, true, 100, 2, 1, 0, 0},
    {"Filter 22: ON PK Fc 1e3 Hz Gain -2.5E-1 dB Q 1.5e+0", FilterType::Peak, true, 1000, -0.25, 1.5, 0, 0},
    {"Filter 23: ON PK Fc 2.5e3Hz Gain 3e0dB Q 2", FilterType::Peak, true, 2500, 3, 2, 0, 0},
};

TEST(PeqText, RealWorldLineShapesReadAsTheirFilters) {
    for (const GoodLine& g : kGoodLines) {
        SCOPED_TRACE(g.text);
        const Text t = readText(g.text);
        ASSERT_TRUE(t.errors.empty()) << t.errors[0].message;
        ASSERT_EQ(t.filters.size(), 1u);
        const Filter& f = t.filters[0];
        EXPECT_EQ(f.type, g.type);
        EXPECT_EQ(f.on, g.on);
        EXPECT_DOUBLE_EQ(f.frequency, g.frequency);
        EXPECT_DOUBLE_EQ(f.gainDb, g.gainDb);
        EXPECT_DOUBLE_EQ(f.q, g.q);
        EXPECT_DOUBLE_EQ(f.bandwidth, g.bandwidth);
        EXPECT_DOUBLE_EQ(f.slopeDb, g.slopeDb);
        EXPECT_EQ(f.line, 1);
    }
}

struct BadLine {
    const char* text;
    const char* message;  // part of the diagnostic
};

const BadLine kBadLines[] = {
    {"Filter 1: ON XX Fc 100 Hz Gain 1 dB Q 1", "unknown filter type 'XX'"},
    {"Filter 1: ON PK Gain 1 dB Q 1", "missing frequency (Fc)"},
    {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Q -1", "Q must be positive"},
    {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 0", "Q must be positive"},
    {"Filter 1: ON PK Fc 100,5 Hz Gain 1 dB Q 1", "decimal comma in '100,5'"},
    {"Filter 1: ON PK Fc 100 Hz Gain 4,5 dB Q 1", "write numbers with a decimal point (4.5)"},
    {"Preamp: -6,2 dB", "decimal comma in '-6,2'"},
    {"Filter 1: ON PK Fc 100 Hz Q 1", "PK needs a gain"},
    {"Filter 1: ON LPQ Fc 100 Hz Gain 3 dB Q 1", "LPQ takes no gain"},
    {"Filter 1: PK Fc 100 Hz Gain 1 dB Q 1", "expected ON or OFF"},
    {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1 Q 2", "Q is given twice"},
    {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1 BW Oct 1", "either Q or BW"},
    {"Filter 1: ON LSC 12dB Fc 100 Hz Gain 1 dB Q 1", "either a slope"},
    {"Filter 1: ON PK 12dB Fc 100 Hz Gain 1 dB", "PK takes no slope"},
    {"Filter 1: ON PK Fc 1000 Hz Gain 6 dB", "PK needs a width (Q ... or BW Oct ...)"},
    {"Filter 1: ON PK Fc abc Hz Gain 1 dB", "Fc needs a number"},
    {"Filter 1: ON PK Fc nan Hz Gain 1 dB", "Fc needs a number"},
    {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Slope 3", "unexpected 'Slope'"},
    {"GraphicEQ: 20 -3; 40 -2", "'GraphicEQ:' is not imported"},
    {"Channel: C", "unknown channel 'C'"},
    {"just words", "not a command"},
    // Read, but no band can hold them:
    {"Filter 1: ON BP Fc 1000 Hz Q 2", "BP (band-pass) has no Harmoniform band"},
    {"Filter 1: ON PK Fc 5 Hz Gain 1 dB Q 1", "outside the bands' range"},
    {"Filter 1: ON PK Fc 1000 Hz Gain 1 dB Q 60", "Q 60 is outside"},
    {"Filter 1: ON PK Fc 1000 Hz Gain 40 dB Q 1", "beyond the bands' 36 dB"},
    {"Filter 1: ON LSC 30dB Fc 100 Hz Gain 24 dB", "too steep"},
    {"Preamp: -40 dB", "beyond the output gain's 36 dB"},
    // Numbers as other programs write them, and ones no filter has:
    {"Filter 1: ON PK Fc 1e308 Hz Gain 1 dB Q 1", "outside the bands' range"},
    {"Filter 1: ON PK Fc 1e999 Hz Gain 1 dB", "Fc needs a number, not '1e999'"},
    {"Filter 1: ON PK Fc 1e Hz Gain 1 dB", "unexpected 'e'"},
    {"Filter 1: ON PK Fc 100 Hz Gain 0x1p3 dB", "unexpected 'x1p3'"},
    {"Filter 1: ON PK Fc inf Hz Gain 1 dB", "Fc needs a number, not 'inf'"},
    {"Filter 1: ON PK Fc -inf Hz Gain 1 dB", "Fc needs a number, not '-'"},
    {"Filter 1: ON PK Fc 100 Hz Gain NaN dB", "Gain needs a number, not 'NaN'"},
    {"Filter 1: ON PK Fc 100 Hz Gain +-3 dB", "Gain needs a number, not '+-3'"},
    {"Filter 1: ON PK Fc -0 Hz Gain 1 dB", "Fc must be a positive frequency"},
    {"Filter 1: ON PK Fc -100 Hz Gain 1 dB", "Fc must be a positive frequency"},
    {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Q -0", "Q must be positive"},
    {"Filter 1: ON PK Fc 30000 Hz Gain 1 dB Q 1", "Fc 30000 Hz is outside the bands' range"},
    // The corner is in range, the midpoint (where the textbook shelf is built) is not.
    {"Filter 1: ON LSC Fc 30000 Hz Gain 12 dB Q 0.7", "Fc 30000 Hz is outside the bands' range"},
    {"Filter 1: ON HS 6dB Fc 9 Hz Gain -12 dB", "Fc 9 Hz is outside the bands' range"},
    // Words quoted in messages go to terminals and notices: no control
    // characters, no broken UTF-8.
    {"Filter 1: ON \x1b]0;owned\x07 Fc 100 Hz", "unknown filter type '?]0;owned?'"},
    {"Filter 1: ON P\xFFK Fc 100 Hz", "unknown filter type 'P?K'"},
    {"Filter 1: ON P\xC0\xAFK Fc 100 Hz", "unknown filter type 'P??K'"},  // overlong '/'
    {"Filtre 1 \xC3\xA9t\xC3\xA9: ON PK", "'Filtre 1 \xC3\xA9t\xC3\xA9:' is not imported"},
};

TEST(PeqText, LinesThatCannotBeImportedAreReportedWithLineAndReason) {
    for (const BadLine& b : kBadLines) {
        SCOPED_TRACE(b.text);
        const Import im = importText(std::string("# first line\n") + b.text + "\n");
        ASSERT_EQ(im.errors.size(), 1u);
        EXPECT_EQ(im.errors[0].line, 2);
        EXPECT_NE(im.errors[0].message.find(b.message), std::string::npos) << im.errors[0].message;
        EXPECT_FALSE(im.usable(false));
        EXPECT_TRUE(im.usable(true));  // --lenient: the line is skipped
        EXPECT_TRUE(im.mapped.empty());
    }
}

TEST(PeqText, HugeNumbersAndLongWordsGiveExactBoundedMessages) {
    const std::string huge = "1" + std::string(300, '0');
    const std::string tiny = "0." + std::string(320, '0') + "1";  // a subnormal
    const std::string veryLong(100000, 'X');
    const struct {
        std::string text, message;
    } cases[] = {
        // (printed as the double nearest 1e300, exactly: 1.000000000000000052...e300)
        {"Filter 1: ON PK Fc " + huge + " Hz Gain 1 dB Q 1", "Fc 1000000000000000052"},
        {"Filter 1: ON PK Fc 100 Hz Gain " + huge + " dB Q 1", "a gain of 1000000000000000052"},
        {"Filter 1: ON PK Fc " + tiny + " Hz Gain 1 dB Q 1", "Fc 0.0000000000"},
        {"Filter 1: ON " + veryLong + " Fc 100 Hz", "unknown filter type '" + veryLong.substr(0, 32) + "...'"},
        {"Preamp: " + huge + "\nPreamp: -1.5", "a preamp of 1000000000000000052"},
        // Each line's number is finite, their sum is not.
        {"Preamp: 17976931348623157" + std::string(292, '0') + "\nPreamp: 17976931348623157" + std::string(292, '0'),
         "a preamp of inf dB is beyond the output gain's 36 dB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        const Import im = importText(c.text);
        ASSERT_EQ(im.errors.size(), 1u);
        EXPECT_NE(im.errors[0].message.find(c.message), std::string::npos) << im.errors[0].message.substr(0, 200);
        EXPECT_LT(im.errors[0].message.size(), 500u);
        EXPECT_EQ(im.preampDb, 0.0);
        EXPECT_EQ(im.values, defaultValues());
    }
}

TEST(PeqText, ByteOrderMarkCrlfCommentsAndPreampsAreHandled) {
    const Text t = readText("\xEF\xBB\xBFPreamp: -6.2 dB\r\n\r\n# comment\r\nPreamp: 1dB\r\n"
                            "Filter 1: ON PK Fc 105 Hz Gain 4.5 dB Q 0.70\r\n");
    EXPECT_TRUE(t.errors.empty());
    EXPECT_NEAR(t.preampDb, -5.2, 1e-12);  // preamps add up
    ASSERT_EQ(t.filters.size(), 1u);
    EXPECT_EQ(t.filters[0].line, 5);
    EXPECT_DOUBLE_EQ(t.filters[0].q, 0.70);

    // Old Mac line ends: CR alone, mixed with CRLF.
    const Text cr = readText("Preamp: -3 dB\rFilter 1: ON PK Fc 105 Hz Gain 4.5 dB Q 0.70\r\n\rFilter 2: ON NO Fc 60 Hz\r");
    EXPECT_TRUE(cr.errors.empty()) << cr.errors[0].message;
    ASSERT_EQ(cr.filters.size(), 2u);
    EXPECT_EQ(cr.filters[0].line, 2);
    EXPECT_EQ(cr.filters[1].line, 4);

    const Text utf16 = readText(std::string("\xFF\xFEP\0r\0", 6));
    ASSERT_EQ(utf16.errors.size(), 1u);
    EXPECT_NE(utf16.errors[0].message.find("UTF-16"), std::string::npos);
}

TEST(PeqText, ChannelSelectionsBecomeGroupsAndTheFirstPairLeftRight) {
    const Import im = importText("Channel: L\nFilter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\n"
                                 "Channel: R\nFilter 2: ON PK Fc 200 Hz Gain 1 dB Q 1\n"
                                 "Channel: L R\nFilter 3: ON PK Fc 300 Hz Gain 1 dB Q 1\n"
                                 "Channel: all\nFilter 4: ON PK Fc 400 Hz Gain 1 dB Q 1\n");
    ASSERT_TRUE(im.errors.empty());
    const int expected[] = {kLeftGroup, kRightGroup, kLeftGroup | kRightGroup, kAllGroups};
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ(std::lround(staticRealOf(bandParam(b, kBandGroups), im.values[bandParam(b, kBandGroups)])), expected[b]);
    EXPECT_EQ(std::lround(staticRealOf(kMsState, im.values[kMsState])), 0);  // left/right

    // A selection that cannot be read takes its lines with it, up to the next.
    const Text dropped = readText("Channel: C\nPreamp: -3 dB\nFilter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\n"
                                  "Channel: R\nFilter 2: ON PK Fc 200 Hz Gain 1 dB Q 1\n");
    ASSERT_EQ(dropped.errors.size(), 3u);
    EXPECT_EQ(dropped.errors[1].line, 2);
    EXPECT_EQ(dropped.errors[2].line, 3);
    EXPECT_NE(dropped.errors[2].message.find("skipped with the Channel line 1"), std::string::npos)
        << dropped.errors[2].message;
    ASSERT_EQ(dropped.filters.size(), 1u);
    EXPECT_EQ(dropped.filters[0].groups, kRightGroup);
    EXPECT_EQ(dropped.preampDb, 0.0);

    const Import pair = importText("Channel: 1 2\nFilter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\n");
    EXPECT_EQ(std::lround(staticRealOf(kMsState, pair.values[kMsState])), 0);  // channels, not mid and side

    const Import both = importText("Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\n");
    EXPECT_EQ(both.values[kMsState], defaultValues()[kMsState]);  // nothing one-sided: left as a new instance has it
}

// Leniently, a value beyond the bands' ranges is clamped to the nearest one and
// the report shows what that cost against the file's own curve: here a Q 0.07
// peak played with Q 0.1, which at 20 Hz the analogue peaks alone put apart by
// the difference computed below.
TEST(PeqText, LenientImportsClampAndReportTheCost) {
    const char* text = "Filter 1: ON PK Fc 100 Hz Gain 6 dB Q 0.07\n";
    EXPECT_FALSE(importText(text).usable(false));
    const Import im = importText(text, true);
    ASSERT_EQ(im.errors.size(), 1u);
    EXPECT_TRUE(im.errors[0].applied);
    EXPECT_NE(im.errors[0].message.find("Q 0.07 to 0.1"), std::string::npos) << im.errors[0].message;
    ASSERT_EQ(im.mapped.size(), 1u);
    EXPECT_DOUBLE_EQ(im.mapped[0].q, 0.07);  // the file's filter, for its curve
    EXPECT_NEAR(staticRealOf(bandParam(0, kBandQ), im.values[bandParam(0, kBandQ)]), 0.1, 1e-6);

    // |H|^2 of the analogue peak at x = f / Fc: ((1 - x^2)^2 + (A x / Q)^2) / ((1 - x^2)^2 + (x / (A Q))^2).
    const auto peakDb = [](double x, double gainDb, double q) {
        const double a = std::pow(10.0, gainDb / 40.0), d = 1.0 - x * x;
        return 10.0 * std::log10((d * d + std::pow(a * x / q, 2)) / (d * d + std::pow(x / (a * q), 2)));
    };
    const double cost = peakDb(0.2, 6.0, 0.1) - peakDb(0.2, 6.0, 0.07);
    ASSERT_LT(cost, -0.3);
    for (const Fidelity& f : fidelityReport(im)) EXPECT_LE(f.differenceDb, cost + 0.02) << describe(f);

    // Fc to the top of the range, a shelf's corner kept in range too, the gain to the largest Scale.
    const Import more = importText("Filter 1: ON PK Fc 30000 Hz Gain 2 dB Q 1\n"
                                   "Filter 2: ON HSC Fc 21000 Hz Gain 12 dB Q 0.7\n"
                                   "Filter 3: ON PK Fc 1000 Hz Gain 40 dB Q 2\n", true);
    ASSERT_EQ(more.mapped.size(), 3u);
    const auto real = [&](int band, int field) { return staticRealOf(bandParam(band, field), more.values[bandParam(band, field)]); };
    EXPECT_NEAR(real(0, kBandFrequency), 22000.0, 0.1);
    EXPECT_LE(real(1, kBandFrequency), 22000.0 * 1.0001);
    EXPECT_NEAR(real(2, kBandGain) * staticRealOf(kScale, more.values[kScale]), 36.0, 1e-3);
}

TEST(PeqText, RoomCorrectionExportsReadAsTheirFilters) {
    const Text t = readText(
        "Filter Settings file\r\n\r\nRoom EQ V5.31\r\nDated: 3 Mar 2026 21:04:11\r\n\r\n"
        "Notes: living room, left speaker\r\n\r\nEqualiser: Generic\r\nAverage 1\r\n"
        "Filter  1: ON  PK       Fc   43.5 Hz  Gain  -7.2 dB  Q  5.10\r\n"
        "Filter  2: ON  PEQ      Fc    118 Hz  Gain  -3.0 dB  Q  2.40\r\n"
        "Filter  3: ON  None\r\n"
        "Filter  4: OFF None\r\n");
    EXPECT_TRUE(t.errors.empty()) << t.errors[0].line << ": " << t.errors[0].message;
    ASSERT_EQ(t.filters.size(), 2u);
    EXPECT_EQ(t.filters[1].type, FilterType::Peak);
    EXPECT_DOUBLE_EQ(t.filters[1].frequency, 118.0);
    EXPECT_DOUBLE_EQ(t.filters[1].q, 2.4);

    const Text bad = readText("Filter 3: ON None Fc 100 Hz\n");
    ASSERT_EQ(bad.errors.size(), 1u);
    EXPECT_NE(bad.errors[0].message.find("None takes nothing"), std::string::npos);
}

TEST(PeqText, MoreFiltersThanBandsAreRefusedEvenLeniently) {
    std::string text;
    for (int i = 1; i <= 33; ++i) text += "Filter " + std::to_string(i) + ": ON PK Fc 1000 Hz Gain 1 dB Q 1\n";
    const Import im = importText(text);
    EXPECT_TRUE(im.tooManyFilters);
    EXPECT_FALSE(im.usable(true));
    ASSERT_FALSE(im.errors.empty());
    EXPECT_EQ(im.errors.back().line, 33);
    EXPECT_NE(im.errors.back().message.find("32 bands; this file has 33 filters"), std::string::npos);

    std::string fits;
    for (int i = 1; i <= 32; ++i) fits += "Filter " + std::to_string(i) + ": ON PK Fc 1000 Hz Gain 1 dB Q 1\n";
    EXPECT_TRUE(importText(fits).usable(false));
}

std::string repeated(const std::string& line, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text += line;
    return text;
}

TEST(PeqText, TextsThatAreNoFilterListAreRefusedWholeEvenLeniently) {
    const std::string pk = "Filter: ON PK Fc 100 Hz Gain 1 dB Q 1\n";
    const std::size_t megabyteOfFilters = (1u << 20) / pk.size();
    const struct {
        std::string text;
        int line;
        std::string message;
        std::size_t errors;
    } cases[] = {
        {std::string("\xFF\xFEP\0r\0", 6), 1, "the text is UTF-16", 1},
        {pk + std::string("Filter 2: ON P\0K Fc 100 Hz\n", 27) + pk, 2, "zero byte", 1},
        {repeated("garbage\n", 150), 100, "stopped after 100 lines that cannot be imported", 101},
        {repeated("Filter: ON BP Fc 1000 Hz Q 2\n", 150), 100, "stopped after 100 lines", 101},
        {"Preamp: -3 dB\n" + repeated(pk, 500), 34, "Harmoniform has 32 bands; this file has 500 filters", 1},
        {repeated(pk, megabyteOfFilters), 33,
         "this file has " + std::to_string(megabyteOfFilters) + " filters", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        const Import im = importText(c.text);
        EXPECT_FALSE(im.usable(true));
        ASSERT_EQ(im.errors.size(), c.errors);
        EXPECT_EQ(im.errors.back().line, c.line);
        EXPECT_NE(im.errors.back().message.find(c.message), std::string::npos) << im.errors.back().message;
    }
}

TEST(PeqText, NumbersIgnoreTheProcessLocale) {
    // A host may run with a locale whose decimal separator is a comma.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
        EXPECT_EQ(formatNumber(4.5), "4.5");
        EXPECT_EQ(parseNumber("4.5").value_or(0), 4.5);
        EXPECT_FALSE(parseNumber("4,5"));
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(formatNumber(0.70710678), "0.707107");
    EXPECT_EQ(formatNumber(-12.5), "-12.5");
    EXPECT_EQ(formatNumber(20000.0), "20000");
    EXPECT_EQ(formatNumber(-0.0), "0");
    EXPECT_EQ(formatNumber(-1e20), "-100000000000000000000");
    EXPECT_EQ(formatNumber(-INFINITY), "-inf");  // never "0": messages quote what was refused
    EXPECT_EQ(formatNumber(NAN), "nan");
    EXPECT_EQ(parseNumber("+5").value_or(0), 5.0);
    EXPECT_FALSE(parseNumber("+-5"));
    EXPECT_FALSE(parseNumber("-+5"));
    EXPECT_TRUE(std::signbit(parseNumber("-0").value_or(1)));
}

}  // namespace
}  // namespace hm::peq
