// libFuzzer target: layout texts as the editor reads them. The text is
// tokenized, every element's attributes are read the ways the builder and
// the views read them, menu items are split, and the tree is built into a
// headless frame and drawn.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "gui/draw/BitmapCache.h"
#include "gui/framework/CControl.h"
#include "gui/framework/CFrame.h"
#include "gui/layout/Attributes.h"
#include "gui/layout/LayoutBuilder.h"
#include "gui/layout/LayoutParser.h"
#include "gui/layout/TagNames.h"
#include "gui/views/RegisterViews.h"
#include "platform/HeadlessWindow.h"

namespace {

using namespace hm::gui;

void readAll(const LayoutElement* e) {
    static constexpr std::string_view kNames[] = {"x", "y", "width", "height", "tag", "alttag", "txt", "text",
                                                  "background", "style", "hide", "pagenumber", "heightofoneimage"};
    for (; e; e = e->next.get()) {
        for (std::string_view name : kNames) {
            (void)attributeInt(*e, name);
            (void)attributeHex(*e, name);
            (void)attributeBool(*e, name);
            if (auto v = findAttribute(*e, name)) (void)resolveTagName(*v);
        }
        for (const auto& [name, value] : e->attributes) (void)findAttribute(*e, name);
        (void)splitMenuItems(attributeString(*e, "txt"));
        readAll(e->firstChild.get());
    }
}

struct Silent : CControlListener {
    void valueChanged(CControl*) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const LayoutParseResult parsed = parseLayoutText(text);
    if (!parsed.root) return 0;
    readAll(parsed.root.get());

    // The skin cache lives across runs (decoding it every run would starve
    // the search) and is emptied when the process ends: the cache exists
    // before the exit handler is registered, so it outlives the handler.
    static const bool cacheFreedAtExit = [] {
        (void)getSkinBitmap(101);
        return std::atexit(clearSkinBitmaps) == 0;
    }();
    (void)cacheFreedAtExit;
    registerEditorViews();
    Silent listener;
    CFrame* frame = new CFrame(CRect(0, 0, 320, 240));
    frame->open(std::make_unique<hm::platform::HeadlessWindow>(), nullptr);
    buildLayout(parsed.root->firstChild.get(), frame, &listener);
    frame->invalidateAll();
    frame->updateDirty();
    frame->release();
    return 0;
}
