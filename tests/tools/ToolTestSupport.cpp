#include "tests/tools/ToolTestSupport.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

ScratchFolder::ScratchFolder() {
    char tmpl[] = "/tmp/hm-tool-test-XXXXXX";
    if (::mkdtemp(tmpl) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

RunResult runTool(const std::vector<std::string>& args) {
    ScratchFolder logs;
    std::string command = shellWord(HM_TOOL_EXE);
    for (const std::string& a : args) command += " " + shellWord(a);
    command += " >" + shellWord(logs.file("out")) + " 2>" + shellWord(logs.file("err"));
    const int status = std::system(command.c_str());
    RunResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = slurp(logs.file("out"));
    r.err = slurp(logs.file("err"));
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

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace hm::test
