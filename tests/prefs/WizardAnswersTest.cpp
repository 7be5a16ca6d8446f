// The setup wizard's answers turned into preferences, processing choices, a
// UI size that fits and the default bank, with a target that records what it
// is asked to do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/WizardAnswers.h"

namespace hm::prefs {
namespace {

WizardAnswers answers(int a0, int a1, int a2, int a3, int a4, int a5) {
    WizardAnswers a;
    a.answer = {a0, a1, a2, a3, a4, a5};
    return a;
}

struct Prefs {
    const char* page;
    const char* name;
    int value;
};

TEST(WizardAnswers, EachAnswerSetsItsPreferences) {
    struct Case {
        WizardAnswers a;
        std::vector<Prefs> expected;
    };
    const Case cases[] = {
        // "Graph" alone: no strips at all.
        {answers(0, 0, 0, 2, 0, 0),
         {{"Layout", "Graph", 1}, {"Layout", "BandStrips", 0}, {"BandStrips", "Groups", 1},
          {"Layout", "Master Meters", 0}, {"Layout", "Channel Meters", 0}}},
        {answers(1, 0, 0, 2, 0, 0), {{"Layout", "Graph", 0}, {"Layout", "BandStrips", 1}}},
        {answers(2, 0, 0, 2, 0, 0), {{"Layout", "Graph", 1}, {"Layout", "BandStrips", 1}}},
        {answers(3, 0, 0, 2, 0, 0), {{"Layout", "Graph", 0}, {"Layout", "BandStrips", 2}}},
        {answers(4, 0, 0, 2, 0, 0), {{"Layout", "Graph", 1}, {"Layout", "BandStrips", 2}}},
        // Any layout but plain stereo shows the strips' group menus.
        {answers(4, 0, 2, 2, 0, 0), {{"BandStrips", "Groups", 1}}},
        // Vintage models: some show the subtype; extensive also its menus.
        {answers(4, 0, 0, 2, 0, 0),
         {{"BandStrips", "Subtype", 1}, {"Graph", "Tooltip for Subtype", 0}, {"BandStrips", "Subtype menu", 1},
          {"Graph", "Tooltip type menu", 1}}},
        {answers(4, 0, 0, 2, 1, 0),
         {{"BandStrips", "Subtype", 1}, {"Graph", "Tooltip for Subtype", 1}, {"BandStrips", "Subtype menu", 1}}},
        {answers(4, 0, 0, 2, 2, 0), {{"BandStrips", "Subtype menu", 1}, {"Graph", "Tooltip type menu", 1}}},
        // Meters: some give large master meters, extensive the channel meters too.
        {answers(4, 0, 0, 2, 0, 1), {{"Layout", "Master Meters", 2}, {"Layout", "Channel Meters", 0}}},
        {answers(4, 0, 0, 2, 0, 2), {{"Layout", "Master Meters", 2}, {"Layout", "Channel Meters", 1}}},
    };
    for (const Case& c : cases) {
        EditorPreferences prefs = EditorPreferences::fromResources();
        // Start away from the schema defaults where an answer leaves a value alone.
        prefs.setUIPreference("Graph", "Tooltip for Subtype", 0);
        prefs.setUIPreference("Graph", "Tooltip type menu", 1);
        prefs.setUIPreference("BandStrips", "Subtype menu", 1);
        prefs.setUIPreference("BandStrips", "Groups", 1);
        applyWizardPreferences(c.a, prefs);
        for (const Prefs& p : c.expected)
            EXPECT_EQ(prefs.getUIPreference(p.page, p.name), p.value)
                << p.page << "/" << p.name << " for answers " << c.a.answer[0] << c.a.answer[1] << c.a.answer[2]
                << c.a.answer[3] << c.a.answer[4] << c.a.answer[5];
    }
}

TEST(WizardAnswers, UsageAndLayoutChooseTheProcessing) {
    struct Case {
        int usage, layout;
        int fir, dPlus, irLength, midSide;
    };
    const Case cases[] = {
        {0, 0, 0, -1, -1, 1},
        {1, 1, 0, 3, -1, 1},   // 64-sample Digital+
        {2, 2, 1, -1, 3, 0},   // FIR, 8192 samples
        {3, 3, 1, -1, 6, 0},   // single master instances: FIR, 65536 samples
        {-1, -1, -1, -1, -1, -1},
    };
    for (const Case& c : cases) {
        const WizardProcessing p = wizardProcessing(answers(0, c.usage, c.layout, 0, 0, 0));
        EXPECT_EQ(p.fir, c.fir) << c.usage;
        EXPECT_EQ(p.dPlusItem, c.dPlus) << c.usage;
        EXPECT_EQ(p.irLengthItem, c.irLength) << c.usage;
        EXPECT_EQ(p.midSide, c.midSide) << c.layout;
    }
}

TEST(WizardAnswers, UnansweredPagesLeaveTheirPreferencesAlone) {
    EditorPreferences prefs = EditorPreferences::fromResources();
    EditorPreferences before = EditorPreferences::fromResources();
    applyWizardPreferences(WizardAnswers{}, prefs);
    for (const std::string& page : before.pageNames())
        for (const std::string& name : before.preferenceNames(page))
            EXPECT_EQ(prefs.getUIPreference(page, name), before.getUIPreference(page, name)) << page << "/" << name;
}

struct RecordingTarget : WizardTarget {
    std::vector<std::string> calls;
    int largestFitting = 4;
    bool bankWritable = true;
    EditorPreferences* prefs = nullptr;
    int sizeWhenApplied = -1;
    void applyProcessing(const WizardProcessing& p) override { calls.push_back("processing " + std::to_string(p.fir)); }
    void applyEditorPreferences() override {
        calls.push_back("apply");
        sizeWhenApplied = prefs->getUIPreference("Layout", "UI Size");
    }
    bool uiSizeFits(int size) override {
        calls.push_back("fits " + std::to_string(size));
        return size <= largestFitting;
    }
    bool writeDefaultBank() override {
        calls.push_back("write");
        return bankWritable;
    }
};

TEST(WizardAnswers, TheLargestSizeThatFitsIsTakenDownToTiny) {
    struct Case {
        int wanted, largestFitting, expected;
    };
    const Case cases[] = {{4, 4, 4}, {4, 2, 2}, {4, -1, 0}, {1, 3, 1}, {0, -1, 0}, {9, 3, 3}};
    for (const Case& c : cases) {
        EditorPreferences prefs = EditorPreferences::fromResources();
        RecordingTarget target;
        target.prefs = &prefs;
        target.largestFitting = c.largestFitting;
        const WizardOutcome out = applyWizardAnswers(answers(4, 3, 0, c.wanted, 0, 0), prefs, target);
        EXPECT_EQ(out.uiSize, c.expected) << c.wanted << " with " << c.largestFitting;
        EXPECT_EQ(prefs.getUIPreference("Layout", "UI Size"), c.expected);
        EXPECT_EQ(target.sizeWhenApplied, c.expected) << "the editor applies the size it will get";
    }
}

TEST(WizardAnswers, CompletionOrderAndABankThatCannotBeWritten) {
    for (bool writable : {true, false}) {
        EditorPreferences prefs = EditorPreferences::fromResources();
        RecordingTarget target;
        target.prefs = &prefs;
        target.largestFitting = 1;
        target.bankWritable = writable;
        const WizardOutcome out = applyWizardAnswers(answers(0, 3, 0, 3, 0, 2), prefs, target);
        const std::vector<std::string> expected = {"processing 1", "apply", "fits 3", "fits 2",
                                                   "fits 1",       "apply", "write"};
        EXPECT_EQ(target.calls, expected);
        EXPECT_EQ(out.bankWritten, writable);
        // Written or not, this instance keeps the answers.
        EXPECT_EQ(prefs.getUIPreference("Layout", "BandStrips"), 0);
        EXPECT_EQ(prefs.getUIPreference("Layout", "Channel Meters"), 1);
        EXPECT_EQ(prefs.getUIPreference("Layout", "UI Size"), 1);
    }
}

}  // namespace
}  // namespace hm::prefs
