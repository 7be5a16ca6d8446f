#include "platform/HeadlessWindow.h"

#include <algorithm>
#include <cstring>

namespace hm::platform {

namespace {
constexpr int kButtonBits = 0x002 | 0x004 | 0x008 | 0x100 | 0x200;
constexpr int kKeyBits = 0x010 | 0x020 | 0x040;
}  // namespace

class HeadlessWindow::Popup : public PopupWindow {
public:
    Popup(HeadlessWindow* owner, int x, int y, int w, int h, WindowClient* client)
        : owner_(owner), x_(x), y_(y), w_(w), h_(h), client_(client),
          pixels_(static_cast<std::size_t>(std::max(w, 0)) * std::max(h, 0), 0xFF000000u) {
        owner_->popups_.push_back(this);
    }
    ~Popup() override {
        if (!owner_) return;  // the window went first
        auto& list = owner_->popups_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    void present(const PixelSource& image) override {
        const int w = std::min(w_, image.width), h = std::min(h_, image.height);
        for (int row = 0; row < h; ++row) {
            const auto* src = reinterpret_cast<const std::uint32_t*>(
                reinterpret_cast<const unsigned char*>(image.pixels) + row * image.strideBytes);
            std::memcpy(&pixels_[static_cast<std::size_t>(row) * w_], src, sizeof(std::uint32_t) * w);
        }
    }
    int x() const override { return x_; }
    int y() const override { return y_; }

    HeadlessWindow* owner_;
    int x_, y_, w_, h_;
    WindowClient* client_;
    std::vector<std::uint32_t> pixels_;
};

HeadlessWindow::HeadlessWindow() = default;

HeadlessWindow::~HeadlessWindow() { close(); }

bool HeadlessWindow::open(void*, int width, int height, WindowClient* client) {
    client_ = client;
    resize(width, height);
    return true;
}

void HeadlessWindow::close() {
    // Pop-ups still held by their callers stay harmless once the window is gone.
    for (Popup* p : popups_) p->owner_ = nullptr;
    popups_.clear();
    client_ = nullptr;
}

void HeadlessWindow::resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * height_, 0xFF000000u);
    if (client_) client_->onExposed();
}

void HeadlessWindow::present(const PixelSource& image, int x, int y, int w, int h) {
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min({x + w, width_, image.width});
    const int bottom = std::min({y + h, height_, image.height});
    if (right <= left || bottom <= top) return;
    for (int row = top; row < bottom; ++row) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(
            reinterpret_cast<const unsigned char*>(image.pixels) + row * image.strideBytes);
        std::memcpy(&pixels_[static_cast<std::size_t>(row) * width_ + left], src + left,
                    sizeof(std::uint32_t) * (right - left));
    }
    if (presentCount_ == 0) {
        presentedArea_ = {left, top, right, bottom};
    } else {
        presentedArea_.left = std::min(presentedArea_.left, left);
        presentedArea_.top = std::min(presentedArea_.top, top);
        presentedArea_.right = std::max(presentedArea_.right, right);
        presentedArea_.bottom = std::max(presentedArea_.bottom, bottom);
    }
    ++presentCount_;
}

void HeadlessWindow::pointerState(int& x, int& y, int& buttons) {
    x = pointerX_;
    y = pointerY_;
    buttons = heldButtons_ | modifiers_;
}

void HeadlessWindow::warpPointer(int x, int y) {
    pointerX_ = x;
    pointerY_ = y;
}

std::unique_ptr<PopupWindow> HeadlessWindow::openPopup(int x, int y, int width, int height,
                                                       WindowClient* client) {
    // Kept inside the window, as a real pop-up is kept on the screen.
    x = std::max(0, std::min(x, width_ - width));
    y = std::max(0, std::min(y, height_ - height));
    return std::make_unique<Popup>(this, x, y, width, height, client);
}

WindowClient* HeadlessWindow::mouseTarget(int& x, int& y) const {
    if (!popups_.empty()) {
        const Popup* p = popups_.back();
        x -= p->x_;
        y -= p->y_;
        return p->client_;
    }
    return client_;
}

void HeadlessWindow::press(int x, int y, int buttons) {
    pointerX_ = x;
    pointerY_ = y;
    heldButtons_ |= buttons & kButtonBits;
    modifiers_ = buttons & kKeyBits;
    if (WindowClient* c = mouseTarget(x, y)) c->onMouseDown(x, y, buttons);
}

void HeadlessWindow::move(int x, int y, int modifiers) {
    if (modifiers >= 0) modifiers_ = modifiers & kKeyBits;
    pointerX_ = x;
    pointerY_ = y;
    if (WindowClient* c = mouseTarget(x, y)) c->onMouseMoved(x, y, heldButtons_ | modifiers_);
}

void HeadlessWindow::release(int x, int y, int buttons) {
    pointerX_ = x;
    pointerY_ = y;
    heldButtons_ &= ~(buttons & kButtonBits);
    modifiers_ = buttons & kKeyBits;
    if (WindowClient* c = mouseTarget(x, y)) c->onMouseUp(x, y, buttons);
}

void HeadlessWindow::wheel(int x, int y, float distance, int modifiers, int axis) {
    pointerX_ = x;
    pointerY_ = y;
    if (WindowClient* c = mouseTarget(x, y)) c->onWheel(x, y, distance, axis, modifiers & kKeyBits);
}

bool HeadlessWindow::key(const KeyEvent& k) {
    WindowClient* c = popups_.empty() ? client_ : popups_.back()->client_;
    if (!c) return false;
    const bool used = c->onKeyDown(k);
    c->onKeyUp(k);
    return used;
}

void HeadlessWindow::typeText(const char* ascii) {
    for (; ascii && *ascii; ++ascii) key({Key::kCharacter, static_cast<char32_t>(*ascii), 0});
}

std::vector<std::uint32_t> HeadlessWindow::composite() const {
    std::vector<std::uint32_t> out = pixels_;
    for (const Popup* p : popups_) {
        for (int row = 0; row < p->h_; ++row) {
            const int y = p->y_ + row;
            if (y < 0 || y >= height_) continue;
            for (int col = 0; col < p->w_; ++col) {
                const int x = p->x_ + col;
                if (x < 0 || x >= width_) continue;
                out[static_cast<std::size_t>(y) * width_ + x] = p->pixels_[static_cast<std::size_t>(row) * p->w_ + col];
            }
        }
    }
    return out;
}

HeadlessWindow::Area HeadlessWindow::topPopupRect() const {
    if (popups_.empty()) return {};
    const Popup* p = popups_.back();
    return {p->x_, p->y_, p->x_ + p->w_, p->y_ + p->h_};
}

bool HeadlessWindow::desktopSize(int& width, int& height) const {
    width = desktopWidth_;
    height = desktopHeight_;
    return width > 0 && height > 0;
}

void HeadlessWindow::setDesktopSize(int width, int height) {
    desktopWidth_ = width;
    desktopHeight_ = height;
}

}  // namespace hm::platform
