// Programs, A/B slots, toggles and undo of the instance.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "core/Plug.h"
#include "prefs/GlobalPreferences.h"
#include "tests/core/FakeHost.h"

namespace hm {
namespace {

using test::countFakeHost;

std::unique_ptr<Plug> makePlug() {
    // Preference changes here must not reach test processes running beside this one.
    static const bool isolated = [] {
        const char* base = std::getenv("XDG_CONFIG_HOME");
        prefs::resetGlobalSettingsForTesting(std::string(base ? base : "/tmp") + "/programs-test-" +
                                             std::to_string(::getpid()) + ".json");
        return true;
    }();
    (void)isolated;
    return std::make_unique<Plug>(&test::fakeHost);
}

TEST(Programs, FreshInstanceHasUnnamedProgramsAndDefaultSlots) {
    auto plug = makePlug();
    for (int p = 0; p < kNumPrograms; ++p) {
        char name[32] = {};
        ASSERT_TRUE(plug->getProgramNameIndexed(0, p, name));
        EXPECT_STREQ(name, "-");
    }
    for (int s = 0; s < kNumABSlots; ++s)
        for (int i = 0; i < kNumParams; ++i) ASSERT_EQ(plug->abSlot(s).get(i), plug->getParameterDefault(i));
}

TEST(Programs, ChangesWriteThroughIntoTheCurrentProgramAndSlotOnly) {
    auto plug = makePlug();
    const int gain = bandParam(0, kBandGain);
    plug->setProgram(2);
    plug->selectABSlot(1);
    plug->setParameter(gain, 0.9f);
    EXPECT_EQ(plug->program(2).values.get(gain), 0.9f);
    EXPECT_EQ(plug->abSlot(1).get(gain), 0.9f);
    EXPECT_EQ(plug->program(0).values.get(gain), 0.5f);
    EXPECT_EQ(plug->abSlot(0).get(gain), 0.5f);
    // Out of range: nothing changes.
    plug->setProgram(20);
    plug->selectABSlot(8);
    EXPECT_EQ(plug->getProgram(), 2);
    EXPECT_EQ(plug->getCurrentABSlot(), 1);
}

TEST(Programs, StoredSlotReproducesTheLiveValues) {
    auto plug = makePlug();
    for (int i = kFirstBandParam; i < kNumParams; i += 3) plug->setParameter(i, 0.37f);
    plug->storeABSlot(3);
    auto live = std::make_unique<ParamValues>();
    for (int i = 0; i < kNumParams; ++i) live->set(i, plug->getParameter(i));
    plug->selectABSlot(5);
    plug->selectABSlot(3);
    for (int i = 0; i < kNumParams; ++i)
        if (i != kABBank) ASSERT_EQ(plug->getParameter(i), live->get(i)) << i;
    // The live A/B parameter names the slot in use.
    EXPECT_EQ(static_cast<int>(plug->getParameterReal(kABBank)), 3);
}

TEST(Programs, SlotLoadsReportToTheHostByPreference) {
    auto plug = makePlug();
    prefs::setGlobalPreference("A/B Automation", 0);  // "Just AB"
    plug->loadPreferences();
    test::clearFakeHost();
    plug->chooseABSlot(2);
    EXPECT_EQ(plug->getCurrentABSlot(), 2);
    EXPECT_EQ(countFakeHost(vst::audioMasterAutomate), 1);
    EXPECT_EQ(countFakeHost(vst::audioMasterAutomate, kABBank), 1);

    EXPECT_EQ(countFakeHost(vst::audioMasterUpdateDisplay), 1) << "a slot switch is a restore";

    // "All": the switch tells the host of the parameters the slot changed,
    // not of the whole table.
    prefs::setGlobalPreference("A/B Automation", 1);
    plug->loadPreferences();
    plug->chooseABSlot(4);
    plug->setParameter(bandParam(0, kBandGain), 0.8f);
    plug->setParameter(bandParam(1, kBandQ), 0.3f);
    plug->chooseABSlot(2);
    test::clearFakeHost();
    plug->chooseABSlot(4);
    EXPECT_EQ(countFakeHost(vst::audioMasterAutomate, bandParam(0, kBandGain)), 1);
    EXPECT_EQ(countFakeHost(vst::audioMasterAutomate, bandParam(1, kBandQ)), 1);
    EXPECT_EQ(countFakeHost(vst::audioMasterAutomate, kABBank), 1);
    EXPECT_EQ(countFakeHost(vst::audioMasterAutomate), 3);
    EXPECT_EQ(countFakeHost(vst::audioMasterBeginEdit), countFakeHost(vst::audioMasterEndEdit));
    EXPECT_EQ(countFakeHost(vst::audioMasterUpdateDisplay), 1);
}

TEST(Programs, ToggleRules) {
    auto plug = makePlug();
    prefs::setGlobalPreference("A/B Toggle", 1);  // "Visited"
    plug->loadPreferences();
    plug->chooseABSlot(2);  // visited: C (A is added by the toggle itself)
    plug->chooseABSlot(0);
    EXPECT_EQ(plug->toggleABSlot(), 2);
    EXPECT_EQ(plug->toggleABSlot(), 0);
    EXPECT_EQ(plug->toggleABSlot(), 2);

    prefs::setGlobalPreference("A/B Toggle", 0);  // "Last 2"
    plug->loadPreferences();
    plug->chooseABSlot(5);
    EXPECT_EQ(plug->toggleABSlot(), 2);
    EXPECT_EQ(plug->toggleABSlot(), 5);

    prefs::setGlobalPreference("A/B Toggle", 2);  // "Nonempty"
    plug->loadPreferences();
    plug->chooseABSlot(6);
    plug->setParameter(bandParam(4, kBandState), 1.0f);  // slot G has a band on
    plug->chooseABSlot(1);
    EXPECT_EQ(plug->toggleABSlot(), 6);
    prefs::setGlobalPreference("A/B Toggle", 1);
}

TEST(Programs, UndoRedoKeepOneEntryEach) {
    auto plug = makePlug();
    const int freq = bandParam(2, kBandFrequency);
    const float start = plug->getParameter(freq);
    plug->beginEdit(freq);
    plug->setParameter(freq, 0.6f);
    plug->setParameter(freq, 0.7f);
    plug->endEdit(freq);
    ASSERT_EQ(plug->undoEntries().size(), 1u);
    test::clearFakeHost();
    EXPECT_TRUE(plug->undo());
    EXPECT_EQ(plug->getParameter(freq), start);
    EXPECT_EQ(countFakeHost(vst::audioMasterAutomate, freq), 1);
    EXPECT_FALSE(plug->canUndo());
    EXPECT_TRUE(plug->redo());
    EXPECT_EQ(plug->getParameter(freq), 0.7f);
    EXPECT_EQ(plug->undoEntries().size(), 1u);
    EXPECT_FALSE(plug->redo());
}

TEST(Programs, SteppingStaysWithinTheBank) {
    auto plug = makePlug();
    plug->stepProgram(-1);
    EXPECT_EQ(plug->getProgram(), 0);
    plug->stepProgram(+1);
    EXPECT_EQ(plug->getProgram(), 1);
    plug->setProgram(19);
    plug->stepProgram(+1);
    EXPECT_EQ(plug->getProgram(), 19);
}

}  // namespace
}  // namespace hm
