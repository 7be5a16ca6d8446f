// The built harmoniform run on generated files, as a user runs it.
#include <gtest/gtest.h>
#include <png.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

#include "core/params/ParamIds.h"
#include "tests/host/HostFixture.h"
#include "tests/tools/ToolTestSupport.h"
#include "tools/harmoniform/Response.h"
#include "tools/harmoniform/SignalGenerators.h"

namespace hm::test {
namespace {

constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

std::vector<double> noise(std::size_t frames, int channels, unsigned seed) { return floatNoise(frames, channels, seed); }

// A preset file made the way a host saves one: parameters set through the ABI,
// then the instance's preset chunk.
void writePresetFile(const std::string& path, const std::vector<std::pair<int, double>>& values) {
    auto plugin = makeInstance();
    ASSERT_TRUE(plugin);
    for (const auto& [index, value] : values) plugin->setParameter(index, static_cast<float>(value));
    void* data = nullptr;
    const auto size = plugin->dispatch(vst::effGetChunk, 1, 0, &data);
    ASSERT_GT(size, 0);
    writeBytes(path, std::string(static_cast<const char*>(data), static_cast<std::size_t>(size)));
}

int reportedLatency(const RunResult& r) {
    const std::size_t at = r.err.find("latency ");
    return at == std::string::npos ? -1 : std::atoi(r.err.c_str() + at + 8);
}

struct IdentityCase {
    const char* name;
    int channels;
    int rate;
    std::vector<std::string> options;
};

TEST(ToolRender, AllBandsOffIsBitIdenticalInFloat) {
    const IdentityCase cases[] = {
        {"stereo", 2, 44100, {}},
        {"mono, odd block", 1, 48000, {"--block", "37"}},
        {"double processing", 2, 96000, {"--double"}},
        {"one-frame blocks", 2, 44100, {"--block", "1"}},
    };
    for (const IdentityCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const std::vector<double> x = noise(30000, c.channels, 3);
        writeAudio(folder.file("in.wav"), x, c.channels, c.rate, kFloatWav);
        const RunResult r = runTool(concat({"render", folder.file("in.wav"), folder.file("out.wav")}, c.options));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Audio out = readAudio(folder.file("out.wav"));
        EXPECT_EQ(out.format, kFloatWav);
        EXPECT_EQ(out.rate, c.rate);
        EXPECT_EQ(out.channels, c.channels);
        ASSERT_EQ(out.samples.size(), x.size());
        std::size_t differing = 0;
        for (std::size_t i = 0; i < x.size(); ++i) differing += out.samples[i] != x[i];
        EXPECT_EQ(differing, 0u);
    }
}

TEST(ToolRender, OtherFormatOnRequest) {
    ScratchFolder folder;
    writeAudio(folder.file("in.wav"), noise(1000, 2, 4), 2, 44100, kFloatWav);
    const RunResult r = runTool({"render", folder.file("in.wav"), folder.file("out.flac"), "--format", "flac24"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readAudio(folder.file("out.flac")).format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
}

double rmsDb(const std::vector<double>& x, std::size_t from, std::size_t to) {
    double e = 0.0;
    for (std::size_t i = from; i < to; ++i) e += x[i] * x[i];
    return 10.0 * std::log10(e / static_cast<double>(to - from));
}

TEST(ToolRender, PeakOfSixDecibelsRaisesASineBySix) {
    const int rate = 48000;
    ScratchFolder folder;
    writeAudio(folder.file("sine.wav"), tool::sine(rate, 1.0, 1000.0, 0.25), 1, rate, kFloatWav);
    const std::vector<double> x = readAudio(folder.file("sine.wav")).samples;  // as stored: in float
    const std::vector<std::string> peak = {"--set", "Band1 State=On", "--set", "Band1 Type=Peak",
                                           "--set", "Band1 Gain=6dB", "--set", "Band1 Frequency=1kHz",
                                           "--set", "Band1 Q=1Q"};
    // The same band from a preset file (Scale 18 dB: +6 dB is 2/3 of the way up).
    writePresetFile(folder.file("peak.hmp"), {{bandParam(0, kBandState), 2.0 / 3.0},
                                              {bandParam(0, kBandGain), (6.0 / 18.0 + 1.0) / 2.0},
                                              {bandParam(0, kBandFrequency), std::log(100.0) / std::log(2200.0)},
                                              {bandParam(0, kBandQ), std::log(1.0 / 0.1f) / std::log(50.0 / 0.1f)}});
    const std::vector<std::vector<std::string>> ways = {peak, {"--preset", folder.file("peak.hmp")}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way[0]);
        const RunResult r = runTool(concat({"render", folder.file("sine.wav"), folder.file("out.wav")}, way));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Audio out = readAudio(folder.file("out.wav"));
        ASSERT_EQ(out.samples.size(), x.size());
        ASSERT_NE(out.samples, x) << "the instance passed the audio through unchanged";
        // The middle half: glide and transients are long over.
        EXPECT_NEAR(rmsDb(out.samples, 12000, 36000) - rmsDb(x, 12000, 36000), 6.0, 0.05);
    }
}

TEST(ToolRender, FirModeOutputLinesUpWithTheInput) {
    const int rate = 48000;
    ScratchFolder folder;
    std::vector<double> x(24000, 0.0);
    const std::size_t click = 9000;
    x[click] = 0.5;
    writeAudio(folder.file("click.wav"), x, 1, rate, kFloatWav);
    const RunResult r = runTool({"render", folder.file("click.wav"), folder.file("out.wav"), "--set", "kMode=FIR",
                                 "--set", "kIRPhase=Linear", "--set", "Band1 State=On", "--set", "Band1 Gain=6dB",
                                 "--set", "Band1 Frequency=1k"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const int latency = reportedLatency(r);
    ASSERT_GE(latency, 0) << r.err;
    ASSERT_GT(latency, 0) << "no latency reported in linear-phase FIR mode";
    const Audio out = readAudio(folder.file("out.wav"));
    ASSERT_EQ(out.samples.size(), x.size());
    std::size_t loudest = 0;
    for (std::size_t i = 0; i < out.samples.size(); ++i)
        if (std::fabs(out.samples[i]) > std::fabs(out.samples[loudest])) loudest = i;
    // A linear-phase impulse response is symmetric about its centre tap. A
    // recursive one (the FIR stage not built yet) is causal: nothing before its
    // largest sample, everything after; a bare click means the band was not applied.
    double before = 0.0, after = 0.0;
    for (std::size_t k = 1; k < 400 && k <= loudest && loudest + k < out.samples.size(); ++k) {
        before += std::fabs(out.samples[loudest - k]);
        after += std::fabs(out.samples[loudest + k]);
    }
    ASSERT_GT(after, 1e-6) << "a bare click: the band was not applied";
    ASSERT_GT(before, 0.01 * after) << "the FIR-mode response is not linear-phase (" << latency
                                    << " samples of latency reported)";
    EXPECT_EQ(loudest, click) << "latency reported: " << latency;
    for (std::size_t k = 1; k < 200; ++k) EXPECT_NEAR(out.samples[click - k], out.samples[click + k], 1e-4) << k;
}

struct Refusal {
    const char* name;
    std::vector<std::string> args;  // after "render IN OUT"
    const char* mentions;
    bool badInput = false;          // IN replaced by an unreadable file
};

TEST(ToolRender, RefusalsExplainThemselvesAndWriteNothing) {
    ScratchFolder folder;
    writeAudio(folder.file("in.wav"), noise(2000, 2, 5), 2, 44100, kFloatWav);
    writeAudio(folder.file("three.wav"), noise(100, 3, 6), 3, 44100, kFloatWav);
    writeBytes(folder.file("text.wav"), "not audio at all");
    writeBytes(folder.file("random.hmp"), std::string("\x01\x02\x7f garbage \xff\xfe", 14));
    writeBytes(folder.file("zip.hmp"), std::string("ZIP ") + "\x78\x9c truncated");
    writePresetFile(folder.file("good.hmp"), {{kGain, 0.25}});
    const Refusal cases[] = {
        {"misspelt name", {"--set", "Band1 Gian=6dB"}, "kBand1Gain (Band1 Gain)"},
        {"wrong unit", {"--set", "Band1 Gain=6Hz"}, "dB"},
        {"out of range", {"--set", "Band1 Frequency=40kHz"}, "10..22000 Hz"},
        {"no assignment", {"--set", "kBand1Gain"}, "NAME=VALUE"},
        {"missing preset", {"--preset", folder.file("none.hmp")}, "no such file"},
        {"corrupt preset", {"--preset", folder.file("random.hmp")}, "not a preset or bank file"},
        {"corrupt compressed preset", {"--preset", folder.file("zip.hmp")}, "not a preset or bank file"},
        {"preset given as bank", {"--bank", folder.file("good.hmp")}, "use --preset"},
        {"program out of range", {"--program", "21"}, "1 to 20"},
        {"preset and bank", {"--preset", folder.file("good.hmp"), "--bank", folder.file("good.hmp")}, "not both"},
        {"unknown format", {"--format", "mp9"}, "unknown format"},
        {"unknown option", {"--louder"}, "unknown option"},
        {"missing input", {}, "cannot read", true},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string in = c.badInput ? folder.file("none.wav") : folder.file("in.wav");
        const RunResult r = runTool(concat({"render", in, folder.file("out.wav")}, c.args));
        EXPECT_NE(r.exitCode, 0);
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
        EXPECT_FALSE(fileExists(folder.file("out.wav")));
    }
    for (const char* input : {"text.wav", "three.wav"}) {
        SCOPED_TRACE(input);
        const RunResult r = runTool({"render", folder.file(input), folder.file("out.wav")});
        EXPECT_NE(r.exitCode, 0);
        EXPECT_NE(r.err.find(input), std::string::npos) << r.err;
        EXPECT_FALSE(fileExists(folder.file("out.wav")));
    }
    // The control: the same command with a good preset succeeds.
    const RunResult ok = runTool({"render", folder.file("in.wav"), folder.file("out.wav"), "--preset", folder.file("good.hmp")});
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    EXPECT_TRUE(fileExists(folder.file("out.wav")));
}

std::vector<std::vector<double>> readCsv(const std::string& path, std::string& header) {
    std::ifstream in(path);
    std::getline(in, header);
    std::vector<std::vector<double>> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<double> row;
        std::stringstream s(line);
        std::string cell;
        while (std::getline(s, cell, ',')) row.push_back(std::stod(cell));
        rows.push_back(row);
    }
    return rows;
}

TEST(ToolResponse, FlatInstanceMeasuresFlatOnTheFullGrid) {
    ScratchFolder folder;
    const RunResult r = runTool({"response", "--rate", "44100", "--csv", folder.file("r.csv"), "--png",
                                 folder.file("r.png"), "--size", "640x360"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string header;
    const auto rows = readCsv(folder.file("r.csv"), header);
    EXPECT_EQ(header.rfind("hz,magnitude_db,phase_deg", 0), 0u);
    const std::vector<double> grid = tool::responseGrid(44100.0);
    ASSERT_EQ(rows.size(), grid.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_GE(rows[i].size(), 3u);
        EXPECT_NEAR(rows[i][0], grid[i], 1e-3);
        EXPECT_NEAR(rows[i][1], 0.0, 1e-3) << rows[i][0];
        EXPECT_NEAR(rows[i][2], 0.0, 1e-2) << rows[i][0];
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, folder.file("r.png").c_str()));
    EXPECT_EQ(image.width, 640u);
    EXPECT_EQ(image.height, 360u);
    png_image_free(&image);
    EXPECT_NE(r.out.find("latency"), std::string::npos) << r.out;
}

TEST(ToolResponse, PeakShowsAtItsFrequency) {
    ScratchFolder folder;
    const RunResult r = runTool({"response", "--csv", folder.file("r.csv"), "--set", "Band1 State=On", "--set",
                                 "Band1 Gain=6dB", "--set", "Band1 Frequency=1k", "--set", "Band1 Q=1Q"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string header;
    const auto rows = readCsv(folder.file("r.csv"), header);
    const auto at1k = std::find_if(rows.begin(), rows.end(), [](const auto& row) { return std::fabs(row[0] - 1000.0) < 0.01; });
    ASSERT_NE(at1k, rows.end());
    EXPECT_NEAR((*at1k)[1], 6.0, 0.05);
    EXPECT_NEAR(rows.front()[1], 0.0, 0.1);
}

TEST(ToolResponse, LinearPhaseFirMeasuresWithoutPhase) {
    // Linear phase is a pure delay; with the reported latency taken out, the
    // phase is zero at every frequency and the peak is at its gain.
    ScratchFolder folder;
    const RunResult r = runTool({"response", "--csv", folder.file("r.csv"), "--set", "kMode=FIR", "--set",
                                 "kIRPhase=Linear", "--set", "Band1 State=On", "--set", "Band1 Gain=6dB", "--set",
                                 "Band1 Frequency=1k", "--set", "Band1 Q=1Q"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.find("latency:        0 samples"), std::string::npos) << "no latency reported in linear-phase FIR mode";
    std::string header;
    const auto rows = readCsv(folder.file("r.csv"), header);
    ASSERT_FALSE(rows.empty());
    for (const auto& row : rows) {
        if (row[0] < 20.0 || row[0] > 20000.0) continue;  // the FIR's own band edges
        EXPECT_NEAR(std::remainder(row[2], 360.0), 0.0, 0.5) << row[0] << " Hz";
        if (std::fabs(row[0] - 1000.0) < 0.01) {
            EXPECT_NEAR(row[1], 6.0, 0.05);
        }
    }
}

TEST(ToolResponse, BankProgramAndPresetReachTheInstance) {
    // What the instance reports back through the ABI (program name, band texts)
    // shows which settings it received.
    ScratchFolder folder;
    const std::string bank = std::string(HM_SOURCE_DIR) + "/presets/Factory Bank.hmp";
    const RunResult fromBank = runTool({"response", "--bank", bank, "--program", "2", "--csv", folder.file("a.csv")});
    ASSERT_EQ(fromBank.exitCode, 0) << fromBank.err;
    EXPECT_NE(fromBank.out.find("program:        Low Cut 80 Hz"), std::string::npos) << fromBank.out;
    EXPECT_NE(fromBank.out.find("Band1: High-pass 80 Hz"), std::string::npos) << fromBank.out;

    writePresetFile(folder.file("p.hmp"), {{bandParam(4, kBandState), 2.0 / 3.0}, {bandParam(4, kBandType), 5.0 / 6.0}});
    // The preset lands in the program chosen (of the bank a new instance loads,
    // here the factory bank installed system-wide), and --set comes last.
    std::filesystem::create_directories(folder.file("system/Corvanta/Harmoniform"));
    std::filesystem::copy_file(bank, folder.file("system/Corvanta/Harmoniform/Factory Bank.hmp"));
    RunOptions installed;
    installed.env = {"XDG_DATA_DIRS=" + folder.file("system")};
    const RunResult both = runTool({"response", "--program", "3", "--preset", folder.file("p.hmp"), "--set",
                                    "Band5 Frequency=2k", "--csv", folder.file("b.csv")},
                                   installed);
    ASSERT_EQ(both.exitCode, 0) << both.err;
    EXPECT_NE(both.out.find("Band5: Notch 2000 Hz"), std::string::npos) << both.out;
}

TEST(ToolDemo, WritesInputOutputAndResponse) {
    ScratchFolder folder;
    const std::string out = folder.file("demo");
    const RunResult r = runTool({"demo", "--out", out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* f : {"demo-input.wav", "demo-output.wav", "response.png", "response.csv"})
        EXPECT_TRUE(fileExists(out + "/" + f)) << f;
    const Audio in = readAudio(out + "/demo-input.wav");
    const Audio processed = readAudio(out + "/demo-output.wav");
    EXPECT_EQ(in.channels, 2);
    EXPECT_EQ(in.samples.size(), processed.samples.size());
    for (const char* line : {"active bands:", "latency:", "peak level:", "CPU time:"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
}

TEST(ToolHelp, EveryCommandDescribesItself) {
    const RunResult top = runTool({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    for (const char* command : {"render", "response", "demo", "info", "preset"}) {
        SCOPED_TRACE(command);
        EXPECT_NE(top.out.find(std::string("  ") + command), std::string::npos) << top.out;
        const RunResult r = runTool({command, "--help"});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_NE(r.out.find(std::string("usage: harmoniform ") + command), std::string::npos) << r.out;
    }
    EXPECT_NE(runTool({"frobnicate"}).exitCode, 0);
}

}  // namespace
}  // namespace hm::test
