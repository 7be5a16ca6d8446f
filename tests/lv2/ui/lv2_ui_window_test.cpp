// The LV2 UI in a real X server, loaded as LV2 hosts load it: the stereo
// plug-in through lilv, its UI found through lilv's UI query and its
// descriptor, opened into a host window with instance access, resize and
// touch, idled at a host's rate and turned with XTEST input.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <lilv/lilv.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "gui/editor/WindowSize.h"
#include "gui/views/StripLayout.h"
#include "lv2/Lv2Instance.h"
#include "lv2/PortModel.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tests/window/window_EditorHost.h"

// Last: its macros (None, Status) clash with names above.
#include <X11/Xlib.h>

namespace hm::test {
namespace {

constexpr const char* kStereo = "urn:corvanta:harmoniform:stereo";
constexpr int kBand = 5;
// The "BandStrips" page's defaults: subtype, groups, extra row and labels shown.
constexpr int kStripFlags = gui::kLayoutStrips | gui::kLayoutStripSubtype | gui::kLayoutStripGroups |
                            gui::kLayoutStripExtra | gui::kLayoutStripLabels | gui::kLayoutStripSubtypeMenu;

int gXErrors = 0;
int countXError(Display*, XErrorEvent*) {
    ++gXErrors;
    return 0;
}

struct UiEvent {
    bool touch;  // else a port write
    std::uint32_t port;
    bool grabbed;
    std::uint32_t size, format;
    float value;
};

// The host side of one UI: its window, the features it offers and what the UI did.
class UiHost {
public:
    ~UiHost() {
        close();
        if (uis_) lilv_uis_free(uis_);
    }

    bool open(lv2host::Plugin& plugin, host::HostVisual visual = host::HostVisual::Default) {
        const LilvUI* ui = x11Ui(plugin.plugin());
        if (!ui) return false;
        char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
        library_ = ::dlopen(path, RTLD_NOW);
        lilv_free(path);
        const auto entry = library_ ? reinterpret_cast<LV2UI_DescriptorFunction>(::dlsym(library_, "lv2ui_descriptor")) : nullptr;
        for (std::uint32_t i = 0; entry && (descriptor_ = entry(i)); ++i)
            if (std::strcmp(descriptor_->URI, lilv_node_as_uri(lilv_ui_get_uri(ui))) == 0) break;
        if (!descriptor_) return false;
        idle_ = static_cast<const LV2UI_Idle_Interface*>(descriptor_->extension_data(LV2_UI__idleInterface));
        std::string error;
        window = host::HostWindow::open(100, 100, "LV2 test host", error, visual);
        if (!window || !idle_) return false;
        window->waitMapped(2000);
        window->moveTo(1910, 1390);  // the pointer stays off the editor: hovering changes what controls show
        const LV2_Feature parent{LV2_UI__parent, window->handle()};
        const LV2_Feature access{LV2_INSTANCE_ACCESS_URI, plugin.handle()};
        const LV2_Feature resize{LV2_UI__resize, &resize_};
        const LV2_Feature touch{LV2_UI__touch, &touch_};
        const LV2_Feature* features[] = {&parent, &access, &resize, &touch, nullptr};
        handle_ = descriptor_->instantiate(descriptor_, kStereo, "", &UiHost::write, this, &widget, features);
        return handle_ != nullptr;
    }

    // The host telling the UI what a control port holds now.
    void portEvent(std::uint32_t port, float value) { descriptor_->port_event(handle_, port, sizeof(float), 0, &value); }

    void close() {
        if (handle_) descriptor_->cleanup(handle_);
        handle_ = nullptr;
    }

    // Idle calls at a host's rate until `done` holds (false after the timeout).
    template <class F>
    bool idleUntil(F done, int timeoutMs = 5000) {
        return idleStepsUntil([&] {
            window->pump();
            idle_->idle(handle_);
        }, done, timeoutMs);
    }

