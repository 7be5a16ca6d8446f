#pragma once
// Shared by the tool tests: scratch folders, running the built harmoniform, and
// audio files written and read through the tool's own libsndfile wrapper.
#include <string>
#include <vector>

namespace hm::test {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

struct RunResult {
    int exitCode = -1;
    std::string out, err;
};

struct RunOptions {
    std::vector<std::string> env;  // NAME=VALUE set for the run (VALUE may be empty)
    std::string cwd;               // folder to run in; empty: the test's own
    std::string input;             // file given as standard input; empty: none
    std::string exe;               // the program; empty: the built harmoniform
};

// Runs the built harmoniform with these arguments (each passed as one word).
RunResult runTool(const std::vector<std::string>& args, const RunOptions& options = {});

// Interleaved samples; `format` is an SF_FORMAT_* value.
void writeAudio(const std::string& path, const std::vector<double>& interleaved, int channels, int rate, int format);
struct Audio {
    std::vector<double> samples;  // interleaved
    int channels = 0, rate = 0, format = 0;
};
Audio readAudio(const std::string& path);

// Float-exact uniform noise in -0.9..0.9, interleaved.
std::vector<double> floatNoise(std::size_t frames, int channels, unsigned seed);
// a followed by b.
std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b);

bool fileExists(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
std::string readBytes(const std::string& path);
// The names in a folder, sorted.
std::vector<std::string> folderEntries(const std::string& folder);

}  // namespace hm::test
