#pragma once
// A stand-in for the editor that band views talk to: its effect is a real
// instance (the views' queries), it answers the value texts, records every
// report (begin, value, end with tag and value) and applies band parameter
// changes to the instance as automated changes, reading menu items the way
// the editor does (a subtype menu reports its item, other controls the
// normalised value). Enough to drive the views without the whole editor.
#include <string>
#include <vector>

#include "core/Plug.h"
#include "core/vst/AEffEditor.h"
#include "core/params/ParamFormat.h"
#include "gui/controls/COptionMenu.h"
#include "gui/views/ViewValues.h"
#include "gui/views/ParameterText.h"
#include "tests/core/FakeHost.h"
#include "view_Harness.h"

namespace hm::gui::test {

// The instance comes first, so the editor base can be given it.
struct StubInstance {
    explicit StubInstance(int channels) : plug(hm::test::fakeHost, channels) {}
    Plug plug;
};

struct BandEditorStub : StubInstance, vst::AEffEditor, Recorder, iParameterText {
    explicit BandEditorStub(int channels = 2) : StubInstance(channels), vst::AEffEditor(&plug) {}

    // --- iParameterText ---
    std::string parameterText(int tag, float normalised, bool noteNames) override {
        char text[64] = {};
        plug.formatParameterValue(tag, normalised, text, noteNames ? kFormatNoteNames : 0);
        return text;
    }
    // Typing is the editor's business (tested with the editor); the stand-in ignores it.
    bool setParameterFromText(int, std::string_view, bool) override { return true; }
    float parameterValue(int tag) override { return plug.getParameter(tag); }

    // --- CControlListener ---
    void valueChanged(CControl* c) override {
        Recorder::valueChanged(c);
        const int tag = c->getTag();
        if (!isParam(tag) || !applyChanges) return;
        float v = c->getValue();
        if (bandFieldOf(tag) == kBandSubtype && dynamic_cast<COptionMenu*>(c))
            v = baseNormalisedValue(tag, static_cast<int>(v) + 1);
        plug.setParameterAutomated(tag, v);
    }

    // Switches a band on with a type (1..6), a 0-based subtype and a frequency in Hz.
    void addBand(int band, int type, int subtype = 0, double hz = 1000.0) {
        plug.setParameter(bandParam(band, kBandType), baseNormalisedValue(bandParam(band, kBandType), type));
        plug.setParameter(bandParam(band, kBandSubtype), baseNormalisedValue(bandParam(band, kBandSubtype), subtype + 1));
        plug.setParameter(bandParam(band, kBandFrequency),
                          static_cast<float>(plug.realToNormalised(bandParam(band, kBandFrequency), hz)));
        plug.setParameter(bandParam(band, kBandState), baseNormalisedValue(bandParam(band, kBandState), 2));
    }
    void removeBand(int band) { plug.setParameter(bandParam(band, kBandState), 0.f); }
    float value(int tag) { return plug.getParameter(tag); }
    double real(int tag) { return plug.normalisedToReal(tag, plug.getParameter(tag)); }
    // The last value reported under a tag (−999 when none).
    float lastValueOf(int tag) const {
        for (auto it = events.rbegin(); it != events.rend(); ++it)
            if (it->kind == 'v' && it->tag == tag) return it->value;
        return -999.f;
    }
    // Parameter changes (not the selection traffic) lie inside balanced begin/end pairs.
    bool parameterChangesInsideEdits() const {
        Recorder params;
        for (const Event& e : events)
            if (isParam(e.tag)) params.events.push_back(e);
        return params.changesInsideEdits();
    }
    int countOf(char kind, int tag) const {
        int n = 0;
        for (const Event& e : events) n += e.kind == kind && e.tag == tag;
        return n;
    }

    bool applyChanges = true;
};

}  // namespace hm::gui::test
