// harmoniform preset show FILE: a preset (.hmp) or bank (.hmb) file in readable form.
//
// The file is handed to a fresh instance exactly as a host hands over a chunk,
// and the instance itself names and formats every value; only the parameters
// that differ from a fresh instance's are listed. What the instance would pass
// over without a word (unknown members, misspelt parameter names) is warned about.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "prefs/ChunkCodec.h"
#include "prefs/Json.h"
#include "tools/harmoniform/Commands.h"
#include "tools/harmoniform/Messages.h"
#include "tools/harmoniform/ParameterAssignment.h"
#include "tools/harmoniform/ParameterChoices.h"
#include "tools/harmoniform/PluginHost.h"
#include "tools/harmoniform/PluginPath.h"
#include "tools/harmoniform/PresetDocumentCheck.h"

namespace hm::tool {

// preset make, in PresetMakeCommand.cpp.
int runPresetMake(const std::vector<std::string>& args);

namespace {

constexpr std::size_t kMaxFileBytes = 64u << 20;
const std::string kCommand = "preset show";

void presetHelp() {
    std::printf("usage: harmoniform preset show FILE [--plugin PLUGIN.so]\n"
                "       harmoniform preset make OUT.hmp [options]   (see 'harmoniform preset make --help')\n\n"
                "show: prints the programs of a bank file (.hmb) or the program of a preset file (.hmp):\n"
                "names (an empty slot reads \"(empty)\"), and every parameter that differs from a new\n"
                "instance as the plug-in shows it, with the name of a choice value beside it. Members\n"
                "the plug-in would ignore (unknown names, misspelt parameter names) are warned about.\n");
}

void printProgram(host::PluginInstance& loaded, host::PluginInstance& fresh, int program) {
    char name[64] = {};
    loaded.dispatch(vst::effGetProgramNameIndexed, program, 0, name);
    std::printf("program %d: %s\n", program + 1, programLabel(name).c_str());
    int changed = 0;
    for (int i = 0; i < loaded.effect()->numParams; ++i) {
        if (loaded.getParameter(i) == fresh.getParameter(i)) continue;
        const std::string label = loaded.parameterLabel(i);
        const std::string display = loaded.parameterDisplay(i) + (label.empty() ? "" : " " + label);
        std::string choice = instanceChoiceName(loaded, i);
        // A display text that names its value already needs no second name.
        if (choice == display || namesAValue(display)) choice.clear();
        char line[256];
        std::snprintf(line, sizeof(line), "  %-22s %-26s %s", loaded.parameterName(i).c_str(), display.c_str(),
                      choice.c_str());
        std::printf("%.*s\n", static_cast<int>(trim(line).size() + 2), line);
        ++changed;
    }
    // An empty slot at its defaults needs no second line saying so.
    if (changed == 0 && programLabel(name) != programLabel("-")) std::printf("  (all parameters at their defaults)\n");
}

int runPresetShow(const std::vector<std::string>& args) {
    std::string file, pluginPath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            presetHelp();
            return 0;
        }
        if (a == "--plugin") {
            if (i + 1 >= args.size()) return usageError(kCommand, "--plugin needs a value");
            pluginPath = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError(kCommand, "unknown option " + a);
        } else if (!file.empty()) {
            return usageError(kCommand, "preset show takes one file; '" + a + "' is one too many");
        } else {
            file = a;
        }
    }
    if (file.empty()) return usageError(kCommand, "preset show needs a preset or bank file");

    const platform::FileRead read = platform::readWholeFile(file, kMaxFileBytes);
    switch (read.status) {
        case platform::ReadStatus::Ok: break;
        case platform::ReadStatus::Missing: return failure(kCommand, "cannot open " + file + ": no such file");
        case platform::ReadStatus::Unreadable: return failure(kCommand, "cannot read " + file);
        case platform::ReadStatus::TooLarge: return failure(kCommand, file + " is too large to be a preset or bank file");
    }
    if (read.bytes.empty()) return failure(kCommand, file + " is empty");
    // The document's shape tells a bank (it has "presets") from a preset.
    const auto text = state::decodeChunk(read.bytes);
    const prefs::JsonPtr document = text ? prefs::parseJson(*text) : nullptr;
    if (!cJSON_IsObject(document.get())) return failure(kCommand, file + " is not a preset or bank file");
    const bool bank = prefs::member(document.get(), "presets") != nullptr;

    std::string error;
    auto library = openPlugin(pluginPath, error);
    if (!library) return failure(kCommand, error);
    auto fresh = host::PluginInstance::create(*library);
    auto loaded = host::PluginInstance::create(*library);
    if (!fresh || !loaded) return failure(kCommand, "the plug-in refused to start");
    for (const std::string& finding : unreadMembers(document.get())) warning(kCommand, file + ": " + finding);

    loaded->dispatch(vst::effSetChunk, bank ? 0 : 1, static_cast<std::intptr_t>(read.bytes.size()),
                     const_cast<char*>(read.bytes.data()));
    std::printf("%s: %s\n", file.c_str(), bank ? "bank" : "preset");
    if (!bank) {
        printProgram(*loaded, *fresh, static_cast<int>(loaded->dispatch(vst::effGetProgram)));
        return 0;
    }
    for (int p = 0; p < loaded->effect()->numPrograms; ++p) {
        loaded->dispatch(vst::effSetProgram, 0, p);
        printProgram(*loaded, *fresh, p);
    }
    return 0;
}

}  // namespace

int runPreset(const std::vector<std::string>& args) {
    if (args.empty()) return usageError("preset", "preset needs a subcommand: show or make");
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "show") return runPresetShow(rest);
    if (args[0] == "make") return runPresetMake(rest);
    if (args[0] == "--help" || args[0] == "-h") {
        presetHelp();
        return 0;
    }
    return usageError("preset", "unknown subcommand '" + args[0] + "' (show or make)");
}

}  // namespace hm::tool
