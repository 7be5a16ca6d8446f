#include "gui/views/bandStrips.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/BandMapping.h"
#include "dsp/VerdanseEQ.h"
#include "gui/controls/COptionMenu.h"
#include "gui/controls/MenuPopup.h"
#include "gui/draw/BitmapCache.h"
#include "gui/draw/SkinIds.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/CEQKnob.h"
#include "gui/views/CEQText.h"
#include "gui/views/CTypeButton.h"
#include "gui/views/ViewValues.h"
#include "gui/views/ParameterText.h"
#include "gui/views/ScrollBarPaint.h"
#include "gui/views/nGroupMenu.h"
#include "gui/views/nPFMenu.h"
#include "gui/views/nStripBack.h"
#include "gui/views/nStripLabels.h"

namespace hm::gui {

namespace {
constexpr Rgb kCaptionColour = 0xA6A6A6;  // (166, 166, 166)
constexpr float kNumberSize = 18.f;
constexpr float kCaptionSize = 12.f;
constexpr int kSortItem = 0;

CTextLabel* caption(const CRect& r, const char* text, float pixels) {
    auto* label = new CTextLabel(r, text, nullptr, kNoFrame);
    label->setTransparency(true);
    label->setFontSize(pixels);
    label->setFontColor(kCaptionColour);
    label->setHoriAlign(TextAlign::kCentre);
    label->setTextInset(0);
    return label;
}
}  // namespace

bandStrips::bandStrips(const CRect& rect, int t, CControlListener* listener)
    : nPage(rect, t, 0), listener_(listener), reporter_(new CControl(CRect(), listener, -1)),
      sortMenu_(new COptionMenu(CRect(), nullptr, -1)) {
    setBackgroundColor(kBackground);
    sortMenu_->addEntry("Sort by frequency");
}

bandStrips::~bandStrips() {
    sortPopup_.reset();
    sortMenu_->release();
    reporter_->release();
}

bool bandStrips::removed(CView* parent) {
    sortPopup_.reset();
    return nPage::removed(parent);
}

void bandStrips::tellEditor(int tag, float value) { reportUnderTag(reporter_, tag, value); }

void bandStrips::orderBands(int (&order)[32], int count) {
    const auto active = [this](int b) { return currentParameterValue(listener_, bandParam(b, kBandState)) != 0.f; };
    bool seen[kNumBands] = {};
    shown_.clear();
    for (int i = 0; i < std::clamp(count, 0, kNumBands); ++i) {
        const int b = order[i];
        if (b < 0 || b >= kNumBands || seen[b] || !active(b)) continue;
        seen[b] = true;
        shown_.push_back(b);
    }
    for (int b = 0; b < kNumBands; ++b)
        if (!seen[b] && active(b)) shown_.push_back(b);
    if (resort_) {
        resort_ = false;
        std::stable_sort(shown_.begin(), shown_.end(), [this](int a, int b) {
            return currentParameterValue(listener_, bandParam(a, kBandFrequency)) <
                   currentParameterValue(listener_, bandParam(b, kBandFrequency));
        });
    }
}

int bandStrips::rebuild(int (&order)[32], int count, int layoutFlags) {
    sortPopup_.reset();
    selecting_ = false;
    draggingBar_ = false;
    flags_ = stripFlagsFrom(layoutFlags);
    orderBands(order, count);
    removeAll(true);
    strips_.clear();
    offset_ = 0;

    const int areaHeight = size.height();
    for (int i = 0; i < static_cast<int>(shown_.size()); ++i) buildStrip(shown_[static_cast<std::size_t>(i)], i, areaHeight);
    int common = 0;
    for (const Strip& s : strips_) common = std::max(common, s.back->getCommonHeight());
    for (const Strip& s : strips_) s.back->setCommonHeight(common);
    contentWidth_ = strips_.empty() ? labelsWidth() : strips_.back().back->getViewSize().right + kStripContentMargin;
    if (flags_.labels)
        addView(new nStripLabels(CRect(0, 0, kStripWidth, areaHeight - kStripScrollBar), flags_, kBackground));
    setScroll(scroll_);

    for (int i = 0; i < kNumBands; ++i) order[i] = i < static_cast<int>(shown_.size()) ? shown_[static_cast<std::size_t>(i)] : -1;
    setDirty(true);
    return static_cast<int>(shown_.size());
}

void bandStrips::buildStrip(int band, int index, int areaHeight) {
    const auto value = [this](int tag) { return currentParameterValue(listener_, tag); };
    const auto whole = [&](int tag) { return static_cast<int>(baseRealValue(tag, value(tag))); };
    const int type = std::clamp(whole(bandParam(band, kBandType)), 1, 6);
    const int subtype = std::max(0, whole(bandParam(band, kBandSubtype)) - 1);
    const int engineType = engineBandType(type);
    const int mask = dsp::controlMaskFor(engineType, subtype);
    const StripPlacement p = placeStrip(flags_, stripLeft(flags_, index), areaHeight, mask);

    Strip strip{band, new nStripBack(p.back, band, flags_.text, flags_.number), {}};
    strip.back->setCommonHeight(p.bottom);
    const auto add = [&](CView* v) {
        addView(v);
        strip.views.push_back(v);
    };
    add(strip.back);
    if (flags_.number) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", band + 1);
        add(caption(p.number, text, kNumberSize));
    }
    auto* bypass = new CBypassButton(p.typeButton, listener_, band);
    bypass->setValue(value(bypass->getTag()));
    add(bypass);
    auto* typeButton = new CTypeButton(p.typeButton, listener_, band, bypass);
    typeButton->setValue(value(typeButton->getTag()));
    typeButton->setControlMask(mask);
    typeButton->setSubtypeMenu(flags_.subtypeMenu);
    add(typeButton);
    if (flags_.subtype) {
        auto* menu = new nPFMenu(p.subtypeMenu, listener_, band, type);
        menu->setValue(static_cast<float>(subtype));
        add(menu);
    }
    if (flags_.groups) {
        auto* menu = new nGroupMenu(p.groupMenu, listener_, band);
        menu->setValue(static_cast<float>(whole(menu->getTag())));
        add(menu);
    }
    for (const StripRow& row : p.rows) {
        if (!row.built) continue;
        const int tag = bandParam(band, row.field);
        if (flags_.text) {
            strip.back->addWell(row.text);
        } else {
            strip.back->addWell(row.well);
            auto* knob = new CEQKnob(row.knob, listener_, tag, band);
            knob->setValue(value(tag));
            add(knob);
        }
        auto* text = new CEQText(row.text, listener_, tag, band, skin::kFontSmall);
        text->setValue(value(tag));
        add(text);
    }
    if (!p.caption.isEmpty()) {
        const char* label = p.slopeRow ? "SLOPE" : dsp::shiftLabelFor(engineType, subtype);
        add(caption(p.caption, label ? label : "", kCaptionSize));
    }
    strips_.push_back(std::move(strip));
}

