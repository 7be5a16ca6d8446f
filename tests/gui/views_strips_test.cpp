// Band strips: the order of the strips across rebuilds, the strip-area height
// for every flag combination and the rectangles of each strip's children.
#include <gtest/gtest.h>

#include <cstring>

#include "gui/draw/Fonts.h"
#include "gui/draw/SkinIds.h"
#include "gui/views/CEQKnob.h"
#include "gui/views/CEQText.h"
#include "gui/views/CTypeButton.h"
#include "gui/views/nGroupMenu.h"
#include "gui/views/nPFMenu.h"
#include "gui/views/nStripBack.h"
#include "gui/views/nStripLabels.h"
#include "views_StripFixture.h"

namespace hm::gui::test {
namespace {

constexpr int kAllStripFlags = kLayoutStripSubtype | kLayoutStripGroups | kLayoutStripExtra | kLayoutStripNumber |
                               kLayoutStripLabels;
constexpr int kPeak = 1, kHighPass = 2, kLowShelf = 3, kHighShelf = 4, kNotch = 6;

std::vector<int> orderOf(const StripFixture& f) { return {f.order, f.order + f.count}; }

TEST(StripArea, HeightFollowsTheFlagsAndHoldsTheTallestStrip) {
    // Every combination of mode and strip flags: the height from the row
    // arithmetic, and a strip with every row fits above the scroll bar.
    for (int combo = 0; combo < 64; ++combo) {
        int flags = kLayoutStrips;
        if (combo & 1) flags |= kLayoutStripsText;
        if (combo & 2) flags |= kLayoutStripNumber;
        if (combo & 4) flags |= kLayoutStripSubtype;
        if (combo & 8) flags |= kLayoutStripGroups;
        if (combo & 16) flags |= kLayoutStripExtra;
        if (combo & 32) flags |= kLayoutStripLabels;
        const bool text = combo & 1;
        const int r = text ? 22 : 63;
        int expected = 3 * r + ((combo & 2) ? 61 : 41) + ((combo & 4) ? 22 : 0) + ((combo & 8) ? 22 : 0) + 8;
        if (combo & 16) expected += r + 17;
        if (text) expected += 10;
        expected += 2;
        SCOPED_TRACE(flags);
        EXPECT_EQ(stripAreaHeight(flags), expected);
        const int height = stripAreaHeight(flags);
        const StripPlacement p = placeStrip(stripFlagsFrom(flags), 0, height, 1 | 2 | 4 | 8);
        EXPECT_LE(p.bottom, p.back.bottom);
        EXPECT_GE(p.bottom, p.back.bottom - 10) << "strip background much taller than its content";
    }
    EXPECT_EQ(stripAreaHeight(kLayoutStripsText | kAllStripFlags), 0) << "strips hidden";
}

TEST(StripBuild, KnobsModeRectanglesWithEveryRow) {
    StripFixture f(kStripsKnobs | kAllStripFlags, 700);
    f.editor.addBand(0, kPeak);
    f.editor.addBand(4, kPeak);
    f.rebuild();
    ASSERT_EQ(orderOf(f), (std::vector<int>{0, 4}));
    // Second strip: x0 = 66 (labels) + 66; rows start at y = 22 + 39 + 22 + 22 = 105, 63 apart.
    const int b = 4;
    EXPECT_EQ(f.strips->stripBack(b)->getViewSize(), CRect(132, 2, 197, f.strips->getHeight() - 14));
    EXPECT_EQ(f.withTag<CTypeButton>(bandParam(b, kBandType))->getViewSize(), CRect(149, 25, 180, 57));
    EXPECT_EQ(f.withTag<CBypassButton>(bandParam(b, kBandState))->getViewSize(), CRect(149, 25, 180, 57));
    EXPECT_EQ(f.withTag<nPFMenu>(bandParam(b, kBandSubtype))->getViewSize(), CRect(135, 61, 194, 78));
    EXPECT_EQ(f.withTag<nGroupMenu>(bandParam(b, kBandGroups))->getViewSize(), CRect(135, 83, 194, 100));
    EXPECT_EQ(f.withTag<CEQKnob>(bandParam(b, kBandGain))->getViewSize(), CRect(150, 109, 180, 139));
    EXPECT_EQ(f.withTag<CEQText>(bandParam(b, kBandGain))->getViewSize(), CRect(135, 144, 194, 161));
    EXPECT_EQ(f.withTag<CEQKnob>(bandParam(b, kBandFrequency))->getViewSize(), CRect(150, 172, 180, 202));
    EXPECT_EQ(f.withTag<CEQKnob>(bandParam(b, kBandQ))->getViewSize(), CRect(150, 235, 180, 265));
    EXPECT_EQ(f.withTag<CEQText>(bandParam(b, kBandShift))->getViewSize(), CRect(135, 333, 194, 350));
    const auto wells = f.strips->stripBack(b)->wells();
    ASSERT_EQ(wells.size(), 4u);
    EXPECT_EQ(wells[0], CRect(148, 105, 182, 146));
    EXPECT_EQ(wells[3], CRect(148, 294, 182, 335));
    // The peak's "Kes" subtype has the gain-to-Q control as row 3, captioned under it.
    bool captioned = false;
    for (CTextLabel* label : f.all<CTextLabel>())
        captioned |= label->getText() == "GAIN->Q" && label->getViewSize() == CRect(135, 347, 194, 367);
    EXPECT_TRUE(captioned);
    // The band number over the strip, 1-based.
    bool numbered = false;
    for (CTextLabel* label : f.all<CTextLabel>())
        numbered |= label->getText() == "5" && label->getViewSize() == CRect(135, 2, 194, 22);
    EXPECT_TRUE(numbered);
}

TEST(StripBuild, TextModeRectanglesWithoutOptionalRows) {
    StripFixture f(kStripsText, 700);
    f.editor.addBand(2, kPeak);
    f.rebuild();
    // First strip at x0 = 0; no number: the type button at y 5; rows from 2 + 42 = 44, 22 apart.
    EXPECT_EQ(f.withTag<CTypeButton>(bandParam(2, kBandType))->getViewSize(), CRect(17, 5, 48, 37));
    EXPECT_EQ(f.withTag<CEQText>(bandParam(2, kBandGain))->getViewSize(), CRect(3, 44, 62, 61));
    EXPECT_EQ(f.withTag<CEQText>(bandParam(2, kBandFrequency))->getViewSize(), CRect(3, 66, 62, 83));
    EXPECT_EQ(f.withTag<CEQText>(bandParam(2, kBandQ))->getViewSize(), CRect(3, 88, 62, 105));
    EXPECT_TRUE(f.all<CEQKnob>().empty());
    EXPECT_TRUE(f.all<nPFMenu>().empty());
    EXPECT_TRUE(f.all<nGroupMenu>().empty());
    EXPECT_TRUE(f.all<nStripLabels>().empty());
    EXPECT_EQ(f.withTag<CEQText>(bandParam(2, kBandShift)), nullptr) << "no extra row without \"Extra\"";
    // Text frames are drawn by the strip back where the texts are.
    EXPECT_EQ(f.strips->stripBack(2)->wells(), (std::vector<CRect>{CRect(3, 44, 62, 61), CRect(3, 66, 62, 83),
                                                                    CRect(3, 88, 62, 105)}));
}

TEST(StripBuild, TextModeExtraRowCaptionSitsBelowIt) {
    StripFixture f(kStripsText | kLayoutStripSubtype | kLayoutStripGroups | kLayoutStripExtra | kLayoutStripLabels);
    f.editor.addBand(0, kPeak);
    f.rebuild();
    // y = 2 + 42 + 22 + 22 = 88; row 3 at 88 + 66; the caption at y + 7 + 4r − 10.
    EXPECT_EQ(f.withTag<CEQText>(bandParam(0, kBandShift))->getViewSize(), CRect(69, 154, 128, 171));
    bool found = false;
    for (CTextLabel* label : f.all<CTextLabel>())
        found |= label->getText() == "GAIN->Q" && label->getViewSize() == CRect(69, 173, 128, 193);
    EXPECT_TRUE(found);
    // The labels column: "ON", "SUBTYPE", "GROUP", "GAIN", "FREQ", "Q".
    const auto labels = f.all<nStripLabels>();
    ASSERT_EQ(labels.size(), 1u);
    const char* texts[] = {"ON", "SUBTYPE", "GROUP", "GAIN", "FREQ", "Q"};
    const CRect rects[] = {CRect(38, 16, 66, 38),  CRect(7, 46, 66, 68),   CRect(14, 68, 66, 90),
                           CRect(26, 91, 66, 113), CRect(28, 113, 66, 135), CRect(48, 135, 66, 157)};
    ASSERT_EQ(labels[0]->labelCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_STREQ(labels[0]->label(i).text, texts[i]);
        EXPECT_EQ(labels[0]->label(i).rect, rects[i]) << texts[i];
    }
}

TEST(StripBuild, RowsFollowTheBandsControls) {
    // Rows by the band design's controls; with "Extra" the last row is the
    // slope of pass filters ("SLOPE"), else the shift under the design's caption.
    struct Case {
        int type, subtype;
        std::vector<int> fields;
        std::string caption;
    };
    const Case cases[] = {
        {kHighPass, 2, {kBandFrequency, kBandSlope}, "SLOPE"},
        {kHighPass, 0, {kBandFrequency, kBandQ, kBandSlope}, "SLOPE"},
        {kLowShelf, 0, {kBandGain, kBandFrequency, kBandQ, kBandShift}, "SHIFT"},
        {kLowShelf, 4, {kBandGain, kBandFrequency, kBandShift}, "CUT"},
        {kLowShelf, 5, {kBandGain, kBandFrequency, kBandShift}, "BOOST"},
        {kHighShelf, 4, {kBandGain, kBandFrequency, kBandQ}, ""},
        {kPeak, 11, {kBandGain, kBandFrequency, kBandQ, kBandShift}, "SOFTEN"},
        {kPeak, 2, {kBandGain, kBandFrequency, kBandQ}, ""},
        {kNotch, 0, {kBandFrequency, kBandQ}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type * 100 + c.subtype);
        StripFixture f(kStripsKnobs | kLayoutStripExtra);
        f.editor.addBand(6, c.type, c.subtype);
        f.rebuild();
        std::vector<int> texts, knobs;
        for (CEQText* t : f.all<CEQText>()) texts.push_back(bandFieldOf(t->getTag()));
        for (CEQKnob* k : f.all<CEQKnob>()) knobs.push_back(bandFieldOf(k->getTag()));
        EXPECT_EQ(texts, c.fields);
        EXPECT_EQ(knobs, c.fields);
        std::string caption;
        for (CTextLabel* label : f.all<CTextLabel>()) caption = label->getText();
        EXPECT_EQ(caption, c.caption);
        const auto* button = f.withTag<CTypeButton>(bandParam(6, kBandType));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->type(), c.type);
    }
    // Without "Extra" a high-pass band shows no slope.
    StripFixture f(kStripsKnobs);
    f.editor.addBand(0, kHighPass, 0);
    f.rebuild();
    EXPECT_EQ(f.withTag<CEQText>(bandParam(0, kBandSlope)), nullptr);
}

TEST(StripOrder, KeepsItsOrderAppendsNewBandsAndResortsOnce) {
    StripFixture f(kStripsText);
    f.editor.addBand(5, kPeak, 0, 5000.0);
    f.editor.addBand(2, kPeak, 0, 200.0);
    f.rebuild();
    EXPECT_EQ(orderOf(f), (std::vector<int>{2, 5})) << "first build: band-number order";
    // The user's order survives; a band switched on joins at the end.
    f.order[0] = 5;
    f.order[1] = 2;
    f.editor.addBand(0, kPeak, 0, 50.0);
    f.rebuild();
    EXPECT_EQ(orderOf(f), (std::vector<int>{5, 2, 0}));
    EXPECT_EQ(f.order[3], -1) << "entries after the count are cleared";
    // A band switched off drops out; the others keep their places.
    f.editor.removeBand(2);
    f.rebuild();
    EXPECT_EQ(orderOf(f), (std::vector<int>{5, 0}));
    // A bypassed band keeps its strip.
    f.editor.plug.setParameter(bandParam(5, kBandState), baseNormalisedValue(bandParam(5, kBandState), 1));
    f.editor.addBand(9, kPeak, 0, 1000.0);
    f.rebuild();
    EXPECT_EQ(orderOf(f), (std::vector<int>{5, 0, 9}));
    // Re-sort: ascending frequency, once.
    f.strips->requestResort();
    f.rebuild();
    EXPECT_EQ(orderOf(f), (std::vector<int>{0, 9, 5}));
    EXPECT_FALSE(f.strips->resortPending());
    f.editor.plug.setParameter(bandParam(0, kBandFrequency), 1.f);
    f.rebuild();
    EXPECT_EQ(orderOf(f), (std::vector<int>{0, 9, 5})) << "a later frequency change keeps the order";
    // Damaged orders (out of range, repeated, switched-off bands) are cleaned up.
    int damaged[32] = {9, 40, 9, -3, 31, 0};
    for (int i = 6; i < 32; ++i) damaged[i] = -1;
    std::copy(std::begin(damaged), std::end(damaged), f.order);
    f.count = 6;
    f.rebuild();
    EXPECT_EQ(orderOf(f), (std::vector<int>{9, 0, 5}));
    // The strips stand in that order, 66 pixels apart.
    EXPECT_EQ(f.strips->stripBack(9)->getViewSize().left, 0);
    EXPECT_EQ(f.strips->stripBack(0)->getViewSize().left, 66);
    EXPECT_EQ(f.strips->stripBack(5)->getViewSize().left, 132);
}

TEST(StripGroupMenu, TextNamesTheCheckedGroupsShortenedToFit) {
    StripFixture f(kStripsText | kLayoutStripGroups, 700, 2);
    f.editor.addBand(1, kPeak);
    f.rebuild();
    nGroupMenu* menu = f.withTag<nGroupMenu>(bandParam(1, kBandGroups));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->getNbEntries(), 4) << "\"Stereo\", separator, two groups";
    EXPECT_EQ(menu->displayText(), "Stereo") << "both groups of a stereo instance";
    menu->setValue(128.f);  // group 1 only
    EXPECT_EQ(menu->displayText(), menu->getEntry(2));

