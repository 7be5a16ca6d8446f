#include "gui/views/ButtonViews.h"

#include <cstring>

#include "gui/draw/CBitmap.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"

namespace hm::gui {

namespace {
constexpr int kDisabledOpacity = 90;  // of 255
bool leftClick(int buttons) { return (buttons & kLButton) && !(buttons & kApple); }
}  // namespace

CMouseEventResult CMovieButton4::onMouseDown(CPoint&, const int& buttons) {
    if (!leftClick(buttons)) return kMouseEventNotHandled;
    beginEdit();
    value = value >= vmax ? vmin : vmax;
    setDirty(true);
    valueChangedNotify();
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CMovieButton4::onMouseMoved(CPoint&, const int&) { return kMouseEventHandled; }

CMouseEventResult CMovieButton4::onMouseUp(CPoint&, const int&) { return kMouseEventHandled; }

bool CMovieButton4::isTypeOf(const char* className) const {
    return std::strcmp(className, "CMovieButton4") == 0 || CMovieButton::isTypeOf(className);
}

void nKickButton2::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    setDirty(true);
}

void nKickButton2::draw(CDrawContext* context) {
    if (enabled_ || !background_) {
        CKickButton::draw(context);
        return;
    }
    background_->drawAlphaBlend(*context, size, offset_, kDisabledOpacity);
    setDirty(false);
}

CMouseEventResult nKickButton2::onMouseDown(CPoint& where, const int& buttons) {
    if (!enabled_) return kMouseEventNotHandled;
    return CKickButton::onMouseDown(where, buttons);
}

bool nKickButton2::isTypeOf(const char* className) const {
    return std::strcmp(className, "nKickButton2") == 0 || CKickButton::isTypeOf(className);
}

void SpecialArrows::setOpen(bool open) {
    if (open == open_) return;
    open_ = open;
    setDirty(true);
}

void SpecialArrows::draw(CDrawContext* context) {
    drawFilmFrame(context, background_, size, offset_, open_ ? 1 : 0, heightOfOneImage_);
    setDirty(false);
}

CMouseEventResult SpecialArrows::onMouseDown(CPoint& where, const int& buttons) {
    const CMouseEventResult result = CKickButton::onMouseDown(where, buttons);
    if (result == kMouseEventHandled) setOpen(!open_);
    return result;
}

bool SpecialArrows::isTypeOf(const char* className) const {
    return std::strcmp(className, "SpecialArrows") == 0 || CKickButton::isTypeOf(className);
}

namespace {

// Frame height from `heightOfOneImage`, else the element's height.
int frameHeight(const ViewRequest& r) {
    const int h = r.integer("heightofoneimage");
    return h > 0 ? h : r.rect.height();
}

template <class Button>
CView* makeButton(const ViewRequest& r) {
    return new Button(r.rect, r.listener, r.tag, frameHeight(r), r.bitmap("background"), r.offset);
}

}  // namespace

void registerButtonViews() {
    registerViewClass("CMovieButton3", makeButton<CMovieButton>);
    registerViewClass("CMovieButton4", makeButton<CMovieButton4>);
    registerViewClass("nKickButton2", makeButton<nKickButton2>);
    registerViewClass("SpecialArrows", makeButton<SpecialArrows>);
}

}  // namespace hm::gui
