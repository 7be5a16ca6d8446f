// Buttons, switches and film strips: which picture shows and what the listener hears.
// Film strips here have one flat colour per picture (picture i: red = 10·i + 5),
// so a rendered pixel names the picture that was drawn.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/controls/CButtons.h"
#include "gui/controls/CDisplays.h"
#include "gui/controls/CKnob.h"
#include "gui/controls/CSwitches.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui::test {
namespace {

CDIB* filmStrip(int width, int frameHeight, int frames) {
    CDIB* strip = new CDIB(width, frameHeight * frames);
    for (int i = 0; i < frames; ++i) strip->fillRect(CRect(0, i * frameHeight, width, (i + 1) * frameHeight),
                                                     makeRgb(10 * i + 5, 0, 0));
    return strip;
}

int frameAt(const HeadlessFrame& h, int x, int y) { return (rgbRed(h.pixel(x, y)) - 5) / 10; }

TEST(ControlFilm, AnimKnobShowsTheNearestPicture) {
    HeadlessFrame h(100, 100);
    CDIB* strip = filmStrip(20, 20, 21);
    auto* knob = new CAnimKnob(CRect(10, 10, 30, 30), nullptr, 1, 21, 20, strip);
    strip->release();
    h.frame->addView(knob);
    for (float v : {0.f, 0.024f, 0.026f, 0.5f, 0.51f, 0.974f, 1.f}) {
        knob->setValue(v);
        h.frame->updateDirty();
        const int want = static_cast<int>(std::floor(v * 20.f + 0.5f));
        EXPECT_EQ(frameAt(h, 20, 20), want) << v;
    }
    knob->setInverseBitmap(true);
    knob->setValue(0.f);
    knob->invalid();
    h.frame->updateDirty();
    EXPECT_EQ(frameAt(h, 20, 20), 20);
}

TEST(ControlFilm, VerticalSwitchPicksThePositionUnderThePointer) {
    HeadlessFrame h(100, 200);
    Recorder rec;
    CDIB* strip = filmStrip(30, 80, 4);
    auto* sw = new CVerticalSwitch(CRect(10, 10, 40, 90), &rec, 1, 4, 80, 4, strip);
    strip->release();
    h.frame->addView(sw);
    // 80 pixels, 4 positions: bands of 20.
    struct Case { int y; int position; };
    for (const Case& c : {Case{12, 0}, Case{29, 0}, Case{30, 1}, Case{55, 2}, Case{89, 3}}) {
        h.click(20, c.y);
        EXPECT_NEAR(sw->getValue(), c.position / 3.f, 1e-6f) << c.y;
        h.frame->updateDirty();
        EXPECT_EQ(frameAt(h, 20, 50), c.position);
    }
    // Dragging follows the pointer, the wheel steps one position.
    h.window->press(20, 12, kLButton);
    h.window->move(20, 75);
    EXPECT_NEAR(sw->getValue(), 1.f, 1e-6f);
    h.window->release(20, 75, kLButton);
    h.window->wheel(20, 50, -1.f);
    EXPECT_NEAR(sw->getValue(), 2.f / 3.f, 1e-6f);
    EXPECT_TRUE(rec.changesInsideEdits());
}

TEST(ControlFilm, HorizontalSwitchBandsRunAcross) {
    HeadlessFrame h(200, 100);
    auto* sw = new CHorizontalSwitch(CRect(0, 0, 90, 20), nullptr, 1, 3, 20, 3, nullptr);
    h.frame->addView(sw);
    h.click(45, 10);
    EXPECT_FLOAT_EQ(sw->getValue(), 0.5f);
    h.click(89, 10);
    EXPECT_FLOAT_EQ(sw->getValue(), 1.f);
}

TEST(ControlButtons, KickButtonIsMaximumOnlyWhilePressedInside) {
    HeadlessFrame h(100, 100);
    Recorder rec;
    CDIB* strip = filmStrip(20, 20, 2);
    auto* kick = new CKickButton(CRect(10, 10, 30, 30), &rec, 3, 20, strip);
    strip->release();
    h.frame->addView(kick);
    h.window->press(20, 20, kLButton);
    EXPECT_FLOAT_EQ(kick->getValue(), 1.f);
    h.frame->updateDirty();
    EXPECT_EQ(frameAt(h, 20, 20), 1);
    h.window->move(80, 80);
    EXPECT_FLOAT_EQ(kick->getValue(), 0.f);
    h.window->move(21, 21);
    h.window->release(21, 21, kLButton);
    EXPECT_FLOAT_EQ(kick->getValue(), 0.f);
    h.frame->updateDirty();
    EXPECT_EQ(frameAt(h, 20, 20), 0);
    ASSERT_EQ(rec.count('v'), 4);  // 1, 0 (left), 1 (back), 0 (released)
    EXPECT_FLOAT_EQ(rec.events[1].value, 1.f);
    EXPECT_FLOAT_EQ(rec.lastValue(), 0.f);
    EXPECT_TRUE(rec.changesInsideEdits());
}

TEST(ControlButtons, OnOffAndMovieButtonsToggle) {
    HeadlessFrame h(200, 100);
    Recorder rec;
    CDIB* strip = filmStrip(20, 20, 2);
    auto* onoff = new COnOffButton(CRect(10, 10, 30, 30), &rec, 1, strip);
    auto* movie = new CMovieButton(CRect(50, 10, 70, 30), &rec, 2, 20, strip);
    strip->release();
    h.frame->addView(onoff);
    h.frame->addView(movie);
    h.click(20, 20);
    EXPECT_FLOAT_EQ(onoff->getValue(), 1.f);
    h.frame->updateDirty();
    EXPECT_EQ(frameAt(h, 20, 20), 1);
    h.click(20, 20);
    EXPECT_FLOAT_EQ(onoff->getValue(), 0.f);
    h.click(20, 20, kRButton);
    EXPECT_FLOAT_EQ(onoff->getValue(), 0.f) << "right clicks are not for it";

    h.click(60, 20);
    EXPECT_FLOAT_EQ(movie->getValue(), 1.f);
    // Pressed, then dragged away before release: the toggle is taken back.
    h.window->press(60, 20, kLButton);
    EXPECT_FLOAT_EQ(movie->getValue(), 0.f);
    h.window->move(150, 80);
    h.window->release(150, 80, kLButton);
    EXPECT_FLOAT_EQ(movie->getValue(), 1.f);
    EXPECT_TRUE(rec.changesInsideEdits());
    EXPECT_EQ(rec.count('b'), rec.count('e'));
}

TEST(ControlButtons, RockerHoldsAnEndWhilePressedAndReturnsToRest) {
    HeadlessFrame h(100, 100);
    Recorder rec;
    auto* rocker = new CRockerSwitch(CRect(10, 10, 70, 30), &rec, 1, 20, nullptr, CPoint(), kHorizontal);
    h.frame->addView(rocker);
    h.window->press(60, 20, kLButton);
    EXPECT_FLOAT_EQ(rocker->getValue(), 1.f);
    h.window->release(60, 20, kLButton);
    EXPECT_FLOAT_EQ(rocker->getValue(), 0.f);
    h.window->press(15, 20, kLButton);
    EXPECT_FLOAT_EQ(rocker->getValue(), -1.f);
    h.window->release(15, 20, kLButton);
    EXPECT_FLOAT_EQ(rocker->getValue(), 0.f);
    EXPECT_EQ(rec.count('v'), 4);
    EXPECT_TRUE(rec.changesInsideEdits());
}

TEST(ControlDisplays, VuMeterLightsSegmentsFromTheBottom) {
    HeadlessFrame h(100, 120);
    CDIB* on = new CDIB(10, 100);
    on->fillRect(CRect(0, 0, 10, 100), 0x00FF00);
    CDIB* off = new CDIB(10, 100);
    off->fillRect(CRect(0, 0, 10, 100), 0x202020);
    auto* vu = new CVuMeter(CRect(10, 10, 20, 110), on, off, 10);
    on->release();
    off->release();
    h.frame->addView(vu);
    vu->setValue(0.44f);  // nearest of 10 segments: 4, i.e. the bottom 40 pixels
    h.frame->updateDirty();
    EXPECT_EQ(vu->litSegments(), 4);
    EXPECT_EQ(h.pixel(15, 109), 0x00FF00u);
    EXPECT_EQ(h.pixel(15, 70), 0x00FF00u);
    EXPECT_EQ(h.pixel(15, 69), 0x202020u);
    // Falling values drop by at most the decrease step per update.
    vu->setDecreaseStepValue(0.1f);
    vu->setValue(0.f);
    EXPECT_NEAR(vu->getValue(), 0.34f, 1e-6f);
}

TEST(ControlDisplays, SpecialDigitShowsEachDigit) {
    HeadlessFrame h(100, 50);
    CDIB* digits = filmStrip(10, 16, 10);
    auto* d = new CSpecialDigit(CRect(0, 0, 40, 16), nullptr, 1, 4071, 4, nullptr, nullptr, 10, 16, digits);
    digits->release();
    h.frame->addView(d);
    h.frame->updateDirty();
    const int want[] = {4, 0, 7, 1};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(frameAt(h, i * 10 + 5, 8), want[i]) << i;
    d->setValue(123456.f);  // beyond four digits: shows the largest
    EXPECT_EQ(d->digitAt(0), 9);
}

TEST(ControlDisplays, SplashCoversTheFrameUntilClicked) {
    HeadlessFrame h(200, 200);
    Recorder rec;
    CDIB* art = new CDIB(100, 100);
    art->fillRect(CRect(0, 0, 100, 100), 0x3366CC);
    auto* probe = new ProbeView(CRect(0, 0, 200, 200), 0x000000);
    auto* splash = new CSplashScreen(CRect(0, 0, 20, 20), &rec, 1, art, CRect(150, 150, 50, 50));
    art->release();
    h.frame->addView(probe);
    h.frame->addView(splash);
    EXPECT_EQ(splash->displayRect(), CRect(50, 50, 150, 150));
    h.click(10, 10);
    ASSERT_TRUE(splash->isSplashShown());
    h.frame->updateDirty();
    EXPECT_EQ(h.pixel(100, 100), 0x3366CCu);
    h.click(180, 180);  // modal: the probe beneath hears nothing
    EXPECT_EQ(probe->downs, 0);
    h.click(100, 100);
    EXPECT_FALSE(splash->isSplashShown());
    h.frame->updateDirty();
    EXPECT_EQ(h.pixel(100, 100), 0x000000u);
    EXPECT_EQ(rec.count('v'), 2);
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

TEST(ControlFilm, AutoAnimationStepsOnEveryIdlePassWhileRunning) {
    HeadlessFrame h(100, 100);
    Recorder rec;
    CDIB* strip = filmStrip(20, 20, 5);
    auto* anim = new CAutoAnimation(CRect(10, 10, 30, 30), &rec, 1, 5, 20, strip);
    strip->release();
    h.frame->addView(anim);
    h.frame->idle();
    EXPECT_EQ(anim->currentFrame(), 0) << "not running yet";
    h.click(20, 20);
    ASSERT_TRUE(anim->isWindowOpened());
    for (int pass = 1; pass <= 7; ++pass) {
        h.frame->idle();
        EXPECT_EQ(anim->currentFrame(), pass % 5);
        EXPECT_EQ(frameAt(h, 20, 20), pass % 5);
    }
    h.click(20, 20);
    EXPECT_FALSE(anim->isWindowOpened());
    const int stopped = anim->currentFrame();
    h.frame->idle();
    EXPECT_EQ(anim->currentFrame(), stopped);
    EXPECT_EQ(rec.count('v'), 2);  // started, stopped
}

}  // namespace
}  // namespace hm::gui::test
