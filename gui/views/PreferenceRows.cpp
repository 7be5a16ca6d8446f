#include "gui/views/PreferenceRows.h"

#include <algorithm>
#include <cmath>

#include "gui/draw/Fonts.h"

namespace hm::gui {

void PreferenceList::clear() {
    rows_.clear();
    bottom_ = kTop;
}

void PreferenceList::addHeader(const std::string& page, int index) {
    rows_.push_back({true, bottom_, kHeaderHeight, page, {}, index});
    bottom_ += kHeaderHeight;
}

void PreferenceList::addItem(const std::string& page, const std::string& name, int index) {
    rows_.push_back({false, bottom_, kItemHeight, page, name, index});
    bottom_ += kItemHeight;
}

void PreferenceList::setScroll(float fraction) {
    if (std::isfinite(fraction)) scroll_ = std::clamp(fraction, 0.f, 1.f);
}

int PreferenceList::offset(int viewHeight) const {
    const int over = bottom_ - viewHeight;
    return over > 0 ? static_cast<int>(std::lround(static_cast<float>(over) * scroll_)) : 0;
}

void PreferenceList::scrollFromPointer(int y, int viewHeight) {
    const int span = viewHeight - 8;
    if (span > 0) setScroll(static_cast<float>(y - 4) / static_cast<float>(span));
}

bool PreferenceList::wheel(float notches, int viewHeight) {
    if (!std::isfinite(notches) || bottom_ <= viewHeight) return false;
    setScroll(scroll_ - kWheelStep * notches);
    return true;
}

int PreferenceList::rowAt(int y, int viewHeight) const {
    const int content = y + offset(viewHeight);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (content >= rows_[i].top && content < rows_[i].top + rows_[i].height) return static_cast<int>(i);
    return -1;
}

int PreferenceList::valueColumn(int x) {
    const int d = x - kValueX;
    // Floor division: a click left of the first button is no button.
    return d < 0 ? -1 - (-d - 1) / kValuePitch : d / kValuePitch;
}

namespace prefdraw {

namespace {
constexpr Rgb kBackground = 0x16181B;
constexpr Rgb kBarFrame = 0x3A3A3A;  // (58, 58, 58)
constexpr Rgb kBarThumb = 0x5785A6;  // (87, 133, 166)
constexpr Rgb kButtonGrey = 0x3C4047;
constexpr Rgb kButtonText = 0xB4B8BE;
constexpr Rgb kButtonEdge = 0x24272B;
constexpr Rgb kCurrentText = 0x16181B;
}  // namespace

void background(CDIB& context, const CRect& area) { context.fillRect(area, kBackground, 0.55f); }

void scrollBar(CDIB& context, const CRect& view, int contentHeight, float scroll) {
    const CRect bar(view.right - PreferenceList::kBarWidth, view.top, view.right, view.bottom);
    context.fillRect(bar, 0x101113, 0.6f);
    context.frameRect(bar, kBarFrame);
    const int track = bar.height() - 4;
    if (track <= 0) return;
    const int height = view.height();
    int thumb = contentHeight > height ? track * height / std::max(1, contentHeight) : track;
    thumb = std::clamp(thumb, std::min(8, track), track);
    const int top = bar.top + 2 + static_cast<int>(std::lround(scroll * static_cast<float>(track - thumb)));
    context.fillRoundRect(CRect(bar.left + 3, top, bar.right - 3, top + thumb), 2.f, kBarThumb);
}

void triangle(CDIB& context, float cx, float cy, bool down, Rgb colour) {
    if (down) {
        const float xy[] = {cx - 4.5f, cy - 2.5f, cx + 4.5f, cy - 2.5f, cx, cy + 3.f};
        context.fillPolygon(xy, 3, colour);
    } else {
        const float xy[] = {cx - 2.5f, cy - 4.5f, cx + 3.f, cy, cx - 2.5f, cy + 4.5f};
        context.fillPolygon(xy, 3, colour);
    }
}

void fittedText(CDIB& context, const CRect& box, const std::string& text, float size, Rgb colour, TextAlign align) {
    const TrueTypeFont& font = TrueTypeFont::futura();
    while (size > 8.f && font.measure(text, size) > box.width()) size -= 0.5f;
    font.drawInRect(context, box, text, size, colour, align);
}

void valueButton(CDIB& context, const CRect& box, const std::string& label, bool current) {
    context.fillRoundRect(box, 3.f, current ? 0xFFFFFF : kButtonGrey);
    if (!current) context.frameRoundRect(box, 3.f, kButtonEdge);
    CRect text = box;
    text.inset(3, 0);
    fittedText(context, text, label, 11.f, current ? kCurrentText : kButtonText);
}

void menuButton(CDIB& context, const CRect& box, const std::string& label, bool pressed) {
    context.fillRoundRect(box, 3.f, pressed ? 0x2A2E34 : kButtonGrey);
    context.frameRoundRect(box, 3.f, kButtonEdge);
    CRect text = box;
    text.left += 3;
    text.right -= 13;
    fittedText(context, text, label, 11.f, 0xFFFFFF);
    triangle(context, static_cast<float>(box.right) - 8.f, static_cast<float>(box.top + box.bottom) * 0.5f, true,
             0xE0E0E0);
}

}  // namespace prefdraw

}  // namespace hm::gui
