#pragma once
// An instance with a stand-in editor for the graph and meter view tests: the
// listener records what the views report (begin/end edit, value changes,
// selection traffic) and applies parameter changes to the instance the way
// the editor does, so a view sees its own edits come back.
#include <cmath>
#include <memory>
#include <vector>

#include "core/Plug.h"
#include "core/params/ParamIds.h"
#include "core/vst/AEffEditor.h"
#include "gui/framework/CControl.h"
#include "tests/core/FakeHost.h"

namespace hm::gui::test {

struct InstanceEditor : vst::AEffEditor, CControlListener {
    struct Event {
        char kind;  // 'b' begin, 'v' value, 'e' end
        int tag;
        float value;
    };

    explicit InstanceEditor(Plug* plug) : vst::AEffEditor(plug), plug(plug) {}

    Plug* plug;
    std::vector<Event> events;
    int primaryView = 0;

    void valueChanged(CControl* c) override {
        const int tag = c->getTag();
        float v = c->getValue();
        events.push_back({'v', tag, v});
        if (!isParam(tag)) return;
        // Groups 0 is the group menu's default: the view in front.
        if (bandFieldOf(tag) == kBandGroups && v == 0.f) v = static_cast<float>(std::pow(0.5, primaryView + 1));
        plug->setParameterAutomated(tag, v);
    }
    void controlBeginEdit(CControl* c) override {
        events.push_back({'b', c->getTag(), c->getValue()});
        if (isParam(c->getTag())) plug->beginEdit(c->getTag());
    }
    void controlEndEdit(CControl* c) override {
        events.push_back({'e', c->getTag(), c->getValue()});
        if (isParam(c->getTag())) plug->endEdit(c->getTag());
    }

    int count(char kind, int tag = -1) const {
        int n = 0;
        for (const Event& e : events) n += e.kind == kind && (tag < 0 || e.tag == tag);
        return n;
    }
    // Every value change of a parameter lies inside a begin/end pair of that parameter.
    bool changesInsideEdits() const {
        std::vector<int> open(kNumParams, 0);
        for (const Event& e : events) {
            if (!isParam(e.tag)) continue;
            if (e.kind == 'b') ++open[e.tag];
            else if (e.kind == 'e' && --open[e.tag] < 0) return false;
            else if (e.kind == 'v' && open[e.tag] == 0) return false;
        }
        for (int n : open)
            if (n != 0) return false;
        return true;
    }
    float lastValue(int tag) const {
        for (auto it = events.rbegin(); it != events.rend(); ++it)
            if (it->kind == 'v' && it->tag == tag) return it->value;
        return -999.f;
    }
};

// A two-channel instance with every band off and a stand-in editor.
struct InstanceFixture {
    std::unique_ptr<Plug> plug = std::make_unique<Plug>(hm::test::fakeHost, 2);
    std::unique_ptr<InstanceEditor> editor = std::make_unique<InstanceEditor>(plug.get());

    InstanceFixture() {
        plug->setSampleRate(44100.f);
        for (int b = 0; b < kNumBands; ++b) setReal(bandParam(b, kBandState), 0.0);
    }
    void setReal(int index, double real) {
        plug->setParameter(index, static_cast<float>(plug->realToNormalised(index, real)));
    }
    double real(int index) { return plug->normalisedToReal(index, plug->getParameter(index)); }
    // An active band in both channel views.
    void band(int b, int type, double hz, double gain, double q = 0.707, int state = 2) {
        setReal(bandParam(b, kBandGroups), 192);
        setReal(bandParam(b, kBandType), type);
        setReal(bandParam(b, kBandSubtype), 1);
        setReal(bandParam(b, kBandFrequency), hz);
        setReal(bandParam(b, kBandGain), gain);
        setReal(bandParam(b, kBandQ), q);
        setReal(bandParam(b, kBandState), state);
    }
};

}  // namespace hm::gui::test
