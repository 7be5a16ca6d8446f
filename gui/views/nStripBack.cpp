#include "gui/views/nStripBack.h"

#include <algorithm>
#include <cstring>

#include "core/params/ParamIds.h"
#include "gui/draw/BitmapCache.h"
#include "gui/draw/SkinIds.h"

namespace hm::gui {

namespace {
// The body picture keeps its top and bottom rows and repeats its middle.
constexpr int kBodyCap = 40;
constexpr int kBodyMargin = 3;  // below the lowest control
constexpr Rgb kSelectedEdge = 0x3DB2E8;
constexpr float kSelectedEdgeOpacity = 0.55f;
}  // namespace

nStripBack::nStripBack(const CRect& rect, int band, bool textMode, bool numberHeader)
    : CControl(rect, nullptr, kGUISelectedBand + band), band_(band), textMode_(textMode),
      numberHeader_(numberHeader), commonHeight_(rect.bottom) {
    vmin = 0.f;
    vmax = 1.f;
}

void nStripBack::setCommonHeight(int bottom) {
    if (bottom == commonHeight_) return;
    commonHeight_ = bottom;
    setDirty(true);
}

void nStripBack::setViewSize(const CRect& rect, bool invalidate) {
    // The wells travel with the strip when the container scrolls it.
    const int dx = rect.left - size.left, dy = rect.top - size.top;
    for (CRect& w : wells_) w.offset(dx, dy);
    commonHeight_ += dy;
    CControl::setViewSize(rect, invalidate);
}

void nStripBack::drawBody(CDrawContext* context, const CRect& body) const {
    const CBitmap* bitmap = getSkinBitmap(isSelected() ? skin::kStripBodySelected : skin::kStripBody);
    if (!bitmap) {
        context->fillRect(body, isSelected() ? 0x2A3038 : 0x1E2126);
        return;
    }
    const int h = body.height(), w = std::min(body.width(), bitmap->getWidth());
    const int cap = std::min(kBodyCap, h / 2);
    const int middleRows = bitmap->getHeight() - 2 * kBodyCap;
    bitmap->draw(*context, CRect::fromSize(body.left, body.top, w, cap), CPoint(0, 0));
    for (int y = body.top + cap; y < body.bottom - cap;) {
        const int rows = std::min(middleRows, body.bottom - cap - y);
        bitmap->draw(*context, CRect::fromSize(body.left, y, w, rows), CPoint(0, kBodyCap));
        y += rows;
    }
    bitmap->draw(*context, CRect::fromSize(body.left, body.bottom - cap, w, cap),
                 CPoint(0, bitmap->getHeight() - cap));
}

void nStripBack::draw(CDrawContext* context) {
    CRect body = size;
    body.bottom = std::min(size.bottom, commonHeight_ + kBodyMargin);
    if (!body.isEmpty()) drawBody(context, body);
    // The selected band's strip also gets an edge in the accent colour: the
    // lighter body alone is hard to see between its neighbours.
    if (isSelected() && !body.isEmpty()) context->frameRect(body, kSelectedEdge, kSelectedEdgeOpacity);
    if (numberHeader_)
        if (const CBitmap* header = getSkinBitmap(skin::kStripHeader))
            header->draw(*context, CRect::fromSize(size.left, size.top, header->getWidth(), header->getHeight()));
    if (textMode_) {
        const CBitmap* field = getSkinBitmap(skin::kStripMenuBack);
        const CBitmap* frame = getSkinBitmap(skin::kStripTextFrame);
        for (const CRect& w : wells_) {
            if (field) field->draw(*context, w);
            if (frame) frame->drawAlphaBlend(*context, w);
        }
    } else if (const CBitmap* well = getSkinBitmap(skin::kKnobWell)) {
        for (const CRect& w : wells_) well->drawAlphaBlend(*context, w);
    }
    setDirty(false);
}

CMouseEventResult nStripBack::onMouseDown(CPoint&, const int&) { return kMouseEventNotHandled; }

bool nStripBack::isTypeOf(const char* className) const {
    return std::strcmp(className, "nStripBack") == 0 || CControl::isTypeOf(className);
}

}  // namespace hm::gui
