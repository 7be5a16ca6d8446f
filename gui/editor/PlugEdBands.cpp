// Band and channel edits from the views: linked editing of the selected bands,
// linked channel pairs, and the band selection.
#include <algorithm>
#include <cmath>

#include "core/Plug.h"
#include "gui/controls/COptionMenu.h"
#include "gui/editor/PlugEd.h"
#include "gui/framework/Modifiers.h"

namespace hm::gui {
namespace {

float clamp01(double v) { return static_cast<float>(std::clamp(v, 0.0, 1.0)); }

// Bands carried along by an edit: the selected ones other than `band`.
std::uint32_t othersOf(std::uint32_t selected, int band) { return selected & ~(1u << band); }

template <class F>
void forEachBand(std::uint32_t bands, F&& f) {
    for (int b = 0; b < kNumBands; ++b)
        if ((bands >> b) & 1u) f(b);
}

}  // namespace

void PlugEd::sendAutomated(int index, float normalised) {
    // Outside a gesture the change gets an edit of its own, so the host can group it.
    const bool single = isParam(index) && !editing_[static_cast<std::size_t>(index)];
    if (single) plug_->beginEdit(index);
    plug_->setParameterAutomated(index, normalised);
    if (single) plug_->endEdit(index);
}

void PlugEd::beginGesture(int index) {
    if (!isParam(index) || editing_[static_cast<std::size_t>(index)]) return;
    editing_[static_cast<std::size_t>(index)] = true;
    plug_->beginEdit(index);
}

void PlugEd::endGesture(int index) {
    if (!isParam(index) || !editing_[static_cast<std::size_t>(index)]) return;
    editing_[static_cast<std::size_t>(index)] = false;
    plug_->endEdit(index);
}

// The 0-based item a type or subtype control stands for: menus hold the item,
// other controls the parameter's normalised value.
static int itemOf(Plug* plug, CControl* control, int index, float value) {
    if (dynamic_cast<COptionMenu*>(control)) return static_cast<int>(std::lround(value));
    return static_cast<int>(plug->normalisedToReal(index, value)) - 1;
}

void PlugEd::bandChanged(CControl* control, int tag, float v) {
    const int band = bandOf(tag), field = bandFieldOf(tag);
    const float old = plug_->getParameter(tag);
    const bool bandOn = plug_->getParameterReal(bandParam(band, kBandState)) != 0.0;
    const std::uint32_t others = bandOn ? othersOf(selectedBands_, band) : 0u;

    switch (field) {
        case kBandState: {
            sendAutomated(tag, v);
            if (!bandOn) break;
            if (plug_->normalisedToReal(tag, v) != 0.0) {
                const bool alt = frame_ && (frame_->getCurrentMouseButtons() & kAlt);
                forEachBand(others, [&](int b) {
                    const int t = bandParam(b, kBandState);
                    sendAutomated(t, alt ? clamp01(1.5 - plug_->getParameter(t)) : v);
                });
            } else {
                // Switching off takes the others off with it and out of the selection.
                forEachBand(others, [&](int b) { sendAutomated(bandParam(b, kBandState), 0.f); });
                setSelection(selectedBands_ & ~others, explicitSelection_ & ~others);
            }
            break;
        }
        case kBandGroups: {
            float value = v;
            if (value == 0.f) {
                // No group chosen: the group of the view in front.
                const int primary = graph_ ? graph_->primaryView() : -1;
                const int secondary = graph_ ? graph_->secondaryView() : -1;
                const int view = primary >= 0 ? primary : secondary;
                value = view >= 0 && view < 8 ? static_cast<float>(std::pow(0.5, view + 1)) : 1.f;
            }
            sendAutomated(tag, value);
            break;
        }
        case kBandType: {
            const float value = static_cast<float>(plug_->realToNormalised(tag, itemOf(plug_, control, tag, v) + 1.5));
            sendAutomated(tag, value);
            if (plug_->getParameter(tag) != old) sendAutomated(bandParam(band, kBandSubtype), 0.f);
            break;
        }
        case kBandSubtype: {
            const float value = static_cast<float>(plug_->realToNormalised(tag, itemOf(plug_, control, tag, v) + 1.5));
            sendAutomated(tag, value);
            const double type = plug_->getParameterReal(bandParam(band, kBandType));
            forEachBand(others, [&](int b) {
                if (plug_->getParameterReal(bandParam(b, kBandType)) == type) sendAutomated(bandParam(b, kBandSubtype), value);
            });
            break;
        }
        case kBandGain:
        case kBandPhase: {
            sendAutomated(tag, v);
            const double oldReal = plug_->normalisedToReal(tag, old);
            const double newReal = plug_->normalisedToReal(tag, v);
            forEachBand(others, [&](int b) {
                const int t = bandParam(b, field);
                const double own = plug_->normalisedToReal(t, plug_->getParameter(t));
                // A ratio keeps the bands' proportions; from 0 there is none, so the step is added.
                const double real = oldReal == 0.0 ? own + (newReal - oldReal) : own * (newReal / oldReal);
                sendAutomated(t, clamp01(plug_->realToNormalised(t, real)));
            });
            break;
        }
        case kBandFrequency: {
            sendAutomated(tag, v);
            forEachBand(others, [&](int b) {
                sendAutomated(bandParam(b, kBandFrequency), clamp01(frequencySnapshot_[b] + (v - frequencySnapshot_[band])));
            });
            break;
        }
        case kBandQ:
        case kBandShift: {
            sendAutomated(tag, v);
            forEachBand(others, [&](int b) {
                const int t = bandParam(b, field);
                sendAutomated(t, clamp01(plug_->getParameter(t) + (v - old)));
            });
            break;
        }
        default:  // Slope: this band only
            sendAutomated(tag, v);
            break;
    }
}

void PlugEd::editOthers(int tag, bool begin) {
    const int band = bandOf(tag), field = bandFieldOf(tag);
    const bool linked = field == kBandGain || field == kBandFrequency || field == kBandQ || field == kBandShift ||
                        field == kBandPhase;
    if (!linked || plug_->getParameterReal(bandParam(band, kBandState)) == 0.0) return;
    forEachBand(othersOf(selectedBands_, band), [&](int b) {
        if (begin) beginGesture(bandParam(b, field));
        else endGesture(bandParam(b, field));
    });
}

void PlugEd::controlBeginEdit(CControl* control) {
    const int tag = control->getTag();
    if (!isParam(tag)) return;
    beginGesture(tag);
    if (bandOf(tag) >= 0) editOthers(tag, true);
}

void PlugEd::controlEndEdit(CControl* control) {
    const int tag = control->getTag();
    if (!isParam(tag)) return;
    if (bandOf(tag) >= 0) editOthers(tag, false);
    endGesture(tag);
    // The next frequency drag of a selection measures from here.
    if (bandFieldOf(tag) == kBandFrequency)
        for (int b = 0; b < kNumBands; ++b) frequencySnapshot_[b] = plug_->getParameter(bandParam(b, kBandFrequency));
}

void PlugEd::channelChanged(int tag, float v) {
    const int channel = channelOf(tag), field = channelFieldOf(tag);
    const float old = plug_->getParameter(tag);
    sendAutomated(tag, v);
    const int link = kGUIChannel12Link + channel / 2;
    const bool linked = std::isfinite(shown_[link]) && shown_[link] != 0.f;
    if (!linked) return;
    const int partner = channelParam(channel ^ 1, field);
    if (field == kChannelLevel) sendAutomated(partner, clamp01(plug_->getParameter(partner) + (v - old)));
    else sendAutomated(partner, v);
}

void PlugEd::setSelection(std::uint32_t bands, std::uint32_t explicitBands) {
    selectedBands_ = bands;
    explicitSelection_ = explicitBands;
    if (graph_) graph_->setSelection(bands);
    if (phaseGraph_) phaseGraph_->setSelection(bands);
    if (keyboard_) keyboard_->setSelection(bands);
    for (int b = 0; b < kNumBands; ++b) {
        const float state = (bands >> b) & 1u ? 1.f : 0.f;
        if (shown_[kGUISelectedBand + b] != state) showTag(kGUISelectedBand + b, state);
    }
}

void PlugEd::selectionTag(int band, float v) {
    const std::uint32_t bit = 1u << band;
    std::uint32_t bands = selectedBands_;
    if (v != 0.f) bands |= bit;
    else if (!(explicitSelection_ & bit)) bands &= ~bit;
    setSelection(bands, explicitSelection_);
    showTag(kGUISelectedBand + band, (bands & bit) ? 1.f : 0.f);
}

}  // namespace hm::gui
