// The editor in host windows of other visuals than the screen's default: another
// 24-bit TrueColor visual, and the 32-bit visual with alpha that compositing hosts
// give their plug-in windows. The editor must open in each, show exactly its own
// picture, fully opaque, and cause no X error on the way.
#include "tests/window/window_EditorHost.h"

#include <atomic>

// After the test framework: Xlib's macros (None, Bool, ...) would clash with it.
#include <X11/Xlib.h>

namespace hm::test {
namespace {

// Counts X errors while it lives (the default handler would end the process).
class XErrorCount {
public:
    XErrorCount() : previous_(XSetErrorHandler(&XErrorCount::onError)) { count_ = 0; }
    ~XErrorCount() { XSetErrorHandler(previous_); }
    int count() const { return count_.load(); }

private:
    static int onError(Display*, XErrorEvent*) {
        count_.fetch_add(1);
        return 0;
    }
    static inline std::atomic<int> count_{0};
    XErrorHandler previous_;
};

TEST(EditorVisuals, OpensInParentsOfEveryVisualAndShowsItsPictureOpaque) {
    XErrorCount errors;
    for (const host::HostVisual visual : {host::HostVisual::Default, host::HostVisual::Other24, host::HostVisual::Argb32}) {
        SCOPED_TRACE("host visual " + std::to_string(static_cast<int>(visual)));
        EditorHost host;
        ASSERT_TRUE(host.plugin);
        host.visual = visual;
        const Picture expected = snapshot(*host.plugin);
        ASSERT_TRUE(host.open());
        Picture shown;
        const bool same = host.idleUntil([&] {
            shown = host.capture();
            return differences(shown, expected) == 0;
        });
        EXPECT_TRUE(same) << differences(shown, expected) << " pixels differ";
        if (visual == host::HostVisual::Argb32) {
            std::vector<std::uint32_t> words;
            int w = 0, h = 0;
            ASSERT_TRUE(host.window->captureWords(words, w, h));
            long seeThrough = 0;
            for (std::uint32_t p : words) seeThrough += (p >> 24) != 0xFF;
            EXPECT_EQ(seeThrough, 0) << "pixels not opaque";
        }
        host.close();
        host.window->sync();
    }
    EXPECT_EQ(errors.count(), 0);
}

}  // namespace
}  // namespace hm::test
