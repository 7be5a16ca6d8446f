// harmoniform editor: the plug-in's editor in a window of its own, opened
// through the VST ABI exactly as a host opens it (a top-level window as the
// parent, idle calls at a host's rate), or rendered to a PNG without a display.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/AtomicFile.h"
#include "tools/harmoniform/Commands.h"
#include "tools/harmoniform/EditorHostCalls.h"
#include "tools/harmoniform/HostSession.h"
#include "tools/harmoniform/HostWindow.h"

namespace hm::tool {
namespace {

// Hosts call the editor's idle about 50 times a second.
constexpr auto kIdlePeriod = std::chrono::milliseconds(20);
const char* const kSizeNames[] = {"Tiny", "Small", "Med", "Large", "Huge"};

void editorHelp(std::FILE* out) {
    std::fprintf(out,
                 "usage: harmoniform editor [--preset F | --bank F [--program N]] [--set NAME=VALUE ...]\n"
                 "                          [--size Tiny|Small|Med|Large|Huge] [--snapshot FILE.png [--wizard]]\n\n"
                 "Opens the plug-in's editor in a window, as a host does: the editor opens into a\n"
                 "top-level window and gets idle calls at a host's rate until the window is closed.\n"
                 "With --snapshot the complete editor is rendered to a PNG file instead; no display\n"
                 "is needed. Without a default bank of the user's own the editor starts with its\n"
                 "setup wizard; the snapshot still shows the equaliser unless --wizard is given.\n\n"
                 "options:\n"
                 "  --size NAME          the editor's \"UI Size\" preference\n"
                 "  --snapshot FILE.png  render the editor to FILE.png and exit\n"
                 "  --wizard             with --snapshot: render the setup wizard instead\n"
                 "%s\n"
                 "examples:\n"
                 "  harmoniform editor --bank \"presets/Factory Bank.hmp\" --program 3\n"
                 "  harmoniform editor --size Large --snapshot editor.png\n",
                 sessionOptionsHelp());
}

int writeSnapshot(host::PluginInstance& plugin, const std::string& path, bool wizard) {
    std::string error;
    int width = 0, height = 0;
    if (!writeEditorSnapshot(plugin, path, width, height, error, wizard)) {
        std::fprintf(stderr, "harmoniform editor: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s (%dx%d)\n", path.c_str(), width, height);
    return 0;
}

int runWindow(HostSession& session) {
    host::PluginInstance& plugin = session.instance();
    vst::ERect* rect = nullptr;
    plugin.dispatch(vst::effEditGetRect, 0, 0, &rect);
    const int width = rect ? rect->right - rect->left : 750, height = rect ? rect->bottom - rect->top : 421;
    std::string error;
    auto window = host::HostWindow::open(width, height, "Harmoniform", error);
    if (!window) {
        std::fprintf(stderr, "harmoniform editor: %s\n", error.c_str());
        return 1;
    }
    // The editor tells the host its new size; the host window follows.
    plugin.behaviour().sizeWindow = [&window](int w, int h) {
        window->resize(w, h);
        return true;
    };
    if (plugin.dispatch(vst::effEditOpen, 0, 0, window->handle()) == 0) {
        std::fprintf(stderr, "harmoniform editor: the plug-in could not open its editor\n");
        return 1;
    }
    while (window->pump()) {
        plugin.dispatch(vst::effEditIdle);
        std::this_thread::sleep_for(kIdlePeriod);
    }
    plugin.dispatch(vst::effEditClose);
    plugin.behaviour().sizeWindow = nullptr;
    return 0;
}

}  // namespace

int runEditor(const std::vector<std::string>& args) {
    SessionOptions options;
    std::string snapshot, error;
    int size = -1;
    bool wizard = false;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            editorHelp(stdout);
            return 0;
        }
        if (a == "--wizard") {
            wizard = true;
            ++i;
            continue;
        }
        if ((a == "--size" || a == "--snapshot") && i + 1 < args.size()) {
            const std::string& v = args[i + 1];
            if (a == "--snapshot") snapshot = v;
            for (int s = 0; s < 5 && a == "--size"; ++s)
                if (v == kSizeNames[s]) size = s;
            if (a == "--size" && size < 0) error = "--size takes Tiny, Small, Med, Large or Huge";
            i += 2;
            if (!error.empty()) break;
            continue;
        }
        if (takeSessionOption(args, i, options, error) && error.empty()) continue;
        if (error.empty()) error = "unknown option " + a;
        break;
    }
    if (error.empty() && wizard && snapshot.empty()) error = "--wizard goes with --snapshot";
    if (!error.empty()) {
        std::fprintf(stderr, "harmoniform editor: %s\n", error.c_str());
        editorHelp(stderr);
        return 2;
    }
    HostSession session;
    if (!session.open(options, 48000.0f, error) || (size >= 0 && !setEditorPreference(session.instance(), "Layout", "UI Size", size, error))) {
        std::fprintf(stderr, "harmoniform editor: %s\n", error.c_str());
        return 1;
    }
    if (!(session.instance().effect()->flags & vst::effFlagsHasEditor)) {
        std::fprintf(stderr, "harmoniform editor: the plug-in has no editor\n");
        return 1;
    }
    return snapshot.empty() ? runWindow(session) : writeSnapshot(session.instance(), snapshot, wizard);
}

}  // namespace hm::tool
