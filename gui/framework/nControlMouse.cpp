#include "gui/framework/nControlMouse.h"

#include <cmath>

#include "gui/framework/CFrame.h"

namespace hm::gui {

void nControlMouse::showHide(bool show, bool withPosition) {
    if (!enabled) return;
    const bool changes = show ? cursorHidden != 0 : cursorHidden == 0;
    if (withPosition) {
        if (!changes) return;
        if (show) restoreCursorPosition();
        else saveCursorPosition();
    }
    if (changes) {
        showCursor(show);
        cursorHidden = show ? 0 : 1;
    }
}

void nControlMouse::saveCursorPosition() {
    CPoint p;
    if (cursorFrame_ && cursorFrame_->getCurrentMouseLocation(p)) {
        savedX_ = static_cast<float>(p.x);
        savedY_ = static_cast<float>(p.y);
    }
}

void nControlMouse::restoreCursorPosition() {
    if (cursorFrame_)
        cursorFrame_->setCursorPosition(CPoint(static_cast<int>(std::lround(savedX_)),
                                               static_cast<int>(std::lround(savedY_))));
}

void nControlMouse::showCursor(bool show) {
    if (cursorFrame_) cursorFrame_->setCursorVisible(show);
}

void nControlMouse::moveSavedPosition(float dx, float dy) {
    savedX_ += dx;
    savedY_ += dy;
}

}  // namespace hm::gui
