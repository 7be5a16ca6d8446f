// The layout builder: stock classes with their attributes, the view registry,
// the two diagnostics, skipped elements and pages' first visibility.
#include <gtest/gtest.h>

#include "core/params/ParamIds.h"
#include "gui/controls/CButtons.h"
#include "gui/controls/CDisplays.h"
#include "gui/controls/CKnob.h"
#include "gui/controls/COptionMenu.h"
#include "gui/controls/CSlider.h"
#include "gui/controls/CSwitches.h"
#include "gui/draw/BitmapCache.h"
#include "gui/framework/CGViewContainer.h"
#include "gui/layout/ViewFactory.h"
#include "tests/gui/layout_Support.h"

namespace hm::gui::test {
namespace {

struct Built {
    HeadlessFrame h{400, 300};
    Recorder listener;
    LayoutBuildReport report;
    std::string stderrText;

    explicit Built(const std::string& body) {
        testing::internal::CaptureStderr();
        buildText(h.frame, "<ui>" + body + "</ui>", &listener, &report);
        stderrText = testing::internal::GetCapturedStderr();
    }
    ~Built() { clearSkinBitmaps(); }
    CView* first() const { return h.frame->getNbViews() > 0 ? h.frame->getView(0) : nullptr; }
};

TEST(LayoutBuilder, StockClassesAreMadeWithTheirRectangleTagAndListener) {
    struct Case {
        const char* element;
        const char* className;
    };
    const Case cases[] = {
        {"CGViewContainer", "CGViewContainer"},   {"COnOffButton", "COnOffButton"},
        {"CParamDisplay", "CParamDisplay"},       {"CTextLabel", "CTextLabel"},
        {"CTextEdit", "CTextEdit"},               {"COptionMenu", "COptionMenu"},
        {"CKnob", "CKnob"},                       {"canimknob", "CAnimKnob"},
        {"CAnimKnob2", "CAnimKnob"},              {"CVerticalSwitch", "CVerticalSwitch"},
        {"CVerticalSwitch2", "CVerticalSwitch"},  {"CHorizontalSwitch", "CHorizontalSwitch"},
        {"CHorizontalSwitch2", "CHorizontalSwitch"}, {"CRockerSwitch", "CRockerSwitch"},
        {"CRockerSwitch2", "CRockerSwitch"},      {"CMovieBitmap", "CMovieBitmap"},
        {"CMovieBitmap2", "CMovieBitmap"},        {"CMovieButton", "CMovieButton"},
        {"CMovieButton2", "CMovieButton"},        {"CAutoAnimation", "CAutoAnimation"},
        {"CAutoAnimation2", "CAutoAnimation"},    {"CSlider", "CSlider"},
        {"CSlider2", "CSlider"},                  {"CVerticalSlider", "CVerticalSlider"},
        {"CVerticalSlider2", "CVerticalSlider"},  {"CHorizontalSlider", "CHorizontalSlider"},
        {"CHorizontalSlider2", "CHorizontalSlider"}, {"CKickButton", "CKickButton"},
        {"CKickButton2", "CKickButton"},          {"CSplashScreen", "CSplashScreen"},
        {"CVuMeter", "CVuMeter"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        Built b(std::string("<") + c.element + " x=10 y=20 width=30 height=40 tag=kGain />");
        EXPECT_EQ(b.stderrText, "");
        ASSERT_EQ(b.h.frame->getNbViews(), 1);
        CView* v = b.first();
        EXPECT_TRUE(v->isTypeOf(c.className));
        EXPECT_EQ(v->getViewSize(), CRect(10, 20, 40, 60));
        if (auto* control = dynamic_cast<CControl*>(v)) {
            EXPECT_EQ(control->getTag(), 1);
            EXPECT_EQ(control->getListener(), &b.listener);
        }
    }
}

TEST(LayoutBuilder, FrameCountsComeFromTheBitmapOrTheAttributes) {
    {
        Built b("<CAnimKnob x=0 y=0 width=30 height=30 background=700 />");
        auto* knob = dynamic_cast<CAnimKnob*>(b.first());
        ASSERT_NE(knob, nullptr);
        EXPECT_EQ(knob->getNumSubPixmaps(), 64);
        EXPECT_EQ(knob->getHeightOfOneImage(), 30);
    }
    {
        Built b("<CAnimKnob2 x=0 y=0 width=30 height=30 background=700 heightOfOneImage=60 subpixmaps=32 />");
        auto* knob = dynamic_cast<CAnimKnob*>(b.first());
        ASSERT_NE(knob, nullptr);
        EXPECT_EQ(knob->getNumSubPixmaps(), 32);
        EXPECT_EQ(knob->getHeightOfOneImage(), 60);
    }
    {
        Built b("<CVerticalSwitch x=0 y=0 width=31 height=32 background=401 />");
        auto* sw = dynamic_cast<CSwitchBase*>(b.first());
        ASSERT_NE(sw, nullptr);
        EXPECT_EQ(sw->getMaxPositions(), 6);
    }
    {
        Built b("<CHorizontalSwitch x=0 y=0 width=20 height=16 background=404 />");
        auto* sw = dynamic_cast<CSwitchBase*>(b.first());
        ASSERT_NE(sw, nullptr);
        EXPECT_EQ(sw->getMaxPositions(), 32);
    }
    {
        Built b("<CVerticalSwitch2 x=0 y=0 width=31 height=32 background=401 maxpositions=3 subpixmaps=6 "
                "heightofoneimage=32 />");
        auto* sw = dynamic_cast<CSwitchBase*>(b.first());
        ASSERT_NE(sw, nullptr);
        EXPECT_EQ(sw->getMaxPositions(), 3);
        EXPECT_EQ(sw->getNumSubPixmaps(), 6);
    }
    {
        // Without its bitmap the view is still made, just without pictures.
        Built b("<CVerticalSwitch x=0 y=0 width=31 height=32 background=9999 />");
        ASSERT_NE(b.first(), nullptr);
        EXPECT_EQ(b.first()->getBackground(), nullptr);
    }
}

TEST(LayoutBuilder, StockAttributesReachTheViews) {
    {
        Built b("<CSplashScreen x=0 y=0 width=10 height=10 dleft=300 dtop=200 dright=100 dbottom=50 />");
        auto* splash = dynamic_cast<CSplashScreen*>(b.first());
        ASSERT_NE(splash, nullptr);
        EXPECT_EQ(splash->displayRect(), CRect(100, 50, 300, 200));
    }
    {
        Built b("<CVuMeter x=0 y=0 width=10 height=100 nbled=12 style=2 />");
        auto* vu = dynamic_cast<CVuMeter*>(b.first());
        ASSERT_NE(vu, nullptr);
        EXPECT_EQ(vu->getNbLed(), 12);
    }
    {
        Built b("<CVerticalSlider2 x=0 y=0 width=46 height=224 style=64 rangehandle=208 offsetx=9 offsety=3 "
                "handle=400 /><CHorizontalSlider x=0 y=0 width=100 height=20 minpos=5 maxpos=80 />");
        auto* v = dynamic_cast<CSlider*>(b.h.frame->getView(0));
        auto* hz = dynamic_cast<CSlider*>(b.h.frame->getView(1));
        ASSERT_TRUE(v && hz);
        EXPECT_EQ(v->getStyle(), 64 | kVertical);
        EXPECT_EQ(v->getRangeHandle(), 208);
        EXPECT_EQ(v->getOffsetHandle(), CPoint(9, 3));
        EXPECT_EQ(hz->getStyle() & kHorizontal, kHorizontal);
    }
    {
        Built b(R"(<CGViewContainer x=0 y=0 width=50 height=50 hide=true /><CTextLabel x=0 y=0 width=9 height=9 txt="Hi there" />)");
        auto* c = dynamic_cast<CGViewContainer*>(b.h.frame->getView(0));
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(c->isHidden());
        auto* label = dynamic_cast<CTextLabel*>(b.h.frame->getView(1));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->getText(), "Hi there");
    }
}

TEST(LayoutBuilder, UnknownNamesAreSkippedSilentlyWithTheirChildren) {
    Built b("<NoSuchView x=0 y=0 width=10 height=10><CKnob x=0 y=0 width=5 height=5 /></NoSuchView>"
            "<CViewContainer x=0 y=0 width=10 height=10><CKnob x=0 y=0 width=5 height=5 /></CViewContainer>"
            "<CKnob x=1 y=1 width=5 height=5 tag=kNoSuchTag />");
    EXPECT_EQ(b.stderrText, "");
    EXPECT_EQ(b.report.skipped, (std::vector<std::string>{"NoSuchView", "CViewContainer"}));
    EXPECT_EQ(b.report.made, 1);
    ASSERT_EQ(b.h.frame->getNbViews(), 1);
    // A tag that names no enumerator gives -1; the view is still made.
    EXPECT_EQ(dynamic_cast<CControl*>(b.first())->getTag(), -1);
}

TEST(LayoutBuilder, ChildrenUnderAControlAreReportedAndLeftOut) {
    Built b("<CKnob x=0 y=0 width=30 height=30><CKnob x=0 y=0 width=5 height=5 /></CKnob>"
            "<CGViewContainer x=0 y=0 width=50 height=50><CKnob x=1 y=2 width=5 height=5 /></CGViewContainer>");
    EXPECT_EQ(b.stderrText,
              "XML is wrong! Trying to add child controls to a non ViewContainer class. Did you forget a /?\n");
    ASSERT_EQ(b.h.frame->getNbViews(), 2);
    EXPECT_EQ(b.report.made, 3);
    auto* container = b.h.frame->getView(1)->asContainer();
    ASSERT_NE(container, nullptr);
    ASSERT_EQ(container->getNbViews(), 1);
    EXPECT_EQ(container->getView(0)->getViewSize(), CRect(1, 2, 6, 7));
}

TEST(LayoutBuilder, AViewWithoutParentIsReportedAndNotKept) {
    registerEditorViews();
    auto root = parseLayout("<ui><CKnob x=0 y=0 width=5 height=5 tag=kScale /></ui>");
    Recorder listener;
    testing::internal::CaptureStderr();
    buildLayout(root->firstChild.get(), nullptr, &listener);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Something very odd happened. name=CKnob, tag=2\n");
}

// A registered class receives everything the element says.
CRect seenRect;
int seenTag = 0;
CPoint seenOffset, seenHandleOffset;
CControlListener* seenListener = nullptr;
CViewContainer* seenTop = nullptr;
std::string seenName, seenText;

CView* recordingMaker(const ViewRequest& r) {
    seenRect = r.rect;
    seenTag = r.tag;
    seenOffset = r.offset;
    seenHandleOffset = r.handleOffset;
    seenListener = r.listener;
    seenTop = r.top;
    seenName = r.name;
    seenText = r.string("txt");
    return new CViewContainer(r.rect);
}

TEST(LayoutBuilder, OtherNamesGoToTheRegistryCaseInsensitively) {
    registerViewClass("TestProbeView", recordingMaker);
    EXPECT_EQ(findViewClass("testprobeview"), recordingMaker);
    {
        Built b(R"(<TESTPROBEVIEW x=3 y=4 width=5 height=6 tag=kGUIClip xoff=7 yoff=8 offsetx=9 offsety=10 txt="a b">)"
                "<CKnob x=0 y=0 width=2 height=2 /></TESTPROBEVIEW>");
        EXPECT_EQ(seenName, "TESTPROBEVIEW");
        EXPECT_EQ(seenRect, CRect(3, 4, 8, 10));
        EXPECT_EQ(seenTag, 531);
        EXPECT_EQ(seenOffset, CPoint(7, 8));
        EXPECT_EQ(seenHandleOffset, CPoint(9, 10));
        EXPECT_EQ(seenListener, &b.listener);
        EXPECT_EQ(seenTop, b.h.frame);
        EXPECT_EQ(seenText, "a b");
        // Its children are built into it when it is a container.
        ASSERT_EQ(b.first()->asContainer()->getNbViews(), 1);
    }
    registerViewClass("TestProbeView", nullptr);
    EXPECT_EQ(findViewClass("TestProbeView"), nullptr);
}

TEST(LayoutBuilder, PagesStartShownOnlyForPageNumberZero) {
    Built b("<nPage x=0 y=0 width=10 height=10 tag=kGUISetupPage pagenumber=1 />"
            "<nPage x=0 y=0 width=10 height=10 tag=kGUISetupPage />"
            "<nPage x=0 y=0 width=10 height=10 tag=kGUISetupPage pagenumber=0 />");
    ASSERT_EQ(b.h.frame->getNbViews(), 3);
    EXPECT_TRUE(dynamic_cast<CGViewContainer*>(b.h.frame->getView(0))->isHidden());
    EXPECT_FALSE(dynamic_cast<CGViewContainer*>(b.h.frame->getView(1))->isHidden());
    EXPECT_FALSE(dynamic_cast<CGViewContainer*>(b.h.frame->getView(2))->isHidden());
    // A value that matches no page number leaves the whole group hidden.
    distribute(b.h.frame, kGUISetupPage, 7.f);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(dynamic_cast<CGViewContainer*>(b.h.frame->getView(i))->isHidden());
}

TEST(LayoutBuilder, MenusTakeTheirItemsFromTxt) {
    Built b(R"(<nTTMenu x=0 y=0 width=50 height=20 tag=kIRPad txt="x1\nx2\nx4\nx8" />)"
            R"(<SOptionMenu x=0 y=0 width=50 height=20 tag=kGUIABMenu txt="A\nB\n" />)");
    auto* pad = dynamic_cast<COptionMenu*>(b.h.frame->getView(0));
    auto* ab = dynamic_cast<COptionMenu*>(b.h.frame->getView(1));
    ASSERT_TRUE(pad && ab);
    ASSERT_EQ(pad->getNbEntries(), 4);
    EXPECT_STREQ(pad->getEntry(3), "x8");
    ASSERT_EQ(ab->getNbEntries(), 3);
    EXPECT_STREQ(ab->getEntry(2), "");
}

}  // namespace
}  // namespace hm::gui::test
