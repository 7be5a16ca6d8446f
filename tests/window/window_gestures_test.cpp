// What a host hears of the user's gestures on the graph, through the built
// plug-in in a real X server: nothing for a click that changes nothing, only
// the parameter that moved, and every gesture closed, also when the window
// goes in the middle of a drag.
#include <algorithm>
#include <string>

#include "tests/window/window_EditorHost.h"

namespace hm::test {
namespace {

constexpr std::uint32_t kViolet = 0x8000FF;  // band 1's handle, band colours by number

int automatesOf(const std::vector<host::HostCall>& calls, int opcode, int index) {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [&](const host::HostCall& c) { return c.opcode == opcode && c.index == index; }));
}

// An editor showing band 1 alone, a peak at 0 dB, and where its handle is.
struct OneBand {
    EditorHost host;
    Blob handle;

    bool open() {
        if (!host.plugin) return false;
        std::string error;
        if (!tool::setEditorPreference(*host.plugin, "Graph", "Band Colours", 1, error)) return false;
        for (int b = 0; b < kNumBands; ++b) host.plugin->setParameter(bandParam(b, kBandState), 0.f);
        host.plugin->setParameter(bandParam(0, kBandGroups), 1.f);
        host.plugin->setParameter(bandParam(0, kBandType), 0.f);
        host.plugin->setParameter(bandParam(0, kBandGain), 0.5f);
        host.plugin->setParameter(bandParam(0, kBandFrequency), 0.5f);
        host.plugin->setParameter(bandParam(0, kBandState), 1.f);
        if (!host.open()) return false;
        return host.idleUntil([&] {
            handle = findColour(host.capture(), kViolet);
            return handle.count > 20;
        });
    }
    int x() const { return static_cast<int>(handle.x + 0.5); }
    int y() const { return static_cast<int>(handle.y + 0.5); }
    void idleFor(int ms) {
        host.idleUntil([] { return false; }, ms);
    }
};

TEST(GesturesWindow, APlainClickOnAHandleTellsTheHostNothing) {
    OneBand f;
    ASSERT_TRUE(f.open()) << "no handle in the window";
    f.host.plugin->clearCalls();
    ASSERT_TRUE(f.host.window->click(f.x(), f.y()));
    f.idleFor(300);
    const auto calls = f.host.plugin->calls();
    EXPECT_EQ(f.host.plugin->countCalls(vst::audioMasterBeginEdit), 0);
    EXPECT_EQ(f.host.plugin->countCalls(vst::audioMasterAutomate), 0);
    EXPECT_EQ(f.host.plugin->countCalls(vst::audioMasterEndEdit), 0);
    expectTidyGestures(calls);
}

TEST(GesturesWindow, AVerticalDragWritesTheGainAloneInOneGesture) {
    OneBand f;
    ASSERT_TRUE(f.open()) << "no handle in the window";
    const float frequency = f.host.plugin->getParameter(bandParam(0, kBandFrequency));
    f.host.plugin->clearCalls();
    ASSERT_TRUE(f.host.window->press(f.x(), f.y()));
    for (int dy = 4; dy <= 40; dy += 4) {
        ASSERT_TRUE(f.host.window->moveTo(f.x(), f.y() - dy));
        f.idleFor(20);
    }
    ASSERT_TRUE(f.host.window->release());
    f.idleFor(200);
    const auto calls = f.host.plugin->calls();
    expectTidyGestures(calls);
    EXPECT_GE(automatesOf(calls, vst::audioMasterAutomate, bandParam(0, kBandGain)), 1);
    EXPECT_EQ(automatesOf(calls, vst::audioMasterBeginEdit, bandParam(0, kBandGain)), 1);
    EXPECT_EQ(automatesOf(calls, vst::audioMasterAutomate, bandParam(0, kBandFrequency)), 0)
        << "the frequency did not move";
    EXPECT_EQ(f.host.plugin->getParameter(bandParam(0, kBandFrequency)), frequency);
    EXPECT_GT(f.host.plugin->getParameter(bandParam(0, kBandGain)), 0.5f);
}