    std::unique_ptr<host::HostWindow> window;
    LV2UI_Widget widget = nullptr;
    std::vector<UiEvent> events;
    std::vector<std::pair<int, int>> sizes;

private:
    const LilvUI* x11Ui(const LilvPlugin* plugin) {
        uis_ = lilv_plugin_get_uis(plugin);
        LilvNode* x11 = lilv_new_uri(lv2host::World::get().world, LV2_UI__X11UI);
        const LilvUI* found = nullptr;
        LILV_FOREACH(uis, i, uis_)
            if (lilv_ui_is_a(lilv_uis_get(uis_, i), x11)) found = lilv_uis_get(uis_, i);
        lilv_node_free(x11);
        return found;
    }
    static void write(LV2UI_Controller c, std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
        float value = NAN;
        if (size == sizeof(float)) std::memcpy(&value, buffer, sizeof(value));
        static_cast<UiHost*>(c)->events.push_back({false, port, false, size, format, value});
    }
    static int resized(LV2UI_Feature_Handle h, int width, int height) {
        auto* self = static_cast<UiHost*>(h);
        self->sizes.push_back({width, height});
        self->window->resize(width, height);
        return 0;
    }
    static void touched(LV2UI_Feature_Handle h, std::uint32_t port, bool grabbed) {
        static_cast<UiHost*>(h)->events.push_back({true, port, grabbed, 0, 0, 0.0f});
    }

