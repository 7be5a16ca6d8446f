// harmoniform: runs the equaliser without a host application, through the
// same VST 2.4 interface a host uses.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/harmoniform/Commands.h"

namespace {

void usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: harmoniform COMMAND [ARGS]\n\n"
                 "commands:\n"
                 "  render IN OUT     equalise an audio file through the plug-in (latency compensated)\n"
                 "  response          measure the plug-in's frequency response; CSV and PNG plot\n"
                 "  demo              generate a test programme, render it, plot the response (into out/)\n"
                 "  editor            open the plug-in's editor in a window, or render it to a PNG\n"
                 "  info PLUGIN.so    load a VST 2.4 plug-in as a host does and list its effect record and parameters\n"
                 "  preset show FILE  print a preset (.hmp) or bank (.hmb) file's programs and changed parameters\n\n"
                 "'harmoniform COMMAND --help' describes a command.\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        usage(stdout);
        return 0;
    }
    if (command == "info") return hm::tool::runInfo(args);
    if (command == "preset") return hm::tool::runPreset(args);
    if (command == "render") return hm::tool::runRender(args);
    if (command == "response") return hm::tool::runResponse(args);
    if (command == "demo") return hm::tool::runDemo(args);
    if (command == "editor") return hm::tool::runEditor(args);
    std::fprintf(stderr, "harmoniform: unknown command '%s'\n", command.c_str());
    usage(stderr);
    return 2;
}
