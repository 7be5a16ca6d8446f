// The setup wizard view driven by clicks, and a finished wizard carried out
// on a real instance.
#include <gtest/gtest.h>

#include <cmath>

#include "core/params/ParamIds.h"
#include "gui/editor/WizardCompletion.h"
#include "gui/views/SetupWizard.h"
#include "gui/views/WizardPages.h"
#include "tests/gui/setup_Harness.h"

namespace hm::gui::test {
namespace {

constexpr int kW = 632, kH = 428;

struct WizardRig : InstanceRig {
    SetupWizard* wizard = nullptr;
    WizardRig() : InstanceRig(2, kW, kH) {
        wizard = new SetupWizard(CRect(0, 0, kW, kH), &editor, kGUIWizardOpen);
        h.frame->addView(wizard);
    }
    void clickIn(const CRect& r) { h.click((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
    void answer(int i, bool byText = false) {
        const CRect r = byText ? wizard->answerText(i) : wizard->answerButton(i);
        h.click(byText ? r.left + 40 : (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
};

TEST(SetupWizardView, AnswerGeometryFollowsTheAnswerCount) {
    WizardRig rig;
    // Page by page: answer count, left edge of the buttons.
    const int counts[] = {5, 4, 4, 5, 3, 3};
    const int lefts[] = {120, 20, 20, 120, 120, 120};
    for (int page = 0; page < 6; ++page) {
        ASSERT_EQ(rig.wizard->page(), page);
        const int a = counts[page];
        ASSERT_EQ(rig.wizard->answerCount(), a);
        ASSERT_EQ(static_cast<int>(wizardPage(page)->answers.size()), a);
        const float p = static_cast<float>(kH - 225) / static_cast<float>(2 * a + 1);
        EXPECT_FLOAT_EQ(rig.wizard->answerPitch(), p);
        for (int i = 0; i < a; ++i) {
            const CRect b = rig.wizard->answerButton(i);
            EXPECT_EQ(b.left, lefts[page]);
            EXPECT_NEAR(b.top, 78 + (2 * i + 1) * p, 0.5);
            EXPECT_NEAR(b.bottom, 78 + (2 * i + 2) * p, 0.5);
            EXPECT_NEAR(rig.wizard->answerText(i).left, lefts[page] + 2 * p, 1.0);
            EXPECT_EQ(rig.wizard->answerText(i).right, kW);
        }
        rig.answer(a - 1);
        rig.clickIn(rig.wizard->nextArea());
    }
}

TEST(SetupWizardView, NextWaitsForAnAnswerAndPrevGoesBack) {
    WizardRig rig;
    rig.clickIn(rig.wizard->nextArea());
    EXPECT_EQ(rig.wizard->page(), 0) << "no answer yet";
    rig.clickIn(rig.wizard->prevArea());
    EXPECT_EQ(rig.wizard->page(), 0);
    rig.answer(2, true);  // by its text
    EXPECT_EQ(rig.wizard->selectedAnswer(), 2);
    rig.clickIn(rig.wizard->nextArea());
    EXPECT_EQ(rig.wizard->page(), 1);
    EXPECT_EQ(rig.wizard->selectedAnswer(), -1);
    rig.clickIn(rig.wizard->nextArea());
    EXPECT_EQ(rig.wizard->page(), 1);
    rig.clickIn(rig.wizard->prevArea());
    EXPECT_EQ(rig.wizard->page(), 0);
    EXPECT_EQ(rig.wizard->selectedAnswer(), 2) << "answers are kept per page";
    // Clicks beside the answers choose nothing.
    const CRect b = rig.wizard->answerButton(0);
    rig.h.click(b.left - 30, (b.top + b.bottom) / 2);
    rig.h.click(b.left + 5, b.top - 3);
    EXPECT_EQ(rig.wizard->selectedAnswer(), 2);
    EXPECT_TRUE(rig.editor.reports.empty());
}

TEST(SetupWizardView, ExitAndFinishReportAndShowingRestarts) {
    WizardRig rig;
    rig.answer(1);
    rig.clickIn(rig.wizard->nextArea());
    rig.clickIn(rig.wizard->exitArea());
    ASSERT_EQ(rig.editor.reports.size(), 1u);
    EXPECT_EQ(rig.editor.reports[0].tag, kGUIWizardOpen);
    EXPECT_FLOAT_EQ(rig.editor.reports[0].value, 0.f);

    rig.wizard->setValue(1.f);  // shown again
    EXPECT_EQ(rig.wizard->page(), 0);
    EXPECT_EQ(rig.wizard->selectedAnswer(), 1);
    for (int page = 0; page < 6; ++page) {
        if (rig.wizard->selectedAnswer() < 0) rig.answer(0);
        rig.clickIn(rig.wizard->nextArea());
    }
    ASSERT_EQ(rig.editor.reports.size(), 3u);
    EXPECT_EQ(rig.editor.reports[1].tag, kGUIWizardOpen);
    EXPECT_FLOAT_EQ(rig.editor.reports[1].value, 0.f);
    EXPECT_EQ(rig.editor.reports[2].tag, kGUIWizardCompleted);
    EXPECT_EQ(rig.wizard->getTag(), kGUIWizardOpen);
    const prefs::WizardAnswers a = rig.wizard->answers();
    EXPECT_EQ(a.answer[0], 1);
    for (int page = 1; page < 6; ++page) EXPECT_EQ(a.answer[static_cast<std::size_t>(page)], 0);
}

TEST(SetupWizardView, PreviewFollowsTheFirstAnswerAndThePictureHides) {
    WizardRig rig;
    const CRect preview = rig.wizard->previewRect();
    EXPECT_EQ(preview, CRect(kW - 264, (kH - 369) / 2 + 78, kW - 20, (kH - 369) / 2 + 222));
    rig.h.frame->updateDirty();
    const Rgb without = rig.h.pixel(preview.left + 122, preview.top + 72);
    rig.answer(0);
    rig.h.frame->updateDirty();
    EXPECT_NE(rig.h.pixel(preview.left + 122, preview.top + 72), without) << "a miniature editor shows";

    // A double click in the corner shows the picture; a press then only pushes it.
    rig.h.click(50, 12, kLButton | kDoubleClick);
    EXPECT_TRUE(rig.wizard->pictureShown());
    rig.h.window->press((kW) / 2, kH - 30, kLButton);
    EXPECT_TRUE(rig.wizard->picturePressed());
    rig.h.window->release((kW) / 2, kH - 30, kLButton);
    EXPECT_FALSE(rig.wizard->picturePressed());
    rig.clickIn(rig.wizard->exitArea());
    EXPECT_TRUE(rig.editor.reports.empty()) << "presses go to the picture while it shows";
    rig.h.click(50, 12, kLButton | kDoubleClick);
    EXPECT_FALSE(rig.wizard->pictureShown());
}

// A finished wizard on an instance; the screen fits sizes up to `largestFitting`.
struct Completion {
    int applied = 0;
    int largestFitting = 4;
    prefs::WizardOutcome run(Plug& plug, const prefs::WizardAnswers& a) {
        return completeWizard(
            plug, a, [this] { ++applied; }, [this](int size) { return size <= largestFitting; });
    }
};

prefs::WizardAnswers answers(int a0, int a1, int a2, int a3, int a4, int a5) {
    prefs::WizardAnswers a;
    a.answer = {a0, a1, a2, a3, a4, a5};
    return a;
}

double real(Plug& plug, int index) { return plug.getParameterReal(index); }

TEST(WizardCompletion, AnswersReachTheInstanceAndItsDefaultBank) {
    InstanceRig rig;
    ASSERT_TRUE(rig.plug->firstRunSetupWanted());
    Completion c;
    c.largestFitting = 1;  // a small screen: "Huge" becomes "Small"
    const prefs::WizardOutcome out = c.run(*rig.plug, answers(0, 3, 2, 4, 0, 1));
    EXPECT_TRUE(out.bankWritten);
    EXPECT_EQ(out.uiSize, 1);
    EXPECT_EQ(c.applied, 2);
    prefs::EditorPreferences& tree = rig.plug->editorPreferenceTree();
    EXPECT_EQ(tree.getUIPreference("Layout", "UI Size"), 1);
    EXPECT_EQ(tree.getUIPreference("Layout", "Graph"), 1);
    EXPECT_EQ(tree.getUIPreference("Layout", "BandStrips"), 0);
    EXPECT_EQ(real(*rig.plug, kMode), 1.0);
    EXPECT_EQ(1024 << static_cast<int>(real(*rig.plug, kIRLength)), 65536);
    EXPECT_EQ(real(*rig.plug, kMsState), 0.0);

    // The next instance starts from the written bank, without the wizard.
    Plug next(&hm::test::fakeHost);
    EXPECT_FALSE(next.firstRunSetupWanted());
    EXPECT_EQ(next.getParameterReal(kMode), 1.0);
    EXPECT_EQ(next.editorPreferenceTree().getUIPreference("Layout", "UI Size"), 1);
    EXPECT_EQ(next.editorPreferenceTree().getUIPreference("Layout", "BandStrips"), 0);
}

TEST(WizardCompletion, DigitalPlusAndMidSideAnswers) {
    InstanceRig rig;
    Completion c;
    c.run(*rig.plug, answers(4, 1, 1, 2, 2, 2));
    EXPECT_EQ(real(*rig.plug, kMode), 0.0);
    EXPECT_EQ(8 << static_cast<int>(real(*rig.plug, kDPlusLen)), 64);
    EXPECT_EQ(real(*rig.plug, kMsState), 15.0) << "every pair mid/side";
    EXPECT_EQ(rig.plug->editorPreferenceTree().getUIPreference("Layout", "UI Size"), 2);
}

TEST(WizardCompletion, ABankThatCannotBeWrittenKeepsTheSetupForThisInstance) {
    InstanceRig rig;
    std::filesystem::create_directories(rig.plug->bankPath());  // a folder where the file should go
    Completion c;
    const prefs::WizardOutcome out = c.run(*rig.plug, answers(3, 2, 0, 0, 0, 0));
    EXPECT_FALSE(out.bankWritten);
    EXPECT_EQ(rig.plug->editorPreferenceTree().getUIPreference("Layout", "BandStrips"), 2);
    EXPECT_EQ(rig.plug->editorPreferenceTree().getUIPreference("Layout", "UI Size"), 0);
    EXPECT_EQ(real(*rig.plug, kMode), 1.0);
    EXPECT_EQ(1024 << static_cast<int>(real(*rig.plug, kIRLength)), 8192);
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

// The usage page says what each answer costs in latency, and it is what the
// instance reports once the answer is applied.
TEST(WizardCompletion, TheUsageAnswersStateTheLatencyTheyCost) {
    const WizardPage* usage = wizardPage(1);
    ASSERT_NE(usage, nullptr);
    for (int answer = 0; answer < static_cast<int>(usage->answers.size()); ++answer) {
        SCOPED_TRACE(answer);
        InstanceRig rig;
        rig.plug->leaveSharedTimer();
        Completion c;
        c.run(*rig.plug, answers(0, answer, 0, 0, 0, 0));
        double clock = 1.0e6;
        for (int tick = 0; tick < 2; ++tick) {
            rig.plug->setManualClock(clock += 1000.0);
            rig.plug->onTimer();
        }
        rig.plug->bank().waitForFir();  // the impulse is built away from the timer
        rig.plug->onTimer();
        const int latency = rig.plug->initialDelay();
        const std::string text(usage->answers[static_cast<std::size_t>(answer)]);
        if (latency == 0) EXPECT_NE(text.find("No latency."), std::string::npos) << text;
        else EXPECT_NE(text.find(std::to_string(latency) + " samples of latency"), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace hm::gui::test
