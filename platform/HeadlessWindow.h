#pragma once
// An editor window without a display: presented pixels land in a memory image,
// input is injected by the caller (tests, the gallery). Pop-ups are kept as
// overlays in window coordinates; while one is open it receives all mouse input,
// as a pointer grab would give it on a real display.
#include <cstdint>
#include <vector>

#include "platform/EditorWindow.h"

namespace hm::platform {

class HeadlessWindow : public EditorWindow {
public:
    HeadlessWindow();
    ~HeadlessWindow() override;

    bool open(void* parent, int width, int height, WindowClient* client) override;
    void close() override;
    bool isOpen() const override { return client_ != nullptr; }
    void resize(int width, int height) override;
    int width() const override { return width_; }
    int height() const override { return height_; }
    void pumpEvents() override {}
    void present(const PixelSource& image, int x, int y, int w, int h) override;
    void pointerState(int& x, int& y, int& buttons) override;
    void setCursorVisible(bool visible) override { cursorVisible_ = visible; }
    bool cursorVisible() const override { return cursorVisible_; }
    void warpPointer(int x, int y) override;
    void takeKeyboardFocus(bool take) override { keyboardFocus_ = take; }
    std::unique_ptr<PopupWindow> openPopup(int x, int y, int width, int height,
                                           WindowClient* client) override;
    // No screen until the caller gives it one (a test's pretend desktop).
    bool desktopSize(int& width, int& height) const override;
    void setDesktopSize(int width, int height);

    // Injected input (window coordinates). press/release carry one button bit plus
    // modifier keys (and the double-click bit when the caller means one).
    void press(int x, int y, int buttons);
    // modifiers: shift/control/alt held from now on (−1 keeps those of the last press).
    void move(int x, int y, int modifiers = -1);
    void release(int x, int y, int buttons);
    void wheel(int x, int y, float distance, int modifiers = 0, int axis = 0);
    bool key(const KeyEvent& k);
    void typeText(const char* ascii);

    // What has been presented, with open pop-ups drawn over it.
    std::vector<std::uint32_t> composite() const;
    const std::vector<std::uint32_t>& presented() const { return pixels_; }
    // Area of the last present calls since resetPresentedArea (union), and how many calls.
    struct Area { int left = 0, top = 0, right = 0, bottom = 0; };
    Area presentedArea() const { return presentedArea_; }
    int presentCount() const { return presentCount_; }
    void resetPresentedArea() { presentedArea_ = {}; presentCount_ = 0; }

    bool hasKeyboardFocus() const { return keyboardFocus_; }
    int openPopupCount() const { return static_cast<int>(popups_.size()); }
    // Rectangle of the topmost pop-up in window coordinates (all 0 when none).
    Area topPopupRect() const;

private:
    class Popup;
    friend class Popup;
    WindowClient* mouseTarget(int& x, int& y) const;

    WindowClient* client_ = nullptr;
    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;
    Area presentedArea_;
    int presentCount_ = 0;
    int pointerX_ = 0, pointerY_ = 0, heldButtons_ = 0, modifiers_ = 0;
    bool cursorVisible_ = true;
    bool keyboardFocus_ = false;
    int desktopWidth_ = 0, desktopHeight_ = 0;
    std::vector<Popup*> popups_;  // open pop-ups, topmost last (owned by their callers)
};

}  // namespace hm::platform
