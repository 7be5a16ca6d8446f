#include "gui/editor/iControlWrapper.h"

#include <cstring>

namespace hm::gui {

iControlWrapper::iControlWrapper(iControl* page, CView* view)
    : CControl(page->getRect(), nullptr, page->getTag()), page_(page), view_(view) {}

void iControlWrapper::setValue(float val) {
    value = val;
    page_->setValue(val);
}

void iControlWrapper::setDirty(bool state) { page_->setDirty(state); }

void iControlWrapper::setViewSize(const CRect& rect, bool invalidate) {
    size = rect;
    view_->setViewSize(rect, invalidate);
}

void iControlWrapper::setMouseableArea(const CRect& rect) { page_->setMouseableArea(rect); }

void iControlWrapper::setBackground(CBitmap* background) { page_->setBackground(background); }

bool iControlWrapper::isTypeOf(const char* className) const {
    return std::strcmp(className, "iControlWrapper") == 0 || CControl::isTypeOf(className);
}

}  // namespace hm::gui
