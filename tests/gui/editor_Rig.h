#pragma once
// An equaliser instance with its editor opened into a window-less frame: what
// the editor tests drive. Controls are simulated by a plain control that the
// test sets and hands to the editor's listener.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

#include "core/Plug.h"
#include "core/params/Conversion.h"
#include "gui/editor/PlugEd.h"
#include "gui/framework/CControl.h"
#include "platform/HeadlessWindow.h"

namespace hm::gui::test {

struct HostCall {
    int opcode;
    int index;
    vst::VstIntPtr value;
    float opt;
};

class EditorRig {
public:
    // userSetUp: the user has a default bank already, so the editor starts on
    // the equaliser rather than with the setup wizard.
    explicit EditorRig(int channels = 2, bool open = true, bool userSetUp = true) {
        if (userSetUp) ensureDefaultBank();
        current() = this;
        plug = std::make_unique<Plug>(&EditorRig::hostCallback, channels);
        editor = dynamic_cast<PlugEd*>(plug->getEditor());
        if (open && editor) editor->openHeadless();
    }
    ~EditorRig() {
        if (editor) editor->close();
        plug.reset();
        if (current() == this) current() = nullptr;
    }
    EditorRig(const EditorRig&) = delete;
    EditorRig& operator=(const EditorRig&) = delete;

    platform::HeadlessWindow* window() const { return editor->headlessWindow(); }

    // A control of `tag` reports `value` (inside its own edit, as a click does).
    void change(int tag, float value) {
        auto* c = new CControl(CRect(0, 0, 10, 10), editor, tag);
        c->setValue(value);
        c->beginEdit();
        editor->valueChanged(c);
        c->endEdit();
        c->release();
    }
    // A drag: begin, several values, end.
    void drag(int tag, const std::vector<float>& values) {
        auto* c = new CControl(CRect(0, 0, 10, 10), editor, tag);
        c->beginEdit();
        for (float v : values) {
            c->setValue(v);
            editor->valueChanged(c);
        }
        c->endEdit();
        c->release();
    }
    // Holds modifier keys (as the pointer's state reports them) from now on.
    void holdKeys(int keys) { window()->move(1, 1, keys); }

    float value(int index) const { return plug->getParameter(index); }
    // The real value as the editor shows it (band gains with Scale, frequencies with Shift).
    double real(int index) const { return plug->normalisedToReal(index, plug->getParameter(index)); }
    // Normalised value of a real value by the parameter's own conversion.
    float normalised(int index, double real) const { return static_cast<float>(plug->realToNormalised(index, real)); }

    int countCalls(int opcode, int index = -1) const {
        std::lock_guard lock(mutex_);
        int n = 0;
        for (const HostCall& c : calls_) n += c.opcode == opcode && (index < 0 || c.index == index);
        return n;
    }
    std::vector<HostCall> calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    void clearCalls() {
        std::lock_guard lock(mutex_);
        calls_.clear();
    }

    std::unique_ptr<Plug> plug;
    PlugEd* editor = nullptr;

private:
    // Written once per user folder from a fresh instance's state.
    static void ensureDefaultBank() {
        Plug first(&EditorRig::hostCallback);
        if (first.firstRunSetupWanted()) first.saveStateAsDefault();
    }
    static EditorRig*& current() {
        static EditorRig* rig = nullptr;
        return rig;
    }
    static vst::VstIntPtr hostCallback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index,
                                       vst::VstIntPtr value, void*, float opt) {
        if (EditorRig* rig = current()) {
            std::lock_guard lock(rig->mutex_);
            rig->calls_.push_back({opcode, index, value, opt});
        }
        return opcode == vst::audioMasterVersion ? 2400 : 0;
    }

    mutable std::mutex mutex_;
    std::vector<HostCall> calls_;
};

}  // namespace hm::gui::test
