// harmoniform info PLUGIN.so: what a host sees of a VST 2.4 plug-in.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/harmoniform/Commands.h"
#include "tools/harmoniform/PluginHost.h"

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
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::printf(
            "usage: harmoniform info PLUGIN.so\n\n"
            "Loads a VST 2.4 plug-in library as a host does and prints its effect record,\n"
            "vendor and product, and every parameter's name, label and display text.\n");
        return args.empty() ? 2 : 0;
    }
    std::string error;
    auto library = host::PluginLibrary::open(args[0], error);
    if (!library) {
        std::fprintf(stderr, "harmoniform: %s\n", error.c_str());
        return 1;
    }
    auto plugin = host::PluginInstance::create(*library);
    if (!plugin) {
        std::fprintf(stderr, "harmoniform: %s: the entry point returned no effect\n", args[0].c_str());
        return 1;
    }
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
    std::printf("initial delay:     %d samples\n", e->initialDelay);
    std::printf("programs:          %d\n", e->numPrograms);
    for (int p = 0; p < e->numPrograms; ++p) {
        char name[256] = {};
        if (plugin->dispatch(vst::effGetProgramNameIndexed, p, 0, name)) std::printf("  %2d  %s\n", p, name);
    }
    std::printf("parameters:        %d\n", e->numParams);
    std::printf("  %-5s %-24s %-28s %s\n", "index", "name", "label", "display");
    for (int i = 0; i < e->numParams; ++i) {
        std::printf("  %-5d %-24s %-28s %s\n", i, plugin->parameterName(i).c_str(), plugin->parameterLabel(i).c_str(),
                    plugin->parameterDisplay(i).c_str());
    }
    return 0;
}

}  // namespace hm::tool
