#pragma once
// What the setup wizard's six answers mean: editor preferences (which parts
// of the editor show, strip and tooltip detail, meters, the UI size), a few
// processing choices, and finally the instance's state saved as the default
// bank that every new instance starts from.
//
// The answers, by page: 0 interface elements ("Graph", "Textboxes", "Graph
// and Textboxes", "Textboxes and Knobs", "Graph, Textboxes and Knobs");
// 1 usage (two MIX and two MASTER answers); 2 channel layout ("Stereo",
// "Stereo with Mid/Side", "Stereo with independent Left/Right", "Surround");
// 3 UI size ("Tiny" .. "Huge"); 4 vintage models (no, some, extensive);
// 5 metering (none, some, extensive). A page left unanswered (−1) changes
// none of the settings it stands for.
//
// UI thread only.
#include <array>
#include <functional>

#include "prefs/EditorPreferences.h"

namespace hm::prefs {

inline constexpr int kWizardPageCount = 6;
inline constexpr int kUiSizeCount = 5;

struct WizardAnswers {
    std::array<int, kWizardPageCount> answer{-1, -1, -1, -1, -1, -1};
};

// The processing parameters the answers choose (−1 / unset: leave as is).
struct WizardProcessing {
    int fir = -1;           // kMode: 1 FIR, 0 IIR
    int dPlusItem = -1;     // kDPlusLen item; 3 is 64 samples
    int irLengthItem = -1;  // kIRLength item: 3 is 8192 samples, 6 is 65536
    int midSide = -1;       // kMsState: 1 every pair mid/side, 0 none
};

WizardProcessing wizardProcessing(const WizardAnswers& answers);

// The preference part of the answers (everything but the UI size).
void applyWizardPreferences(const WizardAnswers& answers, EditorPreferences& preferences);

// The largest size from `wanted` down to 0 for which fits() holds; 0 when none does.
int largestFittingUiSize(int wanted, const std::function<bool(int uiSize)>& fits);

// What carries the answers out on an instance and its editor.
class WizardTarget {
public:
    virtual ~WizardTarget() = default;
    // Sets the chosen parameters as automated changes.
    virtual void applyProcessing(const WizardProcessing& processing) = 0;
    // The editor takes up the preference tree (layout, strips, meters, window size).
    virtual void applyEditorPreferences() = 0;
    // Whether the editor window of that "UI Size" fits on the screen.
    virtual bool uiSizeFits(int uiSize) = 0;
    // Writes the instance's current bank state as the default bank; false when it could not.
    virtual bool writeDefaultBank() = 0;
};

struct WizardOutcome {
    int uiSize = 0;
    bool bankWritten = false;
};

// The whole completion: preferences and parameters, the editor re-applied,
// the largest UI size up to the answer that fits the screen, the editor
// re-applied again, and the default bank written. When the bank cannot be
// written everything else still holds for this instance.
WizardOutcome applyWizardAnswers(const WizardAnswers& answers, EditorPreferences& preferences, WizardTarget& target);

}  // namespace hm::prefs