    LilvUIs* uis_ = nullptr;
    void* library_ = nullptr;  // the plug-in's own library: lilv keeps it loaded
    const LV2UI_Descriptor* descriptor_ = nullptr;
    const LV2UI_Idle_Interface* idle_ = nullptr;
    LV2UI_Handle handle_ = nullptr;
    LV2UI_Resize resize_{this, &UiHost::resized};
    LV2UI_Touch touch_{this, &UiHost::touched};
};

// Touch on, at least one write, touch off for `port`, in that order; the writes
// inside, or nothing when writes for the port fall outside a touch.
std::vector<UiEvent> writesInsideTouch(const std::vector<UiEvent>& events, std::uint32_t port) {
    std::vector<UiEvent> writes;
    int stage = 0;
    for (const UiEvent& e : events) {
        if (e.port != port) continue;
        if (e.touch && e.grabbed && stage == 0) stage = 1;
        else if (!e.touch && stage >= 1) stage = 2, writes.push_back(e);
        else if (e.touch && !e.grabbed && stage == 2) return writes;
        else return {};
    }
    return {};
}

// New instances load the user's default bank: here the band on and its strip
// showing knobs, so the UI opens on a knob of that band.
Picture writeDefaultBankWithKnobStrip() {
    auto vst = makeInstance();
    EXPECT_TRUE(vst);
    if (!vst) return {};
    std::string error;
    EXPECT_TRUE(tool::setEditorPreference(*vst, "Layout", "BandStrips", 2, error)) << error;  // "Knobs"
    vst->setParameter(bandParam(kBand, kBandState), 1.f);
    void* data = nullptr;
    const auto bytes = vst->dispatch(vst::effGetChunk, 0, 0, &data);
    EXPECT_TRUE(data && bytes > 0);
    EXPECT_TRUE(platform::createFolders(platform::defaultBankFolder()));
    EXPECT_TRUE(platform::writeFileAtomically(defaultBankPath(), std::string_view(static_cast<const char*>(data), bytes)));
    return snapshot(*vst);
}

TEST(Lv2UiWindow, TurningABandKnobWritesItsPortInsideATouchAndTheNextRunKeepsTheEdit) {
    XSetErrorHandler(&countXError);
    const Picture expected = writeDefaultBankWithKnobStrip();
    ASSERT_GT(expected.width, 500);
    auto plugin = lv2host::Plugin::create(kStereo, 48000.0, 256);  // the rate of the VST picture
    ASSERT_TRUE(plugin);
    plugin->activate();
    vst::AEffect* effect = static_cast<lv2::Lv2Instance*>(plugin->handle())->effect();
    const int gain = bandParam(kBand, kBandGain);
    ASSERT_EQ(effect->getParameter(effect, bandParam(kBand, kBandState)), 1.f) << "the default bank did not load";

    UiHost host;
    ASSERT_TRUE(host.open(*plugin));
    ASSERT_TRUE(host.widget);
    EXPECT_NE(host.widget, host.window->handle()) << "the widget is the editor's own window";
    ASSERT_FALSE(host.sizes.empty());
    EXPECT_EQ(host.sizes.back(), std::make_pair(expected.width, expected.height));
    EXPECT_EQ(host.window->childCount(), 1);
    // The editor draws in its idle: what the VST editor shows for the same state.
    Picture shown;
    EXPECT_TRUE(host.idleUntil([&] {
        host.window->capture(shown.pixels, shown.width, shown.height);
        return differences(shown, expected) == 0;
    })) << differences(shown, expected) << " pixels differ";

    // The first strip's gain knob (as the strips' window test finds it).
    const int stripsTop = expected.width * 9 / 16 + gui::kKeyboardHeight;
    const gui::StripPlacement p = gui::placeStrip(gui::stripFlagsFrom(kStripFlags), gui::kStripWidth,
                                                  expected.height - stripsTop, 1 | 2 | 4 | 8);
    const int x = (p.rows[0].knob.left + p.rows[0].knob.right) / 2;
    const int y = stripsTop + (p.rows[0].knob.top + p.rows[0].knob.bottom) / 2;
    host.events.clear();
    ASSERT_TRUE(host.window->press(x, y));
    host.idleUntil([] { return false; }, 100);
    ASSERT_TRUE(host.window->moveTo(x, y - 30));
    host.idleUntil([] { return false; }, 100);
    // The UI's writes trail the knob: a run that finds an earlier write in the
    // port after the knob moved on must not take the newer edit back.
    float earlier = 0.f;
    ASSERT_TRUE(host.idleUntil([&] {
        for (const UiEvent& e : host.events)
            if (!e.touch && e.port == static_cast<std::uint32_t>(gain)) earlier = e.value;
        return earlier != 0.f;
    }));
    ASSERT_TRUE(host.window->moveTo(x, y - 40));
    const float before = effect->getParameter(effect, gain);
    float moved = before;
    EXPECT_TRUE(host.idleUntil([&] { return (moved = effect->getParameter(effect, gain)) != before; }));
    ASSERT_TRUE(plugin->setPort(static_cast<std::uint32_t>(gain), earlier));
    plugin->run(lv2host::Channels(2, std::vector<float>(256, 0.1f)), 256);
    EXPECT_EQ(effect->getParameter(effect, gain), moved) << "an earlier write undid the knob's newer edit";
    ASSERT_TRUE(host.window->release());
    std::vector<UiEvent> writes;
    EXPECT_TRUE(host.idleUntil([&] { return !(writes = writesInsideTouch(host.events, gain)).empty(); }));
    ASSERT_FALSE(writes.empty());
    for (const UiEvent& w : writes) {
        EXPECT_EQ(w.format, 0u);
        EXPECT_EQ(w.size, sizeof(float));
        EXPECT_GE(w.value, -lv2::kBandGainRangeDb);
        EXPECT_LE(w.value, lv2::kBandGainRangeDb);
    }
    // One drag is one touch: grabbed once, released once.
    int grabs = 0, releases = 0;
    for (const UiEvent& e : host.events)
        if (e.touch && e.port == static_cast<std::uint32_t>(gain)) (e.grabbed ? grabs : releases) += 1;
    EXPECT_EQ(grabs, 1);
    EXPECT_EQ(releases, 1);
    const float edited = effect->getParameter(effect, gain);
    EXPECT_GT(edited, 0.55f) << "dragged up: more gain";
    EXPECT_GT(writes.back().value, 1.0f) << "the port in dB";

    // The host hands the written value to the port; the next run keeps the edit.
    ASSERT_TRUE(plugin->setPort(static_cast<std::uint32_t>(gain), writes.back().value));
    plugin->run(lv2host::Channels(2, std::vector<float>(256, 0.1f)), 256);
    EXPECT_EQ(effect->getParameter(effect, gain), edited);

    host.close();
    host.window->sync();
    EXPECT_EQ(host.window->childCount(), 0) << "the editor's window stays behind";
    EXPECT_EQ(gXErrors, 0);
}

TEST(Lv2UiWindow, OpensInHostWindowsOfEveryVisual) {
    // Hosts whose windows use another visual than the screen's default (another
    // 24-bit one, the 32-bit one of compositing toolkits) embed the UI as well:
    // it opens, shows the VST editor's picture and causes no X error.
    XSetErrorHandler(&countXError);
    gXErrors = 0;
    const Picture expected = writeDefaultBankWithKnobStrip();
    for (const host::HostVisual visual : {host::HostVisual::Default, host::HostVisual::Other24, host::HostVisual::Argb32}) {
        SCOPED_TRACE("host visual " + std::to_string(static_cast<int>(visual)));
        auto plugin = lv2host::Plugin::create(kStereo, 48000.0, 256);
        ASSERT_TRUE(plugin);
        plugin->activate();
        UiHost host;
        ASSERT_TRUE(host.open(*plugin, visual));
        Picture shown;
        EXPECT_TRUE(host.idleUntil([&] {
            host.window->capture(shown.pixels, shown.width, shown.height);
            return differences(shown, expected) == 0;
        })) << differences(shown, expected) << " pixels differ";
        host.close();
        host.window->sync();
    }
    EXPECT_EQ(gXErrors, 0);
}

// The last value the UI wrote to `port`, NaN when it wrote none.
float lastWrite(const std::vector<UiEvent>& events, std::uint32_t port) {
    float value = NAN;
    for (const UiEvent& e : events)
        if (!e.touch && e.port == port) value = e.value;
    return value;
}

// What the instance changes itself (here an A/B switch) reaches the host as
// port writes while the UI is open, so the host shows and keeps what plays; a
// port the host changed is left to the next run, not written back.
TEST(Lv2UiWindow, AnABSwitchWritesTheNewSlotsValuesAndHostChangesAreNotWrittenBack) {
    XSetErrorHandler(&countXError);
    auto plugin = lv2host::Plugin::create(kStereo, 48000.0, 256);
    ASSERT_TRUE(plugin);
    plugin->activate();
    vst::AEffect* effect = static_cast<lv2::Lv2Instance*>(plugin->handle())->effect();
    const auto port = [](int index) { return static_cast<std::uint32_t>(index); };
    const int gain = bandParam(2, kBandGain), frequency = bandParam(2, kBandFrequency);
    const auto run = [&] { plugin->run(lv2host::Channels(2, std::vector<float>(256, 0.1f)), 256); };

    UiHost host;
    ASSERT_TRUE(host.open(*plugin));
    host.idleUntil([] { return false; }, 200);
    host.events.clear();

    // Slot B gets its own gain, then the host's A/B port goes back to A.
    const float slotAGain = effect->getParameter(effect, gain);
    effect->setParameter(effect, kABBank, 1.0f / kNumABSlots);
    effect->setParameter(effect, gain, 0.75f);  // +9 dB at the default Scale
    ASSERT_TRUE(host.idleUntil([&] { return lastWrite(host.events, port(gain)) == 9.0f; }));
    for (const UiEvent& e : host.events) plugin->setPort(e.port, e.value), host.portEvent(e.port, e.value);
    run();
    EXPECT_EQ(effect->getParameter(effect, gain), 0.75f) << "the host's ports keep slot B";
    host.events.clear();

    effect->setParameter(effect, kABBank, 0.0f);
    ASSERT_EQ(effect->getParameter(effect, gain), slotAGain);
    const float slotAPort = lv2::normalisedToPort(gain, slotAGain, lv2::portContextFrom(effect->getParameter(effect, kScale),
                                                                                      effect->getParameter(effect, kFShift)));
    ASSERT_TRUE(host.idleUntil([&] { return lastWrite(host.events, port(gain)) == slotAPort; }));
    EXPECT_EQ(lastWrite(host.events, port(kABBank)), 0.0f);
    for (const UiEvent& e : host.events) plugin->setPort(e.port, e.value), host.portEvent(e.port, e.value);
    run();
    EXPECT_EQ(effect->getParameter(effect, gain), slotAGain) << "the next run keeps slot A";

    // The host sets a port; until its next run the instance plays the old value,
    // and the UI must not write that back over the host's.
    host.events.clear();
    ASSERT_TRUE(plugin->setPort(port(frequency), 2000.0f));
    host.portEvent(port(frequency), 2000.0f);
    host.idleUntil([] { return false; }, 150);
    run();
    host.idleUntil([] { return false; }, 150);
    EXPECT_TRUE(std::isnan(lastWrite(host.events, port(frequency))));
    EXPECT_NEAR(lv2::normalisedToPort(frequency, effect->getParameter(effect, frequency), {}), 2000.0f, 0.5f);
    host.close();
    EXPECT_EQ(gXErrors, 0);
}

}  // namespace
}  // namespace hm::test
