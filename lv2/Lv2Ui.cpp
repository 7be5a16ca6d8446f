#include "lv2/Lv2Ui.h"

#include <lv2/instance-access/instance-access.h>

#include <cstring>
#include <memory>
#include <new>

#include "gui/editor/WindowRequest.h"
#include "lv2/Features.h"
#include "lv2/Lv2Instance.h"

namespace hm::lv2 {
namespace {

vst::VstIntPtr dispatch(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                        void* ptr = nullptr) {
    return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
}

}  // namespace

Lv2Ui* Lv2Ui::create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                     const LV2_Feature* const* features) {
    void* parent = const_cast<void*>(findFeature(features, LV2_UI__parent));
    auto* instance = static_cast<Lv2Instance*>(const_cast<void*>(findFeature(features, LV2_INSTANCE_ACCESS_URI)));
    if (!parent || !instance || !write || !widget || !instance->attachUi()) return nullptr;
    std::unique_ptr<Lv2Ui> self(new (std::nothrow) Lv2Ui(instance));
    if (!self) {
        instance->detachUi();
        return nullptr;
    }
    self->write_ = write;
    self->controller_ = controller;
    self->resize_ = static_cast<const LV2UI_Resize*>(findFeature(features, LV2_UI__resize));
    self->touch_ = static_cast<const LV2UI_Touch*>(findFeature(features, LV2_UI__touch));
    vst::AEffect* effect = instance->effect();
    void* window = nullptr;
    if (dispatch(effect, vst::effEditOpen, 0, 0, parent) != 1 ||
        dispatch(effect, vst::effVendorSpecific, gui::kSnapshotIndex, gui::kWindowValue, &window) != 1) {
        return nullptr;  // the destructor closes what opened and lets the instance go
    }
    *widget = window;
    for (int i = 0; i < kNumParams; ++i) self->hostPorts_[i] = self->instanceSeen_[i] = instance->portValueNow(i);
    self->followEditorSize();
    return self.release();
}

Lv2Ui::~Lv2Ui() {
    // A gesture cut short by closing must not leave the host recording.
    for (int i = 0; i < kNumParams; ++i)
        if (touched_[i]) touch(i, false);
    dispatch(instance_->effect(), vst::effEditClose);
    instance_->detachUi();
}

int Lv2Ui::idle() {
    dispatch(instance_->effect(), vst::effEditIdle);
    deliverGestures();
    followInstance();
    followEditorSize();
    return 0;
}

void Lv2Ui::hostPortChanged(std::uint32_t port, float value) {
    if (port < static_cast<std::uint32_t>(kNumParams)) hostPorts_[port] = value;
}

// Only values the instance moved since the last look are written: a port the
// host changed and the instance has not taken yet (it does at its next run)
// keeps the host's value.
void Lv2Ui::followInstance() {
    for (int i = 0; i < kNumParams; ++i) {
        const float now = instance_->portValueNow(i);
        if (std::memcmp(&now, &instanceSeen_[i], sizeof(now)) == 0) continue;
        instanceSeen_[i] = now;
        if (touched_[i] || std::memcmp(&now, &hostPorts_[i], sizeof(now)) == 0) continue;
        if (instance_->portShowsInstance(i, hostPorts_[i])) continue;  // the host's own value, taken
        writePort(i);
    }
}

void Lv2Ui::deliverGestures() {
    instance_->gestures().drain([this](const Gesture& g) {
        switch (g.kind) {
            case Gesture::kBegin:
                if (!touched_[g.index]) touch(g.index, true);
                break;
            case Gesture::kValue: writePort(g.index); break;
            case Gesture::kEnd:
                if (touched_[g.index]) touch(g.index, false);
                break;
        }
    });
    // Lost gestures may have held an end: the open touches end with the value of now.
    if (instance_->gestures().takeDropped() == 0) return;
    for (int i = 0; i < kNumParams; ++i) {
        if (!touched_[i]) continue;
        writePort(i);
        touch(i, false);
    }
}

// The instance's value of now rather than the one reported: of several values
// queued for one port, the host may apply an earlier one in a run after the
// editor moved on, and the wrapper takes only a port that matches the
// instance as already applied.
void Lv2Ui::writePort(int index) {
    const float value = instance_->portValueNow(index);
    hostPorts_[index] = value;
    write_(controller_, static_cast<std::uint32_t>(index), sizeof(float), 0, &value);
}

void Lv2Ui::touch(int index, bool grabbed) {
    touched_[index] = grabbed;
    if (touch_) touch_->touch(touch_->handle, static_cast<std::uint32_t>(index), grabbed);
}

// The editor changes its size itself (the "UI Size" preference, strips shown or
// hidden); the host's window follows.
void Lv2Ui::followEditorSize() {
    vst::ERect* rect = nullptr;
    if (dispatch(instance_->effect(), vst::effEditGetRect, 0, 0, &rect) != 1 || !rect) return;
    const int w = rect->right - rect->left, h = rect->bottom - rect->top;
    if (w == width_ && h == height_) return;
    width_ = w;
    height_ = h;
    if (resize_) resize_->ui_resize(resize_->handle, w, h);
}

}  // namespace hm::lv2
