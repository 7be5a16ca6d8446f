#pragma once
// Hideable containers. While hidden a container draws nothing and takes no mouse
// or wheel input, so events fall through to whatever lies beneath it; showing or
// hiding marks its area for redraw.
#include "gui/framework/CViewContainer.h"

namespace hm::gui {

class CDIB;

// Marks containers that can be hidden.
class iCGinterface {
public:
    virtual ~iCGinterface() = default;
    virtual void setHidden(bool hidden) = 0;
};

class CGViewContainer : public CViewContainer, public iCGinterface {
public:
    explicit CGViewContainer(const CRect& size, bool hidden = false);

    void setHidden(bool hidden) override;
    bool isHidden() const { return hidden; }

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const int& buttons) override;
    bool hitTest(const CPoint& where, const int& buttons = -1) override;
    bool isVisibleContainer() const override { return !hidden; }
    bool isTypeOf(const char* className) const override;

protected:
    ~CGViewContainer() override = default;
    bool acceptsMouse() const override { return !hidden && getMouseEnabled(); }

    bool hidden = false;
};

// Copies the pixels under `view` from the nearest ancestor whose background is a
// CDIB (walking up the parents, summing their origins) into `into` (sized like
// the view). Returns false when no ancestor has such a background; `into` is
// then left as it was.
bool captureBackgroundFromAncestors(const CView* view, CDIB& into);

// A hideable container whose background is the picture under it, taken from the
// nearest ancestor buffer when it is attached (so it can sit on any skin).
class nCGViewContainer : public CGViewContainer {
public:
    explicit nCGViewContainer(const CRect& size, bool hidden = false);
    bool attached(CView* parent) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nCGViewContainer() override = default;
};

}  // namespace hm::gui
