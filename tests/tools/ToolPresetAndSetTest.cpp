// --set values, preset files made and shown, and what the tool prints, through
// the built tool. Expected normalised values come from the parameter model's
// conversions of the real values a host shows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <regex>

#include "core/params/Conversion.h"
#include "core/params/Enumeration.h"
#include "core/params/ParamIds.h"
#include "core/params/ParamTable.h"
#include "prefs/ChunkCodec.h"
#include "prefs/Json.h"
#include "tests/tools/ToolTestSupport.h"

namespace hm::test {
namespace {

const std::string kFactoryBank = std::string(HM_SOURCE_DIR) + "/presets/Factory Bank.hmp";

// The normalised values a preset file holds, by parameter index; empty when unreadable.
std::vector<double> presetValues(const std::string& path, std::string* name = nullptr) {
    const auto text = state::decodeChunk(readBytes(path));
    const prefs::JsonPtr doc = text ? prefs::parseJson(*text) : nullptr;
    const cJSON* parameters = prefs::member(doc.get(), "parameters");
    if (!cJSON_IsObject(parameters)) return {};
    std::vector<double> values(kNumParams, -1.0);
    for (int i = 0; i < kNumParams; ++i)
        if (const cJSON* v = cJSON_GetObjectItemCaseSensitive(parameters, enumNameOf(i)); cJSON_IsNumber(v))
            values[i] = v->valuedouble;
    if (const cJSON* n = prefs::member(doc.get(), "name"); name && cJSON_IsString(n)) *name = n->valuestring;
    return values;
}

double modelNormalised(int index, double real) {
    const ParamRecord& r = staticParamTable()[index];
    return realToNormalisedBase(r.kind, r.minimum, r.maximum, real);
}

TEST(ToolSet, ValuesMeanWhatAHostShows) {
    // Each case on a band of its own, so one preset holds every result. The real
    // values are the parameter model's: a band Gain is a fraction of Scale (18 dB).
    struct Case {
        std::string assignment;  // '#' is the case's band number
        int field;               // band field, or -1 for a global (index)
        int index;
        double real;             // NAN: `normalised` is expected as it is
        double normalised = 0.0;
    };
    const Case cases[] = {
        {"Band# Q=1", kBandQ, 0, 1.0},
        {"Band# Q=0.707 Q", kBandQ, 0, 0.707},
        {"Band# Gain=1", kBandGain, 0, 1.0 / 18.0},
        {"Band# Gain=-6 dB", kBandGain, 0, -6.0 / 18.0},
        {"Band# Frequency=1000", kBandFrequency, 0, 1000.0},
        {"Band# Frequency=1 kHz", kBandFrequency, 0, 1000.0},
        {"Band# Frequency=2k5", kBandFrequency, 0, 2500.0},
        {"Band# Slope=24", kBandSlope, 0, 24.0},
        {"Band# Shift=-50", kBandShift, 0, -50.0},
        {"Band# State=On", kBandState, 0, 2.0},
        {"Band# State=Bypass", kBandState, 0, 1.0},
        {"Band# Type=HPF", kBandType, 0, 2.0},
        {"Band# Type=LowShelf", kBandType, 0, 3.0},
        {"Band# Type=HSh", kBandType, 0, 4.0},
        {"Band# Type=LPF", kBandType, 0, 5.0},
        {"Band# Type=Notch", kBandType, 0, 6.0},
        {"Band# Subtype=3", kBandSubtype, 0, 3.0},
        {"Band# Groups=Mid", kBandGroups, 0, 128.0},
        {"Band# Groups=Side", kBandGroups, 0, 64.0},
        {"Band# Groups=Stereo", kBandGroups, 0, 192.0},
        {"Band# Gain=0.25n", kBandGain, 0, NAN, 0.25},
        {"IRLength=8192", -1, kIRLength, 3.0},
        {"Mode=FIR", -1, kMode, 1.0},
        {"Gain=-3", -1, kGain, -3.0},
        {"Channel 2 Level=-6", -1, channelParam(1, kChannelLevel), std::pow(10.0, -6.0 / 20.0)},
        {"15=Inverted", -1, channelParam(0, kChannelPhase), 1.0},  // the index info prints
        {"MS State=Left/Right", -1, kMsState, 0.0},
        {"Band# Groups=Right", kBandGroups, 0, 64.0},               // named so once the pair is left/right
    };
    ScratchFolder folder;
    std::vector<std::string> args = {"preset", "make", folder.file("p.hmp")};
    std::vector<int> indices;
    int band = 0;
    for (const Case& c : cases) {
        std::string text = c.assignment;
        int index = c.index;
        if (c.field >= 0) {
            ++band;
            text.replace(text.find('#'), 1, std::to_string(band));
            index = bandParam(band - 1, c.field);
        }
        args.insert(args.end(), {"--set", text});
        indices.push_back(index);
    }
    const RunResult r = runTool(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<double> values = presetValues(folder.file("p.hmp"));
    ASSERT_EQ(values.size(), static_cast<std::size_t>(kNumParams));
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        SCOPED_TRACE(cases[k].assignment);
        const double expected = std::isnan(cases[k].real) ? cases[k].normalised : modelNormalised(indices[k], cases[k].real);
        EXPECT_NEAR(values[indices[k]], expected, 1e-6);
    }
}

TEST(ToolSet, OutOfRangeAndUnfitValuesAreRefusedWithTheRange) {
    const std::pair<const char*, const char*> cases[] = {
        {"Band1 Gain=19", "-18..18 dB"},       {"Band1 Q=60", "0.1..50 Q"},
        {"Band1 Frequency=30000", "10..22000 Hz"}, {"IRLength=3000", "1024..262144 samples"},
        {"Gain=-40", "-36..36 dB"},            {"Band1 Gain=2n", "0..1"},
        {"Band1 Groups=Left", "Mid or Side"},  {"Band1 State=Maybe", "Off, Bypass, On"},
        {"Band1 Slope=20", "steps of 6"},      {"Band1 Gian=3", "kBand1Gain (Band1 Gain)"},
    };
    ScratchFolder folder;
    for (const auto& [assignment, range] : cases) {
        SCOPED_TRACE(assignment);
        const RunResult r = runTool({"preset", "make", folder.file("p.hmp"), "--set", assignment});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(range), std::string::npos) << r.err;
        EXPECT_FALSE(fileExists(folder.file("p.hmp")));
    }
}

TEST(ToolPreset, MakeThenShowRoundTrips) {
    ScratchFolder folder;
    const RunResult made = runTool({"preset", "make", folder.file("v.hmp"), "--bank", kFactoryBank, "--program", "3",
                                    "--set", "Band1 Gain=3", "--set", "Band5 State=On", "--set", "Band5 Type=Notch",
                                    "--set", "Band5 Frequency=2k", "--name", "My Vocal"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_NE(made.err.find("program My Vocal, 4 changes by --set"), std::string::npos) << made.err;
    std::string name;
    const std::vector<double> values = presetValues(folder.file("v.hmp"), &name);
    EXPECT_EQ(name, "My Vocal");
    EXPECT_NEAR(values[bandParam(4, kBandType)], modelNormalised(bandParam(4, kBandType), 6.0), 1e-6);

    const RunResult shown = runTool({"preset", "show", folder.file("v.hmp")});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.err, "") << "a preset the plug-in wrote has nothing to warn about";
    // Name, display text and the choice's name, as the plug-in shows them.
    for (const char* line : {"program 1: My Vocal\n", "  Band5 State  *On\n", "  Band5 Type  *Notch\n",
                             "  Band5 Frequency  *2000 Hz\n", "  Band1 Gain  *3.00 dB\n", "  Band3 Gain  *2.50 dB\n",
                             "  Band1 Type  *High-pass\n"}) {
        EXPECT_TRUE(std::regex_search(shown.out, std::regex(line))) << line << "\n" << shown.out;
    }
}

TEST(ToolPreset, ShowWarnsAboutMembersThePluginIgnores) {
    ScratchFolder folder;
    // Plain-text chunks, as the plug-in also reads them: JSON and a zero byte.
    writeBytes(folder.file("typo.hmp"),
               std::string(R"({"parameters": {"kBand1Gian": 0.7, "kband1gain": 0.6, "kBand2Gain": 0.75, "kBand3Gain": "loud"},)"
                           R"( "name": "Typo", "colour": 1})") + '\0');
    writeBytes(folder.file("typo.hmb"),
               std::string(R"({"presets": [{"name": "A"}, {"name": "B", "parameters": {"kBand9Frequncy": 0.5}, "bands": 3}]})") + '\0');
    struct Case {
        std::string file;
        std::vector<std::string> warnings;
        std::string shown;
    };
    const Case cases[] = {
        {"typo.hmp",
         {"parameters: 'kBand1Gian' is no parameter (ignored); nearest kBand1Gain (Band1 Gain)",
          "parameters: 'kband1gain' is no parameter (ignored); nearest kBand1Gain (Band1 Gain)",
          "parameters: 'kBand3Gain' is not a number (ignored)", "'colour' is no member the plug-in reads"},
         "Band2 Gain"},
        {"typo.hmb",
         {"presets[1].parameters: 'kBand9Frequncy' is no parameter (ignored); nearest kBand9Frequency",
          "presets[1]: 'bands' is no member the plug-in reads"},
         "program 2: B"},
        {kFactoryBank, {}, "program 5: Mid/Side Widening"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = c.file[0] == '/' ? c.file : folder.file(c.file);
        const RunResult r = runTool({"preset", "show", path});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        for (const std::string& w : c.warnings)
            EXPECT_NE(r.err.find("harmoniform preset show: warning: " + path + ": " + w), std::string::npos) << w << "\n" << r.err;
        if (c.warnings.empty()) {
            EXPECT_EQ(r.err, "");
        }
        EXPECT_NE(r.out.find(c.shown), std::string::npos) << r.out;
        EXPECT_EQ(r.err.find("kBand2Gain"), std::string::npos) << "a correct member is not warned about";
    }
}

TEST(ToolPrint, ChoicesByNameProgramsFromOneAndEmptySlotsAlike) {
    ScratchFolder system;
    std::filesystem::create_directories(system.file("Corvanta/Harmoniform"));
    std::filesystem::copy_file(kFactoryBank, system.file("Corvanta/Harmoniform/Factory Bank.hmp"));
    RunOptions withBank;
    withBank.env = {"XDG_DATA_DIRS=" + system.file("")};
    const RunResult info = runTool({"info"}, withBank);
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const RunResult shown = runTool({"preset", "show", kFactoryBank});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    struct Expectation {
        const RunResult* run;
        const char* pattern;
    };
    const Expectation expectations[] = {
        {&info, "\n   1  Flat\n"},
        {&info, "\n   5  Mid/Side Widening\n"},
        {&info, "\n  20  \\(empty\\)\n"},
        {&info, "\n  0     Bypass +Off\n"},
        {&info, "\n  1     Gain +dB +0.00\n"},
        {&info, "\n  7     IRLength +samples +8192\n"},
        {&info, "\n  4     Mode .* IIR\n"},
        {&info, "\n  13    MS State .* Mid/Side\n"},
        {&info, "\n  15    Channel 1 Phase .* Normal\n"},
        {&info, "\n  46    Band1 State .* Off\n"},
        {&info, "\n  47    Band1 Groups .* All\n"},
        {&info, "\n  48    Band1 Type .* Peak\n"},
        {&shown, "\nprogram 20: \\(empty\\)\n"},
        {&shown, "program 5: Mid/Side Widening\n(  .*\n)*  Band1 Groups  *Side\n"},
        {&shown, "program 5: Mid/Side Widening\n(  .*\n)*  Band1 Type  *High Shelf\n"},
    };
    for (const Expectation& e : expectations)
        EXPECT_TRUE(std::regex_search(e.run->out, std::regex(e.pattern))) << e.pattern << "\n" << e.run->out;
    EXPECT_EQ(info.out.find("\n   0  "), std::string::npos) << "programs count from 1";
}

}  // namespace
}  // namespace hm::test
