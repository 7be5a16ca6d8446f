// harmoniform render IN OUT [options]: equalises an audio file through the plug-in.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/params/ParamIds.h"
#include "tools/harmoniform/AudioFile.h"
#include "tools/harmoniform/Automation.h"
#include "tools/harmoniform/ClippingReport.h"
#include "tools/harmoniform/Commands.h"
#include "tools/harmoniform/HostSession.h"
#include "tools/harmoniform/Messages.h"
#include "tools/harmoniform/OutputFormat.h"
#include "tools/harmoniform/OutputPath.h"
#include "tools/harmoniform/Renderer.h"

namespace hm::tool {
namespace {

void renderHelp() {
    std::printf("usage: harmoniform render IN OUT [options]\n\n"
                "Equalises the audio file IN through the plug-in, exactly as a host would, and writes\n"
                "OUT at IN's sample rate and channel count. Any file libsndfile reads (WAV, FLAC, AIFF,\n"
                "OGG, ...) with as many channels as the plug-in takes; IN '-' reads standard input\n"
                "(a stream such as WAV from a pipe). The plug-in's reported latency is compensated:\n"
                "OUT lines up with IN and has its length. A new instance starts from the default bank,\n"
                "as in a host.\n\n"
                "OUT's format follows its extension (%s) and keeps\n"
                "IN's sample width where it can: FLAC holds at most 24-bit integers (32-bit and\n"
                "float input become 24-bit FLAC, with a note), Ogg Vorbis is lossy, and compressed\n"
                "input becomes 32-bit float WAV/AIFF or 24-bit FLAC.\n\n"
                "OUT is written to a temporary file and renamed into place: an interrupted render\n"
                "(Ctrl-C, SIGTERM, SIGHUP) leaves an existing OUT as it was. A symbolic link OUT is\n"
                "written through to its target. OUT cannot be standard output, nor IN itself unless\n"
                "--in-place is given. After the render the output peak is printed in dBFS; samples\n"
                "clipped by an integer format are counted, with the output Gain that avoids them.\n\n"
                "options:\n%s"
                "  --automate LANE      change a parameter during the render, as a host plays back\n"
                "                       automation; repeatable, one lane per parameter:\n"
                "                       \"NAME=VALUE@TIME,VALUE@TIME,...\" with NAME and VALUE as for\n"
                "                       --set and TIME in seconds (2s, 2.5s, 250ms; to the nearest\n"
                "                       sample) or samples (48000smp), counted from the start of IN,\n"
                "                       never going back. The processing call that starts at a point's\n"
                "                       sample is the first to see its value (calls are split there).\n"
                "                       Until the first point the parameter keeps its --preset/--set\n"
                "                       value; points after the end are ignored. ~VALUE@TIME ramps from\n"
                "                       the point before, evenly in the host's normalised value (in dB\n"
                "                       for Gain and band gains, in octaves for frequencies), set anew\n"
                "                       at the start of every call (at most --block frames apart);\n"
                "                       parameters that take steps (State, Type, ...) do not ramp. Band\n"
                "                       gains and frequencies are read at the Scale and Shift the render\n"
                "                       starts with\n"
                "  --format NAME        the format when OUT's extension does not say it, or a\n"
                "                       sample width: %s\n"
                "  --in-place           allow OUT to be IN (replaced once the render is complete)\n"
                "  --quiet              no progress bar and no summary (warnings still show)\n\n"
                "examples:\n"
                "  harmoniform render take.wav take-eq.wav --set \"Band1 State=On\" --set \"Band1 Gain=6\" \\\n"
                "      --set \"Band1 Frequency=1k\" --set \"Band1 Q=1.5\"\n"
                "  harmoniform render take.wav take-eq.wav --set \"Band1 State=On\" \\\n"
                "      --automate \"Band1 Gain=0dB@0s,+6dB@2s,-3dB@2.5s\" --automate \"Gain=0dB@0s,~-12dB@10s\"\n",
                formatExtensions(), sessionOptionsHelp(), formatNames());
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

int bitsOf(int sndfileFormat) {
    switch (sndfileFormat & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8: return 8;
        case SF_FORMAT_PCM_16: return 16;
        case SF_FORMAT_PCM_24: return 24;
        case SF_FORMAT_PCM_32: return 32;
        default: return 0;
    }
}

}  // namespace

int runRender(const std::vector<std::string>& args) {
    const std::string command = "render";
    SessionOptions options;
    std::vector<std::string> files;
    std::vector<LaneText> lanes;
    std::string formatName, error;
    bool quiet = false, inPlace = false;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            renderHelp();
            return 0;
        }
        if (takeSessionOption(args, i, options, error)) {
            if (!error.empty()) return usageError(command, error);
            continue;
        }
        if (a == "--format") {
            if (i + 1 >= args.size()) return usageError(command, "--format needs a value");
            formatName = args[i + 1];
            i += 2;
        } else if (a == "--automate") {
            if (i + 1 >= args.size()) return usageError(command, "--automate needs a lane (NAME=VALUE@TIME,...)");
            LaneText lane;
            if (!parseLane(args[i + 1], lane, error)) return usageError(command, error);
            for (const LaneText& other : lanes)
                if (other.index == lane.index)
                    return usageError(command, "--automate: two lanes for " + describeParameter(lane.index) +
                                                   "; give all its points in one");
            lanes.push_back(std::move(lane));
            i += 2;
        } else if (a == "--quiet") {
            quiet = true;
            ++i;
        } else if (a == "--in-place") {
            inPlace = true;
            ++i;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError(command, "unknown option " + a);
        } else {
            files.push_back(a);
            ++i;
        }
    }
    if (files.size() != 2)
        return usageError(command, files.size() < 2 ? "render needs an input file IN and an output file OUT"
                                                    : "render takes one IN and one OUT; '" + files[2] + "' is one too many");
    const std::string& inPath = files[0];
    const std::string& outPath = files[1];
    const std::string inName = inPath == "-" ? "standard input" : inPath;

