#pragma once
// The band strips (layout element "BandStrips"): one 66-pixel strip per band
// in use, side by side after an optional labels column, in a container that
// scrolls horizontally. Each strip holds its background (nStripBack), the
// band number, the type button with its on/off button, the subtype and
// groups menus and a knob with its value text (Knobs mode) or a value text
// (Text mode) per setting the band's type and subtype use (StripLayout.h
// places them).
//
// The editor asks for a rebuild from its idle pass (never while a mouse
// button is held) with the strip order it keeps: bands no longer in use drop
// out, bands newly in use are appended in band-number order, and when the
// re-sort flag is set the order becomes ascending frequency (once). The
// right-click menu on the bare strip area ("Sort by frequency") sets that
// flag and asks the editor for a rebuild.
//
// Mouse: the 13-pixel bar at the bottom sets the scroll position from the
// pointer; the wheel over the bare area moves it by 0.01 per notch; a left
// drag on the bare area draws a selection box and selects the bands whose
// strips it touches (with shift, adding to the selection).
#include <cstdint>
#include <memory>
#include <vector>

#include "gui/editor/EditorViews.h"
#include "gui/framework/nPage.h"
#include "gui/views/StripLayout.h"

namespace hm::gui {

class CControlListener;
class MenuPopup;
class COptionMenu;
class nStripBack;

class bandStrips : public nPage, public iEditorStrips {
public:
    static constexpr float kWheelStep = 0.01f;
    static constexpr Rgb kBackground = 0x16181C;

    bandStrips(const CRect& size, int tag, CControlListener* listener);

    // iEditorStrips
    int rebuild(int (&order)[32], int count, int layoutFlags) override;
    int preferredHeight(int layoutFlags) const override { return stripAreaHeight(layoutFlags); }

    // The next rebuild orders the strips by frequency.
    void requestResort() { resort_ = true; }
    bool resortPending() const { return resort_; }

    // Bands shown, left to right.
    const std::vector<int>& shownBands() const { return shown_; }
    int contentWidth() const { return contentWidth_; }
    float getScroll() const { return scroll_; }
    // 0 (first strip at the left) .. 1 (last strip at the right), clamped; 0
    // whenever the content fits.
    void setScroll(float position);
    // The strip background of a band (null when it has no strip).
    nStripBack* stripBack(int band) const;
    bool isSelecting() const { return selecting_; }
    const CRect& selectionBox() const { return box_; }

    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance, const int& buttons) override;
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    bool removed(CView* parent) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~bandStrips() override;

private:
    struct Strip {
        int band;
        nStripBack* back;
        std::vector<CView*> views;  // every view of the strip, the back included
    };

    void orderBands(int (&order)[32], int count);
    void buildStrip(int band, int index, int areaHeight);
    bool overflowing() const { return contentWidth_ > size.width(); }
    int labelsWidth() const { return flags_.labels ? kStripWidth : 0; }
    void moveStrips(int dx);
    void scrollFromPointer(const CPoint& where);
    void updateSelection(bool adding);
    void openSortMenu();
    void tellEditor(int tag, float value);
    CRect barRect() const;

    CControlListener* listener_;
    CControl* reporter_;  // carries the strips' own reports to the editor
    StripFlags flags_;
    std::vector<int> shown_;
    std::vector<Strip> strips_;
    bool resort_ = false;
    int contentWidth_ = 0;
    float scroll_ = 0.f;
    int offset_ = 0;  // pixels the strips are moved left
    bool draggingBar_ = false;
    bool selecting_ = false;
    CPoint boxStart_;
    CRect box_;  // container coordinates
    std::uint32_t selectedBefore_ = 0;  // bands selected when the box was started
    std::uint32_t boxSelection_ = 0;    // what the box reported last
    COptionMenu* sortMenu_;
    std::unique_ptr<MenuPopup> sortPopup_;
};

void registerBandStrips();

}  // namespace hm::gui
