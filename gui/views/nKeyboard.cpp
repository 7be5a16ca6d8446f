#include "gui/views/nKeyboard.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/Plug.h"
#include "gui/draw/Fonts.h"
#include "gui/editor/BandCreation.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/BandDisplay.h"
#include "gui/views/InstanceOf.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

namespace {
constexpr Rgb kKeyLine = 0x000000;
constexpr Rgb kOctaveLabel = 0x6E6E6E;
constexpr double kFineDrag = 0.1;
constexpr double kReferenceA4 = 440.0;
constexpr int kDotSelected = 8, kDotNormal = 6;

std::uint64_t mix(std::uint64_t h, std::uint64_t v) { return (h ^ v) * 0x100000001B3ull; }
}  // namespace

nKeyboard::nKeyboard(const CRect& rect, CControlListener* l, int t, int fontId)
    : CControl(rect, l, t), font_(fontId) {}

void nKeyboard::setVisibleRange(double fMin, double fMax) {
    if (!std::isfinite(fMin) || !std::isfinite(fMax) || fMin <= 0.0 || fMax <= fMin) return;
    rangeFromGraph_ = true;
    if (fMin == fMin_ && fMax == fMax_) return;
    fMin_ = fMin;
    fMax_ = fMax;
    setDirty(true);
}

void nKeyboard::setSelection(std::uint64_t bands) {
    const auto mask = static_cast<std::uint32_t>(bands);
    if (mask == selected_) return;
    selected_ = mask;
    setDirty(true);
}

void nKeyboard::setBandSelected(int band, bool on) {
    if (band < 0 || band >= kNumBands) return;
    const std::uint32_t bit = 1u << band;
    selected_ = on ? selected_ | bit : selected_ & ~bit;
    setDirty(true);
    reportUnderTag(this, kGUISelectedBand + band, on ? 1.f : 0.f);
}

bool nKeyboard::isBandSelected(int band) const { return band >= 0 && band < kNumBands && ((selected_ >> band) & 1u); }

KeyboardGeometry nKeyboard::geometry() const {
    Plug* plug = instanceOf(listener);
    const double factor = plug ? plug->frequencyMultiplier() : 1.0;
    double fMax = fMax_;
    if (!rangeFromGraph_ && plug) fMax = plug->getSampleRate() * 0.5;
    return keyboardGeometry(getWidth(), fMin_, fMax, kReferenceA4 * factor);
}

double nKeyboard::dotX(int band) const { return geometry().xOfFrequency(bandDisplayFrequency(listener, band)); }

int nKeyboard::bandAt(double x, double y) const {
    const KeyboardGeometry g = geometry();
    int best = -1;
    double bestDistance = kHitDistanceSquared;
    for (int b = 0; b < kNumBands; ++b) {
        if (bandState(listener, b) == 0) continue;
        const double dx = g.xOfFrequency(bandDisplayFrequency(listener, b)) - x, dy = dotY() - y;
        const double d = dx * dx + dy * dy;
        if (d < bestDistance) {
            bestDistance = d;
            best = b;
        }
    }
    return best;
}

void nKeyboard::drawKeys(CDrawContext* context, const KeyboardGeometry& g) const {
    const float left = static_cast<float>(size.left), top = static_cast<float>(size.top);
    const float h = static_cast<float>(getHeight()), half = h * 0.5f;
    const StripFont& font = font_;
    for (int n = g.lowNote; n <= g.highNote; ++n) {
        double x = g.x(n);
        const KeyKind kind = keyKind(n);
        if (kind == kKeyWhiteBlackAbove || kind == kKeyWhiteBlackBelow)
            context->drawLine(left + float(x), top, left + float(x), top + h, kKeyLine);
        if (kind == kKeyWhiteBlackAbove) {
            // Octave names on the C keys where they fit.
            if (n % 12 == 0 && font.valid()) {
                char name[16];
                std::snprintf(name, sizeof name, "C%d", n / 12 - 1);
                if (font.measure(name) + 4 <= g.k)
                    font.drawInRect(*context, CRect::fromSize(size.left + int(x), size.bottom - 14, int(g.k), 12),
                                    name, kOctaveLabel, TextAlign::kCentre);
            }
            x += g.k;
        }
        if (kind == kKeyWhiteBlackAbove || kind == kKeyWhiteBetween)
            context->drawLine(left + float(x), top + half, left + float(x), top + h, kKeyLine);
        if (kind == kKeyBlack)
            context->drawLine(left + float(x), top, left + float(x), top + half, kKeyLine, 1.f,
                              static_cast<float>(0.75 * g.s));
    }
}

void nKeyboard::drawDots(CDrawContext* context, const KeyboardGeometry& g) const {
    for (int b = 0; b < kNumBands; ++b) {
        const int state = bandState(listener, b);
        if (state == 0) continue;
        const double x = g.xOfFrequency(bandDisplayFrequency(listener, b));
        const float radius = (isBandSelected(b) ? kDotSelected : kDotNormal) * 0.5f;
        context->fillCircle(static_cast<float>(size.left + x), static_cast<float>(size.top + dotY()), radius,
                            bandDisplayColour(listener, b), state == 2 ? 1.f : 0.5f);
    }
}

