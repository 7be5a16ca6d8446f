// The render command's files as a user meets them, through the built tool: the
// output format from OUT's name, OUT naming IN, symbolic links, interruption by
// a signal, clipping, and standard input and output.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "tests/tools/ToolTestSupport.h"

extern char** environ;

namespace hm::test {
namespace {

constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kWav24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;

// Noise on the 24-bit grid, so that every lossless 24-bit format holds it exactly.
std::vector<double> noise24(std::size_t frames, unsigned seed) {
    std::vector<double> x = floatNoise(frames, 2, seed);
    for (double& v : x) v = std::round(v * 8388608.0) / 8388608.0;
    return x;
}

bool isSymlink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

TEST(ToolFiles, OutputFormatFollowsTheExtensionAndKeepsTheWidth) {
    struct Case {
        const char* out;
        std::vector<std::string> options;
        int input;
        int expected;          // 0: refused
        const char* mentions;  // on standard error; "" for nothing in particular
    };
    const Case cases[] = {
        {"out.flac", {}, kWav24, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, ""},
        {"out.flac", {"--format", "flac"}, kWav24, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, ""},
        {"out.aiff", {}, kWav24, SF_FORMAT_AIFF | SF_FORMAT_PCM_24, ""},
        {"out.aif", {}, kWav16, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, ""},
        {"out.wav", {}, kWav24, kWav24, ""},
        {"out.ogg", {}, kWav24, SF_FORMAT_OGG | SF_FORMAT_VORBIS, ""},
        {"out.flac", {}, kFloatWav, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "FLAC holds at most 24-bit"},
        {"out.data", {"--format", "wavf"}, kWav24, kFloatWav, ""},
        {"out.mp3", {}, kWav24, 0, "cannot write .mp3 files"},
        {"out.xyz", {}, kWav24, 0, "cannot write .xyz files"},
        {"out", {}, kWav24, 0, "without an extension"},
        {"out.wav", {"--format", "flac"}, kWav24, 0, "matching extension"},
    };
    const std::vector<double> x = noise24(3000, 11);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.out) + " from " + std::to_string(c.input));
        ScratchFolder folder;
        writeAudio(folder.file("in.wav"), x, 2, 48000, c.input);
        const RunResult r = runTool(concat({"render", folder.file("in.wav"), folder.file(c.out)}, c.options));
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
        if (c.expected == 0) {
            EXPECT_EQ(r.exitCode, 2);
            EXPECT_EQ(folderEntries(folder.file("")), std::vector<std::string>{"in.wav"});
            continue;
        }
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Audio out = readAudio(folder.file(c.out));
        EXPECT_EQ(out.format, c.expected);
        EXPECT_EQ(out.samples.size(), x.size());
        // All bands off: a lossless container of the input's width returns it bit for bit.
        const bool lossless = (c.expected & SF_FORMAT_SUBMASK) == (c.input & SF_FORMAT_SUBMASK);
        if (lossless && c.input == kWav24) {
            EXPECT_TRUE(out.samples == x);
        }
    }
}

