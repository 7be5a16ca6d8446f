// harmoniform bench: settings found on a plug-in's own display, and the command's report.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "tests/host/HostFixture.h"
#include "tests/tools/ToolTestSupport.h"
#include "tools/harmoniform/DisplayAssignment.h"

namespace hm::test {
namespace {

// The display matcher knows nothing of the plug-in it drives; the equaliser
// stands in for a foreign one here, its own parameter model being the reference.
TEST(BenchSettings, DisplayMatchingFindsChoicesNumbersAndNormalisedValues) {
    struct Case {
        const char* text;
        int index;
        const char* display;  // what the plug-in must show afterwards
    };
    const Case cases[] = {
        {"Band1 Frequency=440", 51, "440 Hz"},        // logarithmic scale, found by bisection
        {"band1frequency=2k5", 51, "2500 Hz"},         // name key and k multiplier
        {"Band1 Gain=-6", 50, "-6.00 dB"},             // signed, linear
        {"Bypass=On", 0, "On"},                        // a choice
        {"Band1 Q=norm:0", 52, nullptr},               // normalised, as given
    };
    auto plugin = makeInstance();
    ASSERT_TRUE(plugin);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string shown, error;
        ASSERT_TRUE(tool::assignByDisplay(*plugin, c.text, shown, error)) << error;
        const std::string label = plugin->parameterLabel(c.index);
        EXPECT_EQ(shown, plugin->parameterDisplay(c.index) + (label.empty() ? "" : " " + label));
        if (c.display) EXPECT_EQ(shown, c.display);
        else EXPECT_EQ(plugin->getParameter(c.index), 0.0f);
    }
}

TEST(BenchSettings, UnknownNamesAndValuesNoDisplayShowsAreRefused) {
    auto plugin = makeInstance();
    ASSERT_TRUE(plugin);
    for (const char* text : {"Band1 Gian=3", "Band1 Gain=loud", "Band1 Gain=norm:1.5", "Band1 Gain"}) {
        SCOPED_TRACE(text);
        std::string shown, error;
        EXPECT_FALSE(tool::assignByDisplay(*plugin, text, shown, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(BenchDisplayNumber, ReadsTheLeadingNumberWithItsMultiplier) {
    const std::pair<const char*, double> cases[] = {{"16.0", 16.0}, {" -3.00 dB", -3.0}, {"20.0k", 20000.0},
                                                    {"1.5 kHz", 1500.0}, {"80 Hz", 80.0}, {"2k5", 2500.0}};
    for (const auto& [text, value] : cases) {
        double v = 0.0;
        EXPECT_TRUE(tool::displayNumber(text, v)) << text;
        EXPECT_DOUBLE_EQ(v, value) << text;
    }
    double v = 0.0;
    EXPECT_FALSE(tool::displayNumber("Bell", v));
}

TEST(BenchCommand, ReportsBothPluginsAndTheirMedianRatio) {
    const char* plugin = std::getenv("HARMONIFORM_PLUGIN");
    ASSERT_TRUE(plugin);
    const RunResult r = runTool({"bench", plugin, "--set", "Band1 State=On", "--seconds", "0.05", "--rounds", "3",
                                 "--block", "100", "--compare", plugin, "--compare-set", "Band2 State=On"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::regex line("A  Harmoniform.so +2 ch +[0-9.]+ % of a core");
    EXPECT_TRUE(std::regex_search(r.out, line)) << r.out;
    std::smatch ratio;
    ASSERT_TRUE(std::regex_search(r.out, ratio, std::regex("A/B +([0-9.]+) +median"))) << r.out;
    EXPECT_GT(std::atof(ratio[1].str().c_str()), 0.0);
}

TEST(BenchCommand, BadArgumentsExitWithUsageErrors) {
    const char* plugin = std::getenv("HARMONIFORM_PLUGIN");
    ASSERT_TRUE(plugin);
    const std::vector<std::vector<std::string>> cases = {
        {"bench"},
        {"bench", plugin, "--block", "0"},
        {"bench", plugin, "--seconds", "x"},
        {"bench", plugin, "--compare-set", "a=1"},
        {"bench", plugin, plugin},
    };
    for (const auto& args : cases) {
        const RunResult r = runTool(args);
        EXPECT_EQ(r.exitCode, 2) << args.size();
        EXPECT_NE(r.err.find("harmoniform bench:"), std::string::npos) << r.err;
    }
    const RunResult missing = runTool({"bench", "/nonexistent.so"});
    EXPECT_EQ(missing.exitCode, 1);
}

}  // namespace
}  // namespace hm::test
