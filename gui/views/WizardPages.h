#pragma once
// The setup wizard's six pages: for each the explanation (lines separated by
// "\n"), the question and the answers, in the order the answers are numbered.
#include <string_view>
#include <vector>

namespace hm::gui {

struct WizardPage {
    std::string_view explanation;
    std::string_view question;
    std::vector<std::string_view> answers;
};

// Page 0..5; null outside.
const WizardPage* wizardPage(int page);

}  // namespace hm::gui