TEST(ToolFiles, OutputNamingTheInputIsRefusedUnlessInPlace) {
    ScratchFolder folder;
    const std::vector<double> x = floatNoise(4000, 2, 12);
    writeAudio(folder.file("in.wav"), x, 2, 48000, kFloatWav);
    ASSERT_EQ(::symlink("in.wav", folder.file("link.wav").c_str()), 0);
    ASSERT_EQ(::link(folder.file("in.wav").c_str(), folder.file("hard.wav").c_str()), 0);
    const std::string original = readBytes(folder.file("in.wav"));
    struct Case {
        const char* name;
        std::string in, out;
        std::string redirected;  // standard input
    };
    const Case cases[] = {
        {"same name", folder.file("in.wav"), folder.file("in.wav"), ""},
        {"spelt differently", folder.file("in.wav"), folder.file("") + "./in.wav", ""},
        {"OUT a symbolic link to IN", folder.file("in.wav"), folder.file("link.wav"), ""},
        {"IN a symbolic link to OUT", folder.file("link.wav"), folder.file("in.wav"), ""},
        {"OUT a hard link to IN", folder.file("in.wav"), folder.file("hard.wav"), ""},
        {"IN is standard input redirected from OUT", "-", folder.file("in.wav"), folder.file("in.wav")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunOptions options;
        options.input = c.redirected;
        const RunResult r = runTool({"render", c.in, c.out}, options);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("--in-place"), std::string::npos) << r.err;
        EXPECT_EQ(readBytes(folder.file("in.wav")), original);
    }
    EXPECT_EQ(folderEntries(folder.file("")), (std::vector<std::string>{"hard.wav", "in.wav", "link.wav"}));

    // Allowed in place: the link stays a link and its target gets the result.
    const RunResult r =
        runTool({"render", folder.file("link.wav"), folder.file("link.wav"), "--in-place", "--set", "Gain=-6"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(isSymlink(folder.file("link.wav")));
    const Audio out = readAudio(folder.file("in.wav"));
    ASSERT_EQ(out.samples.size(), x.size());
    const double gain = std::pow(10.0, -6.0 / 20.0);
    for (std::size_t i = 0; i < x.size(); i += 97) EXPECT_NEAR(out.samples[i], x[i] * gain, 1e-6) << i;
    EXPECT_EQ(readBytes(folder.file("hard.wav")), original) << "the other name of the old file keeps it";
}

TEST(ToolFiles, SymbolicLinkOutIsWrittenThroughToItsTarget) {
    struct Case {
        const char* name;
        std::string link;     // OUT, relative to the scratch folder
        std::string pointsTo; // the link's text
        std::string target;   // the file that must receive the audio
        bool targetExists;
    };
    const Case cases[] = {
        {"to an existing file", "out.wav", "takes/final.wav", "takes/final.wav", true},
        {"to a file not there yet", "out.wav", "takes/new.wav", "takes/new.wav", false},
        {"through a chain of links", "out.wav", "middle.wav", "takes/end.wav", true},
    };
    const std::vector<double> x = floatNoise(2000, 2, 13);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        ::mkdir(folder.file("takes").c_str(), 0755);
        writeAudio(folder.file("in.wav"), x, 2, 44100, kFloatWav);
        if (c.targetExists) {
            writeBytes(folder.file(c.target), "old take");
            ::chmod(folder.file(c.target).c_str(), 0640);
        }
        if (c.pointsTo == "middle.wav") {
            ASSERT_EQ(::symlink("takes/end.wav", folder.file("middle.wav").c_str()), 0);
        }
        ASSERT_EQ(::symlink(c.pointsTo.c_str(), folder.file(c.link).c_str()), 0);
        const RunResult r = runTool({"render", folder.file("in.wav"), folder.file(c.link)});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(isSymlink(folder.file(c.link)));
        EXPECT_TRUE(readAudio(folder.file(c.target)).samples == x);
        struct stat st {};
        ASSERT_EQ(::stat(folder.file(c.target).c_str(), &st), 0);
        if (c.targetExists) {
            EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file's permissions are kept";
        }
        EXPECT_EQ(folderEntries(folder.file("takes")).size(), 1u) << "no temporary file left";
    }
}

// The tool with a pipe as standard input, its standard error into a file.
struct Child {
    pid_t pid = -1;
    int input = -1;
};

Child spawnTool(const std::vector<std::string>& args, const std::string& errPath) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> words = concat({HM_TOOL_EXE}, args);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    Child child;
    if (::posix_spawn(&child.pid, HM_TOOL_EXE, &actions, nullptr, argv.data(), environ) != 0) child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[0]);
    child.input = fds[1];
    return child;
}

bool hasTemporaryFile(const std::string& folder, const std::string& prefix) {
    for (const std::string& name : folderEntries(folder))
        if (name.rfind(prefix, 0) == 0 && name != prefix) return true;
    return false;
}

TEST(ToolFiles, SignalMidRenderRemovesTheTemporaryFileAndKeepsOut) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        ScratchFolder folder, logs;
        writeAudio(folder.file("source.wav"), floatNoise(48000, 2, 14), 2, 48000, kFloatWav);
        const std::string stream = readBytes(folder.file("source.wav"));
        writeAudio(folder.file("out.wav"), floatNoise(100, 2, 15), 2, 48000, kFloatWav);
        const std::string previous = readBytes(folder.file("out.wav"));

        // The render reads standard input: it waits mid-file for the rest of the
        // stream, with its temporary output open, until the signal comes.
        Child child = spawnTool({"render", "-", folder.file("out.wav")}, logs.file("err"));
        ASSERT_GT(child.pid, 0);
        const std::size_t part = 32768;  // below a pipe's capacity: the write cannot block
        ASSERT_EQ(::write(child.input, stream.data(), part), static_cast<ssize_t>(part));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!hasTemporaryFile(folder.file(""), "out.wav") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(hasTemporaryFile(folder.file(""), "out.wav")) << readBytes(logs.file("err"));

        ::kill(child.pid, signal);
        int status = 0;
        ::waitpid(child.pid, &status, 0);
        ::close(child.input);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
        EXPECT_EQ(folderEntries(folder.file("")), (std::vector<std::string>{"out.wav", "source.wav"}));
        EXPECT_EQ(readBytes(folder.file("out.wav")), previous);
    }
}

