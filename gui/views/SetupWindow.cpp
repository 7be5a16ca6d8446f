#include "gui/views/SetupWindow.h"

#include <cmath>
#include <cstring>

#include "core/params/ParamIds.h"
#include "gui/draw/Fonts.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

namespace {
constexpr Rgb kGrey = 0x808080;       // (128, 128, 128)
constexpr Rgb kDivider = 0x1A1A1A;    // (26, 26, 26)
constexpr Rgb kPageRow = 0x87A7BF;    // (135, 167, 191)
constexpr float kGreyOpacity = 0.51f;
constexpr float kPageOpacity = 0.5f;
constexpr float kTextSize = 15.f;
}  // namespace

SetupWindow::SetupWindow(const CRect& rect, CControlListener* l, int t) : CControl(rect, l, t) {
    setMax(static_cast<float>(kPageCount - 1));
}

int SetupWindow::selectedPage() const { return static_cast<int>(std::lround(value)); }

void SetupWindow::draw(CDrawContext* context) {
    const int selected = selectedPage();
    // Row by row: one colour per pixel line, chosen by the 25-pixel row and the
    // line within it.
    const int wizardTop = size.height() - kRowHeight;
    for (int y = 0; y < size.height(); ++y) {
        const int r = y / kRowHeight, c = y % kRowHeight;
        const int line = size.top + y;
        if (r == 0) {
            context->drawHLine(size.left, size.right - 1, line, kGrey, kGreyOpacity);
        } else if (r <= kPageCount) {
            if (c == 0) {
                context->drawHLine(size.left, size.right - 1, line, kDivider);
            } else if (r - 1 != selected) {
                context->drawHLine(size.left, size.right - 1, line, kPageRow, kPageOpacity);
            }
        } else if (y == (kPageCount + 1) * kRowHeight) {
            context->drawHLine(size.left, size.right - 1, line, kDivider);
        } else {
            context->drawHLine(size.left, size.right - 1, line, kGrey, kGreyOpacity);
        }
    }
    const TrueTypeFont& font = TrueTypeFont::futura();
    for (int p = 0; p < kPageCount; ++p) {
        const int top = size.top + (p + 1) * kRowHeight;
        font.drawInRect(*context, CRect(size.left + 10, top + 1, size.right - 4, top + kRowHeight), kPageNames[p],
                        kTextSize, 0xFFFFFF);
    }
    font.drawInRect(*context, CRect(size.left + 10, size.top + wizardTop + 1, size.right - 4, size.bottom),
                    "Setup Wizard...", kTextSize, 0xFFFFFF);
    setDirty(false);
}

void SetupWindow::select(int page) {
    beginEdit();
    value = static_cast<float>(page);
    setDirty(true);
    valueChangedNotify();
    endEdit();
}

void SetupWindow::selectLastPage() { select(kPageCount - 1); }

CMouseEventResult SetupWindow::onMouseDown(CPoint& where, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple) || !size.pointInside(where)) return kMouseEventNotHandled;
    const int y = where.y - size.top;
    if (y >= size.height() - kRowHeight) {
        reportUnderTag(this, kGUIWizardOpen, 1.f);
        return kMouseEventHandled;
    }
    const int b = y / kRowHeight - 1;
    if (b >= 0 && b < kPageCount) select(b);
    return kMouseEventHandled;
}

CMouseEventResult SetupWindow::onMouseUp(CPoint&, const int&) { return kMouseEventHandled; }

bool SetupWindow::isTypeOf(const char* className) const {
    return std::strcmp(className, "SetupWindow") == 0 || CControl::isTypeOf(className);
}

namespace {
CView* makeSetupWindow(const ViewRequest& r) { return new SetupWindow(r.rect, r.listener, r.tag); }
}  // namespace

void registerSetupWindow() { registerViewClass("SetupWindow", makeSetupWindow); }

}  // namespace hm::gui
