// The editor in a real X server, driven as a host drives it: the built plug-in
// loaded with dlopen, the editor opened into the host's own window, idle calls
// pumped, the window read back from the server and clicked through XTEST.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/Paths.h"
#include "tests/window/window_EditorHost.h"

namespace hm::test {
namespace {

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


TEST(EditorWindow, HostAutomationOfABandGainMovesItsHandle) {
    EditorHost host;
    ASSERT_TRUE(host.plugin);
    std::string error;
    // Band colours by number: the first band's handle is violet, (128, 0, 255).
    ASSERT_TRUE(tool::setEditorPreference(*host.plugin, "Graph", "Band Colours", 1, error)) << error;
    for (int b = 0; b < kNumBands; ++b) host.plugin->setParameter(bandParam(b, kBandState), 0.f);
    host.plugin->setParameter(bandParam(0, kBandGroups), 1.f);  // every group
    host.plugin->setParameter(bandParam(0, kBandType), 0.f);    // peak
    host.plugin->setParameter(bandParam(0, kBandGain), 0.5f);   // 0 dB
    host.plugin->setParameter(bandParam(0, kBandState), 1.f);   // on
    ASSERT_TRUE(host.open());
    constexpr std::uint32_t kViolet = 0x8000FF;
    Blob before;
    ASSERT_TRUE(host.idleUntil([&] {
        before = findColour(host.capture(), kViolet);
        return before.count > 20;
    })) << "no handle in the window";
    // Automation from the host: +12 dB of the default ±18 dB range.
    host.plugin->setParameter(bandParam(0, kBandGain), 0.5f + 12.f / 36.f);
    Blob after;
    const double plotHeight = 2.0 * (before.y - 25.0);  // 0 dB lies in the middle of the plot
    EXPECT_TRUE(host.idleUntil([&] {
        after = findColour(host.capture(), kViolet);
        return after.count > 20 && std::fabs((before.y - after.y) - plotHeight / 3.0) < 2.0;
    })) << "handle at " << after.y << ", was " << before.y << ", plot height " << plotHeight;
    EXPECT_NEAR(after.x, before.x, 1.0);
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
        host.plugin->clearCalls();
        ASSERT_TRUE(host.window->click(632 - 60, 428 - 30));  // Finish
        EXPECT_TRUE(host.idleUntil([] { return std::filesystem::is_regular_file(defaultBankPath()); }));
        // The answers reach the host as whole gestures, a few of them.
        expectTidyGestures(host.plugin->calls());
        EXPECT_LE(host.plugin->countCalls(vst::audioMasterAutomate), 8);
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
