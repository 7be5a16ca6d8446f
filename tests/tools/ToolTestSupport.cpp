#include "tests/tools/ToolTestSupport.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "tools/harmoniform/AudioFile.h"

namespace hm::test {
namespace {

std::string shellWord(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

}  // namespace

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

ScratchFolder::ScratchFolder() {
    char tmpl[] = "/tmp/hm-tool-test-XXXXXX";
    if (::mkdtemp(tmpl) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

RunResult runTool(const std::vector<std::string>& args, const RunOptions& options) {
    ScratchFolder logs;
    std::string command;
    if (!options.cwd.empty()) command += "cd " + shellWord(options.cwd) + " && ";
    command += "env";
    for (const std::string& e : options.env) command += " " + shellWord(e);
    command += " " + shellWord(options.exe.empty() ? HM_TOOL_EXE : options.exe);
    for (const std::string& a : args) command += " " + shellWord(a);
    command += " >" + shellWord(logs.file("out")) + " 2>" + shellWord(logs.file("err"));
    command += " <" + shellWord(options.input.empty() ? "/dev/null" : options.input);
    const int status = std::system(command.c_str());
    RunResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readBytes(logs.file("out"));
    r.err = readBytes(logs.file("err"));
    return r;
}

void writeAudio(const std::string& path, const std::vector<double>& interleaved, int channels, int rate, int format) {
    tool::AudioWriter w;
    std::string error;
    if (!w.open(path, {format, rate, channels}, error)) throw std::runtime_error(error);
    w.write(interleaved.data(), static_cast<std::int64_t>(interleaved.size()) / channels);
    if (!w.commit(error)) throw std::runtime_error(error);
}

Audio readAudio(const std::string& path) {
    tool::AudioReader r;
    std::string error;
    Audio a;
    if (!r.open(path, error)) return a;
    a.channels = r.format().channels;
    a.rate = r.format().rate;
    a.format = r.format().sndfileFormat;
    a.samples.resize(static_cast<std::size_t>(r.frames() * a.channels));
    const std::int64_t n = r.read(a.samples.data(), r.frames());
    a.samples.resize(static_cast<std::size_t>(n * a.channels));
    return a;
}

std::vector<double> floatNoise(std::size_t frames, int channels, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> uniform(-0.9f, 0.9f);
    std::vector<double> x(frames * static_cast<std::size_t>(channels));
    for (double& v : x) v = uniform(random);
    return x;
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace hm::test
