#pragma once
// Rotary knobs. Dragging is linear: moving the pointer up or right by
// `getRange()` pixels sweeps the whole value range; in fine mode (the fine
// modifier held) the same sweep takes `zoomFactor` times as far. Holding or
// releasing the fine modifier mid-drag continues from where the value is, so
// the value never jumps. The reset modifier or a double click sets the default
// value. The wheel moves by the wheel increment per notch (a tenth in fine mode).
//
// CKnob draws its background and a handle (a bitmap, or a line when there is
// none) on an arc of 270 degrees from lower left (minimum) to lower right.
// CAnimKnob shows one picture of a film strip per value instead.
#include "gui/controls/LinearDrag.h"
#include "gui/framework/CControl.h"
#include "gui/framework/nControlMouse.h"

namespace hm::gui {

class CKnob : public CControl, public nControlMouse {
public:
    CKnob(const CRect& size, CControlListener* listener, int tag, CBitmap* background,
          CBitmap* handle, const CPoint& offset = CPoint());

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

    // Pixels of pointer travel for the whole range (normal mode).
    void setRange(float pixels) { range_ = pixels > 1.f ? pixels : 1.f; }
    float getRange() const { return range_; }
    void setZoomFactor(float f) { zoomFactor_ = f > 1.f ? f : 1.f; }
    float getZoomFactor() const { return zoomFactor_; }
    void setInsetValue(int inset) { inset_ = inset; }
    void setColorHandle(Rgb c) { colorHandle_ = c; }
    void setColorShadowHandle(Rgb c) { colorShadowHandle_ = c; }
    // Angle of the handle for the current value, radians clockwise from straight up.
    float valueToAngle() const;

protected:
    ~CKnob() override;
    virtual void drawHandle(CDrawContext* context);

    CBitmap* handle_ = nullptr;
    CPoint offset_;
    int inset_ = 3;
    Rgb colorHandle_ = 0xFFFFFF;
    Rgb colorShadowHandle_ = 0x202020;

private:
    float range_ = 200.f;
    float zoomFactor_ = 10.f;
    LinearDrag drag_;
    bool dragging_ = false;
};

class CAnimKnob : public CKnob {
public:
    // subPixmaps pictures of heightOfOneImage pixels each.
    CAnimKnob(const CRect& size, CControlListener* listener, int tag, int subPixmaps,
              int heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint());

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;
    // With inverse, the first picture shows the maximum.
    void setInverseBitmap(bool inverse) { inverse_ = inverse; }
    int getNumSubPixmaps() const { return subPixmaps_; }
    int getHeightOfOneImage() const { return heightOfOneImage_; }
    int currentFrame() const;

protected:
    ~CAnimKnob() override = default;

private:
    int subPixmaps_;
    int heightOfOneImage_;
    bool inverse_ = false;
};

}  // namespace hm::gui
