#include "gui/views/RoutingMatrix.h"

#include <cmath>
#include <cstring>

#include "core/Plug.h"
#include "core/params/ParamIds.h"
#include "gui/controls/CParamDisplay.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/InstanceOf.h"
#include "gui/views/ParameterText.h"
#include "gui/views/PreferenceRows.h"

namespace hm::gui {

namespace {

constexpr Rgb kGridLine = 0x4A5058;
constexpr Rgb kRouted = 0xFF0000;     // (255, 0, 0)
constexpr Rgb kMidSide = 0x00FF00;    // (0, 255, 0)
constexpr float kCellOpacity = 128.f / 255.f;
constexpr float kTextSize = 15.f;
constexpr std::size_t kMaxName = 31;

}  // namespace

RoutingMatrix::RoutingMatrix(const CRect& rect, CControlListener* l, int t)
    : CControl(rect, l, t), plug_(instanceOf(l)), n_(plug_ ? plug_->getNumOutputs() : 0),
      edit_(new CTextEdit(CRect(), this, -1)) {
    edit_->setMaxLength(kMaxName);
    edit_->setFontSize(13.f);
}

RoutingMatrix::~RoutingMatrix() { edit_->release(); }

float RoutingMatrix::cellWidth() const { return static_cast<float>(size.width()) / static_cast<float>(n_ + 2); }

float RoutingMatrix::cellHeight() const {
    return static_cast<float>(size.height() - 1) / static_cast<float>(n_ + 1);
}

CRect RoutingMatrix::cellRect(int column, int row) const {
    const float w = cellWidth(), h = cellHeight();
    const auto at = [](float v) { return static_cast<int>(std::lround(v)); };
    return CRect(size.left + at(w * column), size.top + at(h * row), size.left + at(w * (column + 1)),
                 size.top + at(h * (row + 1)));
}

int RoutingMatrix::msBits() const {
    return plug_ ? static_cast<int>(std::lround(plug_->getParameterReal(kMsState))) & 15 : 0;
}

void RoutingMatrix::draw(CDrawContext* context) {
    if (!active()) {
        setDirty(false);
        return;
    }
    const int n = n_;
    const int ms = msBits();
    for (int g = 0; g < n; ++g) {
        const unsigned mask = plug_->channelGroupMask(g);
        for (int c = 0; c < n; ++c) {
            if (!((mask >> c) & 1u)) continue;
            CRect r = cellRect(g + 1, c + 1);
            r.inset(2, 2);
            context->fillRect(r, kRouted, kCellOpacity);
        }
    }
    for (int c = 0; c < n; ++c) {
        // Bit 3 of kMsState is the first pair.
        const int pair = c / 2;
        if (pair > 3 || !((ms >> (3 - pair)) & 1)) continue;
        CRect r = cellRect(n + 1, c + 1);
        r.inset(2, 2);
        context->fillRect(r, kMidSide, kCellOpacity);
    }
    // Grid lines between the cells and round the whole.
    for (int k = 0; k <= n + 2; ++k) {
        const int x = std::min(cellRect(k, 0).left, size.right - 1);
        context->drawVLine(x, size.top, size.bottom - 1, kGridLine);
    }
    for (int r = 0; r <= n + 1; ++r) {
        const int y = std::min(cellRect(0, r).top, size.bottom - 1);
        context->drawHLine(size.left, size.right - 1, y, kGridLine);
    }
    for (int c = 0; c < n; ++c) {
        CRect r = cellRect(0, c + 1);
        r.inset(3, 0);
        prefdraw::fittedText(*context, r, plug_->getChannelName(c), kTextSize, 0xFFFFFF);
    }
    for (int g = 0; g < n; ++g) {
        if (edit_->isEditing() && g == editGroup_) continue;
        CRect r = cellRect(g + 1, 0);
        r.inset(3, 0);
        prefdraw::fittedText(*context, r, plug_->groupName(g), kTextSize, 0xFFFFFF);
    }
    prefdraw::fittedText(*context, cellRect(n + 1, 0), "M/S", kTextSize, 0xFFFFFF);
    if (edit_->isEditing()) edit_->draw(context);
    setDirty(false);
}

void RoutingMatrix::endNameEdit() {
    if (!edit_->isEditing()) return;
    CFrame* frame = getFrame();
    if (frame && frame->getFocusView() == edit_) frame->setFocusView(nullptr);
    else edit_->looseFocus();
}

void RoutingMatrix::changed() {
    setDirty(true);
    valueChangedNotify();
}

CMouseEventResult RoutingMatrix::onMouseDown(CPoint& where, const int& buttons) {
    if (!active() || !size.pointInside(where)) return kMouseEventNotHandled;
    if (!(buttons & kLButton) || (buttons & kApple)) return kMouseEventNotHandled;
    endNameEdit();
    const float x = static_cast<float>(where.x - size.left), y = static_cast<float>(where.y - size.top);
    const int g = static_cast<int>(std::floor(x / cellWidth() - 1.f));
    const int c = static_cast<int>(std::floor(y / cellHeight() - 1.f));
    if (c == -1 && g >= 0 && g < n_) {
        editGroup_ = g;
        edit_->setViewSize(cellRect(g + 1, 0), false);
        edit_->setText(plug_->groupName(g).c_str());
        if (CFrame* frame = getFrame()) frame->setFocusView(edit_);
        else edit_->takeFocus();
        setDirty(true);
    } else if (g >= 0 && g < n_ && c >= 0 && c < n_) {
        plug_->setChannelGroupMask(g, static_cast<unsigned char>(plug_->channelGroupMask(g) ^ (1u << c)));
        changed();
    } else if (g == n_ && c >= 0 && c < n_ && c / 2 <= 3) {
        const int bits = msBits() ^ (1 << (3 - c / 2));
        const float normalised = static_cast<float>(plug_->realToNormalised(kMsState, bits));
        beginEditUnderTag(this, kMsState);
        reportUnderTag(this, kMsState, normalised);
        endEditUnderTag(this, kMsState);
        changed();
    }
    return kMouseEventHandled;
}

CMouseEventResult RoutingMatrix::onMouseUp(CPoint&, const int&) { return kMouseEventHandled; }

void RoutingMatrix::valueChanged(CControl* control) {
    if (control != edit_ || !plug_ || editGroup_ < 0 || editGroup_ >= n_) return;
    plug_->setGroupName(editGroup_, edit_->getText());
    changed();
}

bool RoutingMatrix::isDirty() const { return CControl::isDirty() || edit_->isDirty(); }

bool RoutingMatrix::attached(CView* parent) {
    // The name editor lives beside the grid so the frame can give it the keyboard.
    edit_->attached(parent);
    return CControl::attached(parent);
}

bool RoutingMatrix::removed(CView* parent) {
    if (CFrame* frame = getFrame(); frame && frame->getFocusView() == edit_) frame->setFocusView(nullptr);
    edit_->removed(parent);
    return CControl::removed(parent);
}

bool RoutingMatrix::isTypeOf(const char* className) const {
    return std::strcmp(className, "RoutingMatrix") == 0 || CControl::isTypeOf(className);
}

namespace {
CView* makeRoutingMatrix(const ViewRequest& r) { return new RoutingMatrix(r.rect, r.listener, r.tag); }
}  // namespace

void registerRoutingMatrix() { registerViewClass("RoutingMatrix", makeRoutingMatrix); }

}  // namespace hm::gui
