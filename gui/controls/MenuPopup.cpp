#include "gui/controls/MenuPopup.h"

#include <algorithm>

#include "gui/controls/COptionMenu.h"
#include "gui/draw/CDIB.h"
#include "gui/draw/Fonts.h"
#include "gui/framework/CFrame.h"

namespace hm::gui {

namespace {
constexpr Rgb kBack = 0x25282C;
constexpr Rgb kBorder = 0x5A6068;
constexpr Rgb kHover = 0x3A6EA8;
constexpr Rgb kText = 0xE6E6E6;
constexpr Rgb kTextDisabled = 0x70757C;
constexpr Rgb kSeparator = 0x454A51;
constexpr int kTextLeft = 22;
constexpr int kArrowRoom = 18;
}  // namespace

MenuPopup::MenuPopup(CFrame* frame, COptionMenu* root, CPoint at, int minWidth, Done done)
    : frame_(frame), done_(std::move(done)) {
    openLevel(root, at, minWidth);
}

MenuPopup::~MenuPopup() { closeLevelsAbove(-1); }

bool MenuPopup::openLevel(COptionMenu* menu, CPoint at, int minWidth) {
    if (!frame_ || !menu) return false;
    Level level;
    level.menu = menu;
    const TrueTypeFont& font = TrueTypeFont::futura();
    int width = minWidth;
    int y = kPadding;
    for (int i = 0; i < menu->getNbEntries(); ++i) {
        const COptionMenu::Entry* e = menu->getEntryRecord(i);
        const int h = e->separator ? kSeparatorHeight : kItemHeight;
        level.items.push_back(CRect::fromSize(1, y, 0, h));
        y += h;
        if (!e->separator) width = std::max(width, kTextLeft + font.measure(e->title, kTextSize) + kArrowRoom);
    }
    const int height = y + kPadding;
    for (CRect& r : level.items) r.right = width - 1;
    level.window = frame_->openPopup(CRect::fromSize(at.x, at.y, width, height), this);
    if (!level.window) return false;
    level.rect = CRect::fromSize(level.window->x(), level.window->y(), width, height);
    level.image = new CDIB(width, height);
    levels_.push_back(std::move(level));
    render(levels_.back());
    return true;
}

void MenuPopup::closeLevelsAbove(int keep) {
    while (static_cast<int>(levels_.size()) > keep + 1) {
        Level& l = levels_.back();
        l.window.reset();
        if (l.image) l.image->release();
        levels_.pop_back();
    }
}

void MenuPopup::render(Level& level) {
    CDIB& img = *level.image;
    img.setOrigin(CPoint());
    img.resetClip();
    img.fillRect(CRect(0, 0, img.getWidth(), img.getHeight()), kBack);
    img.frameRect(CRect(0, 0, img.getWidth(), img.getHeight()), kBorder);
    const TrueTypeFont& font = TrueTypeFont::futura();
    for (int i = 0; i < static_cast<int>(level.items.size()); ++i) {
        const COptionMenu::Entry* e = level.menu->getEntryRecord(i);
        const CRect& r = level.items[static_cast<std::size_t>(i)];
        if (e->separator) {
            img.drawHLine(r.left + 6, r.right - 7, r.top + r.height() / 2, kSeparator);
            continue;
        }
        if (i == level.hover && e->enabled) img.fillRect(r, kHover);
        const Rgb colour = e->enabled ? kText : kTextDisabled;
        font.drawInRect(img, CRect(r.left + kTextLeft, r.top, r.right - kArrowRoom, r.bottom), e->title,
                        kTextSize, colour, TextAlign::kLeft);
        if (e->checked) {
            const float cx = r.left + 7.f, cy = r.top + r.height() * 0.5f;
            img.drawLine(cx, cy, cx + 3.f, cy + 3.5f, colour, 1.f, 1.6f);
            img.drawLine(cx + 3.f, cy + 3.5f, cx + 9.f, cy - 4.f, colour, 1.f, 1.6f);
        }
        if (e->submenu) {
            const float ax = r.right - 12.f, ay = r.top + r.height() * 0.5f;
            const float tri[] = {ax, ay - 4.f, ax + 5.f, ay, ax, ay + 4.f};
            img.fillPolygon(tri, 3, colour);
        }
    }
    if (level.window)
        level.window->present({img.pixels(), img.getWidth(), img.getHeight(), img.stride()});
}

CRect MenuPopup::itemRect(int level, int index) const {
    if (level < 0 || level >= levelCount()) return {};
    const Level& l = levels_[static_cast<std::size_t>(level)];
    if (index < 0 || index >= static_cast<int>(l.items.size())) return {};
    CRect r = l.items[static_cast<std::size_t>(index)];
    r.offset(l.rect.left, l.rect.top);
    return r;
}

CRect MenuPopup::levelRect(int level) const {
    if (level < 0 || level >= levelCount()) return {};
    return levels_[static_cast<std::size_t>(level)].rect;
}

int MenuPopup::hoveredItem(int level) const {
    if (level < 0 || level >= levelCount()) return -1;
    return levels_[static_cast<std::size_t>(level)].hover;
}

CPoint MenuPopup::toFrame(int x, int y) const {
    if (levels_.empty()) return CPoint(x, y);
    const Level& top = levels_.back();
    return CPoint(x + top.rect.left, y + top.rect.top);
}

void MenuPopup::hit(const CPoint& p, int& level, int& item) const {
    level = -1;
    item = -1;
    for (int l = levelCount() - 1; l >= 0; --l) {
        const Level& lv = levels_[static_cast<std::size_t>(l)];
        if (!lv.rect.pointInside(p)) continue;
        level = l;
        const CPoint local(p.x - lv.rect.left, p.y - lv.rect.top);
        for (int i = 0; i < static_cast<int>(lv.items.size()); ++i)
            if (lv.items[static_cast<std::size_t>(i)].pointInside(local)) item = i;
        return;
    }
}

bool MenuPopup::selectable(const Level& level, int item) const {
    const COptionMenu::Entry* e = level.menu->getEntryRecord(item);
    return e && !e->separator && e->enabled;
}

void MenuPopup::setHover(int level, int item) {
    if (level < 0 || level >= levelCount()) return;
    Level& l = levels_[static_cast<std::size_t>(level)];
    if (l.hover == item) return;
    l.hover = item;
    closeLevelsAbove(level);
    render(levels_[static_cast<std::size_t>(level)]);
    if (item >= 0) {
        const COptionMenu::Entry* e = levels_[static_cast<std::size_t>(level)].menu->getEntryRecord(item);
        if (e && e->submenu && e->enabled) {
            const CRect r = itemRect(level, item);
            openLevel(e->submenu, CPoint(levels_[static_cast<std::size_t>(level)].rect.right - 2,
                                         r.top - kPadding),
                      kSubMenuMinWidth);
        }
    }
}

void MenuPopup::choose(int level, int item) {
    if (level < 0 || level >= levelCount()) return;
    const Level& l = levels_[static_cast<std::size_t>(level)];
    if (!selectable(l, item)) return;
    const COptionMenu::Entry* e = l.menu->getEntryRecord(item);
    if (e->submenu) return;  // a sub-menu opens on hover; choosing it does nothing
    finish(l.menu, item);
}

void MenuPopup::finish(COptionMenu* menu, int index) {
    // Windows go first: the listener may open dialogs or rebuild views.
    Done done = std::move(done_);
    done_ = nullptr;
    closeLevelsAbove(-1);
    if (done) done(menu, index);
}

void MenuPopup::cancel() {
    if (isOpen() || done_) finish(nullptr, -1);
}

void MenuPopup::onMouseDown(int x, int y, int) {
    int level, item;
    hit(toFrame(x, y), level, item);
    if (level < 0) {
        cancel();
        return;
    }
    armed_ = true;
    setHover(level, item);
}

void MenuPopup::onMouseUp(int x, int y, int) {
    if (!armed_) return;
    int level, item;
    hit(toFrame(x, y), level, item);
    if (level >= 0 && item >= 0) choose(level, item);
}

void MenuPopup::onMouseMoved(int x, int y, int) {
    int level, item;
    hit(toFrame(x, y), level, item);
    if (level < 0) return;
    if (item >= 0 && item != levels_[static_cast<std::size_t>(level)].hover) armed_ = true;
    // Moving onto a parent level's other entry closes the sub-menu; leaving an
    // entry for the gap keeps the last hover.
    if (item >= 0) setHover(level, item);
}

void MenuPopup::onWheel(int, int, float, int, int) {}

bool MenuPopup::onKeyDown(const platform::KeyEvent& key) {
    if (levels_.empty()) return false;
    const int top = levelCount() - 1;
    Level& l = levels_.back();
    const int n = static_cast<int>(l.items.size());
    switch (key.key) {
        case platform::Key::kEscape: cancel(); return true;
        case platform::Key::kDown:
        case platform::Key::kUp: {
            if (n == 0) return true;
            const int step = key.key == platform::Key::kDown ? 1 : -1;
            int i = l.hover;
            for (int tries = 0; tries < n; ++tries) {
                i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
                if (selectable(l, i)) break;
            }
            armed_ = true;
            setHover(top, i);
            return true;
        }
        case platform::Key::kLeft:
            if (top > 0) closeLevelsAbove(top - 1);
            return true;
        case platform::Key::kReturn: choose(top, l.hover); return true;
        default: return true;  // the menu holds the keyboard while open
    }
}

bool MenuPopup::onKeyUp(const platform::KeyEvent&) { return true; }

void MenuPopup::onExposed() {
    for (Level& l : levels_) render(l);
}

}  // namespace hm::gui
