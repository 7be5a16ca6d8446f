// harmoniform demo [--out DIR]: the plug-in's job end to end, with no input files.
//
// Generates a short test programme (pink noise, a sine sweep and a drum loop),
// renders it through a program of the factory bank, measures the response and
// writes everything to DIR.
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/params/Conversion.h"
#include "core/params/Enumeration.h"
#include "core/params/ParamTable.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "prefs/ChunkCodec.h"
#include "prefs/Json.h"
#include "tools/harmoniform/AudioFile.h"
#include "tools/harmoniform/Commands.h"
#include "tools/harmoniform/EditorHostCalls.h"
#include "tools/harmoniform/HostSession.h"
#include "tools/harmoniform/Renderer.h"
#include "tools/harmoniform/ResponseReport.h"
#include "tools/harmoniform/SignalGenerators.h"

namespace hm::tool {
namespace {

constexpr double kRate = 48000.0;
constexpr int kChannels = 2;

void demoHelp(std::FILE* out) {
    std::fprintf(out,
                 "usage: harmoniform demo [--out DIR] [--program N] [--plugin FILE.so]\n\n"
                 "Runs the plug-in's main job without any input files: generates a test programme\n"
                 "(pink noise, a sine sweep, a drum loop; stereo, 48 kHz), renders it through a program\n"
                 "of the factory bank (by default the first one with several bands of different types; a built-in band set\n"
                 "when no factory bank is found), and writes to DIR (default out/):\n"
                 "  demo-input.wav, demo-output.wav   the programme before and after (32-bit float WAV)\n"
                 "  response.png, response.csv        the measured response per 1/24 octave, plotted on\n"
                 "                                    the editor's dB range that fits the curve\n"
                 "  editor.png                        the plug-in's editor showing the program\n"
                 "Then prints a summary: bands, latency, peak levels and CPU time per second of audio.\n\n"
                 "example:\n"
                 "  harmoniform demo --out /tmp/harmoniform-demo\n");
}

// Where the factory bank may be: the places the plug-in searches, the data
// folder installed beside this tool, and the source tree it was built from.
std::string findFactoryBank() {
    std::vector<std::string> folders = {platform::defaultBankFolder()};
    for (const std::string& f : platform::systemBankFolders()) folders.push_back(f);
    char self[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (n > 0) {
        std::string dir(self, static_cast<std::size_t>(n));
        dir = dir.substr(0, dir.rfind('/'));
        folders.push_back(dir + "/../share/Corvanta/Harmoniform");
    }
#ifdef HARMONIFORM_SOURCE_DIR
    folders.push_back(std::string(HARMONIFORM_SOURCE_DIR) + "/presets");
#endif
    for (const std::string& folder : folders) {
        const std::string path = platform::joinPath(folder, platform::kFactoryBankFileName);
        if (platform::pathExists(path)) return path;
    }
    return {};
}

// The program the demo shows off (1-based): the first one of the bank with at
// least three active bands of at least two types, else the first with any
// active band; 0 when none or unreadable.
int showcaseProgram(const std::string& bankPath) {
    const platform::FileRead file = platform::readWholeFile(bankPath, 64u << 20);
    if (file.status != platform::ReadStatus::Ok) return 0;
    const auto text = state::decodeChunk(file.bytes);
    const prefs::JsonPtr doc = text ? prefs::parseJson(*text) : nullptr;
    const cJSON* presets = prefs::member(doc.get(), "presets");
    if (!cJSON_IsArray(presets)) return 0;
    const auto realOf = [](const cJSON* parameters, int index) {
        const ParamRecord& r = staticParamTable()[index];
        const cJSON* v = cJSON_GetObjectItemCaseSensitive(parameters, enumNameOf(index));
        return normalisedToRealBase(r.kind, r.minimum, r.maximum, cJSON_IsNumber(v) ? v->valuedouble : r.normalised);
    };
    int program = 0, firstWithBands = 0;
    for (const cJSON* p = presets->child; p && program < kNumPrograms; p = p->next, ++program) {
        const cJSON* parameters = prefs::member(p, "parameters");
        int active = 0;
        unsigned types = 0;
        for (int b = 0; b < kNumBands; ++b) {
            if (realOf(parameters, bandParam(b, kBandState)) < 2.0) continue;
            ++active;
            types |= 1u << static_cast<int>(realOf(parameters, bandParam(b, kBandType)));
        }
        if (active > 0 && firstWithBands == 0) firstWithBands = program + 1;
        if (active >= 3 && std::popcount(types) >= 2) return program + 1;
    }
    return firstWithBands;
}

// The pass band of the session's bands: above the highest high-pass and below
// the lowest low-pass frequency (20 Hz to 20 kHz without them).
void passBand(HostSession& session, double& lowHz, double& highHz) {
    lowHz = 20.0;
    highHz = 20000.0;
    for (int b = 0; b < kNumBands; ++b) {
        if (std::lround(session.realValue(bandParam(b, kBandState))) != 2) continue;
        const long type = std::lround(session.realValue(bandParam(b, kBandType)));
        const double hz = session.realValue(bandParam(b, kBandFrequency)) * session.realValue(kFShift) * 0.01;
        if (type == 2) lowHz = std::max(lowHz, hz);
        if (type == 5) highHz = std::min(highHz, hz);
    }
}

// Used when no factory bank can be found: a typical mix-bus curve.
const std::vector<std::string> kBuiltInBands = {
    "Band1 State=On", "Band1 Type=HPF",       "Band1 Frequency=30Hz",  "Band1 Slope=12dB",
    "Band2 State=On", "Band2 Type=LSh",       "Band2 Frequency=100Hz", "Band2 Gain=2dB",
    "Band3 State=On", "Band3 Frequency=350Hz", "Band3 Gain=-3dB",      "Band3 Q=1.4Q",
    "Band4 State=On", "Band4 Frequency=3k2",  "Band4 Gain=3dB",        "Band4 Q=1Q",
    "Band5 State=On", "Band5 Type=HSh",       "Band5 Frequency=10k",   "Band5 Gain=2dB",
};

// Three sections with short gaps: stereo pink noise (independent sides), a sweep
// and a drum loop (centred).
std::vector<double> testProgramme() {
    const std::vector<double> pinkL = pinkNoise(kRate, 3.0, 0.1, 1);
    const std::vector<double> pinkR = pinkNoise(kRate, 3.0, 0.1, 2);
    const std::vector<double> sweep = sineSweep(kRate, 4.0, 20.0, 20000.0, 0.3);
    const std::vector<double> drums = drumLoop(kRate, 4.0, 120.0, 0.5, 3);
    const std::size_t gap = static_cast<std::size_t>(0.25 * kRate);
    std::vector<double> x;
    const auto append = [&](const std::vector<double>& l, const std::vector<double>& r) {
        for (std::size_t i = 0; i < l.size(); ++i) {
            x.push_back(l[i]);
            x.push_back(r[i]);
        }
        x.insert(x.end(), gap * kChannels, 0.0);
    };
    append(pinkL, pinkR);
    append(sweep, sweep);
    append(drums, drums);
    return x;
}

bool writeWav(const std::string& path, const std::vector<double>& interleaved, std::string& error) {
    AudioWriter writer;
    if (!writer.open(path, {SF_FORMAT_WAV | SF_FORMAT_FLOAT, static_cast<int>(kRate), kChannels}, error)) return false;
    if (!writer.write(interleaved.data(), static_cast<std::int64_t>(interleaved.size() / kChannels))) {
        error = "cannot write " + path;
        return false;
    }
    return writer.commit(error);
}

double dbfs(double peak) { return peak > 0.0 ? 20.0 * std::log10(peak) : -999.0; }

}  // namespace

int runDemo(const std::vector<std::string>& args) {
    std::string outDir = "out", error;
    SessionOptions options;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            demoHelp(stdout);
            return 0;
        }
        if (a == "--out" && i + 1 < args.size()) {
            outDir = args[i + 1];
            i += 2;
            continue;
        }
        if ((a == "--program" || a == "--plugin") && takeSessionOption(args, i, options, error) && error.empty())
            continue;
        if (error.empty()) error = "unknown option " + a;
        std::fprintf(stderr, "harmoniform demo: %s\n", error.c_str());
        demoHelp(stderr);
        return 2;
    }

