// harmoniform info PLUGIN.so: what a host sees of a VST 2.4 plug-in.
#include <cstdio>
#include <string>

#include "core/params/ParamIds.h"
#include "platform/Paths.h"
#include "tools/harmoniform/Commands.h"
#include "tools/harmoniform/Messages.h"
#include "tools/harmoniform/ParameterAssignment.h"
#include "tools/harmoniform/ParameterChoices.h"
#include "tools/harmoniform/PluginHost.h"
#include "tools/harmoniform/PluginPath.h"

namespace hm::tool {
namespace {

std::string fourCCText(int value) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((static_cast<unsigned>(value) >> shift) & 0xFF);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    return s;
}

void printFlags(int flags) {
    struct Flag { int bit; const char* name; };
    static const Flag kFlags[] = {{vst::effFlagsHasEditor, "has-editor"},
                                  {vst::effFlagsCanReplacing, "can-replace"},
                                  {vst::effFlagsProgramChunks, "program-chunks"},
                                  {vst::effFlagsIsSynth, "synth"},
                                  {vst::effFlagsNoSoundInStop, "no-sound-in-stop"},
                                  {vst::effFlagsCanDoubleReplacing, "can-double-replace"}};
    std::printf("flags:             0x%04x", flags);
    for (const Flag& f : kFlags)
        if (flags & f.bit) std::printf(" %s", f.name);
    std::printf("\n");
}

}  // namespace

int runInfo(const std::vector<std::string>& args) {
    const std::string command = "info";
    std::string named;
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::printf(
                "usage: harmoniform info [PLUGIN.so]\n\n"
                "Loads a VST 2.4 plug-in library as a host does and prints its effect record,\n"
                "vendor and product, its programs (numbered 1..20) and every parameter's index,\n"
                "name, label and display text; for Harmoniform also the name of a choice value\n"
                "(On, HPF, IIR, Mid/Side, ...). PLUGIN.so is a file (a bare name is in the current\n"
                "folder); without it the plug-in the other commands use is found as they find it.\n");
            return 0;
        }
        if (a.size() > 1 && a[0] == '-') return usageError(command, "unknown option " + a);
        if (!named.empty()) return usageError(command, "info takes one plug-in file; '" + a + "' is one too many");
        named = a;
    }
    std::string error;
    auto library = openPlugin(named, error);
    if (!library) return failure(command, error);
    auto plugin = host::PluginInstance::create(*library);
    if (!plugin) return failure(command, library->path() + ": the entry point returned no effect");
    plugin->start(44100.0f, 1024);
    vst::AEffect* e = plugin->effect();

    char vendor[256] = {}, product[256] = {}, effectName[256] = {};
    plugin->dispatch(vst::effGetVendorString, 0, 0, vendor);
    plugin->dispatch(vst::effGetProductString, 0, 0, product);
    plugin->dispatch(vst::effGetEffectName, 0, 0, effectName);

    std::printf("library:           %s\n", library->path().c_str());
    std::printf("vendor:            %s\n", vendor);
    std::printf("product:           %s\n", product);
    if (effectName[0]) std::printf("effect name:       %s\n", effectName);
    std::printf("unique id:         '%s' (0x%08x)\n", fourCCText(e->uniqueID).c_str(), static_cast<unsigned>(e->uniqueID));
    std::printf("version:           %d (vendor version %ld, VST %ld)\n", e->version,
                static_cast<long>(plugin->dispatch(vst::effGetVendorVersion)),
                static_cast<long>(plugin->dispatch(vst::effGetVstVersion)));
    std::printf("category:          %ld\n", static_cast<long>(plugin->dispatch(vst::effGetPlugCategory)));
    std::printf("inputs / outputs:  %d / %d\n", e->numInputs, e->numOutputs);
    printFlags(e->flags);
    std::printf("initial delay:     %s\n", countOf(e->initialDelay, "sample").c_str());
    std::printf("programs:          %d\n", e->numPrograms);
    for (int p = 0; p < e->numPrograms; ++p) {
        char name[256] = {};
        if (plugin->dispatch(vst::effGetProgramNameIndexed, p, 0, name))
            std::printf("  %2d  %s\n", p + 1, programLabel(name).c_str());
    }
    const bool known = std::string(product) == platform::kProductName && e->numParams == kNumParams;
    std::printf("parameters:        %d\n", e->numParams);
    std::printf("  %-5s %-24s %-28s %-29s %s\n", "index", "name", "label", "display", known ? "value" : "");
    for (int i = 0; i < e->numParams; ++i) {
        const std::string display = plugin->parameterDisplay(i);
        std::string choice = known ? instanceChoiceName(*plugin, i) : std::string();
        // A display text that names its value already needs no second name.
        if (choice == display || namesAValue(display)) choice.clear();
        char line[256];
        std::snprintf(line, sizeof(line), "  %-5d %-24s %-28s %-29s %s", i, plugin->parameterName(i).c_str(),
                      plugin->parameterLabel(i).c_str(), display.c_str(), choice.c_str());
        std::printf("%.*s\n", static_cast<int>(trim(line).size() + 2), line);
    }
    return 0;
}

}  // namespace hm::tool
