#include "gui/views/IRGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/Plug.h"
#include "gui/controls/COptionMenu.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/ImpulseColumns.h"
#include "gui/views/InstanceOf.h"

namespace hm::gui {

namespace {

constexpr Rgb kBackground = 0x141414;  // grey 20
constexpr Rgb kGridLine = 0x808080;
constexpr Rgb kWindowColour = 0xFF00FF;
constexpr Rgb kLabel = 0xB4B4B4;
constexpr Rgb kCornerColour = 0x8FA9BF;
constexpr const char* kDisplayItems[] = {"Linear", "80dB", "120dB", "160dB", "200dB"};

}  // namespace

IRGraph::IRGraph(const CRect& rect, CControlListener* l, int t, int fontId, int font2Id)
    : nIdleControl(rect, l, t),
      plug_(instanceOf(l)),
      channelMenu_(new COptionMenu(CRect(), this, -1)),
      displayMenu_(new COptionMenu(CRect(), this, -1)) {
    if (fontId > 0) font_ = StripFont(fontId);
    if (font2Id > 0) font2_ = StripFont(font2Id);
    for (const char* item : kDisplayItems) displayMenu_->addEntry(item);
}

IRGraph::~IRGraph() {
    channelMenu_->release();
    displayMenu_->release();
}

void IRGraph::readBank(bool force) {
    if (!plug_) return;
    auto lock = plug_->lockUpdates();
    dsp::EQBank& bank = plug_->bank();
    const std::uint64_t serial = bank.getImpulseSerial();
    if (!force && serial == serial_ && channel_ == shownChannel_) return;
    serial_ = serial;
    shownChannel_ = channel_;
    const int length = bank.getIRLength();
    const double* impulse = serial != 0 ? bank.getImpulse(channel_) : nullptr;
    const double* window = bank.getWindow();
    hasImpulse_ = impulse != nullptr && length > 0;
    if (hasImpulse_) {
        impulse_.assign(impulse, impulse + length);
        window_.assign(window, window + length);
    } else {
        impulse_.clear();
        window_.clear();
    }
    lock.unlock();
    reduceColumns();
}

void IRGraph::reduceColumns() {
    const int width = std::max(1, size.width());
    const int length = static_cast<int>(impulse_.size());
    ir::columnValues(impulse_.data(), length, zoom_.start, zoom_.end, width, true, impulseColumns_);
    ir::columnValues(window_.data(), static_cast<int>(window_.size()), zoom_.start, zoom_.end, width, false,
                     windowColumns_);
    setDirty(true);
}

void IRGraph::refresh() { readBank(false); }

double IRGraph::yOf(double v) const {
    // Values beyond the scale run along its edge rather than off the view.
    const double H = curveHeight();
    return std::clamp(db_ ? ir::dbY(v, range_, H) : ir::linearY(v, H), 0.0, H - 1.0);
}

void IRGraph::draw(CDrawContext* context) {
    joinIdle();
    refresh();
    CDIB::StateSaver saved(*context);
    CRect clip = context->getClipRect();
    clip.bound(size);
    context->setClipRect(clip);
    drawGrid(*context);
    drawCurves(*context);
    rangebar::draw(*context, CRect(size.left, size.bottom - rangebar::kHeight, size.right, size.bottom),
                   rangebar::markerX(zoom_.start, size.width()), rangebar::markerX(zoom_.end, size.width()));
    setDirty(false);
}

void IRGraph::drawGrid(CDIB& d) const {
    const int H = curveHeight();
    d.fillRect(CRect(size.left, size.top, size.right, size.top + H), kBackground);
    const StripFont& labels = font2_.valid() ? font2_ : font_;
    for (int i = 0; i < kGridLines; ++i) {
        const float y = static_cast<float>(size.top) + static_cast<float>(H - 1) * static_cast<float>(i) / 8.f + 0.5f;
        d.drawLine(static_cast<float>(size.left), y, static_cast<float>(size.right), y, kGridLine, 0.5f, 0.5f);
        if (i + 1 == kGridLines || !labels.valid()) continue;
        char text[16];
        if (db_) {
            std::snprintf(text, sizeof text, "%2.0fdB", i == 0 ? 0.0 : -i * range_ / 8.0);
        } else {
            const double amplitude = 2.0 * i / 8.0 - 1.0;
            if (amplitude == 0.0) std::snprintf(text, sizeof text, "-inf");
            else std::snprintf(text, sizeof text, "%2.0fdB", 20.0 * std::log10(std::fabs(amplitude)));
        }
        // Under its line, clear of the scale menu's corner.
        labels.draw(d, size.right - 4 - kCorner - labels.measure(text), static_cast<int>(y) + 2, text, kLabel);
    }
    const float mid = static_cast<float>(size.top) + static_cast<float>(H) * 0.5f;
    d.drawLine(static_cast<float>(size.left), mid, static_cast<float>(size.right), mid, kGridLine, 1.f, 1.f);

    // The two corners that open the menus, with what they hold.
    const float cy = static_cast<float>(size.top) + 6.f;
    const float leftArrow[] = {static_cast<float>(size.left) + 2.5f, cy - 2.f, static_cast<float>(size.left) + 9.5f,
                               cy - 2.f, static_cast<float>(size.left) + 6.f, cy + 2.5f};
    d.fillPolygon(leftArrow, 3, kCornerColour);
    const float rx = static_cast<float>(size.right) - 6.f;
    const float rightArrow[] = {rx - 3.5f, cy - 2.f, rx + 3.5f, cy - 2.f, rx, cy + 2.5f};
    d.fillPolygon(rightArrow, 3, kCornerColour);
    if (labels.valid() && plug_) labels.draw(d, size.left + kCorner + 2, size.top + 2, plug_->getChannelName(channel_), kCornerColour);
}

void IRGraph::drawCurves(CDIB& d) const {
    if (!hasImpulse_) {
        if (!font_.valid()) return;
        // On a patch of the background, or the middle line strikes the words through.
        static constexpr const char* kText = "No impulse";
        const int w = font_.measure(kText) + 8, h = font_.glyphRows() + 4;
        const int cx = (size.left + size.right) / 2, cy = size.top + curveHeight() / 2;
        const CRect patch(cx - w / 2, cy - h / 2, cx - w / 2 + w, cy - h / 2 + h);
        d.fillRect(patch, kBackground);
        font_.drawInRect(d, patch, kText, 0x707070, TextAlign::kCentre);
        return;
    }
    const float x0 = static_cast<float>(size.left), y0 = static_cast<float>(size.top);
    const auto curve = [&](const std::vector<float>& values, Rgb colour, float width) {
        for (std::size_t x = 1; x < values.size(); ++x)
            d.drawLine(x0 + static_cast<float>(x) - 0.5f, y0 + static_cast<float>(yOf(values[x - 1])),
                       x0 + static_cast<float>(x) + 0.5f, y0 + static_cast<float>(yOf(values[x])), colour, 1.f, width);
    };
    curve(windowColumns_, kWindowColour, 1.f);
    curve(impulseColumns_, 0xFFFFFF, 1.f);
}

void IRGraph::openMenu(COptionMenu* menu, const CRect& box) {
    menu->setViewSize(box, false);
    menu->openPopup(kLButton);
}

CMouseEventResult IRGraph::onMouseDown(CPoint& where, const int& buttons) {
    if (!size.pointInside(where)) return kMouseEventNotHandled;
    const int x = where.x - size.left, y = where.y - size.top;
    if (y >= curveHeight()) {
        if (buttons & (kRButton | kApple)) {
            zoom_ = {};
            reduceColumns();
            return kMouseEventHandled;
        }
        if (!(buttons & kLButton)) return kMouseEventNotHandled;
        const double position = rangebar::positionOf(x, size.width());
        dragPart_ = rangebar::partAt(x, rangebar::markerX(zoom_.start, size.width()),
                                     rangebar::markerX(zoom_.end, size.width()));
        grab_ = position - zoom_.start;
        if (dragPart_ != rangebar::Part::kRange) rangebar::drag(zoom_, dragPart_, position, grab_);
        reduceColumns();
        return kMouseEventHandled;
    }
    if (!(buttons & kLButton) || (buttons & kApple)) return kMouseEventNotHandled;
    if (y < kCorner && x < kCorner && plug_) {
        channelMenu_->removeAllEntry();
        for (int c = 0; c < plug_->getNumOutputs(); ++c) channelMenu_->addEntry(plug_->getChannelName(c));
        channelMenu_->setCurrent(channel_);
        openMenu(channelMenu_, CRect::fromSize(size.left, size.top, 120, kCorner));
    } else if (y < kCorner && x >= size.width() - kCorner) {
        displayMenu_->setCurrent(db_ ? static_cast<int>(std::lround((range_ - 40.0) / 40.0)) : 0);
        openMenu(displayMenu_, CRect(size.right - 80, size.top, size.right, size.top + kCorner));
    }
    return kMouseEventHandled;
}

CMouseEventResult IRGraph::onMouseMoved(CPoint& where, const int& buttons) {
    if (dragPart_ == rangebar::Part::kNone) return kMouseEventNotHandled;
    if (buttons & kLButton) {
        rangebar::drag(zoom_, dragPart_, rangebar::positionOf(where.x - size.left, size.width()), grab_);
        reduceColumns();
    }
    return kMouseEventHandled;
}

CMouseEventResult IRGraph::onMouseUp(CPoint&, const int&) {
    dragPart_ = rangebar::Part::kNone;
    return kMouseEventHandled;
}

void IRGraph::valueChanged(CControl* control) {
    if (control == channelMenu_) {
        channel_ = std::max(0, channelMenu_->getCurrent());
        readBank(true);
    } else if (control == displayMenu_) {
        const int item = displayMenu_->getCurrent();
        db_ = item >= 1;
        if (db_) range_ = 40.0 * item + 40.0;
    }
    setDirty(true);
}

void IRGraph::onIdle() {
    if (!plug_ || !isVisibleInTree()) return;
    const std::uint64_t before = serial_;
    readBank(false);
    if (serial_ != before) setDirty(true);
}

bool IRGraph::attached(CView* parent) {
    // The menus live beside the graph so their lists open at its corners.
    channelMenu_->attached(parent);
    displayMenu_->attached(parent);
    return nIdleControl::attached(parent);
}

bool IRGraph::removed(CView* parent) {
    channelMenu_->removed(parent);
    displayMenu_->removed(parent);
    return nIdleControl::removed(parent);
}

void IRGraph::setViewSize(const CRect& rect, bool invalidate) {
    nIdleControl::setViewSize(rect, invalidate);
    reduceColumns();
}

bool IRGraph::isTypeOf(const char* className) const {
    return std::strcmp(className, "IRGraph") == 0 || nIdleControl::isTypeOf(className);
}

namespace {
CView* makeIRGraph(const ViewRequest& r) {
    return new IRGraph(r.rect, r.listener, r.tag, r.integer("font"), r.integer("font2"));
}
}  // namespace

void registerIRGraph() { registerViewClass("IRGraph", makeIRGraph); }

}  // namespace hm::gui
