#pragma once
// Carries a finished setup wizard out for an editor: the parameters the
// answers choose become automated changes of the instance, the editor applies
// its preferences (through `applyPreferences`), the UI size is the largest up
// to the answer whose window `fits` the screen, and the instance's state is
// written as the default bank. UI thread.
#include <functional>

#include "prefs/WizardAnswers.h"

namespace hm {
class Plug;
}

namespace hm::gui {

prefs::WizardOutcome completeWizard(Plug& plug, const prefs::WizardAnswers& answers,
                                    const std::function<void()>& applyPreferences,
                                    const std::function<bool(int uiSize)>& fits);

// What the editor says when the default bank could not be written.
inline constexpr const char* kWizardBankNotWritten =
    "The setup is in use for this instance, but the default bank could not be written.";

}  // namespace hm::gui
