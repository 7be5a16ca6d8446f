// The bundle library's UI export: one X11 UI for the three plug-ins, with the
// idle interface through which the host drives the editor.
#include <lv2/ui/ui.h>

#include <cstring>

#include "lv2/Lv2Ui.h"
#include "lv2/Variants.h"

namespace hm::lv2 {
namespace {

Lv2Ui* self(LV2UI_Handle handle) { return static_cast<Lv2Ui*>(handle); }

bool ourPlugin(const char* uri) {
    for (const Variant& v : kVariants)
        if (uri && std::strcmp(uri, v.uri) == 0) return true;
    return false;
}

// UI thread, as every call below.
LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!ourPlugin(pluginUri)) return nullptr;
    try {
        return Lv2Ui::create(write, controller, widget, features);
    } catch (...) {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) { delete self(handle); }

// Parameter ports from the host are not shown from here: the editor reads the
// running instance, which the wrapper has already given every port value the
// host sets (at the start of the next run), so it shows host automation at its
// own idle pass without a second path that could race the first. The UI only
// notes what the host's ports hold.
void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (format == 0 && size == sizeof(float) && buffer) {
        float value;
        std::memcpy(&value, buffer, sizeof(value));
        self(handle)->hostPortChanged(port, value);
    }
}

int idle(LV2UI_Handle handle) {
    try {
        return self(handle)->idle();
    } catch (...) {
        return 0;
    }
}

const LV2UI_Idle_Interface kIdle = {idle};

const void* extensionData(const char* uri) { return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdle : nullptr; }

const LV2UI_Descriptor kUi = {kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace
}  // namespace hm::lv2

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &hm::lv2::kUi : nullptr;
}
