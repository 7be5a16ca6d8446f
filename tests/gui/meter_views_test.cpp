// The meter views: the scale against its formula for each scale, labels and
// readings with the K-scale offsets, peak hold in its three modes, the
// readings' freeze, and the meter section's containers with their children.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gui/draw/CDIB.h"
#include "gui/draw/Fonts.h"
#include "gui/draw/SkinIds.h"
#include "gui/draw/PngIO.h"
#include "gui/editor/WindowSize.h"
#include "gui/views/CEQText.h"
#include "gui/views/MeterContainers.h"
#include "gui/views/MeterScale.h"
#include "gui/views/meterSection.h"
#include "gui/views/meterText.h"
#include "gui/views/nMicroMeter.h"
#include "gui/views/nVU.h"
#include "tests/gui/graph_Harness.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui {
namespace {

std::int64_t gNow = 0;
std::int64_t testClock() { return gNow; }

struct ClockFixture {
    ClockFixture() {
        gNow = 1000000;
        meter::setClockForTesting(testClock);
    }
    ~ClockFixture() { meter::setClockForTesting(nullptr); }
};

TEST(MeterScale, RowsFollowThePowerLawOfEachScale) {
    // (1 − (v ÷ 8)^(1/p)) × (H − 3) + 3, worked out by hand, truncated and clamped.
    struct Case {
        int scale, height;
        double value;
        int row;
    } cases[] = {
        {0, 203, 1.0, 54}, {0, 203, 0.5, 68}, {1, 203, 1.0, 56}, {2, 300, 0.1, 138},
        {3, 100, 2.0, 20}, {0, 203, 8.0, 3},  {0, 203, 20.0, 0}, {0, 203, 0.0, 203},
    };
    for (const Case& c : cases) EXPECT_EQ(meter::rowOf(c.value, c.height, c.scale), c.row) << c.scale << " " << c.value;
    EXPECT_EQ(meter::curvature(0), 7.0);
    EXPECT_EQ(meter::curvature(1), 6.75);
    EXPECT_EQ(meter::curvature(2), 7.2);
    EXPECT_EQ(meter::curvature(3), 6.9);
}

TEST(MeterScale, LabelsCarryTheScaleOffset) {
    const auto k20 = meter::labels(300, 3, 20);
    ASSERT_EQ(k20.size(), 8u);
    const int rows[] = {0, 40, 76, 115, 173, 213, 249};
    const char* texts[] = {"38", "29", "20", "8", "-16", "-40", "-76"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(k20[i].y, rows[i]) << i;
        EXPECT_EQ(k20[i].text, texts[i]) << i;
    }
    EXPECT_EQ(k20[7].text, "-inf");
    EXPECT_EQ(k20[7].y, 293);
    EXPECT_EQ(meter::labels(300, 0, 0)[2].text, "0");
}

TEST(MeterScale, ReadingsAndTheirShortForm) {
    EXPECT_EQ(meter::peakText(1.0, 20), "20.0");   // K-20: a 0 dBFS peak
    EXPECT_EQ(meter::peakText(0.0, 0), "-inf");
    EXPECT_EQ(meter::peakText(1e-6, 0), "-120");   // "-120.0" is six characters
    EXPECT_EQ(meter::peakText(0.5, 0), "-6.0");
    EXPECT_EQ(meter::levelText(5e-7), "-");
    EXPECT_EQ(meter::levelText(-0.5), "-6.0");
    EXPECT_EQ(meter::levelText(2.0), "6.0");
}

TEST(MeterViews, PeakHoldRestartsOnANewPeakAndDropsAfterFiveSeconds) {
    ClockFixture clock;
    nVU* vu = new nVU(CRect(0, 0, 74, 200), nullptr, kGUIVU);
    CDIB* picture = new CDIB(74, 200);
    vu->setValues(2, 0.5f, 0.25f);
    gNow += 3000;
    vu->setValues(2, 0.7f, 0.1f);  // a new left peak restarts the hold
    gNow += 3000;                  // 6 s after the first, 3 s after the second
    vu->setValues(2, 0.1f, 0.1f);
    vu->draw(picture);
    EXPECT_EQ(vu->peak(0), 0.7f);
    EXPECT_EQ(vu->peak(1), 0.25f);
    gNow += 2001;
    vu->draw(picture);
    EXPECT_EQ(vu->peak(0), 0.1f);
    EXPECT_EQ(vu->peak(1), 0.1f);
    // "Clicked": the marker stays until a click.
    vu->setMeterMode(1 << 2);
    vu->setValues(2, 0.9f, 0.9f);
    vu->setValues(2, 0.2f, 0.2f);
    gNow += 60000;
    vu->draw(picture);
    EXPECT_EQ(vu->peak(0), 0.9f);
    CPoint at(10, 10);
    vu->onMouseDown(at, kLButton);
    EXPECT_EQ(vu->peak(0), 0.2f);
    picture->release();
    vu->release();
}

TEST(MeterViews, PeakMarkerAndBarsDrawWhereTheScaleSays) {
    ClockFixture clock;
    nMicroMeter* m = new nMicroMeter(CRect(0, 0, 27, 203), nullptr, kGUIChannel1Meter);
    CDIB* picture = new CDIB(27, 203);
    m->setValue(1.0f);  // row 54 on "FS"
    m->setValue(0.5f);  // below the peak: the marker stays at 54, the bar falls to 68
    m->draw(picture);
    const auto lit = [&](int y) { return (picture->getPixel(2, y) & 0xFFFFFF) != 0x3A3A3A && (picture->getPixel(2, y) & 0xFFFFFF) != 0x181818; };
    EXPECT_FALSE(lit(66));  // segment rows are odd: 65 and 67 lie above the level
    EXPECT_FALSE(lit(67));
    EXPECT_TRUE(lit(69));
    // The peak marker: red at half opacity over the segment row 57 = 54 + 3.
    const Pixel marker = picture->getPixel(2, meter::peakRow(1.0, 203, 0));
    EXPECT_GT((marker >> 16) & 255, 120u);
    m->setMeterMode(2 << 2);  // "Off": no marker, the peak still tracked
    m->draw(picture);
    EXPECT_EQ(m->peak(0), 1.0f);
    EXPECT_LT((picture->getPixel(2, meter::peakRow(1.0, 203, 0)) >> 16) & 255, 120u);
    picture->release();
    m->release();
}

TEST(MeterViews, ReadingsFreezeWhileHeld) {
    meterText* t = new meterText(CRect(0, 0, 42, 32), nullptr, kGUIMasterMeter1);
    t->setValue(0.5f);
    EXPECT_EQ(t->text(), "-6.0");
    CPoint at(5, 5);
    t->onMouseDown(at, kLButton);
    t->setValue(1.0f);
    EXPECT_EQ(t->text(), "-6.0");
    t->onMouseUp(at, kLButton);
    EXPECT_EQ(t->text(), "0.0");
    t->setValue(0.f);
    EXPECT_EQ(t->text(), "-");
    t->release();
}

TEST(MeterSection, WidthsByLayout) {
    struct Case {
        int flags, width;
    } cases[] = {
        {kLayoutChannelMeters | kLayoutMasterMeters, 66 * 2 + 130},
        {kLayoutChannelMeters | kLayoutMasterMeters | kLayoutMasterMetersSmall, 66 * 2 + 66},
        {kLayoutChannelMeters, 66 * 2},
        {kLayoutMasterMeters, 130},
        {kLayoutMasterMeters | kLayoutMasterMetersSmall, 66},
        {0, -3},
    };
    for (const Case& c : cases) EXPECT_EQ(meterSection::widthFor(2, c.flags), c.width) << c.flags;
}

int countTag(CViewContainer* c, int tag) {
    int n = 0;
    c->forEachDescendant([&](CView* v) {
        if (auto* control = dynamic_cast<CControl*>(v)) n += control->getTag() == tag;
    });
    return n;
}

TEST(MeterSection, BuildsTheStripsAndMasterWithTheirTags) {
    test::InstanceFixture f;
    test::HeadlessFrame frame(400, 420);
    auto* section = new meterSection(CRect(0, 0, 262, 420), f.editor.get());
    frame.frame->addView(section);
    section->rebuild(2, kLayoutChannelMeters | kLayoutMasterMeters);
    EXPECT_EQ(countTag(section, kGUIVU), 1);
    EXPECT_EQ(countTag(section, kGUIMasterMeter1), 1);
    EXPECT_EQ(countTag(section, kGUIMasterMeter2), 1);
    EXPECT_EQ(countTag(section, kGain), 2);  // fader and its text
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(countTag(section, channelParam(c, kChannelLevel)), 2) << c;
        EXPECT_EQ(countTag(section, channelParam(c, kChannelMute)), 1);
        EXPECT_EQ(countTag(section, channelParam(c, kChannelSolo)), 1);
        EXPECT_EQ(countTag(section, channelParam(c, kChannelPhase)), 1);
        EXPECT_EQ(countTag(section, kGUIChannel1Meter + c), 2);  // meter and reading
    }
    EXPECT_EQ(countTag(section, kGUIChannel12Link), 1);
    // The master readings feed the stereo meter.
    section->forEachDescendant([&](CView* v) {
        if (auto* t = dynamic_cast<meterText*>(v); t && t->getTag() == kGUIMasterMeter2) t->setValue(0.25f);
    });
    nVU* vu = nullptr;
    section->forEachDescendant([&](CView* v) {
        if (auto* m = dynamic_cast<nVU*>(v); m && m->getTag() == kGUIVU) vu = m;
    });
    ASSERT_NE(vu, nullptr);
    EXPECT_EQ(vu->level(1), 0.25f);
    // Meter flags reach every meter; small master and no strips rebuild from scratch.
    section->setMeterFlags((1 << 2) | 3, 20);
    EXPECT_EQ(vu->scaleIndex(), 3);
    EXPECT_EQ(vu->labelOffset(), 20);
    section->rebuild(2, kLayoutMasterMeters | kLayoutMasterMetersSmall);
    EXPECT_EQ(countTag(section, kGUIVU), 0);
    EXPECT_EQ(countTag(section, kGUIMasterMeter1), 2);
    EXPECT_EQ(countTag(section, channelParam(0, kChannelMute)), 0);
    frame.frame->updateDirty();
    if (const char* dir = std::getenv("HM_PICTURE_DIR")) {
        section->rebuild(2, kLayoutChannelMeters | kLayoutMasterMeters);
        frame.frame->invalidateAll();
        frame.frame->updateDirty();
        writePngFile(*frame.frame->getBackBuffer(), std::string(dir) + "/meters.png");
    }
}

}  // namespace
}  // namespace hm::gui