    // Four groups with long names, groups 1 and 3 checked.
    menu->setGroupNames({"Front Left", "Front Right", "Centre", "Rear"});
    menu->setValue(static_cast<float>(128 | 32));
    EXPECT_FALSE(menu->isCheckEntry(0));
    EXPECT_EQ(menu->displayText(), "Front Left+Centre");
    const std::string shown = menu->fittedText();
    const StripFont font(skin::kFontSmall);
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown.back(), '.') << "a cut text says it was cut: " << shown;
    const std::string kept = shown.substr(0, shown.size() - 1);
    EXPECT_LT(kept.size(), std::string("Front Left+Centre").size());
    EXPECT_EQ(std::string("Front Left+Centre").compare(0, kept.size(), kept), 0) << "cut from the end";
    EXPECT_LE(font.measure(shown), menu->getWidth() - 2);
    // A text that fits stays whole, without a point.
    menu->setValue(32.f);
    EXPECT_EQ(menu->fittedText(), "Centre");
    // With every group checked item 0 is checked too, but only two groups say "Stereo".
    menu->setValue(255.f);
    EXPECT_TRUE(menu->isCheckEntry(0));
    EXPECT_EQ(menu->displayText(), "Front Left+Front Right+Centre+Rear");
}

TEST(StripGroupMenu, ChoicesAddAndRemoveGroups) {
    StripFixture f(kStripsText | kLayoutStripGroups, 700, 4);
    f.editor.addBand(0, kPeak);
    f.rebuild();
    nGroupMenu* menu = f.withTag<nGroupMenu>(bandParam(0, kBandGroups));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->groupCount(), 4);
    const int tag = bandParam(0, kBandGroups);
    const auto groups = [&] { return static_cast<int>(f.editor.real(tag)); };
    EXPECT_EQ(groups(), 255);
    menu->popupChosen(menu, 3);  // group 2 off
    EXPECT_EQ(groups(), 255 & ~64);
    menu->setValue(static_cast<float>(groups()));
    menu->popupChosen(menu, 3);  // and on again
    EXPECT_EQ(groups(), 255);
    menu->setValue(128.f);
    menu->popupChosen(menu, 2);  // the last group off: reported as none
    EXPECT_EQ(f.editor.lastValueOf(tag), 0.f);
    menu->setValue(0.f);
    menu->popupChosen(menu, 0);  // every group
    EXPECT_EQ(groups(), 255);
    EXPECT_TRUE(f.editor.changesInsideEdits());
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui {
namespace {

// The strip's group menu and the graph's value panel read a band's groups
// through the one rule, so the two never disagree.
TEST(BandGroupsText, OneReadingForEveryView) {
    const std::vector<std::string> midSide = {"Mid", "Side"};
    const std::vector<std::string> surround = {"Front", "Rear", "LFE"};
    EXPECT_EQ(bandGroupsText(midSide, 0xC0), "Stereo");
    EXPECT_EQ(bandGroupsText(midSide, 0x40), "Side");
    EXPECT_EQ(bandGroupsText(midSide, 0x00), "");
    EXPECT_EQ(bandGroupsText(surround, 0xE0), "Front+Rear+LFE");
    EXPECT_EQ(bandGroupsText(surround, 0xA0), "Front+LFE");
    EXPECT_EQ(bandGroupsText(surround, 0xFF), "Front+Rear+LFE");  // bits past the groups count for nothing
}

}  // namespace
}  // namespace hm::gui
