#pragma once
// Controls with private off-screen buffers: a work buffer the control composes
// into (cleared at creation) and a background buffer holding the picture under
// it, so a redraw composes from memory without asking the parent to redraw.
#include "gui/framework/CControl.h"

namespace hm::gui {

class CDIB;

class nControl : public CControl {
public:
    nControl(const CRect& size, CControlListener* listener, int tag, CBitmap* background = nullptr);

    // Fills the background buffer from the nearest ancestor whose background is a
    // CDIB. Returns false when there is none (the buffer is then left clear).
    bool captureBackground();
    // The buffers follow the view's size.
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    bool attached(CView* parent) override;
    bool isTypeOf(const char* className) const override;

    CDIB* workBuffer() const { return work_; }
    CDIB* backgroundBuffer() const { return back_; }
    // Copies the background buffer into the work buffer (start of a redraw).
    void restoreBackground();
    // Draws the work buffer at the view's place.
    void blitWork(CDrawContext* context) const;

protected:
    ~nControl() override;
    void allocateBuffers();

    // Own copy of the rectangle, kept with the buffers.
    int left = 0, top = 0, right = 0, bottom = 0, width = 0, height = 0;
    int stride = 0;  // bytes per buffer row

private:
    CDIB* work_ = nullptr;
    CDIB* back_ = nullptr;
};

}  // namespace hm::gui
