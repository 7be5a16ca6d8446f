#pragma once
// The editor base every window-owning editor of the library derives from: it
// answers the host's editor opcodes with a frame (the view tree's top) in a
// child window of the host's window. Keys and the wheel a host forwards reach
// the frame as if they came from the window.
//
// Hosts on Linux drive the editor from their user-interface thread: open,
// close, idle, keys and wheel. The frame's window belongs to the thread that
// opened it: idle, keys and wheel from any other thread are ignored (the
// window's X connection is used by one thread only), so a host that idles from
// a second thread gets an editor that keeps the picture it had and never a
// crash. Close is accepted from any thread; it waits for an idle pass that is
// running, and a close that arrives from inside an idle pass (a host reacting
// to a value change) is carried out when that pass ends.
#include <atomic>
#include <mutex>
#include <thread>

#include "core/vst/AEffEditor.h"
#include "gui/framework/CFrame.h"

namespace hm::platform {
class HeadlessWindow;
}

namespace hm::gui {

class AEffGUIEditor : public vst::AEffEditor {
public:
    explicit AEffGUIEditor(vst::AudioEffect* effect);
    ~AEffGUIEditor() override;

    // UI thread (the host's), all of them.
    bool getRect(vst::ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    bool isOpen() const override { return frame_ != nullptr; }
    void idle() override;
    bool onKeyDown(vst::VstInt32 character, vst::VstInt32 virtualKey, vst::VstInt32 modifier) override;
    bool onKeyUp(vst::VstInt32 character, vst::VstInt32 virtualKey, vst::VstInt32 modifier) override;
    bool onWheel(float distance) override;

    CFrame* getFrame() const { return frame_; }
    // Whether the calling thread is the one that opened the window.
    bool onWindowThread() const { return std::this_thread::get_id() == windowThread_.load(); }

    // The window size the next frame is made with, and that getRect reports.
    void setWindowSize(int width, int height);
    int windowWidth() const { return rect_.right - rect_.left; }
    int windowHeight() const { return rect_.bottom - rect_.top; }

    // Opens into a window without a display (snapshots, tests): the frame then
    // draws into memory only.
    bool openHeadless();
    platform::HeadlessWindow* headlessWindow() const { return headless_; }

    // The VST key record as the views' key code.
    static KeyCode keyCodeFromHost(vst::VstInt32 character, vst::VstInt32 virtualKey, vst::VstInt32 modifier);

protected:
    // Make the frame's content (the window exists and is the right size).
    virtual bool buildFrame() = 0;
    // Drop every reference to views before the frame goes.
    virtual void frameClosing() {}
    // One pass of the editor's own work; the base pumps events and redraws around it.
    virtual void idlePass() {}

    bool openWith(std::unique_ptr<platform::EditorWindow> window, void* parent);

    CFrame* frame_ = nullptr;
    vst::ERect rect_{};

private:
    platform::HeadlessWindow* headless_ = nullptr;
    void closeNow();

    std::atomic<std::thread::id> windowThread_{};
    std::recursive_mutex windowMutex_;  // never taken on the audio thread
    bool inIdle_ = false;
    bool closePending_ = false;
};

}  // namespace hm::gui
