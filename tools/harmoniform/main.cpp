// harmoniform: runs the equaliser without a host application, through the
// same VST 2.4 interface a host uses.
#include <cstdio>
#include <string>
#include <vector>

#include "core/params/Enumeration.h"
#include "core/params/ParamIds.h"
#include "tools/harmoniform/Commands.h"
#include "tools/harmoniform/Messages.h"

#ifndef HARMONIFORM_VERSION
#define HARMONIFORM_VERSION "unknown"
#endif

namespace {

void usage() {
    std::printf("usage: harmoniform COMMAND [ARGS]\n\n"
                "commands:\n"
                "  render IN OUT     equalise an audio file through the plug-in (latency compensated)\n"
                "  response          measure the plug-in's frequency response; CSV and PNG plot\n"
                "  demo              generate a test programme, render it, plot the response (into out/)\n"
                "  editor            open the plug-in's editor in a window, or render it to a PNG\n"
                "  info [PLUGIN.so]  load a VST 2.4 plug-in as a host does and list its effect record and parameters\n"
                "  bench PLUGIN.so   CPU cost per second of audio, alone or in turns with another plug-in\n"
                "  preset show FILE  print a preset (.hmp) or bank (.hmb) file's programs and changed parameters\n"
                "  preset make OUT   write a preset file (.hmp) from a preset, bank program and --set values\n"
                "  import FILE.txt   write a parametric EQ text (correction filter list) as a preset (-o OUT.hmp)\n"
                "  export PRESET     write a preset's bands as parametric EQ text (-o OUT.txt)\n\n"
                "options:\n"
                "  --help            this text; 'harmoniform COMMAND --help' describes a command\n"
                "  --version         the tool's version\n"
                "  --list-parameters every parameter's enumerator name, one a line (for scripts and\n"
                "                    shell completion; 'harmoniform info' shows names, units and values)\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return hm::tool::usageError("", "no command given");
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        usage();
        return 0;
    }
    if (command == "--version") {
        std::printf("harmoniform %s\n", HARMONIFORM_VERSION);
        return 0;
    }
    if (command == "--list-parameters") {
        for (int i = 0; i < hm::kNumParams; ++i) std::printf("%s\n", hm::enumNameOf(i));
        return 0;
    }
    if (command == "info") return hm::tool::runInfo(args);
    if (command == "bench") return hm::tool::runBench(args);
    if (command == "preset") return hm::tool::runPreset(args);
    if (command == "render") return hm::tool::runRender(args);
    if (command == "import") return hm::tool::runImport(args);
    if (command == "export") return hm::tool::runExport(args);
    if (command == "response") return hm::tool::runResponse(args);
    if (command == "demo") return hm::tool::runDemo(args);
    if (command == "editor") return hm::tool::runEditor(args);
    return hm::tool::usageError("", (command[0] == '-' ? "unknown option '" : "unknown command '") + command + "'");
}
