#include "gui/views/nVU.h"

#include <algorithm>
#include <cstring>

#include "gui/draw/CDIB.h"
#include "gui/editor/BandColour.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/MeterScale.h"

namespace hm::gui {

namespace {
constexpr Rgb kBack = makeRgb(24, 24, 24);
constexpr Rgb kLabel = makeRgb(97, 97, 97);
constexpr Rgb kDarkSegment = makeRgb(58, 58, 58);
constexpr Rgb kPeakColour = makeRgb(255, 0, 0);
constexpr int kBarWidth = 15;
}  // namespace

nVU::nVU(const CRect& rect, CControlListener* l, int t, int fontId) : CControl(rect, l, t), font_(fontId) {
    holdExpiry_ = meter::nowMs();
}

nVU::~nVU() {
    if (unlit_) unlit_->release();
    if (lit_) lit_->release();
}

bool nVU::isTypeOf(const char* className) const {
    return std::strcmp(className, "nVU") == 0 || CControl::isTypeOf(className);
}

void nVU::setViewSize(const CRect& rect, bool invalidate) {
    CControl::setViewSize(rect, invalidate);
    rebuild_ = true;
}

bool nVU::attached(CView* parent) {
    CControl::attached(parent);
    rebuild_ = true;
    return true;
}

bool nVU::raise(float& peak, float value) {
    if (!(value > peak)) return false;
    peak = value;
    holdExpiry_ = meter::nowMs() + kHoldMs;
    return true;
}

bool nVU::holdRunsOut() const {
    return peakMode() != kPeakClicked && (leftPeak_ != left_ || rightPeak_ != right_) && meter::nowMs() > holdExpiry_;
}

void nVU::setValues(int channels, float left, float right) {
    const int count = channels <= 1 ? 1 : 2;
    const float r = count == 1 ? left : right;
    bool changed = count != channels_ || left != left_ || r != right_;
    channels_ = count;
    left_ = left;
    right_ = r;
    changed = raise(leftPeak_, left_) || changed;
    changed = raise(rightPeak_, right_) || changed;
    // Unchanged levels draw nothing, unless a held peak is due to drop.
    if (changed || holdRunsOut()) setDirty();
}

void nVU::setChannelValue(int which, float value) {
    if (which == 0) setValues(channels_, value, right_);
    else setValues(channels_, left_, value);
}

void nVU::setMeterMode(int mode) {
    mode_ = mode & 15;
    labelOffset_ = meter::labelOffsetOf(scaleIndex());
    rebuild_ = true;
    setDirty();
}

void nVU::setLabelOffset(int db) {
    labelOffset_ = db;
    rebuild_ = true;
    setDirty();
}

std::string nVU::readoutText() const {
    const std::string l = meter::peakText(leftPeak_, labelOffset_);
    if (channels_ == 1) return l;
    return l + "  " + meter::peakText(rightPeak_, labelOffset_);
}

CMouseEventResult nVU::onMouseDown(CPoint&, const int& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    // A click clears the hold.
    leftPeak_ = left_;
    rightPeak_ = right_;
    setDirty();
    return kMouseEventHandled;
}

void nVU::rebuildScale(bool rightAligned, int barWidth, bool twoBars) {
    rebuild_ = false;
    const int W = std::max(1, getWidth()), H = std::max(1, getHeight());
    if (!unlit_ || unlit_->getWidth() != W || unlit_->getHeight() != H) {
        if (unlit_) unlit_->release();
        if (lit_) lit_->release();
        unlit_ = new CDIB(W, H);
        lit_ = new CDIB(W, H);
    }
    unlit_->resetClip();
    unlit_->clear(0xFF000000u | kBack);
    if (font_.valid()) {
        for (const meter::Label& label : meter::labels(H, scaleIndex(), labelOffset_)) {
            const int w = font_.measure(label.text);
            const int x = rightAligned ? W - w - 1 : (W - w) / 2;
            font_.draw(*unlit_, x, label.y, label.text, kLabel);
        }
    }
    lit_->resetClip();
    lit_->copyRect(*unlit_, CRect(0, 0, W, H), CPoint());
    for (int i = 3; i < H - 2; i += 2) {
        const Rgb hue = hueColour((i - 3) * 180.0 / std::max(1, H - 6));
        unlit_->drawHLine(0, barWidth - 1, i, kDarkSegment);
        lit_->drawHLine(0, barWidth - 1, i, hue);
        if (twoBars) {
            unlit_->drawHLine(W - barWidth, W - 1, i, kDarkSegment);
            lit_->drawHLine(W - barWidth, W - 1, i, hue);
        }
    }
}

void nVU::expireHold() {
    if (peakMode() != kPeakClicked && meter::nowMs() > holdExpiry_) {
        leftPeak_ = left_;
        rightPeak_ = right_;
    }
}

void nVU::paintBar(CDrawContext* context, int x0, int x1, float value) {
    const int H = getHeight();
    const int y = meter::rowOf(value, H, scaleIndex());
    unlit_->draw(*context, CRect(size.left + x0, size.top, size.left + x1, size.top + y), CPoint(x0, 0));
    lit_->draw(*context, CRect(size.left + x0, size.top + y, size.left + x1, size.bottom), CPoint(x0, y));
}

void nVU::paintPeak(CDrawContext* context, int x0, int x1, float peak) {
    if (peakMode() == kPeakOff) return;
    const int y = meter::peakRow(peak, getHeight(), scaleIndex(), size.top);
    if (y < size.bottom) context->drawHLine(size.left + x0, size.left + x1, y, kPeakColour, 128.f / 255.f);
}

void nVU::draw(CDrawContext* context) {
    if (rebuild_ || !unlit_) rebuildScale(false, kBarWidth, true);
    expireHold();
    if (channels_ == 1) {
        right_ = left_;
        rightPeak_ = leftPeak_;
    }
    const int W = getWidth(), half = W / 2;
    paintBar(context, 0, half, left_);
    paintBar(context, half, W, right_);
    paintPeak(context, 0, kBarWidth - 1, leftPeak_);
    paintPeak(context, W - kBarWidth, W - 1, rightPeak_);
    setDirty(false);
}

}  // namespace hm::gui

namespace hm::gui {

namespace {
CView* makeVU(const ViewRequest& r) {
    const int font = r.find("font") ? r.bitmapId("font") : 101;
    return new nVU(r.rect, r.listener, r.tag, font ? font : 101);
}
}  // namespace

void registerMeterViews() { registerViewClass("nVU", makeVU); }

}  // namespace hm::gui
