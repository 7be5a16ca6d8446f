#pragma once
// Lets a container take part in the tag/value traffic like a control: the
// editor reaches pages by tag through this interface (wrapped so they look like
// controls to its lists).
#include "gui/draw/Geometry.h"

namespace hm::gui {

class CBitmap;

class iControl {
public:
    iControl(int tag, const CRect& rect) : iTag(tag), iRect(rect) {}
    virtual ~iControl() = default;
    virtual int getTag() const { return iTag; }
    virtual float getValue() const { return iValue; }
    virtual void setValue(float value) { iValue = value; }
    virtual void setDirty(bool state = true) = 0;
    virtual void reservedSlot() {}
    virtual void setMouseableArea(const CRect& rect) = 0;
    virtual void setBackground(CBitmap* background) = 0;
    virtual CRect getRect() const { return iRect; }

protected:
    int iTag = -1;
    float iValue = 0.f;
    CRect iRect;
};

}  // namespace hm::gui
