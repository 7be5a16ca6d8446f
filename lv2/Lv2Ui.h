#pragma once
// The LV2 X11 UI: the running instance's own editor, opened through the effect
// record into the host's parent window. The host hands over the plug-in
// instance (instance access), so the graph, meters and analyser show what
// runs. The editor's gestures come back as port writes in real units, inside
// touch begin/end when the host offers touch, so the host records them as
// automation and its next run finds the ports already matching the instance.
#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <bitset>
#include <cstdint>

#include "core/params/ParamIds.h"

namespace hm::lv2 {

class Lv2Instance;

class Lv2Ui {
public:
    // Null when the host gives no parent window or no instance, another UI shows
    // this instance, or the editor does not open. UI thread.
    static Lv2Ui* create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features);
    ~Lv2Ui();  // UI thread: open touches end, the editor closes
    Lv2Ui(const Lv2Ui&) = delete;
    Lv2Ui& operator=(const Lv2Ui&) = delete;

    // The host's idle call: the editor's pass, then its gestures to the host,
    // then the instance's own changes. UI thread.
    int idle();
    // The host's port_event: what a control port holds now. UI thread.
    void hostPortChanged(std::uint32_t port, float value);

private:
    explicit Lv2Ui(Lv2Instance* instance) : instance_(instance) {}
    void deliverGestures();
    void writePort(int index);
    void touch(int index, bool grabbed);
    void followEditorSize();
    void followInstance();

    Lv2Instance* instance_;
    LV2UI_Write_Function write_ = nullptr;
    LV2UI_Controller controller_ = nullptr;
    const LV2UI_Resize* resize_ = nullptr;
    const LV2UI_Touch* touch_ = nullptr;
    std::bitset<kNumParams> touched_;
    // What the host's ports hold (as far as its port events and our writes tell)
    // and the instance's port values at the last idle: a value the instance
    // changed itself (an A/B switch, a program, an undo) that the port does not
    // show is written, so the host shows and keeps what plays.
    float hostPorts_[kNumParams] = {};
    float instanceSeen_[kNumParams] = {};
    int width_ = 0, height_ = 0;
};

}  // namespace hm::lv2
