// The setup window's page column and the two preference pages, driven by
// clicks in a headless frame over a real instance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/params/ParamIds.h"
#include "gui/controls/COptionMenu.h"
#include "gui/controls/MenuPopup.h"
#include "gui/views/Preferences.h"
#include "gui/views/SetupWindow.h"
#include "gui/views/UIPreferences.h"
#include "prefs/GlobalPreferences.h"
#include "tests/gui/setup_Harness.h"

namespace hm::gui::test {
namespace {

constexpr int kPaneLeft = 200, kPaneTop = 60, kPaneWidth = 449, kPaneHeight = 345;

struct UIPrefsRig : InstanceRig {
    UIPreferences* view = nullptr;
    UIPrefsRig() {
        view = new UIPreferences(CRect::fromSize(kPaneLeft, kPaneTop, kPaneWidth, kPaneHeight), &editor,
                                 kGUIUIPrefsChange);
        h.frame->addView(view);
    }
    prefs::EditorPreferences& tree() { return plug->editorPreferenceTree(); }
    // Frame point of a row (by page and preference; "" for the header) at x
    // pixels into the view, the list scrolled by its bar so the row shows.
    CPoint at(const std::string& page, const std::string& name, int x) {
        const PreferenceList& list = view->list();
        for (const PreferenceRow& row : list.rows()) {
            if (row.page != page || row.name != name) continue;
            const int over = list.contentHeight() - kPaneHeight;
            if (over > 0) {
                const float fraction = static_cast<float>(row.top - kPaneHeight / 2) / static_cast<float>(over);
                const float clamped = std::clamp(fraction, 0.f, 1.f);
                const int y = static_cast<int>(std::lround(clamped * (kPaneHeight - 8))) + 4;
                h.click(kPaneLeft + kPaneWidth - 5, kPaneTop + y);
            }
            return CPoint(kPaneLeft + x, kPaneTop + row.top - list.offset(kPaneHeight) + row.height / 2);
        }
        ADD_FAILURE() << "no row " << page << "/" << name;
        return CPoint();
    }
    void chooseFromMenu(COptionMenu* menu, int item) {
        ASSERT_TRUE(menu->isPopupOpen());
        const CRect r = menu->getPopup()->itemRect(0, item);
        const CPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        h.window->move(p.x, p.y);
        h.click(p.x, p.y);
        ASSERT_FALSE(menu->isPopupOpen());
    }
    void openPage(const std::string& page) {
        if (!tree().isPageOpen(page)) click(at(page, "", 40));
    }
    void click(CPoint p) { h.click(p.x, p.y); }
};

TEST(UIPreferencesView, ThirteenValuesGoThroughTheMenuAndFourThroughButtons) {
    UIPrefsRig rig;
    rig.openPage("Misc");
    rig.openPage("Meters");
    ASSERT_EQ(rig.tree().valueLabels("Misc", "MIDI Bend Range").size(), 13u);
    ASSERT_EQ(rig.tree().valueLabels("Meters", "Ballistic Type").size(), 4u);

    // The menu button sits where the first value button would; items are the labels.
    rig.click(rig.at("Misc", "MIDI Bend Range", PreferenceList::kValueX + 5));
    COptionMenu* menu = rig.view->valueMenu();
    ASSERT_EQ(menu->getNbEntries(), 13);
    EXPECT_STREQ(menu->getEntry(12), "24");
    rig.chooseFromMenu(menu, 11);
    EXPECT_EQ(rig.tree().getUIPreference("Misc", "MIDI Bend Range"), 11);
    EXPECT_EQ(rig.editor.count(kGUIUIPrefsChange), 1);

    // A click right of the menu button does nothing for a menu preference.
    rig.click(rig.at("Misc", "MIDI Bend Range", PreferenceList::kValueX + PreferenceList::kValuePitch + 5));
    EXPECT_FALSE(menu->isPopupOpen());

    // Four values: the third button sets index 2; a click past the last sets nothing.
    rig.click(rig.at("Meters", "Ballistic Type", PreferenceList::kValueX + 2 * PreferenceList::kValuePitch + 30));
    EXPECT_EQ(rig.tree().getUIPreference("Meters", "Ballistic Type"), 2);
    EXPECT_EQ(rig.editor.count(kGUIUIPrefsChange), 2);
    rig.click(rig.at("Meters", "Ballistic Type", PreferenceList::kValueX - 20));
    rig.click(rig.at("Meters", "Ballistic Type", PreferenceList::kValueX + 4 * PreferenceList::kValuePitch + 5));
    EXPECT_EQ(rig.tree().getUIPreference("Meters", "Ballistic Type"), 2);
    EXPECT_EQ(rig.editor.count(kGUIUIPrefsChange), 2);
}

TEST(UIPreferencesView, HeadersOpenAndCloseTheirRowsAndTheListScrolls) {
    UIPrefsRig rig;
    const int closed = PreferenceList::kTop + 6 * PreferenceList::kHeaderHeight;
    EXPECT_EQ(rig.view->list().contentHeight(), closed) << "pages start collapsed";
    for (const std::string& page : rig.tree().pageNames()) rig.openPage(page);
    const int members = 8 + 22 + 6 + 3 + 11 + 10;
    EXPECT_EQ(rig.view->list().contentHeight(), closed + members * PreferenceList::kItemHeight);

    // Scrolled to the end, the last row is still hit where it is drawn.
    rig.click(CPoint(kPaneLeft + kPaneWidth - 5, kPaneTop + kPaneHeight - 2));
    EXPECT_FLOAT_EQ(rig.view->list().scroll(), 1.f);
    rig.click(rig.at("Misc", "Refresh Rate", PreferenceList::kValueX + 3 * PreferenceList::kValuePitch + 5));
    EXPECT_EQ(rig.tree().getUIPreference("Misc", "Refresh Rate"), 3);

    // The wheel moves by a tenth a notch, up when turned away from the user.
    rig.h.window->wheel(kPaneLeft + 100, kPaneTop + 100, 2.f);
    EXPECT_NEAR(rig.view->list().scroll(), 0.8f, 1e-6f);

    for (const std::string& page : rig.tree().pageNames()) rig.click(rig.at(page, "", 40));
    EXPECT_EQ(rig.view->list().contentHeight(), closed);
    EXPECT_EQ(rig.view->list().rows().size(), 6u);
    EXPECT_EQ(rig.editor.count(kGUIUIPrefsChange), 1) << "opening and closing pages is no preference change";
}

// The default bank file as the default commands see it.
std::string bankWith(const char* uiprefs) {
    std::string text = R"({"format":1,"presets":[])";
    if (uiprefs) text += std::string(R"(,"uiprefs":)") + uiprefs;
    return text + "}";
}

TEST(UIPreferencesView, RestoringAPageNeedsStoredPreferences) {
    struct Case {
        const char* uiprefs;
        int expected;  // "Ballistic Type" afterwards
        int reports;
    };
    const Case cases[] = {
        {nullptr, 1, 0},                                                       // no uiprefs at all
        {R"({"Graph":{"Handles":{"value":2}}})", 1, 0},                       // no "Meters" page
        {R"({"Meters":{"Ballistic Type":{"value":3}}})", 3, 1},               // restored
        {R"({"Meters":{"Ballistic Type":{"value":9}}})", 1, 1},               // an index past the labels is refused
    };
    for (const Case& c : cases) {
        UIPrefsRig rig;
        writeFile(rig.plug->bankPath(), bankWith(c.uiprefs));
        rig.openPage("Meters");
        rig.click(rig.at("Meters", "Ballistic Type", PreferenceList::kValueX + PreferenceList::kValuePitch + 5));
        rig.editor.reports.clear();

        rig.click(rig.at("Meters", "", UIPreferences::kLoadSaveX + 10));
        COptionMenu* menu = rig.view->defaultsMenu();
        ASSERT_EQ(menu->getNbEntries(), 5);
        EXPECT_STREQ(menu->getEntry(1), "Restore settings for Meters to default");
        rig.chooseFromMenu(menu, UIPreferences::kRestorePage);
        EXPECT_EQ(rig.tree().getUIPreference("Meters", "Ballistic Type"), c.expected) << (c.uiprefs ? c.uiprefs : "none");
        EXPECT_EQ(rig.editor.count(kGUIUIPrefsChange), c.reports) << (c.uiprefs ? c.uiprefs : "none");
        EXPECT_TRUE(rig.tree().isPageOpen("Meters")) << "the page stays as the user left it";
    }
}

TEST(UIPreferencesView, SavingAPageStoresOnlyThatPage) {
    UIPrefsRig rig;
    writeFile(rig.plug->bankPath(), bankWith(R"({"Meters":{"Ballistic Type":{"value":0}},"Graph":{"x":1}})"));
    rig.openPage("Meters");
    rig.click(rig.at("Meters", "Ballistic Type", PreferenceList::kValueX + 3 * PreferenceList::kValuePitch + 5));
    rig.click(rig.at("Meters", "", UIPreferences::kLoadSaveX + 10));
    rig.chooseFromMenu(rig.view->defaultsMenu(), UIPreferences::kSavePage);
    const std::string text = readFile(rig.plug->bankPath());
    EXPECT_NE(text.find("\"Ballistic Type\""), std::string::npos);
    EXPECT_NE(text.find("\"x\":\t1"), std::string::npos) << "the other stored pages stay: " << text;
    // What was saved comes back after a change.
    rig.click(rig.at("Meters", "Ballistic Type", PreferenceList::kValueX + 5));
    rig.click(rig.at("Meters", "", UIPreferences::kLoadSaveX + 10));
    rig.chooseFromMenu(rig.view->defaultsMenu(), UIPreferences::kRestoreAll);
    EXPECT_EQ(rig.tree().getUIPreference("Meters", "Ballistic Type"), 3);
}

TEST(PreferencesView, AClickStoresTheGlobalValueAtOnce) {
    InstanceRig rig;
    auto* view = new Preferences(CRect::fromSize(kPaneLeft, kPaneTop, kPaneWidth, kPaneHeight), &rig.editor,
                                 kGUIPrefsChange);
    rig.h.frame->addView(view);
    // Groups in order, each with its members in schema order.
    std::vector<std::string> order;
    for (const PreferenceRow& row : view->list().rows()) order.push_back(row.header ? "#" + row.page : row.name);
    ASSERT_EQ(order.size(), 13u);
    EXPECT_EQ(order[0], "#Mouse and Meter");
    EXPECT_EQ(order[1], "Clip threshold");
    EXPECT_EQ(order[2], "ProTools Opt/Shift");
    EXPECT_EQ(order[3], "#Misc");
    EXPECT_EQ(order[4], "FFT Update throttle");

    auto rowPoint = [&](const std::string& name, int x) {
        for (const PreferenceRow& row : view->list().rows())
            if (row.name == name) return CPoint(kPaneLeft + x, kPaneTop + row.top + row.height / 2);
        return CPoint();
    };
    const CPoint p = rowPoint("Solo Mode", PreferenceList::kValueX + PreferenceList::kValuePitch + 10);
    rig.h.click(p.x, p.y);
    EXPECT_EQ(prefs::getGlobalPreference("Solo Mode"), 1);
    EXPECT_NE(readFile(rig.folders.settingsFile()).find("\\\"Solo Mode\\\":1"), std::string::npos)
        << readFile(rig.folders.settingsFile());
    EXPECT_EQ(rig.editor.count(kGUIPrefsChange), 1);
    // "Solo Mode" has two values: the third column is no button.
    const CPoint past = rowPoint("Solo Mode", PreferenceList::kValueX + 2 * PreferenceList::kValuePitch + 10);
    rig.h.click(past.x, past.y);
    EXPECT_EQ(prefs::getGlobalPreference("Solo Mode"), 1);
    EXPECT_EQ(rig.editor.count(kGUIPrefsChange), 1);
}

TEST(PreferencesView, SaveWritesTheCurrentStateAsDefaultBankAndSaysWhenItCannot) {
    for (bool writable : {true, false}) {
        InstanceRig rig;
        auto* view = new Preferences(CRect::fromSize(kPaneLeft, kPaneTop, kPaneWidth, kPaneHeight), &rig.editor,
                                     kGUIPrefsChange);
        rig.h.frame->addView(view);
        std::filesystem::remove(rig.plug->bankPath());
        if (!writable) std::filesystem::create_directories(rig.plug->bankPath());  // a folder where the file goes
        rig.plug->setParameter(kGain, 0.625f);
        const int x = kPaneLeft + Preferences::kSaveX + 30, y = kPaneTop + kPaneHeight - 17;
        rig.h.window->press(x, y, kLButton);
        rig.h.frame->updateDirty();
        EXPECT_EQ(rig.h.pixel(x - 25, y), 0xFFFFFFu) << "the button shows pressed";
        rig.h.window->release(x, y, kLButton);
        EXPECT_EQ(view->saveOutcome(), writable ? 1 : -1);
        EXPECT_EQ(std::filesystem::is_regular_file(rig.plug->bankPath()), writable);
        if (writable) {
            Plug next(&hm::test::fakeHost);
            EXPECT_FALSE(next.firstRunSetupWanted());
            EXPECT_EQ(next.getParameter(kGain), 0.625f);
        }
    }
}

struct ColumnRig : InstanceRig {
    SetupWindow* column = nullptr;
    ColumnRig() {
        column = new SetupWindow(CRect::fromSize(20, 62, 150, 320), &editor, kGUISetupPage);
        h.frame->addView(column);
    }
};

TEST(SetupWindowColumn, RowsSelectPagesAndTheLastRowOpensTheWizard) {
    ColumnRig rig;
    for (int page : {3, 0, 4, 1}) {
        rig.h.click(60, 62 + 25 * (page + 1) + 12);
        EXPECT_EQ(rig.column->selectedPage(), page);
        ASSERT_FALSE(rig.editor.reports.empty());
        EXPECT_EQ(rig.editor.reports.back().tag, kGUISetupPage);
        EXPECT_FLOAT_EQ(rig.editor.reports.back().value, static_cast<float>(page));
    }
    rig.editor.reports.clear();
    rig.h.click(60, 62 + 12);         // the header row
    rig.h.click(60, 62 + 25 * 6 + 12);  // between the pages and the wizard entry
    EXPECT_TRUE(rig.editor.reports.empty());
    rig.h.click(60, 62 + 320 - 3);
    ASSERT_EQ(rig.editor.reports.size(), 1u);
    EXPECT_EQ(rig.editor.reports[0].tag, kGUIWizardOpen);
    EXPECT_FLOAT_EQ(rig.editor.reports[0].value, 1.f);
    EXPECT_EQ(rig.column->selectedPage(), 1) << "the wizard entry leaves the page as it was";
    EXPECT_EQ(rig.column->getTag(), kGUISetupPage);
}

TEST(SetupWindowColumn, TheSelectedRowKeepsThePanelBackground) {
    ColumnRig rig;
    rig.column->setValue(2.f);
    rig.h.frame->updateDirty();
    // Black frame background: a tinted row shows half of (135, 167, 191); the
    // selected one stays black; row lines are (26, 26, 26).
    const int x = 140;
    EXPECT_EQ(rig.h.pixel(x, 62 + 25 * 2 + 3), makeRgb(68, 84, 96));
    EXPECT_EQ(rig.h.pixel(x, 62 + 25 * 3 + 3), 0u);
    EXPECT_EQ(rig.h.pixel(x, 62 + 25 * 3), makeRgb(26, 26, 26));
    EXPECT_EQ(rig.h.pixel(x, 62 + 3), makeRgb(65, 65, 65)) << "header: (128, 128, 128) at 0.51";
    rig.column->selectLastPage();
    EXPECT_EQ(rig.column->selectedPage(), 4);
    EXPECT_EQ(rig.editor.reports.back().tag, kGUISetupPage);
}

}  // namespace
}  // namespace hm::gui::test
