#pragma once
// The open list of a COptionMenu: one pop-up window per menu level (sub-menus
// open to the right of their entry while the pointer rests on it). The pointer
// chooses on release over an entry, once it has moved over the list or pressed
// in it (so the release of the opening click chooses nothing); a press outside
// every level closes the menu; Escape closes it, the arrow keys and Return work
// the list from the keyboard.
#include <functional>
#include <memory>
#include <vector>

#include "gui/draw/Geometry.h"
#include "platform/EditorWindow.h"

namespace hm::gui {

class CDIB;
class CFrame;
class COptionMenu;

class MenuPopup : public platform::WindowClient {
public:
    static constexpr int kItemHeight = 20;
    static constexpr int kSeparatorHeight = 7;
    static constexpr int kPadding = 4;
    static constexpr float kTextSize = 13.f;
    static constexpr int kSubMenuMinWidth = 80;

    using Done = std::function<void(COptionMenu* menu, int index)>;

    // Opens the first level with its top-left at `at` (frame coordinates).
    MenuPopup(CFrame* frame, COptionMenu* root, CPoint at, int minWidth, Done done);
    ~MenuPopup() override;

    bool isOpen() const { return !levels_.empty(); }
    int levelCount() const { return static_cast<int>(levels_.size()); }
    // Rectangle of an entry in frame coordinates (empty when there is none).
    CRect itemRect(int level, int index) const;
    CRect levelRect(int level) const;
    int hoveredItem(int level) const;
    // Closes every level without a choice (the callback hears null, −1).
    void cancel();

    // platform::WindowClient: coordinates relative to the topmost level's window.
    void onMouseDown(int x, int y, int buttons) override;
    void onMouseUp(int x, int y, int buttons) override;
    void onMouseMoved(int x, int y, int buttons) override;
    void onWheel(int x, int y, float distance, int axis, int buttons) override;
    bool onKeyDown(const platform::KeyEvent& key) override;
    bool onKeyUp(const platform::KeyEvent& key) override;
    void onExposed() override;

private:
    struct Level {
        COptionMenu* menu = nullptr;
        std::unique_ptr<platform::PopupWindow> window;
        CDIB* image = nullptr;
        CRect rect;                 // frame coordinates
        std::vector<CRect> items;   // level coordinates
        int hover = -1;
    };

    bool openLevel(COptionMenu* menu, CPoint at, int minWidth);
    void closeLevelsAbove(int level);
    void render(Level& level);
    CPoint toFrame(int x, int y) const;
    // Level and item under a frame point; level −1 when outside every level.
    void hit(const CPoint& p, int& level, int& item) const;
    void setHover(int level, int item);
    void choose(int level, int item);
    void finish(COptionMenu* menu, int index);
    bool selectable(const Level& level, int item) const;

    CFrame* frame_;
    std::vector<Level> levels_;
    Done done_;
    bool armed_ = false;
};

}  // namespace hm::gui
