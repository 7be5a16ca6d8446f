// harmoniform render IN OUT [options]: equalises an audio file through the plug-in.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/harmoniform/AudioFile.h"
#include "tools/harmoniform/Commands.h"
#include "tools/harmoniform/HostSession.h"
#include "tools/harmoniform/Renderer.h"

namespace hm::tool {
namespace {

void renderHelp(std::FILE* out) {
    std::fprintf(out,
                 "usage: harmoniform render IN OUT [options]\n\n"
                 "Equalises the audio file IN through the plug-in, exactly as a host would, and writes\n"
                 "OUT in the same format, sample rate and channel count. Any file libsndfile reads\n"
                 "(WAV, FLAC, AIFF, OGG, ...) with as many channels as the plug-in takes. The\n"
                 "plug-in's reported latency is compensated: OUT lines up with IN and has its length.\n"
                 "A new instance starts from the default bank, as in a host.\n\n"
                 "options:\n%s"
                 "  --format NAME        write another format: %s\n"
                 "  --quiet              no progress bar and no summary line\n\n"
                 "example:\n"
                 "  harmoniform render take.wav take-eq.wav --set \"Band1 State=On\" --set kBand1Gain=6dB \\\n"
                 "      --set \"Band1 Frequency=1k\" --set \"Band1 Q=1.5Q\"\n",
                 sessionOptionsHelp(), formatNames());
}

// A one-line bar on stderr, redrawn when the percentage changes.
class ProgressBar {
public:
    ProgressBar(std::int64_t total, bool enabled) : total_(total), enabled_(enabled && total > 0) {}
    void update(std::int64_t done) {
        if (!enabled_) return;
        const int percent = static_cast<int>(100 * std::min(done, total_) / total_);
        if (percent == shown_) return;
        shown_ = percent;
        constexpr int kWidth = 40;
        std::string bar(static_cast<std::size_t>(kWidth * percent / 100), '#');
        bar.resize(kWidth, '-');
        std::fprintf(stderr, "\rrendering [%s] %3d%%", bar.c_str(), percent);
        std::fflush(stderr);
    }
    void finish() {
        if (enabled_ && shown_ >= 0) std::fprintf(stderr, "\n");
    }

private:
    std::int64_t total_;
    bool enabled_;
    int shown_ = -1;
};

}  // namespace

int runRender(const std::vector<std::string>& args) {
    SessionOptions options;
    std::vector<std::string> files;
    std::string formatName, error;
    bool quiet = false;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            renderHelp(stdout);
            return 0;
        }
        if (takeSessionOption(args, i, options, error)) {
            if (!error.empty()) break;
            continue;
        }
        if (a == "--format" && i + 1 < args.size()) {
            formatName = args[i + 1];
            i += 2;
        } else if (a == "--quiet") {
            quiet = true;
            ++i;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            break;
        } else {
            files.push_back(a);
            ++i;
        }
    }
    if (error.empty() && files.size() != 2) error = "render needs an input and an output file";
    if (!error.empty()) {
        std::fprintf(stderr, "harmoniform render: %s\n", error.c_str());
        renderHelp(stderr);
        return 2;
    }
    const std::string& inPath = files[0];
    const std::string& outPath = files[1];

    AudioReader reader;
    if (!reader.open(inPath, error)) {
        std::fprintf(stderr, "harmoniform render: %s\n", error.c_str());
        return 1;
    }
    AudioFormat outFormat = reader.format();
    if (!formatName.empty() && !formatFromName(formatName, outFormat.sndfileFormat)) {
        std::fprintf(stderr, "harmoniform render: unknown format '%s' (known: %s)\n", formatName.c_str(), formatNames());
        return 2;
    }
    HostSession session;
    if (!session.open(options, static_cast<float>(reader.format().rate), error)) {
        std::fprintf(stderr, "harmoniform render: %s\n", error.c_str());
        return 1;
    }
    const int channels = reader.format().channels;
    if (channels > session.channels()) {
        std::fprintf(stderr, "harmoniform render: %s has %d channels; the plug-in takes at most %d\n", inPath.c_str(),
                     channels, session.channels());
        return 1;
    }
    AudioWriter writer;
    if (!writer.open(outPath, outFormat, error)) {
        std::fprintf(stderr, "harmoniform render: %s\n", error.c_str());
        return 1;
    }
    const bool longerThanASecond = reader.frames() > reader.format().rate;  // more than a second of audio
    ProgressBar bar(reader.frames(), longerThanASecond && !quiet && ::isatty(STDERR_FILENO));
    RenderStats stats;
    const bool ok = renderStream(
        session, channels, [&](double* buffer, std::int64_t n) { return reader.read(buffer, n); },
        [&](const double* buffer, std::int64_t n) { return writer.write(buffer, n); }, stats,
        [&](std::int64_t done) { bar.update(done); });
    bar.finish();
    if (!ok || !writer.commit(error)) {
        std::fprintf(stderr, "harmoniform render: %s\n", ok ? error.c_str() : ("cannot write " + outPath).c_str());
        return 1;
    }
    if (!quiet)
        std::fprintf(stderr, "harmoniform render: %s -> %s, %lld frames, %d channels, %d Hz, latency %d samples\n",
                     inPath.c_str(), outPath.c_str(), static_cast<long long>(stats.frames), channels,
                     reader.format().rate, stats.latency);
    return 0;
}

}  // namespace hm::tool
