#pragma once
// What the two preference pages (UIPreferences, Preferences) share: the rows
// of a list of preferences, its scrolling, and the pieces they are drawn with.
//
// A list starts 10 pixels below the view's top; a page (or group) header is 24
// pixels high and every preference under it 22. When the rows are taller than
// the view they scroll by (content height − view height) × the scroll fraction,
// set by the 13-pixel bar at the right or by the wheel. A preference with at
// most four values shows one 60-pixel button per value, 70 pixels apart from
// x = 150; one with more shows a single button that opens a menu.
#include <string>
#include <vector>

#include "gui/draw/CDIB.h"
#include "gui/draw/Fonts.h"

namespace hm::gui {

struct PreferenceRow {
    bool header = false;
    int top = 0;          // in the content, before scrolling
    int height = 0;
    std::string page;     // the page or group the row belongs to
    std::string name;     // the preference (empty for a header)
    int index = -1;       // the view's own reference (schema index of a global)
};

class PreferenceList {
public:
    static constexpr int kTop = 10;
    static constexpr int kHeaderHeight = 24;
    static constexpr int kItemHeight = 22;
    static constexpr int kBarWidth = 13;
    static constexpr int kValueX = 150;
    static constexpr int kValuePitch = 70;
    static constexpr int kValueWidth = 60;
    static constexpr int kMenuLimit = 4;  // more values than this: one menu button
    static constexpr float kWheelStep = 0.1f;

    void clear();
    void addHeader(const std::string& page, int index = -1);
    void addItem(const std::string& page, const std::string& name, int index = -1);

    const std::vector<PreferenceRow>& rows() const { return rows_; }
    // Where the last row ends (kTop while there are none).
    int contentHeight() const { return bottom_; }

    float scroll() const { return scroll_; }
    void setScroll(float fraction);
    // Pixels the rows move up in a view of that height.
    int offset(int viewHeight) const;
    // The scroll bar's answer to a pointer at y pixels below the view's top.
    void scrollFromPointer(int y, int viewHeight);
    // One wheel movement of `notches`; false when nothing can scroll.
    bool wheel(float notches, int viewHeight);

    // The row under a point y pixels below the view's top; −1 when none.
    int rowAt(int y, int viewHeight) const;
    // Index of the value button under x pixels right of the view's left edge
    // (may be negative or past the values; the caller checks).
    static int valueColumn(int x);

private:
    std::vector<PreferenceRow> rows_;
    int bottom_ = kTop;
    float scroll_ = 0.f;
};

// Drawing pieces, all at absolute positions in the context.
namespace prefdraw {

inline constexpr Rgb kHeaderText = 0xE0E0E0;  // (224, 224, 224)
inline constexpr Rgb kItemText = 0x5785A6;    // (87, 133, 166)
inline constexpr float kHeaderSize = 15.f;
inline constexpr float kItemSize = 13.f;

void background(CDIB& context, const CRect& area);
// The 13-pixel bar at the right of `view`; the thumb shows what part of the
// content the view holds (the whole bar when everything fits).
void scrollBar(CDIB& context, const CRect& view, int contentHeight, float scroll);
// A small triangle centred on (cx, cy), pointing down or right.
void triangle(CDIB& context, float cx, float cy, bool down, Rgb colour);
// A value button: highlighted (white, dark text) when current, grey otherwise.
void valueButton(CDIB& context, const CRect& box, const std::string& label, bool current);
// A button that opens a menu: its text and a down triangle.
void menuButton(CDIB& context, const CRect& box, const std::string& label, bool pressed = false);
// Text that shrinks (down to 8 pixels) until it fits the box.
void fittedText(CDIB& context, const CRect& box, const std::string& text, float size, Rgb colour,
                TextAlign align = TextAlign::kCentre);

}  // namespace prefdraw

}  // namespace hm::gui
