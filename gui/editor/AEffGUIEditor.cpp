#include "gui/editor/AEffGUIEditor.h"

#include "gui/framework/Modifiers.h"
#include "platform/HeadlessWindow.h"

namespace hm::gui {

AEffGUIEditor::AEffGUIEditor(vst::AudioEffect* effect) : vst::AEffEditor(effect) { setWindowSize(750, 421); }

AEffGUIEditor::~AEffGUIEditor() {
    // Derived editors close in their own destructor; this only catches a frame left behind.
    if (frame_) {
        frame_->close();
        frame_->release();
        frame_ = nullptr;
    }
}

void AEffGUIEditor::setWindowSize(int width, int height) {
    rect_.left = 0;
    rect_.top = 0;
    rect_.right = static_cast<std::int16_t>(width);
    rect_.bottom = static_cast<std::int16_t>(height);
}

bool AEffGUIEditor::getRect(vst::ERect** rect) {
    if (!rect) return false;
    *rect = &rect_;
    return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
    std::lock_guard lock(windowMutex_);
    if (inIdle_) return false;
    // Some hosts open again without closing first.
    close();
    return openWith(platform::createX11EditorWindow(), parentWindow);
}

bool AEffGUIEditor::openHeadless() {
    std::lock_guard lock(windowMutex_);
    if (inIdle_) return false;
    close();
    auto window = std::make_unique<platform::HeadlessWindow>();
    platform::HeadlessWindow* raw = window.get();
    if (!openWith(std::move(window), nullptr)) return false;
    headless_ = raw;
    return true;
}

bool AEffGUIEditor::openWith(std::unique_ptr<platform::EditorWindow> window, void* parent) {
    if (!window) return false;  // no display
    frame_ = new CFrame(CRect(0, 0, windowWidth(), windowHeight()));
    if (!frame_->open(std::move(window), parent)) {
        frame_->release();
        frame_ = nullptr;
        return false;
    }
    windowThread_.store(std::this_thread::get_id());
    systemWindow_ = parent;
    if (!buildFrame()) {
        close();
        return false;
    }
    // The first picture is there even for a host that never calls idle.
    frame_->updateDirty();
    return true;
}

void AEffGUIEditor::close() {
    std::lock_guard lock(windowMutex_);
    if (!frame_) return;
    if (inIdle_) {
        // Views of this pass are still on the stack.
        closePending_ = true;
        return;
    }
    closeNow();
}

void AEffGUIEditor::closeNow() {
    closePending_ = false;
    if (!frame_) return;
    frameClosing();
    CFrame* frame = frame_;
    frame_ = nullptr;
    headless_ = nullptr;
    frame->close();
    frame->release();
    systemWindow_ = nullptr;
    windowThread_.store(std::thread::id());
}

void AEffGUIEditor::idle() {
    std::unique_lock lock(windowMutex_, std::try_to_lock);
    if (!lock || !frame_ || !onWindowThread() || inIdle_) return;
    inIdle_ = true;
    frame_->pumpEvents();
    if (!closePending_) idlePass();
    if (!closePending_) frame_->idle();
    inIdle_ = false;
    if (closePending_) closeNow();
}

KeyCode AEffGUIEditor::keyCodeFromHost(vst::VstInt32 character, vst::VstInt32 virtualKey, vst::VstInt32 modifier) {
    KeyCode k;
    switch (virtualKey) {
        case vst::VKEY_BACK: k.virt = KeyCode::kBack; break;
        case vst::VKEY_TAB: k.virt = KeyCode::kTab; break;
        case vst::VKEY_RETURN:
        case vst::VKEY_ENTER: k.virt = KeyCode::kReturn; break;
        case vst::VKEY_ESCAPE: k.virt = KeyCode::kEscape; break;
        case vst::VKEY_END: k.virt = KeyCode::kEnd; break;
        case vst::VKEY_HOME: k.virt = KeyCode::kHome; break;
        case vst::VKEY_LEFT: k.virt = KeyCode::kLeft; break;
        case vst::VKEY_UP: k.virt = KeyCode::kUp; break;
        case vst::VKEY_RIGHT: k.virt = KeyCode::kRight; break;
        case vst::VKEY_DOWN: k.virt = KeyCode::kDown; break;
        case vst::VKEY_DELETE: k.virt = KeyCode::kDelete; break;
        case vst::VKEY_SPACE: k.character = U' '; break;
        default:
            if (character >= 0x20 && character < 0x110000) k.character = static_cast<char32_t>(character);
            break;
    }
    if (modifier & vst::MODIFIER_SHIFT) k.modifiers |= kShift;
    if (modifier & vst::MODIFIER_ALTERNATE) k.modifiers |= kAlt;
    if (modifier & vst::MODIFIER_CONTROL) k.modifiers |= kControl;
    return k;
}

bool AEffGUIEditor::onKeyDown(vst::VstInt32 character, vst::VstInt32 virtualKey, vst::VstInt32 modifier) {
    std::unique_lock lock(windowMutex_, std::try_to_lock);
    if (!lock || !frame_ || !onWindowThread() || closePending_) return false;
    const KeyCode k = keyCodeFromHost(character, virtualKey, modifier);
    if (!k.character && !k.virt) return false;
    return frame_->onKeyDown(k);
}

bool AEffGUIEditor::onKeyUp(vst::VstInt32 character, vst::VstInt32 virtualKey, vst::VstInt32 modifier) {
    std::unique_lock lock(windowMutex_, std::try_to_lock);
    if (!lock || !frame_ || !onWindowThread() || closePending_) return false;
    const KeyCode k = keyCodeFromHost(character, virtualKey, modifier);
    if (!k.character && !k.virt) return false;
    return frame_->onKeyUp(k);
}

bool AEffGUIEditor::onWheel(float distance) {
    std::unique_lock lock(windowMutex_, std::try_to_lock);
    if (!lock || !frame_ || !onWindowThread() || closePending_) return false;
    return frame_->onHostWheel(distance);
}

}  // namespace hm::gui
