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
    if (!isParam(index)) {
        plug_->setParameterAutomated(index, normalised);
        return;
    }
    // A value the parameter has already is no change: the host hears nothing of it.
    if (plug_->getParameter(index) == normalised) return;
    const auto i = static_cast<std::size_t>(index);
    if (editing_[i]) {
        // The host hears of a gesture from its first change on, so a click that
        // changes nothing leaves no empty gesture and no undo entry.
        if (!hostEditing_[i]) {
            hostEditing_[i] = true;
            plug_->beginEdit(index);
        }
        plug_->setParameterAutomated(index, normalised);
        return;
    }
    // Outside a gesture the change gets an edit of its own, so the host can group it.
    plug_->beginEdit(index);
    plug_->setParameterAutomated(index, normalised);
    plug_->endEdit(index);
}

bool PlugEd::beginGesture(int index) {
    if (!isParam(index) || editing_[static_cast<std::size_t>(index)]) return false;
    editing_[static_cast<std::size_t>(index)] = true;
    return true;
}

void PlugEd::endGesture(int index) {
    if (!isParam(index) || !editing_[static_cast<std::size_t>(index)]) return;
    const auto i = static_cast<std::size_t>(index);
    editing_[i] = false;
    if (hostEditing_[i]) {
        hostEditing_[i] = false;
        plug_->endEdit(index);
    }
}

void PlugEd::endAllGestures() {
    for (int i = 0; i < kNumParams; ++i) {
        endGesture(i);
        if (undoSteps_[static_cast<std::size_t>(i)]) {
            undoSteps_[static_cast<std::size_t>(i)] = false;
            plug_->endUndoStep();
        }
    }
}

std::uint32_t PlugEd::linkedBands(int band) const {
    // Only a selection the user made carries an edit over, and only to the
    // bands of the selection the edited band belongs to.
    if (band < 0 || band >= kNumBands || !((selectedBands_ >> band) & 1u)) return 0u;
    if (plug_->getParameterReal(bandParam(band, kBandState)) == 0.0) return 0u;
    return othersOf(selectedBands_, band);
}

void PlugEd::takeLinkSnapshot(int field) {
    for (int b = 0; b < kNumBands; ++b) {
        const int t = bandParam(b, field);
        linkSnapshot_[b] = plug_->normalisedToReal(t, plug_->getParameter(t));
    }
    linkSnapshotField_ = field;
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
    const std::uint32_t others = linkedBands(band);
    const bool bandOn = others != 0u;

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
            // Outside a gesture the values of now are where the move starts from.
            if (!editing_[static_cast<std::size_t>(tag)] || linkSnapshotField_ != field) takeLinkSnapshot(field);
            sendAutomated(tag, v);
            // The others move by the same offset as this band from where the
            // gesture began; a gain stops at 0 dB rather than change its sign.
            const double offset = plug_->normalisedToReal(tag, v) - linkSnapshot_[band];
            forEachBand(others, [&](int b) {
                const int t = bandParam(b, field);
                const double start = linkSnapshot_[b];
                double real = start + offset;
                if (field == kBandGain && start > 0.0) real = std::max(real, 0.0);
                if (field == kBandGain && start < 0.0) real = std::min(real, 0.0);
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
    if (!linked) return;
    forEachBand(begin ? linkedBands(band) : ~0u & ~(1u << band), [&](int b) {
        if (begin) beginGesture(bandParam(b, field));
        else endGesture(bandParam(b, field));
    });
}

void PlugEd::controlBeginEdit(CControl* control) {
    const int tag = control->getTag();
    if (!beginGesture(tag)) return;
    // Everything the gesture changes, on this band and the ones it carries
    // along, is one step of the undo list.
    undoSteps_[static_cast<std::size_t>(tag)] = true;
    plug_->beginUndoStep();
    // A linked channel pair moves as one gesture: the partner's too.
    if (const int partner = linkedChannelPartner(tag); partner >= 0) beginGesture(partner);
    if (bandOf(tag) < 0) return;
    const int field = bandFieldOf(tag);
    if (field == kBandGain || field == kBandPhase) takeLinkSnapshot(field);
    editOthers(tag, true);
}

void PlugEd::controlEndEdit(CControl* control) {
    const int tag = control->getTag();
    if (!isParam(tag) || !editing_[static_cast<std::size_t>(tag)]) return;
    if (bandOf(tag) >= 0) editOthers(tag, false);
    if (const int partner = linkedChannelPartner(tag); partner >= 0) endGesture(partner);
    endGesture(tag);
    if (undoSteps_[static_cast<std::size_t>(tag)]) {
        undoSteps_[static_cast<std::size_t>(tag)] = false;
        plug_->endUndoStep();
    }
    if (bandFieldOf(tag) == kBandGain || bandFieldOf(tag) == kBandPhase) linkSnapshotField_ = -1;
    // The next frequency drag of a selection measures from here.
    if (bandFieldOf(tag) == kBandFrequency)
        for (int b = 0; b < kNumBands; ++b) frequencySnapshot_[b] = plug_->getParameter(bandParam(b, kBandFrequency));
}

int PlugEd::linkedChannelPartner(int tag) const {
    const int channel = channelOf(tag);
    if (channel < 0) return -1;
    const int link = kGUIChannel12Link + channel / 2;
    const bool linked = std::isfinite(shown_[link]) && shown_[link] != 0.f;
    return linked ? channelParam(channel ^ 1, channelFieldOf(tag)) : -1;
}

void PlugEd::channelChanged(int tag, float v) {
    const int field = channelFieldOf(tag);
    const float old = plug_->getParameter(tag);
    sendAutomated(tag, v);
    const int partner = linkedChannelPartner(tag);
    if (partner < 0) return;
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

void PlugEd::bandPressed(int band) {
    // Pressing a band's own control makes it the selected band, unless it is
    // part of the selection already (then the selection is kept, and the edit
    // carries over to it as the selection shows).
    if (band < 0 || band >= kNumBands || ((selectedBands_ >> band) & 1u)) return;
    setSelection(1u << band, 1u << band);
}

bool PlugEd::onFrameKeyDown(const KeyCode& key) {
    if (key.virt == KeyCode::kEscape && setupOpen_) {
        toggleSetup();  // Escape closes the setup window, as its close box does
        return true;
    }
    if (key.virt == KeyCode::kDelete || key.virt == KeyCode::kBack) return deleteSelectedBands();
    return false;
}

bool PlugEd::deleteSelectedBands() {
    std::uint32_t on = 0;
    forEachBand(selectedBands_, [&](int b) {
        if (plug_->getParameterReal(bandParam(b, kBandState)) != 0.0) on |= 1u << b;
    });
    if (!on) return false;
    plug_->beginUndoStep();
    forEachBand(on, [&](int b) { sendAutomated(bandParam(b, kBandState), 0.f); });
    plug_->endUndoStep();
    setSelection(0u, 0u);
    return true;
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
