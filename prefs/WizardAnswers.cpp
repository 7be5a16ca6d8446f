#include "prefs/WizardAnswers.h"

#include <algorithm>

namespace hm::prefs {

namespace {

bool answered(int a) { return a >= 0; }

}  // namespace

WizardProcessing wizardProcessing(const WizardAnswers& answers) {
    WizardProcessing p;
    const int usage = answers.answer[1];
    if (answered(usage)) {
        // The MASTER answers trade latency and CPU for the FIR's phase control.
        p.fir = usage == 2 || usage == 3 ? 1 : 0;
        if (usage == 1) p.dPlusItem = 3;
        if (usage == 2) p.irLengthItem = 3;
        if (usage == 3) p.irLengthItem = 6;
    }
    const int layout = answers.answer[2];
    if (answered(layout)) p.midSide = layout == 0 || layout == 1 ? 1 : 0;
    return p;
}

void applyWizardPreferences(const WizardAnswers& answers, EditorPreferences& prefs) {
    const int elements = answers.answer[0];
    if (answered(elements)) {
        prefs.setUIPreference("Layout", "Graph", elements == 0 || elements == 2 || elements == 4 ? 1 : 0);
        const int strips = elements == 3 || elements == 4 ? 2 : elements == 1 || elements == 2 ? 1 : 0;
        prefs.setUIPreference("Layout", "BandStrips", strips);
    }
    const int layout = answers.answer[2];
    if (answered(layout) && layout != 0) prefs.setUIPreference("BandStrips", "Groups", 1);
    const int vintage = answers.answer[4];
    if (answered(vintage)) {
        if (vintage != 0) {
            prefs.setUIPreference("BandStrips", "Subtype", 1);
            prefs.setUIPreference("Graph", "Tooltip for Subtype", 1);
        }
        if (vintage == 2) {
            prefs.setUIPreference("BandStrips", "Subtype menu", 1);
            prefs.setUIPreference("Graph", "Tooltip type menu", 1);
        }
    }
    const int meters = answers.answer[5];
    if (answered(meters)) {
        prefs.setUIPreference("Layout", "Master Meters", meters != 0 ? 2 : 0);
        if (meters == 2) prefs.setUIPreference("Layout", "Channel Meters", 1);
    }
}

int largestFittingUiSize(int wanted, const std::function<bool(int)>& fits) {
    for (int size = std::clamp(wanted, 0, kUiSizeCount - 1); size > 0; --size)
        if (fits(size)) return size;
    return 0;
}

WizardOutcome applyWizardAnswers(const WizardAnswers& answers, EditorPreferences& prefs, WizardTarget& target) {
    applyWizardPreferences(answers, prefs);
    target.applyProcessing(wizardProcessing(answers));
    target.applyEditorPreferences();
    WizardOutcome outcome;
    const int wanted = answered(answers.answer[3]) ? answers.answer[3] : prefs.getUIPreference("Layout", "UI Size");
    outcome.uiSize = largestFittingUiSize(wanted, [&target](int size) { return target.uiSizeFits(size); });
    prefs.setUIPreference("Layout", "UI Size", outcome.uiSize);
    target.applyEditorPreferences();
    outcome.bankWritten = target.writeDefaultBank();
    return outcome;
}

}  // namespace hm::prefs
