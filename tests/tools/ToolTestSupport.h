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

// Runs the built harmoniform with these arguments (each passed as one word).
RunResult runTool(const std::vector<std::string>& args);

// Interleaved samples; `format` is an SF_FORMAT_* value.
void writeAudio(const std::string& path, const std::vector<double>& interleaved, int channels, int rate, int format);
struct Audio {
    std::vector<double> samples;  // interleaved
    int channels = 0, rate = 0, format = 0;
};
Audio readAudio(const std::string& path);

bool fileExists(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

}  // namespace hm::test