namespace hm::gui {
namespace {

TEST(MeterSection, ResizingMovesTheControlsItDoesNotReplaceThem) {
    // The editor keeps pointers to every control: a relayout must not free them.
    test::InstanceFixture f;
    test::HeadlessFrame frame(400, 600);
    auto* section = new meterSection(CRect(0, 0, 262, 420), f.editor.get());
    frame.frame->addView(section);
    section->rebuild(2, kLayoutChannelMeters | kLayoutMasterMeters);
    std::vector<CView*> before;
    section->forEachDescendant([&](CView* v) { before.push_back(v); });
    section->setViewSize(CRect(0, 0, 262, 520));
    std::vector<CView*> after;
    section->forEachDescendant([&](CView* v) { after.push_back(v); });
    EXPECT_EQ(before, after);
    // Places hang from the bottom: the master's readings moved down by 100.
    section->forEachDescendant([&](CView* v) {
        if (auto* t = dynamic_cast<meterText*>(v); t && t->getTag() == kGUIMasterMeter1) {
            EXPECT_EQ(t->getViewSize().top, 520 - 100);
        }
    });
}

// The meters' gain fields are narrow: at every value of their parameters the
// number they show must fit whole (a clipped "-12.50" reads as "12.5").
TEST(MeterSection, GainFieldsShowTheirWholeNumberAtEveryValue) {
    test::InstanceFixture f;
    test::HeadlessFrame frame(400, 420);
    auto* section = new meterSection(CRect(0, 0, 262, 420), f.editor.get());
    frame.frame->addView(section);
    const StripFont font(skin::kFontSmall);
    ASSERT_TRUE(font.valid());
    for (int layout : {kLayoutChannelMeters | kLayoutMasterMeters, kLayoutMasterMeters | kLayoutMasterMetersSmall}) {
        section->rebuild(2, layout);
        int fields = 0;
        section->forEachDescendant([&](CView* v) {
            auto* text = dynamic_cast<CEQText*>(v);
            if (!text) return;
            ++fields;
            const int room = text->getWidth() - 2 * text->getTextInset();
            for (int step = 0; step <= 40; ++step) {
                text->setValue(static_cast<float>(step) / 40.f);
                const std::string full = text->displayText(), shown = text->shownText();
                EXPECT_LE(font.measure(shown) - font.spacing(), room) << layout << ": " << full << " as " << shown;
                // The number itself is never shortened.
                EXPECT_EQ(full.compare(0, shown.size(), shown), 0) << full;
                const std::size_t lastDigit = full.find_last_of("0123456789");
                if (lastDigit != std::string::npos) {
                    EXPECT_GT(shown.size(), lastDigit) << full << " as " << shown;
                }
            }
        });
        EXPECT_EQ(fields, layout & kLayoutChannelMeters ? 3 : 1) << layout;
    }
}

TEST(MeterSection, TheMasterHeaderNamesTheBallisticsShown) {
    test::InstanceFixture f;
    test::HeadlessFrame frame(400, 420);
    auto* section = new meterSection(CRect(0, 0, 262, 420), f.editor.get());
    frame.frame->addView(section);
    const struct {
        int ballistics;
        const char *large, *small;
    } rows[] = {{0, "DIGITAL", "PK"}, {1, "PPM", "PPM"}, {2, "VU METER", "VU"}, {3, "BBC PPM", "BBC"}};
    for (const auto& row : rows) {
        f.plug->editorPreferenceTree().setUIPreference("Meters", "Ballistic Type", row.ballistics);
        f.plug->loadEditorPreferences();
        for (int layout : {static_cast<int>(kLayoutMasterMeters), kLayoutMasterMeters | kLayoutMasterMetersSmall}) {
            section->rebuild(2, layout);
            int found = 0;
            section->forEachDescendant([&](CView* v) {
                if (auto* m = dynamic_cast<MeterContainer*>(v); m && (m->isTypeOf("masterMeters") || m->isTypeOf("miniMasterMeters"))) {
                    ++found;
                    const bool small = (layout & kLayoutMasterMetersSmall) != 0;
                    EXPECT_TRUE(m->hasCaption(small ? row.small : row.large)) << row.ballistics << " " << small;
                    EXPECT_EQ(m->hasCaption("VU METER") || m->hasCaption("VU"), row.ballistics == 2);
                }
            });
            EXPECT_EQ(found, 1) << layout;
        }
    }
}

}  // namespace
}  // namespace hm::gui
