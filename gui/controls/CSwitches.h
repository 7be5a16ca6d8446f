#pragma once
// Multi-position switches and the rocker.
//
// CVerticalSwitch / CHorizontalSwitch: `maxPositions` positions spread evenly
// over the value range; pressing or dragging picks the position under the
// pointer (the control's height or width divided into equal bands). The picture
// is the film-strip frame for the value. A horizontal switch takes its frames
// side by side when its bitmap is wide enough for them, else stacked.
//
// CRockerSwitch: rests in the middle of its range; pressing the upper half
// (vertical) or right half (horizontal) holds it at the maximum, the other half
// at the minimum, and releasing returns it to the middle. Pictures: maximum,
// middle, minimum.
#include "gui/controls/ControlStyles.h"
#include "gui/framework/CControl.h"

namespace hm::gui {

class CSwitchBase : public CControl {
public:
    CSwitchBase(const CRect& size, CControlListener* listener, int tag, int subPixmaps,
                int heightOfOneImage, int maxPositions, CBitmap* background, const CPoint& offset);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;

    int getMaxPositions() const { return maxPositions_; }
    int getNumSubPixmaps() const { return subPixmaps_; }
    // Position (0 .. maxPositions − 1) the value stands for.
    int currentPosition() const;

protected:
    ~CSwitchBase() override = default;
    // Position under a point (parent coordinates).
    virtual int positionAt(const CPoint& where) const = 0;
    virtual void drawFrame(CDrawContext* context, int frame);

    int subPixmaps_;
    int heightOfOneImage_;
    int maxPositions_;
    CPoint offset_;

private:
    void pick(const CPoint& where);
    bool dragging_ = false;
};

class CVerticalSwitch : public CSwitchBase {
public:
    CVerticalSwitch(const CRect& size, CControlListener* listener, int tag, int subPixmaps,
                    int heightOfOneImage, int maxPositions, CBitmap* background,
                    const CPoint& offset = CPoint());
    bool isTypeOf(const char* className) const override;

protected:
    ~CVerticalSwitch() override = default;
    int positionAt(const CPoint& where) const override;
};

class CHorizontalSwitch : public CSwitchBase {
public:
    CHorizontalSwitch(const CRect& size, CControlListener* listener, int tag, int subPixmaps,
                      int heightOfOneImage, int maxPositions, CBitmap* background,
                      const CPoint& offset = CPoint());
    bool isTypeOf(const char* className) const override;

protected:
    ~CHorizontalSwitch() override = default;
    int positionAt(const CPoint& where) const override;
    void drawFrame(CDrawContext* context, int frame) override;
};

class CRockerSwitch : public CControl {
public:
    CRockerSwitch(const CRect& size, CControlListener* listener, int tag, int heightOfOneImage,
                  CBitmap* background, const CPoint& offset = CPoint(), int style = kHorizontal);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~CRockerSwitch() override = default;

private:
    float valueAt(const CPoint& where) const;
    int heightOfOneImage_;
    CPoint offset_;
    int style_;
    bool dragging_ = false;
};

}  // namespace hm::gui