    OutputTarget target;
    if (!resolveOutput(outPath, inPath, inPlace, target, error)) return failure(command, error);
    AudioReader reader;
    if (!reader.open(inPath, error)) return failure(command, error);
    OutputFormatChoice outFormat;
    if (!chooseOutputFormat(outPath, formatName, reader.format().sndfileFormat, outFormat, error))
        return usageError(command, error);

    HostSession session;
    if (!session.open(options, static_cast<float>(reader.format().rate), error)) return failure(command, error);
    // Lane values read as --set values do: in the settings the render starts with.
    std::vector<AutomationLane> placed(lanes.size());
    const ParameterContext context = parameterContextOf(session.instance());
    for (std::size_t k = 0; k < lanes.size(); ++k)
        if (!resolveLane(lanes[k], context, reader.format().rate, placed[k], error)) return usageError(command, error);
    Automation automation(std::move(placed));
    for (const std::string& w : session.warnings()) warning(command, w);
    for (const std::string& n : session.notes()) note(command, n);
    const int channels = reader.format().channels;
    if (channels > session.channels())
        return failure(command, inName + " has " + countOf(channels, "channel") + "; the plug-in takes at most " +
                                    std::to_string(session.channels()));
    if (!outFormat.note.empty()) std::fprintf(stderr, "harmoniform render: note: %s\n", outFormat.note.c_str());

    AudioWriter writer;
    if (!writer.open(outPath, {outFormat.sndfileFormat, reader.format().rate, channels}, error))
        return failure(command, error);
    const bool longerThanASecond = reader.lengthKnown() && reader.frames() > reader.format().rate;
    ProgressBar bar(reader.frames(), longerThanASecond && !quiet && ::isatty(STDERR_FILENO));
    RenderStats stats;
    const bool ok = renderStream(
        session, channels, [&](double* buffer, std::int64_t n) { return reader.read(buffer, n); },
        [&](const double* buffer, std::int64_t n) { return writer.write(buffer, n); }, stats,
        [&](std::int64_t done) { bar.update(done); }, lanes.empty() ? nullptr : &automation);
    bar.finish();
    if (!ok || !writer.commit(error)) return failure(command, ok ? error : "cannot write " + outPath);

    if (!quiet)
        std::fprintf(stderr, "harmoniform render: %s -> %s (%s), %s, %s, %d Hz, latency %s\n", inName.c_str(),
                     outPath.c_str(), describeFormat(outFormat.sndfileFormat).c_str(),
                     countOf(stats.frames, "frame").c_str(), countOf(channels, "channel").c_str(),
                     reader.format().rate, countOf(stats.latency, "sample").c_str());
    LevelFacts facts;
    facts.peak = stats.peakOut;
    facts.clippedSamples = writer.clippedSamples();
    facts.integerOutput = isIntegerFormat(outFormat.sndfileFormat);
    facts.bits = bitsOf(outFormat.sndfileFormat);
    facts.gainDb = session.realValue(kGain);
    const std::vector<std::string> report = levelReport(facts);
    for (std::size_t i = 0; i < report.size(); ++i)
        if (i > 0 || !quiet) std::fprintf(stderr, "harmoniform render: %s\n", report[i].c_str());
    return 0;
}

}  // namespace hm::tool
