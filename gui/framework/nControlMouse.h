#pragma once
// Cursor hiding for drags ("Hide Mouse"): a drag hides the pointer and remembers
// where it was; at the end the pointer reappears there, or where the control's
// handle went if the control moved the saved position along with it.
namespace hm::gui {

class CFrame;

class nControlMouse {
public:
    virtual ~nControlMouse() = default;
    virtual void setMouseHideEnabled(bool on) { enabled = on; }
    // show: true shows, false hides; withPosition: save the position when hiding,
    // put the pointer back when showing. Nothing happens while disabled.
    virtual void showHide(bool show, bool withPosition);
    virtual void saveCursorPosition();
    virtual void restoreCursorPosition();
    virtual void showCursor(bool show);
    virtual void moveSavedPosition(float dx, float dy);

    bool isMouseHideEnabled() const { return enabled != 0; }
    bool isCursorHidden() const { return cursorHidden != 0; }
    float savedX() const { return savedX_; }
    float savedY() const { return savedY_; }
    // The frame whose window owns the pointer (set by the control on mouse-down).
    void setCursorFrame(CFrame* frame) { cursorFrame_ = frame; }

protected:
    unsigned char enabled = 0;
    unsigned char cursorHidden = 0;
    float savedX_ = 0.f;
    float savedY_ = 0.f;
    CFrame* cursorFrame_ = nullptr;
};

}  // namespace hm::gui
