// The editor in a real X server, driven as a host drives it: the built plug-in
// loaded with dlopen, the editor opened into the host's own window, idle calls
// pumped, the window read back from the server and clicked through XTEST.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/params/ParamIds.h"
#include "gui/editor/SnapshotRequest.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "tests/host/HostFixture.h"
#include "tools/harmoniform/EditorHostCalls.h"
#include "tools/harmoniform/HostWindow.h"

namespace hm::test {
namespace {

using Clock = std::chrono::steady_clock;

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The editor's picture without a display, through the vendor-specific request.
Picture snapshot(host::PluginInstance& plugin) {
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
int differences(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    int n = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

// Where new instances look for the user's default bank.
std::string defaultBankPath() {
    return platform::joinPath(platform::defaultBankFolder(), platform::kDefaultBankFileName);
}

// The test user has been through the setup already: a default bank written
// from a fresh instance's state, so editors open on the equaliser rather than
// on the setup wizard.
void ensureDefaultBank() {
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
        if (!window) window = host::HostWindow::open(rect->right - rect->left, rect->bottom - rect->top, "test host", error);
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
        const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < until) {
            window->pump();
            plugin->dispatch(vst::effEditIdle);
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    Picture capture() {
        Picture p;
        window->capture(p.pixels, p.width, p.height);
        return p;
    }

    std::unique_ptr<host::PluginInstance> plugin;
    std::unique_ptr<host::HostWindow> window;
    std::vector<std::pair<int, int>> sizeRequests;

private:
    bool open_ = false;
};

TEST(EditorWindow, OpensAtEveryUiSizeAndShowsWhatTheSnapshotShows) {
    for (int size = 0; size < 5; ++size) {
        SCOPED_TRACE("UI Size " + std::to_string(size));
        EditorHost host(size);
        ASSERT_TRUE(host.plugin);
        const Picture expected = snapshot(*host.plugin);
        ASSERT_GT(expected.width, 500);
        ASSERT_TRUE(host.open());
        EXPECT_EQ(host.window->width(), expected.width);
        EXPECT_EQ(host.window->height(), expected.height);
        Picture shown;
        const bool same = host.idleUntil([&] {
            shown = host.capture();
            return differences(shown, expected) == 0;
        });
        EXPECT_TRUE(same) << differences(shown, expected) << " pixels differ";
    }
}

TEST(EditorWindow, ClickOnBypassReachesTheHostAsAutomation) {
    EditorHost host;
    ASSERT_TRUE(host.plugin);
    // Where the bypass button is: what changes in the picture when bypass does.
    host.plugin->setParameter(kBypass, 0.f);
    const Picture off = snapshot(*host.plugin);
    host.plugin->setParameter(kBypass, 1.f);
    const Picture on = snapshot(*host.plugin);
    host.plugin->setParameter(kBypass, 0.f);
    int left = on.width, top = on.height, right = -1, bottom = -1;
    for (int y = 0; y < on.height; ++y)
        for (int x = 0; x < on.width; ++x)
            if (on.at(x, y) != off.at(x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, left) << "bypass changes nothing in the picture";
    ASSERT_LT(right - left, 200);  // one button, not the whole window

    ASSERT_TRUE(host.open());
    ASSERT_TRUE(host.idleUntil([&] { return differences(host.capture(), off) == 0; }));
    host.plugin->clearCalls();
    ASSERT_TRUE(host.window->click((left + right) / 2, (top + bottom) / 2));
    const auto automated = [&] {
        for (const host::HostCall& c : host.plugin->calls())
            if (c.opcode == vst::audioMasterAutomate && c.index == kBypass && c.opt == 1.f) return true;
        return false;
    };
    EXPECT_TRUE(host.idleUntil(automated));
    EXPECT_EQ(host.plugin->getParameter(kBypass), 1.f);
    EXPECT_GE(host.plugin->countCalls(vst::audioMasterBeginEdit), 1);
    // The button shows the new state.
    EXPECT_TRUE(host.idleUntil([&] { return differences(host.capture(), on) == 0; }));
}

TEST(EditorWindow, HundredOpenCloseCyclesLeaveNoWindowBehind) {
    EditorHost host;
    ASSERT_TRUE(host.plugin);
    for (int cycle = 0; cycle < 100; ++cycle) {
        ASSERT_TRUE(host.open()) << cycle;
        host.plugin->dispatch(vst::effEditIdle);
        host.close();
        // Everything the closed editor could be asked stays harmless.
        host.plugin->dispatch(vst::effEditIdle);
        EXPECT_EQ(host.plugin->dispatch(vst::effEditKeyDown, 'a', 0, nullptr, 0.f), 0);
        EXPECT_EQ(host.plugin->dispatch(vst::effVendorSpecific, vst::fourCC('s', 't', 'C', 'A'),
                                        vst::fourCC('W', 'h', 'e', 'e'), nullptr, 1.f),
                  0);
    }
    host.window->pump();
    EXPECT_EQ(host.window->childCount(), 0);
}

TEST(EditorWindow, OpeningAgainWithoutClosingKeepsOneWindow) {
    EditorHost host;
    ASSERT_TRUE(host.plugin);
    ASSERT_TRUE(host.open());
    ASSERT_TRUE(host.open());  // some hosts do
    host.window->pump();
    EXPECT_EQ(host.window->childCount(), 1);
}

TEST(EditorWindow, NewUiSizeResizesTheHostWindow) {
    EditorHost host(2);
    ASSERT_TRUE(host.plugin);
    ASSERT_TRUE(host.open());
    const int before = host.window->width();
    std::string error;
    ASSERT_TRUE(tool::setEditorPreference(*host.plugin, "Layout", "UI Size", 4, error)) << error;
    EXPECT_TRUE(host.idleUntil([&] { return host.window->width() != before; }));
    ASSERT_FALSE(host.sizeRequests.empty());
    EXPECT_EQ(host.sizeRequests.back().first, 1300);
    vst::ERect* rect = nullptr;
    host.plugin->dispatch(vst::effEditGetRect, 0, 0, &rect);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 1300);
    EXPECT_EQ(rect->bottom - rect->top, host.sizeRequests.back().second);
}

TEST(EditorWindow, HostThatNeverIdlesStillSeesTheFirstPicture) {
    EditorHost host;
    ASSERT_TRUE(host.plugin);
    const Picture expected = snapshot(*host.plugin);
    ASSERT_TRUE(host.open());
    // No idle call at all: the window holds what the editor drew when it opened.
    host.window->sync();
    EXPECT_EQ(differences(host.capture(), expected), 0);
}

TEST(EditorWindow, IdleFromAnotherThreadIsIgnored) {
    EditorHost host;
    ASSERT_TRUE(host.plugin);
    ASSERT_TRUE(host.open());
    host.plugin->setParameter(kBypass, 1.f);
    const Picture before = host.capture();
    std::thread other([&] {
        for (int i = 0; i < 50; ++i) {
            host.plugin->dispatch(vst::effEditIdle);
            host.plugin->dispatch(vst::effEditKeyDown, 'a', 0, nullptr, 0.f);
        }
    });
    other.join();
    host.window->sync();
    EXPECT_EQ(differences(host.capture(), before), 0);
    // The opening thread's idle shows the change.
    EXPECT_TRUE(host.idleUntil([&] { return differences(host.capture(), before) > 0; }));
}

// The first editor of a user without a default bank is the setup wizard;
// answering its six pages writes the default bank, and the next instance's
// editor opens on the equaliser.
TEST(EditorWindow, TheWizardRunsFromAFreshUserFolderToADefaultBank) {
    const char* savedHome = std::getenv("XDG_DATA_HOME");
    const std::string saved = savedHome ? savedHome : "";
    const std::filesystem::path fresh = std::filesystem::path(HM_TEST_HOME) / "fresh-user";
    std::filesystem::remove_all(fresh);
    ::setenv("XDG_DATA_HOME", fresh.c_str(), 1);
    {
        EditorHost host(-1, false);
        ASSERT_TRUE(host.plugin);
        ASSERT_TRUE(host.open());
        EXPECT_EQ(host.window->width(), 632);
        EXPECT_EQ(host.window->height(), 428);
        // Answers by page; the wizard's answer buttons sit at x = 20 (pages 1
        // and 2) or 120, row i at 78 + (2i + 1.5)·p with p = (428 − 225) ÷ (2a + 1).
        const int counts[] = {5, 4, 4, 5, 3, 3};
        const int answers[] = {4, 1, 0, 2, 1, 1};
        Picture before = host.capture();
        const auto clickAndWait = [&](int x, int y) {
            ASSERT_TRUE(host.window->click(x, y));
            ASSERT_TRUE(host.idleUntil([&] { return differences(host.capture(), before) != 0; }));
            before = host.capture();
        };
        for (int page = 0; page < 6; ++page) {
            const double p = 203.0 / (2 * counts[page] + 1);
            const double x = (page == 1 || page == 2 ? 20 : 120) + p / 2;
            clickAndWait(static_cast<int>(x), static_cast<int>(78 + (2 * answers[page] + 1.5) * p));
            if (page < 5) clickAndWait(632 - 60, 428 - 30);
        }
        ASSERT_TRUE(host.window->click(632 - 60, 428 - 30));  // Finish
        EXPECT_TRUE(host.idleUntil([] { return std::filesystem::is_regular_file(defaultBankPath()); }));
        // The editor itself, at the size the answers chose ("Medium").
        EXPECT_TRUE(host.idleUntil([&] { return host.window->width() == 750; }));
    }
    {
        EditorHost next(-1, false);
        ASSERT_TRUE(next.plugin);
        vst::ERect* rect = nullptr;
        ASSERT_EQ(next.plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->right - rect->left, 750) << "no wizard for the next instance";
    }
    ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    std::filesystem::remove_all(fresh);
}

}  // namespace
}  // namespace hm::test
