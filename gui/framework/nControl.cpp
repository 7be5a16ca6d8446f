#include "gui/framework/nControl.h"

#include <cstring>

#include "gui/draw/CDIB.h"
#include "gui/framework/CGViewContainer.h"

namespace hm::gui {

nControl::nControl(const CRect& rect, CControlListener* l, int t, CBitmap* background)
    : CControl(rect, l, t, background) {
    allocateBuffers();
}

nControl::~nControl() {
    if (work_) work_->release();
    if (back_) back_->release();
}

void nControl::allocateBuffers() {
    left = size.left;
    top = size.top;
    right = size.right;
    bottom = size.bottom;
    width = size.width();
    height = size.height();
    if (work_ && work_->getWidth() == width && work_->getHeight() == height) return;
    if (work_) work_->release();
    if (back_) back_->release();
    work_ = new CDIB(width, height);  // starts cleared to 0
    back_ = new CDIB(width, height);
    stride = work_->stride();
}

bool nControl::captureBackground() {
    return back_ && captureBackgroundFromAncestors(this, *back_);
}

void nControl::setViewSize(const CRect& rect, bool invalidate) {
    CControl::setViewSize(rect, invalidate);
    allocateBuffers();
    if (isAttached()) captureBackground();
}

bool nControl::attached(CView* parent) {
    CControl::attached(parent);
    captureBackground();
    return true;
}

void nControl::restoreBackground() {
    if (!work_ || !back_) return;
    CDIB::StateSaver saved(*work_);
    work_->setOrigin(CPoint());
    work_->resetClip();
    work_->copyRect(*back_, CRect(0, 0, width, height), CPoint());
}

void nControl::blitWork(CDrawContext* context) const {
    if (context && work_) work_->draw(*context, size);
}

bool nControl::isTypeOf(const char* className) const {
    return std::strcmp(className, "nControl") == 0 || CControl::isTypeOf(className);
}

}  // namespace hm::gui
