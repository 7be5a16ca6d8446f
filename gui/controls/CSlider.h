#pragma once
// Sliders. The handle's leading edge (its top for vertical sliders, its left
// for horizontal ones) travels `rangeHandle` pixels from `offsetHandle`
// (relative to the slider). Vertical sliders have their minimum at the bottom
// unless styled kTop; horizontal ones at the left unless styled kRight.
//
// A click on the handle drags it from where it was grabbed; a click beside it
// first centres the handle under the pointer (not in fine mode). Dragging moves
// the value by pointer travel ÷ rangeHandle of the range, and by a
// `zoomFactor`-th of that in fine mode; changing the fine modifier mid-drag
// continues from the current value. Reset modifier or double click: default
// value. The wheel moves by the wheel increment per notch (a tenth in fine mode).
#include "gui/framework/CControl.h"
#include "gui/controls/ControlStyles.h"
#include "gui/framework/nControlMouse.h"

namespace hm::gui {

class CSlider : public CControl, public nControlMouse {
public:
    // Handle range from the parent-coordinate positions minPos to maxPos of the
    // handle's leading edge along the slider's axis.
    CSlider(const CRect& size, CControlListener* listener, int tag, int minPos, int maxPos,
            CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(),
            int style = kLeft | kHorizontal);
    // Handle range of rangeHandle pixels starting at offsetHandle (slider coordinates).
    CSlider(const CRect& size, CControlListener* listener, int tag, const CPoint& offsetHandle,
            int rangeHandle, CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(),
            int style = kLeft | kHorizontal);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

    int getStyle() const { return style_; }
    bool isVertical() const { return (style_ & kVertical) != 0; }
    // Whether the value grows with the coordinate along the axis (down or right):
    // vertical sliders styled kTop and horizontal ones not styled kRight.
    bool increasesAlongAxis() const;
    int getRangeHandle() const { return rangeHandle_; }
    CPoint getOffsetHandle() const { return offsetHandle_; }
    void setZoomFactor(float f) { zoomFactor_ = f > 1.f ? f : 1.f; }
    float getZoomFactor() const { return zoomFactor_; }
    void setHandle(CBitmap* handle);
    // Handle rectangle for the current value (parent coordinates).
    CRect handleRect() const;
    void setColorHandle(Rgb c) { colorHandle_ = c; }

protected:
    ~CSlider() override;
    // Leading-edge offset (pixels from offsetHandle along the axis) of a normalised value.
    float positionFor(float normalised) const;

    CBitmap* handle_ = nullptr;
    CPoint offset_;
    CPoint offsetHandle_;
    int rangeHandle_ = 0;
    int style_ = 0;
    int handleWidth_ = 0, handleHeight_ = 0;
    Rgb colorHandle_ = 0xC8C8C8;

private:
    void init(int style);
    void anchor(const CPoint& where, int buttons);

    float zoomFactor_ = 10.f;
    CPoint first_;
    float entryValue_ = 0.f;
    CPoint handleAtDown_;
    bool fine_ = false;
    bool dragging_ = false;
};

// Slider with the vertical style bit (minimum at the bottom unless kTop).
class CVerticalSlider : public CSlider {
public:
    CVerticalSlider(const CRect& size, CControlListener* listener, int tag, int minPos, int maxPos,
                    CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(),
                    int style = kBottom);
    CVerticalSlider(const CRect& size, CControlListener* listener, int tag, const CPoint& offsetHandle,
                    int rangeHandle, CBitmap* handle, CBitmap* background,
                    const CPoint& offset = CPoint(), int style = kBottom);
    bool isTypeOf(const char* className) const override;

protected:
    ~CVerticalSlider() override = default;
};

// Slider with the horizontal style bit (minimum at the left unless kRight).
class CHorizontalSlider : public CSlider {
public:
    CHorizontalSlider(const CRect& size, CControlListener* listener, int tag, int minPos, int maxPos,
                      CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(),
                      int style = kLeft);
    CHorizontalSlider(const CRect& size, CControlListener* listener, int tag,
                      const CPoint& offsetHandle, int rangeHandle, CBitmap* handle,
                      CBitmap* background, const CPoint& offset = CPoint(), int style = kLeft);
    bool isTypeOf(const char* className) const override;

protected:
    ~CHorizontalSlider() override = default;
};

}  // namespace hm::gui