    const std::string bank = findFactoryBank();
    std::string source;
    if (!bank.empty()) {
        options.bankFile = bank;
        if (options.program == 0) options.program = showcaseProgram(bank);
        if (options.program == 0) options.program = 1;
        source = bank + ", program " + std::to_string(options.program);
    } else {
        options.assignments = kBuiltInBands;
        source = "built-in band set (no factory bank found)";
    }
    if (!platform::createFolders(outDir)) {
        std::fprintf(stderr, "harmoniform demo: cannot create %s\n", outDir.c_str());
        return 1;
    }
    const std::string inPath = platform::joinPath(outDir, "demo-input.wav");
    const std::string outPath = platform::joinPath(outDir, "demo-output.wav");

    HostSession session;
    if (!session.open(options, static_cast<float>(kRate), error)) {
        std::fprintf(stderr, "harmoniform demo: %s\n", error.c_str());
        return 1;
    }
    const std::vector<double> input = testProgramme();
    if (!writeWav(inPath, input, error)) {
        std::fprintf(stderr, "harmoniform demo: %s\n", error.c_str());
        return 1;
    }
    std::vector<double> output;
    output.reserve(input.size());
    std::size_t readAt = 0;
    RenderStats stats;
    renderStream(
        session, kChannels,
        [&](double* buffer, std::int64_t frames) {
            const std::size_t n = std::min(static_cast<std::size_t>(frames) * kChannels, input.size() - readAt);
            std::copy(input.begin() + static_cast<std::ptrdiff_t>(readAt),
                      input.begin() + static_cast<std::ptrdiff_t>(readAt + n), buffer);
            readAt += n;
            return static_cast<std::int64_t>(n / kChannels);
        },
        [&](const double* buffer, std::int64_t frames) {
            output.insert(output.end(), buffer, buffer + frames * kChannels);
            return true;
        },
        stats);
    if (!writeWav(outPath, output, error)) {
        std::fprintf(stderr, "harmoniform demo: %s\n", error.c_str());
        return 1;
    }