void nKeyboard::draw(CDrawContext* context) {
    if (!idleRegistered_)
        if (CFrame* frame = getFrame()) {
            frame->addIdleView(this);
            idleRegistered_ = true;
        }
    context->fillRect(size, kBackground);
    const KeyboardGeometry g = geometry();
    drawKeys(context, g);
    drawDots(context, g);
    signature_ = signature();
    setDirty(false);
}

std::uint64_t nKeyboard::signature() const {
    std::uint64_t h = 0xCBF29CE484222325ull;
    Plug* plug = instanceOf(listener);
    if (!plug) return h;
    const auto bits = [](double v) {
        std::uint64_t u;
        std::memcpy(&u, &v, sizeof u);
        return u;
    };
    h = mix(h, bits(plug->frequencyMultiplier()));
    h = mix(h, bits(plug->getSampleRate()));
    h = mix(h, bits(plug->getParameter(kFShift)));
    h = mix(h, plug->editorPreferenceTree().getUIPreference("Graph", "Band Colours"));
    for (int b = 0; b < kNumBands; ++b) {
        h = mix(h, bits(plug->getParameter(bandParam(b, kBandState))));
        h = mix(h, bits(plug->getParameter(bandParam(b, kBandFrequency))));
    }
    return h;
}

void nKeyboard::onIdle() {
    // Bands, the MIDI factor and the sample rate change without telling the
    // keyboard; a cheap look each idle pass redraws it when they did.
    if (!isDirty() && signature() != signature_) setDirty(true);
}

CMouseEventResult nKeyboard::onMouseDown(CPoint& where, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple)) return kMouseEventNotHandled;
    const double x = where.x - size.left, y = where.y - size.top;
    if ((buttons & kControl) || (buttons & kDoubleClick)) {
        const KeyboardGeometry g = geometry();
        NewBandSettings settings;
        settings.frequency = g.noteFrequency(g.noteAt(x, y, getHeight()));
        const int band = createBand(*this, settings);
        if (band >= 0) setBandSelected(band, true);
        return kMouseEventHandled;
    }
    const int band = bandAt(x, y);
    if (band < 0) return kMouseEventNotHandled;
    dragBand_ = band;
    fine_ = isFine(buttons);
    anchorPointer_ = x;
    anchorDot_ = dotX(band);
    if (!isBandSelected(band)) setBandSelected(band, true);
    beginEditUnderTag(this, bandParam(band, kBandFrequency));
    return kMouseEventHandled;
}

CMouseEventResult nKeyboard::onMouseMoved(CPoint& where, const int& buttons) {
    if (dragBand_ < 0) return kMouseEventNotHandled;
    if (!(buttons & kLButton)) return kMouseEventHandled;
    Plug* plug = instanceOf(listener);
    if (!plug) return kMouseEventHandled;
    const double x = where.x - size.left;
    const bool fine = isFine(buttons);
    if (fine != fine_) {
        // Re-anchored where the dot is, so the band never jumps.
        anchorDot_ = dotX(dragBand_);
        anchorPointer_ = x;
        fine_ = fine;
    }
    const KeyboardGeometry g = geometry();
    const double dot = std::clamp(anchorDot_ + (x - anchorPointer_) * (fine_ ? kFineDrag : 1.0), 0.0, g.width);
    const int tag = bandParam(dragBand_, kBandFrequency);
    reportUnderTag(this, tag, static_cast<float>(std::clamp(plug->realToNormalised(tag, g.frequencyAtX(dot)), 0.0, 1.0)));
    setDirty(true);
    return kMouseEventHandled;
}

void nKeyboard::endDrag() {
    if (dragBand_ < 0) return;
    endEditUnderTag(this, bandParam(dragBand_, kBandFrequency));
    dragBand_ = -1;
}

CMouseEventResult nKeyboard::onMouseUp(CPoint&, const int&) {
    endDrag();
    return kMouseEventHandled;
}

bool nKeyboard::onWheel(const CPoint&, const float&, const int&) { return false; }

bool nKeyboard::attached(CView* parent) {
    idleRegistered_ = false;
    return CControl::attached(parent);
}

bool nKeyboard::removed(CView* parent) {
    endDrag();
    if (CFrame* frame = getFrame()) frame->removeIdleView(this);
    idleRegistered_ = false;
    return CControl::removed(parent);
}

bool nKeyboard::isTypeOf(const char* className) const {
    return std::strcmp(className, "nKeyboard") == 0 || CControl::isTypeOf(className);
}

namespace {
CView* makeKeyboard(const ViewRequest& r) { return new nKeyboard(r.rect, r.listener, r.tag, 101); }
}  // namespace

void registerKeyboard() { registerViewClass("Keyboard", makeKeyboard); }

}  // namespace hm::gui
