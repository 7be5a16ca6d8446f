#pragma once
// What the real-window tests share: the built plug-in loaded as a host loads
// it, its editor opened into a host window of its own under a private X
// server, idle calls at a host's rate, the window read back from the server,
// and the editor's own picture through its snapshot request.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "core/params/ParamIds.h"
#include "gui/editor/SnapshotRequest.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "tests/host/HostFixture.h"
#include "tools/harmoniform/EditorHostCalls.h"
#include "tools/harmoniform/HostWindow.h"

namespace hm::test {

using Clock = std::chrono::steady_clock;

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The editor's picture without a display, through the vendor-specific request.
inline Picture snapshot(host::PluginInstance& plugin) {
    Picture p;
    gui::EditorSnapshotRequest request;
    plugin.dispatch(vst::effVendorSpecific, gui::kSnapshotIndex, gui::kSnapshotValue, &request);
    p.width = request.width;
    p.height = request.height;
    p.pixels.assign(static_cast<std::size_t>(p.width) * p.height, 0);
    request.pixels = p.pixels.data();
    request.capacity = static_cast<std::int64_t>(p.pixels.size());
    EXPECT_EQ(plugin.dispatch(vst::effVendorSpecific, gui::kSnapshotIndex, gui::kSnapshotValue, &request), 1);
    for (std::uint32_t& px : p.pixels) px &= 0xFFFFFFu;
    return p;
}

// Pixels that differ between two pictures of the same size.
inline int differences(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    int n = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

// A host's idle step (`step`) at a host's rate until `done` holds; false after the timeout.
template <class Step, class Done>
bool idleStepsUntil(Step step, Done done, int timeoutMs) {
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < until) {
        step();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Where new instances look for the user's default bank.
inline std::string defaultBankPath() {
    return platform::joinPath(platform::defaultBankFolder(), platform::kDefaultBankFileName);
}

// The test user has been through the setup already: a default bank written
// from a fresh instance's state, so editors open on the equaliser rather than
// on the setup wizard.
inline void ensureDefaultBank() {
    const std::string path = defaultBankPath();
    if (platform::pathExists(path)) return;
    auto first = makeInstance();
    ASSERT_TRUE(first);
    void* data = nullptr;
    const auto bytes = first->dispatch(vst::effGetChunk, 0, 0, &data);
    ASSERT_TRUE(data && bytes > 0);
    ASSERT_TRUE(platform::createFolders(platform::defaultBankFolder()));
    ASSERT_TRUE(platform::writeFileAtomically(path, std::string_view(static_cast<const char*>(data), bytes)));
}

// Where the pixels of exactly one colour lie in the window's upper half below
// the title bar (the graph's handles at and above 0 dB; the band strips and the
// keyboard further down draw the band's colour too): their count and centre.
struct Blob {
    int count = 0;
    double x = 0.0, y = 0.0;
};
inline Blob findColour(const Picture& p, std::uint32_t colour) {
    Blob b;
    for (int y = 25; y < p.height / 2; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y) == colour) {
                ++b.count;
                b.x += x;
                b.y += y;
            }
    if (b.count) {
        b.x /= b.count;
        b.y /= b.count;
    }
    return b;
}

// What a host in touch or latch mode suffers from, as test failures: a
// beginEdit never ended, a begin on a gesture already open, an end without a
// begin, and a gesture that carried no value at all.
inline void expectTidyGestures(const std::vector<host::HostCall>& calls) {
    std::map<int, int> open;  // parameter -> automate calls inside its open gesture
    for (const host::HostCall& c : calls) {
        if (c.opcode == vst::audioMasterBeginEdit) {
            EXPECT_FALSE(open.count(c.index)) << "beginEdit on an open gesture of " << c.index;
            open[c.index] = 0;
        } else if (c.opcode == vst::audioMasterAutomate) {
            if (open.count(c.index)) ++open[c.index];
        } else if (c.opcode == vst::audioMasterEndEdit) {
            const auto it = open.find(c.index);
            if (it == open.end()) {
                ADD_FAILURE() << "endEdit without beginEdit of " << c.index;
                continue;
            }
            EXPECT_GT(it->second, 0) << "empty gesture of " << c.index;
            open.erase(it);
        }
    }
    for (const auto& [index, automated] : open) ADD_FAILURE() << "beginEdit of " << index << " never ended";
}

class EditorHost {
public:
    // setUp: the user has a default bank (no wizard on opening).
    explicit EditorHost(int uiSize = -1, bool setUp = true) {
        if (setUp) ensureDefaultBank();
        plugin = makeInstance();
        if (!plugin) return;
        plugin->behaviour().sizeWindow = [this](int w, int h) {
            sizeRequests.push_back({w, h});
            if (window) window->resize(w, h);
            return true;
        };
        std::string error;
        if (uiSize >= 0) {
            EXPECT_TRUE(tool::setEditorPreference(*plugin, "Layout", "UI Size", uiSize, error)) << error;
        }
    }
    ~EditorHost() {
        if (plugin && open_) plugin->dispatch(vst::effEditClose);
        if (plugin) plugin->behaviour().sizeWindow = nullptr;
    }

    // The host window at the size the editor asks for, and the editor in it.
    bool open() {
        vst::ERect* rect = nullptr;
        if (plugin->dispatch(vst::effEditGetRect, 0, 0, &rect) != 1 || !rect) return false;
        std::string error;
        if (!window)
            window = host::HostWindow::open(rect->right - rect->left, rect->bottom - rect->top, "test host", error,
                                            visual);
        if (!window) {
            ADD_FAILURE() << error;
            return false;
        }
        // The pointer stays off the editor: hovering changes what controls show.
        window->waitMapped(2000);
        window->moveTo(1910, 1390);
        open_ = plugin->dispatch(vst::effEditOpen, 0, 0, window->handle()) == 1;
        return open_;
    }
    void close() {
        plugin->dispatch(vst::effEditClose);
        open_ = false;
    }
    // Idle calls at a host's rate until `done` holds (false after the timeout).
    template <class F>
    bool idleUntil(F done, int timeoutMs = 5000) {
        return idleStepsUntil([&] {
            window->pump();
            plugin->dispatch(vst::effEditIdle);
        }, done, timeoutMs);
    }
    Picture capture() {
        Picture p;
        window->capture(p.pixels, p.width, p.height);
        return p;
    }

    std::unique_ptr<host::PluginInstance> plugin;
    std::unique_ptr<host::HostWindow> window;
    host::HostVisual visual = host::HostVisual::Default;  // of the host window open() makes
    std::vector<std::pair<int, int>> sizeRequests;

private:
    bool open_ = false;
};

}  // namespace hm::test