// A right click on a handle opens the band's menu ("Type", "Subtype",
// "Bypass", "Delete" for a peak), its top-left under the handle; "Delete"
// switches the band off as one whole gesture.
TEST(GesturesWindow, ARightClickOnAHandleOpensTheBandMenu) {
    OneBand f;
    ASSERT_TRUE(f.open()) << "no handle in the window";
    f.host.plugin->clearCalls();
    ASSERT_TRUE(f.host.window->click(f.x(), f.y(), 3));
    f.idleFor(300);
    EXPECT_EQ(f.host.plugin->countCalls(vst::audioMasterAutomate), 0) << "the click itself changes nothing";
    constexpr int kPadding = 4, kItemHeight = 20, kDelete = 3;
    ASSERT_TRUE(f.host.window->click(f.x() + 30, f.y() + 1 + kPadding + kDelete * kItemHeight + kItemHeight / 2));
    EXPECT_TRUE(f.host.idleUntil([&] { return f.host.plugin->getParameter(bandParam(0, kBandState)) == 0.f; }))
        << "\"Delete\" switched the band off";
    expectTidyGestures(f.host.plugin->calls());
}

TEST(GesturesWindow, ClosingTheWindowMidDragEndsTheGesture) {
    OneBand f;
    ASSERT_TRUE(f.open()) << "no handle in the window";
    f.host.plugin->clearCalls();
    ASSERT_TRUE(f.host.window->press(f.x(), f.y()));
    ASSERT_TRUE(f.host.window->moveTo(f.x() + 30, f.y() - 30));
    ASSERT_TRUE(f.host.idleUntil([&] { return f.host.plugin->countCalls(vst::audioMasterAutomate) > 0; }));
    f.host.close();
    const auto calls = f.host.plugin->calls();
    EXPECT_GE(f.host.plugin->countCalls(vst::audioMasterBeginEdit), 1);
    expectTidyGestures(calls);
    f.host.window->release();
}

}  // namespace
}  // namespace hm::test

namespace hm::test {
namespace {

// The setup window through the plug-in at the large sizes: the tool bar's
// SETUP button opens it and closes it again with one click each, and its
// close box closes it; closed, the window shows the equaliser exactly as
// before, with nothing left behind.
TEST(SetupWindowInWindow, OneClickOpensAndOneClosesAtLargeAndHuge) {
    for (int size : {3, 4}) {
        SCOPED_TRACE(size);
        EditorHost host(size);
        ASSERT_TRUE(host.plugin);
        ASSERT_TRUE(host.open());
        Picture plain;
        ASSERT_TRUE(host.idleUntil([&] {
            plain = host.capture();
            return differences(plain, snapshot(*host.plugin)) == 0;
        }));
        const int W = plain.width;
        const int setupX = W - 180, setupY = 12;  // the tool bar sits against the right edge
        const auto showsPlain = [&] { return differences(host.capture(), plain) == 0; };
        const auto showsSetup = [&] { return differences(host.capture(), plain) > 1000; };

        ASSERT_TRUE(host.window->click(setupX, setupY));
        ASSERT_TRUE(host.idleUntil(showsSetup)) << "the first click opens the setup window";
        ASSERT_TRUE(host.window->click(setupX, setupY));
        EXPECT_TRUE(host.idleUntil(showsPlain)) << "the second click closes it, leaving nothing behind";

        ASSERT_TRUE(host.window->click(setupX, setupY));
        ASSERT_TRUE(host.idleUntil(showsSetup));
        const int pageLeft = (W - 632) / 2;
        ASSERT_TRUE(host.window->click(pageLeft + 615, 25 + 12));  // the close box
        EXPECT_TRUE(host.idleUntil(showsPlain)) << "the close box closes it";
    }
}

}  // namespace
}  // namespace hm::test
