// harmoniform preset show FILE: a preset (.hmp) or bank (.hmb) file in readable form.
//
// The file is handed to a fresh instance exactly as a host hands over a chunk,
// and the instance itself names and formats every value; only the parameters
// that differ from a fresh instance's are listed.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/harmoniform/Commands.h"
#include "tools/harmoniform/PluginHost.h"
#include "prefs/ChunkCodec.h"
#include "prefs/Json.h"

namespace hm::tool {
namespace {

constexpr std::size_t kMaxFileBytes = 64u << 20;

bool readFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (bytes.size() > kMaxFileBytes) {
        error = path + " is too large to be a preset or bank file";
        return false;
    }
    if (bytes.empty()) {
        error = path + " is empty";
        return false;
    }
    return true;
}

void printProgram(host::PluginInstance& loaded, host::PluginInstance& fresh, int program) {
    char name[64] = {};
    loaded.dispatch(vst::effGetProgramNameIndexed, program, 0, name);
    std::printf("program %d: %s\n", program + 1, name);
    int changed = 0;
    for (int i = 0; i < loaded.effect()->numParams; ++i) {
        if (loaded.getParameter(i) == fresh.getParameter(i)) continue;
        std::printf("  %-22s %s\n", loaded.parameterName(i).c_str(), loaded.parameterDisplay(i).c_str());
        ++changed;
    }
    if (changed == 0) std::printf("  (all parameters at their defaults)\n");
}

}  // namespace

int runPreset(const std::vector<std::string>& args) {
    if (args.size() < 2 || args[0] != "show") {
        std::printf(
            "usage: harmoniform preset show FILE [--plugin PLUGIN.so]\n\n"
            "Prints the programs of a bank file (.hmb) or the program of a preset file (.hmp):\n"
            "names and every parameter that differs from a new instance, as the plug-in shows it.\n");
        return args.empty() || args[0] == "--help" ? 0 : 2;
    }
    std::string pluginPath = defaultPluginPath();
    for (std::size_t i = 2; i + 1 < args.size(); ++i)
        if (args[i] == "--plugin") pluginPath = args[i + 1];

    std::vector<unsigned char> bytes;
    std::string error;
    if (!readFile(args[1], bytes, error)) {
        std::fprintf(stderr, "harmoniform: %s\n", error.c_str());
        return 1;
    }
    auto library = host::PluginLibrary::open(pluginPath, error);
    if (!library) {
        std::fprintf(stderr, "harmoniform: %s\n", error.c_str());
        return 1;
    }
    auto fresh = host::PluginInstance::create(*library);
    auto loaded = host::PluginInstance::create(*library);
    if (!fresh || !loaded) {
        std::fprintf(stderr, "harmoniform: the plug-in refused to start\n");
        return 1;
    }
    // The document's shape tells a bank (it has "presets") from a preset.
    const auto text = state::decodeChunk(bytes.data(), bytes.size());
    const prefs::JsonPtr document = text ? prefs::parseJson(*text) : nullptr;
    if (!cJSON_IsObject(document.get())) {
        std::fprintf(stderr, "harmoniform: %s is not a preset or bank document\n", args[1].c_str());
        return 1;
    }
    const bool bank = prefs::member(document.get(), "presets") != nullptr;
    loaded->dispatch(vst::effSetChunk, bank ? 0 : 1, static_cast<std::intptr_t>(bytes.size()), bytes.data());
    std::printf("%s: %s\n", args[1].c_str(), bank ? "bank" : "preset");
    if (!bank) {
        printProgram(*loaded, *fresh, static_cast<int>(loaded->dispatch(vst::effGetProgram)));
        return 0;
    }
    for (int p = 0; p < loaded->effect()->numPrograms; ++p) {
        char name[64] = {};
        loaded->dispatch(vst::effGetProgramNameIndexed, p, 0, name);
        if (std::strcmp(name, "-") == 0) continue;  // an empty slot
        loaded->dispatch(vst::effSetProgram, 0, p);
        printProgram(*loaded, *fresh, p);
    }
    return 0;
}

}  // namespace hm::tool