    // A fresh instance for the response: the render's filter state must not ring into it.
    HostSession measuring;
    ResponseRequest request;
    request.rate = kRate;
    request.csvPath = platform::joinPath(outDir, "response.csv");
    request.pngPath = platform::joinPath(outDir, "response.png");
    ResponseResult response;
    if (!measuring.open(options, static_cast<float>(kRate), error)) {
        std::fprintf(stderr, "harmoniform demo: %s\n", error.c_str());
        return 1;
    }
    // Plotted on the editor's range that fits the curve in the pass band.
    passBand(measuring, request.fitLowHz, request.fitHighHz);
    if (!measureAndWrite(measuring, request, response, error)) {
        std::fprintf(stderr, "harmoniform demo: %s\n", error.c_str());
        return 1;
    }
    // The editor as it shows the program.
    const std::string editorPath = platform::joinPath(outDir, "editor.png");
    int editorWidth = 0, editorHeight = 0;
    if (!writeEditorSnapshot(measuring.instance(), editorPath, editorWidth, editorHeight, error)) {
        std::fprintf(stderr, "harmoniform demo: %s\n", error.c_str());
        return 1;
    }

    const double seconds = static_cast<double>(stats.frames) / kRate;
    std::printf("Harmoniform demo\n");
    std::printf("settings:       %s\n", source.c_str());
    printResponseSummary(stdout, measuring, response);
    std::printf("programme:      %.2f s, %d channels, %.0f Hz (pink noise, sweep 20 Hz - 20 kHz, drum loop)\n",
                seconds, kChannels, kRate);
    std::printf("peak level:     in %.1f dBFS, out %.1f dBFS\n", dbfs(stats.peakIn), dbfs(stats.peakOut));
    std::printf("CPU time:       %.2f ms per second of audio (%s processing)\n",
                seconds > 0.0 ? 1000.0 * stats.cpuSeconds / seconds : 0.0, options.useDouble ? "double" : "float");
    std::printf("response plot:  +-%.0f dB (the editor's range that fits the curve)\n", request.rangeDb);
    std::printf("written:        %s, %s, %s, %s, %s\n", inPath.c_str(), outPath.c_str(), request.pngPath.c_str(),
                request.csvPath.c_str(), editorPath.c_str());
    return 0;
}

}  // namespace hm::tool
