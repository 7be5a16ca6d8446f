#include "gui/editor/WizardCompletion.h"

#include "core/Plug.h"
#include "core/params/ParamIds.h"

namespace hm::gui {

namespace {

class InstanceWizardTarget : public prefs::WizardTarget {
public:
    InstanceWizardTarget(Plug& plug, const std::function<void()>& apply, const std::function<bool(int)>& fits)
        : plug_(plug), apply_(apply), fits_(fits) {}

    void applyProcessing(const prefs::WizardProcessing& p) override {
        // The answers are one step of the undo list, each change a whole gesture.
        plug_.beginUndoStep();
        if (p.fir >= 0) edit(kMode, p.fir ? 1.f : 0.f);
        if (p.dPlusItem >= 0) set(kDPlusLen, p.dPlusItem);
        if (p.irLengthItem >= 0) set(kIRLength, p.irLengthItem);
        if (p.midSide >= 0) edit(kMsState, p.midSide ? 1.f : 0.f);
        plug_.endUndoStep();
    }
    void applyEditorPreferences() override {
        if (apply_) apply_();
    }
    bool uiSizeFits(int uiSize) override { return !fits_ || fits_(uiSize); }
    bool writeDefaultBank() override { return plug_.saveStateAsDefault(); }

private:
    // A menu parameter set to one of its items, as the host would see it.
    void set(int index, int item) { edit(index, static_cast<float>(plug_.realToNormalised(index, item))); }
    // A change as the user's own gesture: begun, automated and ended, so that
    // no host in touch or latch mode goes on writing the lane. Nothing for a
    // value the parameter has already.
    void edit(int index, float value) {
        if (plug_.getParameter(index) == value) return;
        plug_.beginEdit(index);
        plug_.setParameterAutomated(index, value);
        plug_.endEdit(index);
    }

    Plug& plug_;
    const std::function<void()>& apply_;
    const std::function<bool(int)>& fits_;
};

}  // namespace

prefs::WizardOutcome completeWizard(Plug& plug, const prefs::WizardAnswers& answers,
                                    const std::function<void()>& applyPreferences,
                                    const std::function<bool(int)>& fits) {
    InstanceWizardTarget target(plug, applyPreferences, fits);
    return prefs::applyWizardAnswers(answers, plug.editorPreferenceTree(), target);
}

}  // namespace hm::gui
