// The listener: every control's value change arrives here and becomes a
// parameter change of the instance or one of the editor's own commands.
#include <cmath>

#include "core/InstanceRegistry.h"
#include "core/Plug.h"
#include "core/params/Conversion.h"
#include "gui/controls/COptionMenu.h"
#include "gui/controls/CParamDisplay.h"
#include "gui/editor/PlugEd.h"
#include "gui/editor/WizardCompletion.h"
#include "gui/framework/Modifiers.h"
#include "gui/framework/nPage.h"
#include "gui/views/nDarken.h"
#include "prefs/GlobalPreferences.h"

namespace hm::gui {
namespace {

// The stored (base) real value of a band parameter, before Scale and Shift.
double baseReal(Plug* plug, int index, float normalised) {
    const ParamRecord& r = plug->paramRecord(index);
    return normalisedToRealBase(r.kind, r.minimum, r.maximum, normalised);
}

float baseNormalised(Plug* plug, int index, double real) {
    const ParamRecord& r = plug->paramRecord(index);
    return static_cast<float>(realToNormalisedBase(r.kind, r.minimum, r.maximum, real));
}

bool controlText(CControl* control, std::string& text) {
    if (auto* edit = dynamic_cast<CTextEdit*>(control)) {
        text = edit->getText();
        return true;
    }
    if (auto* label = dynamic_cast<CTextLabel*>(control)) {
        text = label->getText();
        return true;
    }
    return false;
}

}  // namespace

void PlugEd::valueChanged(CControl* control) {
    if (!control) return;
    const int tag = control->getTag();
    const float v = control->getValue();
    if (!std::isfinite(v)) return;
    if (bandOf(tag) >= 0) {
        bandChanged(control, tag, v);
        return;
    }
    if (channelOf(tag) >= 0) {
        channelChanged(tag, v);
        return;
    }
    if (guiTagChanged(control, tag, v)) return;
    // Everything else goes to the instance as it is.
    if (isParam(tag)) sendAutomated(tag, v);
    else if (tag >= 0) plug_->setParameterAutomated(tag, v);
}

bool PlugEd::guiTagChanged(CControl* control, int tag, float v) {
    const bool press = v != 0.f;
    if (tag >= kGUISelectedBand && tag < kGUISelectedBand + kNumBands) {
        selectionTag(tag - kGUISelectedBand, v);
        return true;
    }
    if (isMenuParameter(tag)) {
        sendAutomated(tag, static_cast<float>(plug_->realToNormalised(tag, std::lround(v))));
        return true;
    }
    switch (tag) {
        case kScale: scaleChanged(v, frame_ && isAction(frame_->getCurrentMouseButtons())); return true;
        case kFShift: shiftChanged(v, frame_ && isAction(frame_->getCurrentMouseButtons())); return true;
        case kGUIPresetMenu: presetMenuChosen(dynamic_cast<COptionMenu*>(control)); return true;
        case kGUIProcessMode:
            sendAutomated(kMode, static_cast<float>(plug_->realToNormalised(kMode, std::lround(v))));
            return true;
        case kGUIStereoMode: stereoModeChanged(static_cast<int>(std::lround(v))); return true;
        case kGUIStereoMode2:
            if (graph_) graph_->setSecondaryView(std::max(-1, static_cast<int>(std::lround(v)) - 2));
            return true;
        case kGUIAnalyser:
            plug_->sessionState().analyserState = press;
            if (graph_) graph_->setAnalyserOn(press);
            showTag(kGUIAnalyser, press ? 1.f : 0.f);
            return true;
        case kGUISetup:
            // The window's own close box and the darkened editor around it (a
            // click there, the SETUP button included, closes the window) say
            // which state they want (0: closed); the tool-bar button toggles on
            // its press and ignores its release.
            if (dynamic_cast<nPageSelect*>(control) || dynamic_cast<nDarken*>(control)) {
                if (press != setupOpen_) toggleSetup();
            } else if (press) {
                toggleSetup();
            }
            return true;
        case kGUIPresetPage:
            if (!press) return true;
            presetBoxOpen_ = !presetBoxOpen_;
            presetBoxTarget_ = presetBoxOpen_ ? 25 : -29;
            return true;
        case kGUIOpenScaleTray:
            if (!press) return true;
            scaleTrayOpen_ = !scaleTrayOpen_;
            trayTarget_ = scaleTrayOpen_ ? 0 : -116;
            return true;
        case kGUISave:
        case kGUILoad:
        case kGUILoadPreset:
        case kGUISavePreset:
            if (v == 1.f) askForFile(tag);
            return true;
        case kGUIUndo:
        case kGUIRedo:
            if (!press) return true;
            if (tag == kGUIUndo) plug_->undo();
            else plug_->redo();
            refreshAll();
            return true;
        case kGUIPresetPrev:
        case kGUIPresetNext:
            if (press) stepPreset(tag == kGUIPresetPrev ? -1 : 1);
            return true;
        case kGUIPresetName: {
            std::string name;
            if (controlText(control, name)) plug_->setProgramNameAt(name.c_str(), plug_->getProgram());
            rebuildPresetMenu();
            return true;
        }
        case kGUIInstanceName: {
            std::string name;
            if (controlText(control, name)) setParameterFromText(tag, name, false);
            return true;
        }
        case kGUIABMenu:
            plug_->chooseABSlot(static_cast<int>(std::lround(v)));
            showTag(kGUIABMenu, static_cast<float>(plug_->getCurrentABSlot()));
            return true;
        case kGUIABMenuAlt:
            plug_->toggleABSlot();
            showTag(kGUIABMenu, static_cast<float>(plug_->getCurrentABSlot()));
            return true;
        case kGUICopyTo:
            plug_->storeABSlot(static_cast<int>(std::lround(v)));
            return true;
        case kGUIMeterPrePost:
            plug_->sessionState().prePost = press;
            plug_->setMeterPoint(press);
            showTag(kGUIMeterPrePost, press ? 1.f : 0.f);
            return true;
        case kGUIPrefsChange:
            plug_->loadPreferences();
            readGlobalPreferences();
            return true;
        case kGUIClip:
            plug_->setClipFlag(false);
            showTag(kGUIClip, 0.f);
            return true;
        case kGUIAbout:
            if (setupList_) setupList_->selectLastPage();
            setupOpen_ = true;
            showTag(kGUISetup, 1.f);
            relayout();
            return true;
        case kGUISetupPage: showTag(tag, v); return true;
        case kGUIStripsChanged:
        case kGUIMeterSection: afterBuildKeepValues(); return true;
        case kGUIUIPrefsChange:
            // The preference page changed the tree: the instance's own copies first
            // (number format, ballistics, bend range), then the views.
            plug_->loadEditorPreferences();
            applyPreferences();
            return true;
        case kGUISelectOnly: {
            const int band = static_cast<int>(std::lround(v));
            if (band < 0 || band >= kNumBands) return true;
            setSelection(1u << band, 1u << band);
            return true;
        }
        case kGUIBandPressed: bandPressed(static_cast<int>(std::lround(v))); return true;
        case kGUISelectToggle: {
            const int band = static_cast<int>(std::lround(v));
            if (band < 0 || band >= kNumBands) return true;
            setSelection(selectedBands_ ^ (1u << band), explicitSelection_ ^ (1u << band));
            return true;
        }
        case kGUIUseMS1:
        case kGUIUseMS2:
        case kGUIUseMS3:
        case kGUIUseMS4: {
            // Item 0 "Mid/Side" sets the pair's bit (bit 3 for the first pair).
            const int bit = 1 << (3 - (tag - kGUIUseMS1));
            int ms = static_cast<int>(plug_->getParameterReal(kMsState));
            ms = (1.f - v) != 0.f ? (ms | bit) : (ms & ~bit);
            sendAutomated(kMsState, static_cast<float>(plug_->realToNormalised(kMsState, ms + 0.5)));
            return true;
        }
        case kGUIInstancesChanged:
            if (graph_) graph_->instancesChanged();
            return true;
        case kGUIAnalyserUpdated: {
            if (!graph_) return true;
            const AnalyserSources s = graph_->analyserSources();
            EditorSessionState& session = plug_->sessionState();
            session.analyserType = s.type;
            session.analyserSourceChn1 = s.channel1;
            session.analyserSourceChn2 = s.channel2;
            int position = 0;
            forEachInstance([&](Plug& p) {
                const std::string name = &p == plug_ ? std::string() : std::string(p.instanceName());
                if (position == s.instance1) session.analyserSourceInst1 = name;
                if (position == s.instance2) session.analyserSourceInst2 = name;
                ++position;
            });
            return true;
        }
        case kGUIPresetEQ:
        case kGUIPresetDSP:
        case kGUIPresetUI: {
            const int bit = 1 << (tag - kGUIPresetEQ);
            plug_->setPresetParts(press ? (plug_->presetParts() | bit) : (plug_->presetParts() & ~bit));
            showTag(tag, press ? 1.f : 0.f);
            return true;
        }
        case kGUIPleaseRebuildStrips: rebuildPending_ = true; return true;
        case kGUIWizardOpen:
            if (press == wizardOpen_) return true;
            wizardOpen_ = press;
            relayout();
            return true;
        case kGUIWizardCompleted: wizardCompleted(); return true;
        case kGUIReloadFreqDefault: {
            const int band = static_cast<int>(std::lround(v));
            if (band >= 0 && band < kNumBands) frequencyDefaults_[band] = plug_->getParameter(bandParam(band, kBandFrequency));
            return true;
        }
        default: return false;
    }
}

void PlugEd::toggleSetup() {
    setupOpen_ = !setupOpen_;
    showTag(kGUISetup, setupOpen_ ? 1.f : 0.f);
    relayout();
}

void PlugEd::scaleChanged(float v, bool linked) {
    const double oldScale = plug_->getParameterReal(kScale);
    const double newScale = plug_->normalisedToReal(kScale, v);
    if (linked && newScale != oldScale) {
        // Keep every band's real gain: base gains take the inverse change.
        const double ratio = newScale == 0.0 ? HUGE_VAL : oldScale / newScale;
        bool fits = true;
        for (int b = 0; b < kNumBands && fits; ++b) {
            const int t = bandParam(b, kBandGain);
            const double base = baseReal(plug_, t, plug_->getParameter(t));
            if (base != 0.0 && !(std::fabs(base * ratio) <= 1.0)) fits = false;
        }
        if (!fits) {
            // Refused: the slider goes back to the scale in use.
            showTag(kScale, plug_->getParameter(kScale));
            return;
        }
        for (int b = 0; b < kNumBands; ++b) {
            const int t = bandParam(b, kBandGain);
            const double base = baseReal(plug_, t, plug_->getParameter(t));
            if (base != 0.0) sendAutomated(t, baseNormalised(plug_, t, base * ratio));
        }
    }
    sendAutomated(kScale, v);
}

void PlugEd::shiftChanged(float v, bool linked) {
    const double oldShift = plug_->getParameterReal(kFShift);
    const double newShift = plug_->normalisedToReal(kFShift, v);
    if (linked && newShift > 0.0 && newShift != oldShift) {
        // Keep every band's real frequency: stored frequencies take the inverse change.
        const double ratio = oldShift / newShift;
        for (int b = 0; b < kNumBands; ++b) {
            const int t = bandParam(b, kBandFrequency);
            sendAutomated(t, baseNormalised(plug_, t, baseReal(plug_, t, plug_->getParameter(t)) * ratio));
        }
    }
    sendAutomated(kFShift, v);
}

void PlugEd::stereoModeChanged(int item) {
    if (!graph_) return;
    if (knownChannels_ == 2) {
        switch (item) {
            case 0: graph_->setPrimaryView(0); graph_->setSecondaryView(1); if (phaseGraph_) phaseGraph_->setView(0); break;
            case 2: graph_->setPrimaryView(0); graph_->setSecondaryView(255); if (phaseGraph_) phaseGraph_->setView(0); break;
            case 3: graph_->setPrimaryView(-1); graph_->setSecondaryView(1); if (phaseGraph_) phaseGraph_->setView(1); break;
            default: break;
        }
        return;
    }
    const int view = std::max(-1, item - 2);
    graph_->setPrimaryView(view);
    if (phaseGraph_) phaseGraph_->setView(view);
}

void PlugEd::wizardCompleted() {
    const auto* wizard = findView<iEditorWizard>();
    if (!wizard) return;
    // The largest size up to the answer whose window fits the screen (any size
    // when the screen is unknown).
    int desktopW = 0, desktopH = 0;
    const bool screenKnown = frame_ && frame_->getWindow() && frame_->getWindow()->desktopSize(desktopW, desktopH);
    const auto fits = [&](int size) {
        if (!screenKnown) return true;
        WindowSizeInput in;
        in.uiSize = size;
        in.layoutFlags = layoutFlagsFrom(plug_->editorPreferenceTree());
        in.meterSectionWidth = meterSectionWidth();
        in.stripsHeight = stripsHeight();
        const WindowSize s = computeWindowSize(in);
        return s.width <= desktopW && s.height <= desktopH;
    };
    const prefs::WizardOutcome outcome = completeWizard(*plug_, wizard->answers(), [this] { applyPreferences(); }, fits);
    if (!outcome.bankWritten) showNotice(kWizardBankNotWritten);
}

}  // namespace hm::gui