nStripBack* bandStrips::stripBack(int band) const {
    for (const Strip& s : strips_)
        if (s.band == band) return s.back;
    return nullptr;
}

void bandStrips::moveStrips(int dx) {
    if (dx == 0) return;
    for (const Strip& s : strips_)
        for (CView* v : s.views) {
            CRect r = v->getViewSize();
            r.offset(dx, 0);
            v->setViewSize(r, false);
        }
    setDirty(true);
}

void bandStrips::setScroll(float position) {
    if (!std::isfinite(position)) return;
    const int over = std::max(0, contentWidth_ - size.width());
    scroll_ = over > 0 ? std::clamp(position, 0.f, 1.f) : 0.f;
    const int target = static_cast<int>(std::lround(scroll_ * static_cast<float>(over)));
    moveStrips(offset_ - target);
    offset_ = target;
}

CRect bandStrips::barRect() const { return CRect(size.left, size.bottom - kStripScrollBar, size.right, size.bottom); }

void bandStrips::drawRect(CDrawContext* context, const CRect& updateRect) {
    nPage::drawRect(context, updateRect);
    if (hidden) return;
    const ViewClip clip(*context, updateRect, size);
    if (clip.isEmpty()) return;
    if (selecting_ && !box_.isEmpty()) {
        CRect box = box_;
        box.offset(size.left, size.top);
        context->fillRect(box, 0xFFFFFF, 0.15f);
        context->frameRect(box, 0xFFFFFF, 0.8f);
    }
    if (overflowing()) drawScrollBar(*context, barRect(), true, scroll_, size.width(), contentWidth_, 12);
}

void bandStrips::scrollFromPointer(const CPoint& where) {
    const int span = size.width() - 8;
    if (span > 0) setScroll(static_cast<float>(where.x - size.left - 4) / static_cast<float>(span));
}

void bandStrips::updateSelection(bool adding) {
    std::uint32_t now = adding ? selectedBefore_ : 0u;
    for (const Strip& s : strips_) {
        CRect back = s.back->getViewSize();
        back.left = std::max(back.left, labelsWidth());  // what hides under the labels is not touched
        if (back.rectOverlap(box_)) now |= 1u << s.band;
    }
    for (const Strip& s : strips_) {
        const std::uint32_t bit = 1u << s.band;
        if ((now & bit) != (boxSelection_ & bit)) tellEditor(kGUISelectedBand + s.band, (now & bit) ? 1.f : 0.f);
    }
    boxSelection_ = now;
}

