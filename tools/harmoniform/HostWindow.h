#pragma once
// The window a host gives a plug-in editor: a top-level X11 window that the
// editor opens its own window into, as Linux hosts do. Used by the editor
// command and the real-window tests. One thread (the caller's) only.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hm::host {

// The visual of the host's window: the screen's default, another 24-bit TrueColor
// visual than the default, or a 32-bit TrueColor visual with alpha (hosts that
// composite their windows).
enum class HostVisual { Default, Other24, Argb32 };

class HostWindow {
public:
    ~HostWindow();
    // Null (with a reason) when no X display can be opened, or the server has no
    // visual of the kind asked for.
    static std::unique_ptr<HostWindow> open(int width, int height, const std::string& title, std::string& error,
                                            HostVisual visual = HostVisual::Default);

    // The X11 window id, as effEditOpen takes it.
    void* handle() const;
    void resize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    // Handles the host window's own events; false once the user asked to close it.
    bool pump();
    // Waits until the window is mapped (the server shows it); false after timeoutMs.
    bool waitMapped(int timeoutMs);
    // The pixels shown in the window's area (children included), 0x00RRGGBB
    // words, rows top-down; false when the server refuses.
    bool capture(std::vector<std::uint32_t>& pixels, int& width, int& height);
    // The same, each word as the server holds it (with the alpha of a 32-bit visual).
    bool captureWords(std::vector<std::uint32_t>& pixels, int& width, int& height);
    // Synthetic input through the XTEST extension at window coordinates:
    // false when the server has no XTEST.
    bool click(int x, int y, int button = 1);
    bool moveTo(int x, int y);
    // A button pressed at a point and released later (drags: moveTo between them).
    bool press(int x, int y, int button = 1);
    bool release(int button = 1);
    // Waits until the server has handled every request of this connection.
    void sync();
    // Windows that others (the plug-in's editor) made inside this one.
    int childCount();

private:
    HostWindow() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int width_ = 0, height_ = 0;
};

}  // namespace hm::host
