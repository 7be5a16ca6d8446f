// The response command's channels and titles, and how every command answers a
// wrong invocation, through the built tool.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

#include "tests/tools/ToolTestSupport.h"

namespace hm::test {
namespace {

const std::string kFactoryBank = std::string(HM_SOURCE_DIR) + "/presets/Factory Bank.hmp";

struct Csv {
    std::vector<std::string> header;
    std::vector<std::vector<double>> rows;
    std::size_t column(const std::string& name) const {
        return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
    }
    // The row nearest a frequency.
    const std::vector<double>& at(double hz) const {
        return *std::min_element(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
            return std::fabs(std::log(a[0] / hz)) < std::fabs(std::log(b[0] / hz));
        });
    }
};

Csv readCsv(const std::string& path) {
    Csv csv;
    std::ifstream in(path);
    std::string line, cell;
    std::getline(in, line);
    for (std::stringstream s(line); std::getline(s, cell, ',');) csv.header.push_back(cell);
    while (std::getline(in, line)) {
        std::vector<double> row;
        for (std::stringstream s(line); std::getline(s, cell, ',');) row.push_back(std::stod(cell));
        csv.rows.push_back(row);
    }
    return csv;
}

TEST(ToolResponse, EveryChannelTheSettingsTreatDifferentlyIsMeasured) {
    struct Point {
        double hz;
        const char* column;
        double db;
        double tolerance;
    };
    struct Case {
        const char* name;
        std::vector<std::string> options;
        std::vector<std::string> header;
        std::vector<Point> points;
        const char* program;  // the summary's program line
    };
    const Case cases[] = {
        {"the factory's mid/side program: the side channel's shelf and high-pass",
         {"--bank", kFactoryBank, "--program", "5"},
         {"hz", "mid_db", "mid_phase_deg", "side_db", "side_phase_deg", "mid_analogue_db", "side_analogue_db"},
         {{20000.0, "mid_db", 0.0, 0.01}, {20000.0, "side_db", 2.5, 0.1}, {1000.0, "mid_db", 0.0, 0.01},
          {30.0, "mid_db", 0.0, 0.01}, {30.0, "side_db", -23.0, 2.0}},
         "Mid/Side Widening"},
        {"left and right apart",
         {"--set", "MS State=Left/Right", "--set", "Band1 State=On", "--set", "Band1 Groups=Left", "--set",
          "Band1 Gain=6", "--set", "Band1 Frequency=1000", "--set", "Band1 Q=1"},
         {"hz", "left_db", "left_phase_deg", "right_db", "right_phase_deg", "left_analogue_db", "right_analogue_db"},
         {{1000.0, "left_db", 6.0, 0.05}, {1000.0, "right_db", 0.0, 0.01}, {1000.0, "left_analogue_db", 6.0, 0.01}},
         "(empty), 6 changes"},
        {"both channels alike: one curve",
         {"--bank", kFactoryBank, "--program", "3", "--set", "Band3 Gain=4", "--set", "Band4 Gain=-1"},
         {"hz", "magnitude_db", "phase_deg", "analogue_db"},
         {{3200.0, "magnitude_db", 4.0, 0.5}},
         "Vocal Presence, 2 changes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const RunResult r = runTool(concat({"response", "--csv", folder.file("r.csv")}, c.options));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find(std::string("program:        ") + c.program + "\n"), std::string::npos) << r.out;
        const Csv csv = readCsv(folder.file("r.csv"));
        EXPECT_EQ(csv.header, c.header);
        ASSERT_FALSE(csv.rows.empty());
        for (const Point& p : c.points) {
            const std::size_t column = csv.column(p.column);
            ASSERT_LT(column, csv.header.size()) << p.column;
            EXPECT_NEAR(csv.at(p.hz)[column], p.db, p.tolerance) << p.column << " at " << p.hz << " Hz";
        }
    }
}

struct Misuse {
    std::vector<std::string> args;
    std::string command;  // whose --help the message points at ("" for the tool's)
};

TEST(ToolUsage, MisuseGetsOneLineAndWhereToReadMore) {
    const Misuse cases[] = {
        {{}, ""},
        {{"frobnicate"}, ""},
        {{"--bogus"}, ""},
        {{"render"}, "render"},
        {{"render", "in.wav"}, "render"},
        {{"render", "a.wav", "b.wav", "c.wav"}, "render"},
        {{"render", "a.wav", "b.wav", "--louder"}, "render"},
        {{"render", "a.wav", "b.wav", "--set"}, "render"},
        {{"render", "a.wav", "b.wav", "--program", "21"}, "render"},
        {{"response", "--rate", "5"}, "response"},
        {{"response", "--csv"}, "response"},
        {{"demo", "--bogus"}, "demo"},
        {{"info", "--bogus"}, "info"},
        {{"info", "a.so", "b.so"}, "info"},
        {{"preset"}, "preset"},
        {{"preset", "frob"}, "preset"},
        {{"preset", "show"}, "preset show"},
        {{"preset", "show", "a.hmp", "b.hmp"}, "preset show"},
        {{"preset", "make"}, "preset make"},
        {{"preset", "make", "notes.txt"}, "preset make"},
    };
    for (const Misuse& c : cases) {
        std::string line;
        for (const std::string& a : c.args) line += " " + a;
        SCOPED_TRACE("harmoniform" + line);
        const RunResult r = runTool(c.args);
        EXPECT_EQ(r.exitCode, 2);
        const std::string who = c.command.empty() ? "harmoniform" : "harmoniform " + c.command;
        EXPECT_TRUE(std::regex_match(r.err, std::regex(who + ": [^\n]+\nsee '" + who + " --help'\n"))) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(ToolUsage, HelpVersionAndCountsInWords) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"preset", "show", "--help"},
                                                 {"preset", "make", "--help"}, {"preset", "--help"}, {"info", "--help"}}) {
        SCOPED_TRACE(args[1]);
        const RunResult r = runTool(args);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_NE(r.out.find("usage: harmoniform " + args[0]), std::string::npos) << r.out;
    }
    const RunResult version = runTool({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("harmoniform [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.out;

    ScratchFolder folder;
    writeAudio(folder.file("mono.wav"), {0.25}, 1, 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    writeAudio(folder.file("three.wav"), floatNoise(10, 3, 1), 3, 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const RunResult mono = runTool({"render", folder.file("mono.wav"), folder.file("out.wav")});
    EXPECT_EQ(mono.exitCode, 0) << mono.err;
    EXPECT_NE(mono.err.find(", 1 frame, 1 channel, 44100 Hz, latency 0 samples\n"), std::string::npos) << mono.err;
    const RunResult three = runTool({"render", folder.file("three.wav"), folder.file("out3.wav")});
    EXPECT_EQ(three.exitCode, 1);
    EXPECT_NE(three.err.find("three.wav has 3 channels; the plug-in takes at most 2\n"), std::string::npos) << three.err;
}

}  // namespace
}  // namespace hm::test
