// harmoniform preset make OUT.hmp: a preset file written by the plug-in itself.
//
// A new instance takes the bank program, preset and --set values exactly as a
// render would, is given its name, and hands over its preset chunk, which is
// written as the file: the same bytes the editor's "save preset" writes.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/TextCompare.h"
#include "tools/harmoniform/HostSession.h"
#include "tools/harmoniform/Messages.h"
#include "tools/harmoniform/OutputPath.h"

namespace hm::tool {
namespace {

const std::string kCommand = "preset make";
constexpr std::size_t kNameLength = vst::kVstMaxProgNameLen - 1;  // what a program name keeps

void makeHelp() {
    std::printf("usage: harmoniform preset make OUT.hmp [options]\n\n"
                "Writes a preset file as the plug-in itself saves one (its preset chunk), so presets can\n"
                "be scripted. A new instance starts from the default bank; --bank and --program, then\n"
                "--preset, then every --set are applied in that order, and --name names the program\n"
                "(at most %zu characters). 'harmoniform preset show OUT.hmp' prints the result.\n\n"
                "options:\n%s"
                "  --name NAME          the program's name (default: the name it has)\n\n"
                "example:\n"
                "  harmoniform preset make warm.hmp --set \"Band1 State=On\" --set \"Band1 Type=LowShelf\" \\\n"
                "      --set \"Band1 Frequency=120\" --set \"Band1 Gain=2.5\" --name \"Warm\"\n",
                kNameLength, sessionOptionsHelp());
}


}  // namespace

int runPresetMake(const std::vector<std::string>& args) {
    SessionOptions options;
    std::string out, name, error;
    bool named = false;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            makeHelp();
            return 0;
        }
        if (takeSessionOption(args, i, options, error)) {
            if (!error.empty()) return usageError(kCommand, error);
            continue;
        }
        if (a == "--name") {
            if (i + 1 >= args.size()) return usageError(kCommand, "--name needs a value");
            name = args[i + 1];
            named = true;
            i += 2;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError(kCommand, "unknown option " + a);
        } else if (!out.empty()) {
            return usageError(kCommand, "preset make writes one file; '" + a + "' is one too many");
        } else {
            out = a;
            ++i;
        }
    }
    if (out.empty()) return usageError(kCommand, "preset make needs the file to write (OUT.hmp)");
    if (out != "-" && !platform::endsWithIgnoreCase(out, ".hmp"))
        return usageError(kCommand, out + ": a preset file's name ends in .hmp");
    OutputTarget target;
    if (!resolveOutput(out, "", false, target, error)) return failure(kCommand, error);

    HostSession session;
    if (!session.open(options, 48000.0f, error)) return failure(kCommand, error);
    for (const std::string& w : session.warnings()) warning(kCommand, w);
    for (const std::string& n : session.notes()) note(kCommand, n);
    if (named) {
        if (name.size() > kNameLength) {
            warning(kCommand, "the name is cut to " + std::to_string(kNameLength) + " characters, as the plug-in keeps it");
            name.resize(kNameLength);
        }
        session.instance().dispatch(vst::effSetProgramName, 0, 0, name.data());
    }
    void* data = nullptr;
    const std::intptr_t size = session.instance().dispatch(vst::effGetChunk, 1, 0, &data);
    if (size <= 0 || !data) return failure(kCommand, "the plug-in handed over no preset");
    if (!platform::writeFileAtomically(target.path, std::string_view(static_cast<const char*>(data),
                                                                      static_cast<std::size_t>(size))))
        return failure(kCommand, "cannot write " + out);
    std::fprintf(stderr, "harmoniform preset make: wrote %s: program %s, %s by --set\n", out.c_str(),
                 programLabel(session.programName()).c_str(), countOf(session.changesBySet(), "change").c_str());
    return 0;
}

}  // namespace hm::tool
