#pragma once
// The piano keyboard under the graph (layout element "Keyboard", tag
// kGUIKeyboard): keys laid on the graph's frequency axis (KeyboardGeometry.h),
// following every change of the graph's visible range, with each band in use
// as a dot at its frequency in its colour (larger while selected, faded while
// bypassed).
//
// Mouse (left button): with control, or on a double click, a band is created
// at the frequency of the note under the pointer (the editor's band creation);
// otherwise pressing within 10 pixels of a band's dot drags that band's
// frequency (the fine modifier slows the drag tenfold).
#include <cstdint>

#include "gui/draw/Fonts.h"
#include "gui/editor/EditorViews.h"
#include "gui/framework/CControl.h"
#include "gui/views/EQGraph.h"
#include "gui/views/KeyboardGeometry.h"

namespace hm::gui {

class nKeyboard : public CControl, public iEditorKeyboard, public iGraphKeyboard {
public:
    static constexpr Rgb kBackground = 0xBBBBBB;  // grey 187
    static constexpr int kHitDistanceSquared = 100;

    nKeyboard(const CRect& size, CControlListener* listener, int tag, int fontId = 101);

    // iGraphKeyboard: the graph's visible range (until the first call, 10 Hz to
    // half the instance's sample rate).
    void setVisibleRange(double fMin, double fMax) override;
    // iEditorKeyboard: every band's selection flag from a mask (bit b = band b).
    void setSelection(std::uint64_t bands) override;
    // One band's flag, also reported to the editor under kGUISelectedBand + band.
    void setBandSelected(int band, bool selected);
    bool isBandSelected(int band) const;

    // The key geometry for the current range, width and MIDI factor.
    KeyboardGeometry geometry() const;
    // The band whose dot is nearest a point (view coordinates) within 10 pixels, −1 when none.
    int bandAt(double x, double y) const;
    // Where a band's dot sits (view coordinates).
    double dotX(int band) const;
    double dotY() const { return getHeight() - 8.0; }
    int dragBand() const { return dragBand_; }

    void draw(CDrawContext* context) override;
    void onIdle() override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    bool attached(CView* parent) override;
    bool removed(CView* parent) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nKeyboard() override = default;

private:
    void drawKeys(CDrawContext* context, const KeyboardGeometry& g) const;
    void drawDots(CDrawContext* context, const KeyboardGeometry& g) const;
    // What the picture depends on besides the range: bands, MIDI factor, sample rate.
    std::uint64_t signature() const;
    void endDrag();

    double fMin_ = 10.0, fMax_ = 22050.0;
    bool rangeFromGraph_ = false;
    std::uint32_t selected_ = 0;
    std::uint64_t signature_ = 0;
    bool idleRegistered_ = false;
    StripFont font_;  // octave names
    // Drag of a band's frequency.
    int dragBand_ = -1;
    double anchorPointer_ = 0.0, anchorDot_ = 0.0;
    bool fine_ = false;
};

void registerKeyboard();

}  // namespace hm::gui