TEST(ToolFiles, ClippingIsCountedWithTheFloatPeakAndAGainThatAvoidsIt) {
    // A hand-made signal: every 10th sample at +-0.5, the rest at +-0.1. With the
    // output Gain at +12 dB the loud samples reach 1.99 and must clip in 16 bits;
    // the quiet ones (0.40) must not.
    std::vector<double> x(2 * 4800);
    std::size_t loud = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double sign = (i / 2) % 2 ? -1.0 : 1.0;
        const bool isLoud = (i / 2) % 10 == 0;
        x[i] = sign * (isLoud ? 0.5 : 0.1);
        loud += isLoud;
    }
    const double peak12 = 0.5 * std::pow(10.0, 12.0 / 20.0);  // +5.98 dBFS
    struct Case {
        const char* name;
        std::string out;
        std::vector<std::string> options;
        std::size_t clipped;
        double peakDb;
        const char* advice;  // "" when none is due
    };
    const Case cases[] = {
        {"16-bit clips", "out.wav", {"--format", "wav16", "--set", "Gain=12"}, loud, 20.0 * std::log10(peak12), "Gain=6"},
        {"float keeps it", "out.wav", {"--set", "Gain=12"}, 0, 20.0 * std::log10(peak12), "Gain=6"},
        {"at 0 dB nothing clips", "out.wav", {"--format", "wav16"}, 0, 20.0 * std::log10(0.5), ""},
        {"24-bit FLAC from Gain 18", "out.flac", {"--set", "Gain=18"}, loud, 18.0 + 20.0 * std::log10(0.5), "Gain=6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        writeAudio(folder.file("in.wav"), x, 2, 48000, kFloatWav);
        const RunResult r = runTool(concat({"render", folder.file("in.wav"), folder.file(c.out)}, c.options));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::size_t peakAt = r.err.find("output peak ");
        ASSERT_NE(peakAt, std::string::npos) << r.err;
        EXPECT_NEAR(std::atof(r.err.c_str() + peakAt + 12), c.peakDb, 0.006) << r.err;
        const std::size_t clippedAt = r.err.find(" samples clipped");
        if (c.clipped > 0) {
            ASSERT_NE(clippedAt, std::string::npos) << r.err;
            const std::size_t lineStart = r.err.rfind("warning: ", clippedAt);
            EXPECT_EQ(std::strtoull(r.err.c_str() + lineStart + 9, nullptr, 10), c.clipped) << r.err;
        } else {
            EXPECT_EQ(clippedAt, std::string::npos) << r.err;
        }
        if (*c.advice) {
            EXPECT_NE(r.err.find(std::string("--set ") + c.advice), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.err.find("--set Gain"), std::string::npos) << r.err;
        }
    }
}

TEST(ToolFiles, DashReadsStandardInputAndIsNeverAFile) {
    ScratchFolder folder;
    const std::vector<double> x = floatNoise(5000, 2, 16);
    writeAudio(folder.file("in.wav"), x, 2, 44100, kFloatWav);
    RunOptions fromFile;
    fromFile.input = folder.file("in.wav");
    fromFile.cwd = folder.file("");
    const RunResult piped = runTool({"render", "-", "out.wav"}, fromFile);
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_NE(piped.err.find("standard input"), std::string::npos) << piped.err;
    EXPECT_TRUE(readAudio(folder.file("out.wav")).samples == x);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"render", "in.wav", "-"}, {"preset", "make", "-"}}) {
        SCOPED_TRACE(args[0]);
        const RunResult r = runTool(args, fromFile);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("cannot write to standard output"), std::string::npos) << r.err;
        EXPECT_FALSE(fileExists(folder.file("-")));
    }
}

}  // namespace
}  // namespace hm::test
