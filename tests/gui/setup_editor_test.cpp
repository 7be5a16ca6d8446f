// The setup window and the wizard inside the whole editor: first-run wizard,
// its completion on a pretend screen, snapshots, and every setup page at every
// UI size.
#include <gtest/gtest.h>

#include <cmath>

#include "core/params/ParamIds.h"
#include "gui/controls/COptionMenu.h"
#include "gui/controls/MenuPopup.h"
#include "gui/editor/WizardCompletion.h"
#include "gui/framework/nPage.h"
#include "gui/views/Preferences.h"
#include "gui/views/SetupWindow.h"
#include "gui/views/SetupWizard.h"
#include "gui/views/TextViews.h"
#include "gui/views/UIPreferences.h"
#include "tests/gui/editor_Rig.h"
#include "tests/gui/setup_Harness.h"

namespace hm::gui::test {
namespace {

CPoint frameCentre(const CView* v, const CRect& r) {
    // r in v's parent coordinates.
    const CRect f = v->getFrameRect();
    return CPoint(f.left + (r.left + r.right) / 2 - v->getViewSize().left,
                  f.top + (r.top + r.bottom) / 2 - v->getViewSize().top);
}

struct FreshEditor {
    UserFolders folders;  // no default bank yet
    EditorRig rig{2, false, false};
    void click(const CView* v, const CRect& r) {
        const CPoint p = frameCentre(v, r);
        rig.window()->press(p.x, p.y, kLButton);
        rig.window()->release(p.x, p.y, kLButton);
    }
    // Answers every page with `answers` and presses Finish.
    void runWizard(const int (&answers)[6]) {
        auto* wizard = rig.editor->findView<SetupWizard>();
        ASSERT_NE(wizard, nullptr);
        ASSERT_TRUE(wizard->isVisibleInTree());
        for (int page = 0; page < 6; ++page) {
            ASSERT_EQ(wizard->page(), page);
            click(wizard, wizard->answerButton(answers[page]));
            click(wizard, wizard->nextArea());
        }
    }
};

TEST(SetupInEditor, WithoutADefaultBankTheEditorStartsWithTheWizard) {
    FreshEditor e;
    vst::ERect* rect = nullptr;
    ASSERT_TRUE(e.rig.editor->getRect(&rect));
    EXPECT_EQ(rect->right - rect->left, 632) << "the host sizes its window for the wizard";
    EXPECT_EQ(rect->bottom - rect->top, 428);
    ASSERT_TRUE(e.rig.editor->openHeadless());
    EXPECT_TRUE(e.rig.editor->panelOpen(kGUIWizardOpen));
    EXPECT_EQ(e.rig.window()->width(), 632);
    EXPECT_EQ(e.rig.window()->height(), 428);
    // A snapshot pictures the equaliser unless it asks for the wizard.
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(e.rig.editor->renderSnapshot(pixels, w, h));
    EXPECT_EQ(w, 750);
    ASSERT_TRUE(e.rig.editor->renderSnapshot(pixels, w, h, true));
    EXPECT_EQ(w, 632);
    EXPECT_EQ(h, 428);
    EXPECT_TRUE(e.rig.editor->panelOpen(kGUIWizardOpen)) << "the snapshot leaves the editor as it was";
    EXPECT_EQ(e.rig.window()->width(), 632);
}

TEST(SetupInEditor, FinishingFitsTheScreenAndWritesTheDefaultBank) {
    FreshEditor e;
    ASSERT_TRUE(e.rig.editor->openHeadless());
    e.rig.window()->setDesktopSize(800, 900);  // "Huge" and "Large" do not fit
    e.runWizard({4, 3, 0, 4, 0, 1});
    EXPECT_FALSE(e.rig.editor->panelOpen(kGUIWizardOpen));
    const prefs::EditorPreferences& tree = e.rig.plug->editorPreferenceTree();
    EXPECT_EQ(tree.getUIPreference("Layout", "UI Size"), 2);
    EXPECT_EQ(e.rig.plug->getParameterReal(kMode), 1.0);
    EXPECT_TRUE(e.rig.editor->noticeText().empty());
    e.rig.editor->forceIdlePass();
    EXPECT_LE(e.rig.window()->width(), 800);
    EXPECT_LE(e.rig.window()->height(), 900);
    Plug next(&hm::test::fakeHost);
    EXPECT_FALSE(next.firstRunSetupWanted());
}

TEST(SetupInEditor, ABankThatCannotBeWrittenIsReported) {
    FreshEditor e;
    ASSERT_TRUE(e.rig.editor->openHeadless());
    std::filesystem::create_directories(e.rig.plug->bankPath());  // a folder where the file goes
    e.runWizard({0, 0, 0, 1, 0, 0});
    EXPECT_EQ(e.rig.editor->noticeText(), kWizardBankNotWritten);
    EXPECT_EQ(e.rig.plug->editorPreferenceTree().getUIPreference("Layout", "BandStrips"), 0);
    EXPECT_EQ(e.rig.plug->editorPreferenceTree().getUIPreference("Layout", "UI Size"), 1);
}

TEST(SetupInEditor, EveryPageShowsAtEveryUiSize) {
    for (int size = 0; size < 5; ++size) {
        SCOPED_TRACE("UI Size " + std::to_string(size));
        EditorRig rig;
        rig.plug->editorPreferenceTree().setUIPreference("Layout", "UI Size", size);
        rig.change(kGUIUIPrefsChange, 1.f);
        rig.editor->forceIdlePass();
        rig.change(kGUISetup, 1.f);  // the tool bar's setup button
        rig.editor->forceIdlePass();
        auto* column = rig.editor->findView<SetupWindow>();
        ASSERT_NE(column, nullptr);
        ASSERT_TRUE(column->isVisibleInTree());
        const CRect window(0, 0, rig.window()->width(), rig.window()->height());
        for (int page = 0; page < SetupWindow::kPageCount; ++page) {
            // A click on the page's row in the column.
            const CRect row = CRect::fromSize(column->getViewSize().left, column->getViewSize().top + 25 * (page + 1),
                                              column->getWidth(), 25);
            const CPoint p = frameCentre(column, row);
            rig.window()->press(p.x, p.y, kLButton);
            rig.window()->release(p.x, p.y, kLButton);
            rig.editor->forceIdlePass();
            EXPECT_EQ(column->selectedPage(), page);
            // Exactly one pane shows, the page's, and it lies inside the window.
            int shown = 0;
            column->getFrame()->forEachDescendant([&](CView* v) {
                auto* pane = dynamic_cast<nPage*>(v);
                if (!pane || pane->getTag() != kGUISetupPage || !pane->isVisibleInTree()) return;
                ++shown;
                EXPECT_EQ(pane->getPageNumber(), page);
                CRect inside = pane->getFrameRect();
                inside.bound(window);
                EXPECT_EQ(inside, pane->getFrameRect());
            });
            EXPECT_EQ(shown, 1);
        }
        // The last page's text and the channel-count text.
        bool about = false;
        column->getFrame()->forEachDescendant([&](CView* v) {
            if (auto* t = dynamic_cast<nTextDisplay*>(v); t && t->getText().rfind("Harmoniform v1.00", 0) == 0) about = true;
        });
        EXPECT_TRUE(about);
        EXPECT_EQ(rig.editor->channelCountText(), "This instance has 2 channels.");
    }
}

TEST(SetupInEditor, StereoModeMenuSwitchesMidSide) {
    EditorRig rig;
    rig.change(kGUISetup, 1.f);
    rig.change(kGUISetupPage, 2.f);
    rig.editor->forceIdlePass();
    COptionMenu* menu = nullptr;
    rig.editor->forEachControl(kGUIUseMS1, [&](CControl* c) {
        if (auto* m = dynamic_cast<COptionMenu*>(c); m && m->isVisibleInTree()) menu = m;
    });
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->getNbEntries(), 2);
    EXPECT_STREQ(menu->getEntry(0), "Mid/Side");
    EXPECT_STREQ(menu->getEntry(1), "Left/Right");
    EXPECT_EQ(menu->getCurrent(), 0) << "pair 0 starts mid/side";
    const CPoint p = frameCentre(menu, menu->getViewSize());
    rig.window()->press(p.x, p.y, kLButton);
    rig.window()->release(p.x, p.y, kLButton);
    ASSERT_TRUE(menu->isPopupOpen());
    const CRect item = menu->getPopup()->itemRect(0, 1);
    rig.window()->move((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    rig.window()->press((item.left + item.right) / 2, (item.top + item.bottom) / 2, kLButton);
    rig.window()->release((item.left + item.right) / 2, (item.top + item.bottom) / 2, kLButton);
    EXPECT_EQ(static_cast<int>(rig.plug->getParameterReal(kMsState)) & 0b1000, 0);
}

}  // namespace
}  // namespace hm::gui::test

#include "prefs/ChunkCodec.h"
#include "prefs/Json.h"

namespace hm::gui::test {
namespace {

TEST(SetupInEditor, ThePreferencePageShowsALoadedState) {
    EditorRig rig;
    rig.plug->editorPreferenceTree().setPageOpen("Meters", true);
    rig.change(kGUISetup, 1.f);
    rig.change(kGUISetupPage, 1.f);
    rig.editor->forceIdlePass();
    auto* view = rig.editor->findView<UIPreferences>();
    ASSERT_NE(view, nullptr);
    view->refreshFromStore();
    rig.editor->forceIdlePass();
    const PreferenceRow* row = nullptr;
    for (const PreferenceRow& r : view->list().rows())
        if (r.name == "Ballistic Type") row = &r;
    ASSERT_NE(row, nullptr);
    const CRect f = view->getFrameRect();
    const auto button = [&](int j) {
        return CPoint(f.left + PreferenceList::kValueX + PreferenceList::kValuePitch * j + 5,
                      f.top + row->top + row->height / 2);
    };
    const auto pixel = [&](CPoint p) {
        const auto all = rig.window()->composite();
        return all[static_cast<std::size_t>(p.y) * rig.window()->width() + p.x] & 0xFFFFFFu;
    };
    EXPECT_EQ(pixel(button(0)), 0xFFFFFFu) << "\"Digital\" shows as the current value";

    // A host restores a state whose editor preferences say "BBC".
    void* data = nullptr;
    const int size = rig.plug->getChunk(&data, false);
    auto text = state::decodeChunk(data, static_cast<std::size_t>(size));
    ASSERT_TRUE(text);
    prefs::JsonPtr document = prefs::parseJson(*text);
    cJSON* value = prefs::member(prefs::member(prefs::member(prefs::member(document.get(), "uiprefs"), "Meters"),
                                               "Ballistic Type"),
                                 "value");
    ASSERT_TRUE(cJSON_IsNumber(value));
    prefs::setNumber(value, 3);
    std::vector<unsigned char> chunk = state::encodeChunk(prefs::printJson(document.get(), false));
    rig.plug->setChunk(chunk.data(), static_cast<vst::VstInt32>(chunk.size()), false);
    rig.editor->forceIdlePass();
    EXPECT_EQ(pixel(button(3)), 0xFFFFFFu);
    EXPECT_NE(pixel(button(0)), 0xFFFFFFu);
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

TEST(SetupInEditor, TheColumnsWizardEntryOpensTheWizardAndExitReturns) {
    EditorRig rig;
    rig.change(kGUISetup, 1.f);
    rig.editor->forceIdlePass();
    const int width = rig.window()->width(), height = rig.window()->height();
    auto* column = rig.editor->findView<SetupWindow>();
    ASSERT_NE(column, nullptr);
    const CRect f = column->getFrameRect();
    rig.window()->press(f.left + 40, f.bottom - 5, kLButton);
    rig.window()->release(f.left + 40, f.bottom - 5, kLButton);
    EXPECT_TRUE(rig.editor->panelOpen(kGUIWizardOpen));
    EXPECT_EQ(rig.window()->width(), 632);
    EXPECT_EQ(rig.window()->height(), 428);
    auto* wizard = rig.editor->findView<SetupWizard>();
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(wizard->isVisibleInTree());
    EXPECT_EQ(wizard->page(), 0);
    const CRect exit = wizard->exitArea();
    rig.window()->press(exit.left + 10, exit.top + 10, kLButton);
    rig.window()->release(exit.left + 10, exit.top + 10, kLButton);
    EXPECT_FALSE(rig.editor->panelOpen(kGUIWizardOpen));
    EXPECT_EQ(rig.window()->width(), width);
    EXPECT_EQ(rig.window()->height(), height);
    EXPECT_TRUE(column->isVisibleInTree()) << "back on the setup window";
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

// The setup window at every size: one click of the tool bar's SETUP button
// opens or closes it, its close box and Escape close it, and closed it leaves
// nothing behind that takes clicks.
TEST(SetupInEditor, CloseBoxEscapeAndTheSetupButtonCloseItAtEverySize) {
    for (int size = 0; size < 5; ++size) {
        SCOPED_TRACE("UI Size " + std::to_string(size));
        EditorRig rig;
        rig.plug->editorPreferenceTree().setUIPreference("Layout", "UI Size", size);
        rig.change(kGUIUIPrefsChange, 1.f);
        rig.editor->forceIdlePass();
        auto* column = rig.editor->findView<SetupWindow>();
        ASSERT_NE(column, nullptr);
        nPageSelect* closeBox = nullptr;
        column->getFrame()->forEachDescendant([&](CView* v) {
            if (auto* s = dynamic_cast<nPageSelect*>(v); s && s->getTag() == kGUISetup) closeBox = s;
        });
        ASSERT_NE(closeBox, nullptr);
        const auto shown = [&] {
            rig.editor->forceIdlePass();
            return column->isVisibleInTree();
        };
        const auto clickCloseBox = [&] {
            const CRect f = closeBox->getFrameRect();
            const int x = (f.left + f.right) / 2, y = (f.top + f.bottom) / 2;
            rig.window()->press(x, y, kLButton);
            rig.window()->release(x, y, kLButton);
        };

        // The tool-bar button: press and release, as a click reports it.
        rig.change(kGUISetup, 1.f);
        rig.change(kGUISetup, 0.f);
        ASSERT_TRUE(shown());
        EXPECT_TRUE(rig.editor->panelOpen(kGUISetup));
        clickCloseBox();
        EXPECT_FALSE(shown()) << "the close box closes it";
        EXPECT_FALSE(rig.editor->panelOpen(kGUISetup));

        rig.change(kGUISetup, 1.f);
        ASSERT_TRUE(shown());
        platform::KeyEvent escape;
        escape.key = platform::Key::kEscape;
        rig.window()->key(escape);
        EXPECT_FALSE(shown()) << "Escape closes it";

        rig.change(kGUISetup, 1.f);
        rig.change(kGUISetup, 0.f);
        ASSERT_TRUE(shown());
        rig.change(kGUISetup, 1.f);
        rig.change(kGUISetup, 0.f);
        EXPECT_FALSE(shown()) << "a second SETUP click closes it";
        // Closed, the close box's place belongs to the editor beneath again.
        const CRect f = closeBox->getFrameRect();
        CView* under = column->getFrame()->getViewAt(CPoint((f.left + f.right) / 2, (f.top + f.bottom) / 2), true);
        EXPECT_NE(under, static_cast<CView*>(closeBox));
        // Escape with the window closed is for others.
        rig.window()->key(escape);
        EXPECT_FALSE(shown());
    }
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

TEST(SetupInEditor, TheStatusLineShowsTheLatencyInForce) {
    EditorRig rig;
    rig.plug->leaveSharedTimer();
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->statusText(), "This instance has 2 channels. No latency.");
    rig.change(kMode, 1.f);  // FIR, at the instance's impulse length and phase
    double clock = 1.0e6;
    for (int tick = 0; tick < 2; ++tick) {
        rig.plug->setManualClock(clock += 1000.0);
        rig.plug->onTimer();
    }
    rig.plug->bank().waitForFir();  // the impulse is built away from the timer
    rig.plug->onTimer();
    ASSERT_GT(rig.plug->initialDelay(), 0);
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->statusText(), "This instance has 2 channels. Latency: " +
                                            std::to_string(rig.plug->initialDelay()) + " samples.");
    EXPECT_EQ(rig.editor->channelCountText(), "This instance has 2 channels.");
}

}  // namespace
}  // namespace hm::gui::test
