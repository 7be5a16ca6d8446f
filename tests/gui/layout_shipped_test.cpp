// The shipped layout texts: every element becomes a view (or is one of the
// views other parts of the editor still have to register), every tag names
// an enumerator, views sit inside their containers and tool bar controls do
// not overlap, at every "UI Size". Each size is also drawn to a PNG in the
// test home, for looking at.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/params/ParamIds.h"
#include "gui/draw/BitmapCache.h"
#include "gui/draw/Fonts.h"
#include "gui/framework/HeadlessCapture.h"
#include "gui/layout/Attributes.h"
#include "gui/layout/ShippedLayout.h"
#include "gui/layout/TagNames.h"
#include "gui/layout/ViewFactory.h"
#include "tests/gui/layout_Support.h"

namespace hm::gui::test {
namespace {

const char* const kSizeNames[kUiSizeCount] = {"Tiny", "Small", "Med", "Large", "Huge"};

int windowHeight(int width) { return width * 9 / 16 + 40 + 280; }

TEST(ShippedLayout, EverySizeParsesWholeAndDescribesItsWindow) {
    for (int size = 0; size < kUiSizeCount; ++size) {
        SCOPED_TRACE(kSizeNames[size]);
        const std::string_view text = layoutTextFor(size);
        ASSERT_FALSE(text.empty());
        const LayoutParseResult parsed = parseLayoutText(text);
        EXPECT_EQ(parsed.error, "");
        ASSERT_NE(parsed.root, nullptr);
        EXPECT_EQ(parsed.root->name, "ui");
        // The two wizard pages, the editor first.
        const LayoutElement* editor = parsed.root->firstChild.get();
        ASSERT_NE(editor, nullptr);
        ASSERT_NE(editor->next, nullptr);
        EXPECT_EQ(editor->next->next, nullptr);
        for (const LayoutElement* page : {editor, static_cast<const LayoutElement*>(editor->next.get())}) {
            EXPECT_EQ(page->name, "nPage");
            EXPECT_EQ(attributeString(*page, "tag"), "kGUIWizardOpen");
        }
        EXPECT_EQ(attributeInt(*editor, "pagenumber"), 0);
        EXPECT_EQ(attributeInt(*editor->next, "pagenumber"), 1);
        EXPECT_EQ(attributeInt(*editor, "width"), kUiSizeWidths[size]);
        EXPECT_EQ(attributeInt(*editor, "height"), windowHeight(kUiSizeWidths[size]));
    }
    // Out-of-range sizes give the nearest one.
    EXPECT_EQ(layoutTextFor(-3), layoutTextFor(0));
    EXPECT_EQ(layoutTextFor(99), layoutTextFor(kUiSizeCount - 1));
}

TEST(ShippedLayout, EveryTagAndAltTagNamesAnEnumerator) {
    for (int size = 0; size < kUiSizeCount; ++size) {
        SCOPED_TRACE(kSizeNames[size]);
        const LayoutParseResult parsed = parseLayoutText(layoutTextFor(size));
        ASSERT_NE(parsed.root, nullptr);
        int tags = 0;
        forEachElement(parsed.root->firstChild.get(), nullptr, [&](const LayoutElement& e, const LayoutElement*) {
            for (const char* attr : {"tag", "alttag"}) {
                if (auto name = findAttribute(e, attr)) {
                    ++tags;
                    EXPECT_GE(resolveTagName(*name), 0) << e.name << " " << attr << "=" << *name;
                }
            }
        });
        EXPECT_GT(tags, 60);
    }
}

TEST(ShippedLayout, EveryElementIsMade) {
    registerEditorViews();
    for (int size = 0; size < kUiSizeCount; ++size) {
        SCOPED_TRACE(kSizeNames[size]);
        HeadlessFrame h(kUiSizeWidths[size], windowHeight(kUiSizeWidths[size]));
        Recorder listener;
        LayoutBuildReport report;
        testing::internal::CaptureStderr();
        const LayoutParseResult parsed = buildText(h.frame, layoutTextFor(size), &listener, &report);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ASSERT_NE(parsed.root, nullptr);
        int elements = 0;
        forEachElement(parsed.root->firstChild.get(), nullptr, [&](const LayoutElement&, const LayoutElement*) {
            ++elements;
        });
        EXPECT_EQ(report.made, elements);
        for (const auto& name : report.skipped) ADD_FAILURE() << "not made: " << name;
        EXPECT_TRUE(listener.events.empty());
    }
    clearSkinBitmaps();
}

// Sliding panels start outside the window; the setup window and the wizard
// are wider than the smallest window (the editor widens it while they show);
// scroll boxes hold content taller than themselves.
bool mayLeaveParent(const CView* v, const CView* parent) {
    const auto* page = dynamic_cast<const iControl*>(v);
    if (page && (page->getTag() == kGUIPresetBox || page->getTag() == kGUIScaleTray)) return true;
    if (page && (page->getTag() == kGUISetup || page->getTag() == kGUIWizardOpen) && page->getRect().width() == 632)
        return true;
    return parent && parent->isTypeOf("nScrollBox");
}

void expectInsideParents(CViewContainer* container) {
    const CRect inner(0, 0, container->getWidth(), container->getHeight());
    for (CView* v : container->children()) {
        CRect r = v->getViewSize();
        if (!mayLeaveParent(v, container)) {
            CRect clipped = r;
            clipped.bound(inner);
            EXPECT_EQ(clipped, r) << "a child of " << (container->isTypeOf("nPage") ? "a page" : "a container")
                                  << " at " << r.left << "," << r.top << " " << r.width() << "x" << r.height();
        }
        if (CViewContainer* c = v->asContainer()) expectInsideParents(c);
    }
}

TEST(ShippedLayout, ViewsStayInsideTheirContainersAndToolbarControlsDoNotOverlap) {
    registerEditorViews();
    for (int size = 0; size < kUiSizeCount; ++size) {
        SCOPED_TRACE(kSizeNames[size]);
        const int width = kUiSizeWidths[size];
        HeadlessFrame h(width, windowHeight(width));
        Recorder listener;
        buildText(h.frame, layoutTextFor(size), &listener);
        expectInsideParents(h.frame);
        for (int tag : {kGUIBox2, kGUIBox5, kGUIPresetBox, kGUIScaleTray}) {
            auto* box = findView<CViewContainer>(h.frame, "nPage", tag);
            ASSERT_NE(box, nullptr) << tag;
            const auto& kids = box->children();
            for (std::size_t i = 0; i < kids.size(); ++i)
                for (std::size_t j = i + 1; j < kids.size(); ++j) {
                    if (kids[i]->isTypeOf("nPage") && kids[j]->isTypeOf("nPage")) continue;  // a page group
                    EXPECT_FALSE(kids[i]->getViewSize().rectOverlap(kids[j]->getViewSize()))
                        << "tag " << tag << ": children " << i << " and " << j;
                }
        }
        // The tool bar ends at the window's right edge and the logo's filler meets it.
        auto* toolbar = findView<CViewContainer>(h.frame, "nPage", kGUIBox2);
        EXPECT_EQ(toolbar->getViewSize().right, width);
        auto* filler = findView<CControl>(h.frame, "nTiled", kGUIBox1);
        ASSERT_NE(filler, nullptr);
        EXPECT_EQ(filler->getViewSize().right, std::max(filler->getViewSize().left, width - toolbar->getWidth()));
    }
    clearSkinBitmaps();
}

// Draws the editor as it opens, and with the panels out, into the test home.
TEST(ShippedLayout, DrawsEverySizeToPictures) {
    registerEditorViews();
    const std::string out = std::string(HM_TEST_HOME) + "/pictures/";
    std::filesystem::create_directories(out);
    for (int size = 0; size < kUiSizeCount; ++size) {
        SCOPED_TRACE(kSizeNames[size]);
        const int width = kUiSizeWidths[size];
        HeadlessFrame h(width, windowHeight(width));
        h.frame->setBackgroundColor(0x16181C);
        h.frame->setDrawBackgroundColor(true);
        Recorder listener;
        buildText(h.frame, layoutTextFor(size), &listener);
        distribute(h.frame, kGUIWizardOpen, 0.f);
        h.frame->invalidateAll();
        h.frame->updateDirty();
        const std::string closed = out + "layout-" + kSizeNames[size] + ".png";
        EXPECT_TRUE(writeHeadlessWindowPng(*h.window, closed));

        // The title bar is drawn: the logo's accent mark and the tool bar's buttons.
        EXPECT_NE(h.pixel(width - 10, 12), 0x16181Cu);

        // Panels out: preset box open, scale tray open, then the setup window on the DSP page in FIR mode.
        auto moveTo = [&](int tag, int x, int y) {
            auto* page = findView<CViewContainer>(h.frame, "nPage", tag);
            ASSERT_NE(page, nullptr);
            CRect r = page->getViewSize();
            r.moveTo(x, y);
            page->setViewSize(r);
        };
        moveTo(kGUIPresetBox, (width - 420) / 2, 25);
        moveTo(kGUIScaleTray, 0, findView<CViewContainer>(h.frame, "nPage", kGUIScaleTray)->getViewSize().top);
        h.frame->invalidateAll();
        h.frame->updateDirty();
        EXPECT_TRUE(writeHeadlessWindowPng(*h.window, out + "layout-" + kSizeNames[size] + "-panels.png"));

        // The editor widens the smallest window for the setup window; the
        // editor page and the cover follow the window.
        const CRect whole(0, 0, std::max(width, 632), h.window->height());
        h.frame->setSize(whole.width(), whole.height());
        findView<CView>(h.frame, "nPage", kGUIWizardOpen)->setViewSize(whole);
        findView<CControl>(h.frame, "nDarken")->setViewSize(whole);
        distribute(h.frame, kGUISetup, 1.f);
        distribute(h.frame, kGUISetupPage, 0.f);
        distribute(h.frame, kGUIProcessMode, 1.f);
        distribute(h.frame, kGUISurround, 2.f);
        h.frame->invalidateAll();
        h.frame->updateDirty();
        EXPECT_TRUE(writeHeadlessWindowPng(*h.window, out + "layout-" + kSizeNames[size] + "-setup.png"));
        // The cover darkens the editor outside the setup window.
        const Rgb covered = h.pixel(2, h.window->height() - 3);
        EXPECT_LT(covered & 0xFF, 0x16u);
        std::printf("layout pictures: %s\n", closed.c_str());
    }
    clearSkinBitmaps();
}

}  // namespace
}  // namespace hm::gui::test