void bandStrips::openSortMenu() {
    CFrame* frame = getFrame();
    if (!frame) return;
    CPoint at;
    if (!frame->getCurrentMouseLocation(at)) at = getFrameRect().topLeft();
    sortPopup_ = std::make_unique<MenuPopup>(frame, sortMenu_, at, 0, [this](COptionMenu* menu, int index) {
        if (menu != sortMenu_ || index != kSortItem) return;
        requestResort();
        tellEditor(kGUIPleaseRebuildStrips, 1.f);
    });
    if (!sortPopup_->isOpen()) sortPopup_.reset();
}

CMouseEventResult bandStrips::onMouseDown(CPoint& where, const int& buttons) {
    if (hidden) return kMouseEventNotHandled;
    if ((buttons & kLButton) && overflowing() && barRect().pointInside(where)) {
        draggingBar_ = true;
        scrollFromPointer(where);
        return kMouseEventHandled;
    }
    if (nPage::onMouseDown(where, buttons) == kMouseEventHandled) return kMouseEventHandled;
    if (!size.pointInside(where) || (buttons & kApple)) return kMouseEventNotHandled;
    if (buttons & kRButton) {
        openSortMenu();
        return kMouseEventHandled;
    }
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    selecting_ = true;
    boxStart_ = CPoint(where.x - size.left, where.y - size.top);
    box_ = CRect(boxStart_.x, boxStart_.y, boxStart_.x + 1, boxStart_.y + 1);
    selectedBefore_ = 0;
    for (const Strip& s : strips_)
        if (s.back->isSelected()) selectedBefore_ |= 1u << s.band;
    boxSelection_ = selectedBefore_;
    updateSelection((buttons & kShift) != 0);
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult bandStrips::onMouseMoved(CPoint& where, const int& buttons) {
    if (draggingBar_) {
        if (buttons & kLButton) scrollFromPointer(where);
        return kMouseEventHandled;
    }
    if (selecting_) {
        const CPoint p(where.x - size.left, where.y - size.top);
        box_ = CRect(std::min(p.x, boxStart_.x), std::min(p.y, boxStart_.y), std::max(p.x, boxStart_.x) + 1,
                     std::max(p.y, boxStart_.y) + 1);
        updateSelection((buttons & kShift) != 0);
        setDirty(true);
        return kMouseEventHandled;
    }
    return nPage::onMouseMoved(where, buttons);
}

CMouseEventResult bandStrips::onMouseUp(CPoint& where, const int& buttons) {
    if (draggingBar_ || selecting_) {
        draggingBar_ = false;
        selecting_ = false;
        setDirty(true);
        return kMouseEventHandled;
    }
    return nPage::onMouseUp(where, buttons);
}

bool bandStrips::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance, const int& buttons) {
    if (hidden || !std::isfinite(distance)) return false;
    const bool overLabels = flags_.labels && where.x - size.left < kStripWidth;
    if (!overLabels && nPage::onWheel(where, axis, distance, buttons)) return true;
    if (!overflowing()) return false;
    setScroll(scroll_ - kWheelStep * distance);
    return true;
}

void bandStrips::setViewSize(const CRect& rect, bool invalidate) {
    const int dy = rect.height() - size.height();
    // Measure and move unscrolled; the strip backs follow the new height.
    moveStrips(offset_);
    offset_ = 0;
    nPage::setViewSize(rect, invalidate);
    if (dy != 0)
        for (const Strip& s : strips_) {
            CRect r = s.back->getViewSize();
            r.bottom += dy;
            s.back->setViewSize(r, false);
        }
    for (CView* v : children_)
        if (v->isTypeOf("nStripLabels")) {
            CRect r = v->getViewSize();
            r.bottom = rect.height() - kStripScrollBar;
            v->setViewSize(r, false);
        }
    setScroll(scroll_);
}

bool bandStrips::isTypeOf(const char* className) const {
    return std::strcmp(className, "bandStrips") == 0 || nPage::isTypeOf(className);
}

namespace {
CView* makeBandStrips(const ViewRequest& r) { return new bandStrips(r.rect, r.tag, r.listener); }
}  // namespace

void registerBandStrips() {
    registerViewClass("BandStrips", makeBandStrips);
}

}  // namespace hm::gui
