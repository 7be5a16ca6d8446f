// View tree behaviour: pages, hidden containers, mouse capture, dirty redraw,
// background capture, cursor hiding.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/framework/CGViewContainer.h"
#include "gui/framework/nControlMouse.h"
#include "gui/framework/nPage.h"
#include "gui/framework/nTintable.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui::test {
namespace {

TEST(ViewPages, ExactlyThePagesWhoseNumberEqualsTheValueShow) {
    HeadlessFrame h(200, 100);
    nPage* pages[4] = {new nPage(CRect(0, 0, 100, 100), 7, 0), new nPage(CRect(0, 0, 100, 100), 7, 1),
                       new nPage(CRect(0, 0, 100, 100), 7, 2), new nPage(CRect(0, 0, 100, 100), 7, 1)};
    for (nPage* p : pages) h.frame->addView(p);
    // Created: visible exactly when the page number is 0.
    EXPECT_FALSE(pages[0]->isHidden());
    EXPECT_TRUE(pages[1]->isHidden());
    EXPECT_TRUE(pages[2]->isHidden());

    struct Case {
        float value;
        bool shown[4];
    };
    const Case cases[] = {
        {1.f, {false, true, false, true}},   // two pages share number 1
        {2.f, {false, false, true, false}},
        {0.f, {true, false, false, false}},
        {5.f, {false, false, false, false}}, // no page has 5: the group is all hidden
        {1.5f, {false, false, false, false}},
    };
    for (const Case& c : cases) {
        for (nPage* p : pages)
            if (p->getTag() == 7) p->setValue(c.value);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(!pages[i]->isHidden(), c.shown[i]) << "value " << c.value << " page " << i;
    }
}

TEST(ViewPages, PageWithoutNumberStartsVisibleAndHiddenPageIgnoresMouse) {
    HeadlessFrame h(100, 100);
    auto* page = new nPage(CRect(0, 0, 100, 100), 3, 1);
    auto* inner = new ProbeView(CRect(10, 10, 50, 50), 0xFF0000);
    page->addView(inner);
    h.frame->addView(page);
    h.click(20, 20);
    EXPECT_EQ(inner->downs, 0);
    page->setValue(1.f);
    h.click(20, 20);
    EXPECT_EQ(inner->downs, 1);
    // Points reach children in the page's own coordinates.
    EXPECT_EQ(inner->lastDown, CPoint(20, 20));
}

TEST(ViewHidden, HiddenContainerNeitherDrawsNorTakesEventsWhichFallThrough) {
    HeadlessFrame h(120, 80);
    auto* beneath = new ProbeView(CRect(0, 0, 120, 80), 0x0000FF);
    auto* box = new CGViewContainer(CRect(20, 10, 100, 70));
    auto* top = new ProbeView(CRect(0, 0, 80, 60), 0x00FF00);  // fills the box
    box->addView(top);
    h.frame->addView(beneath);
    h.frame->addView(box);
    h.frame->updateDirty();
    EXPECT_EQ(h.pixel(50, 40), 0x00FF00u);

    box->setHidden(true);
    h.frame->updateDirty();
    EXPECT_EQ(h.pixel(50, 40), 0x0000FFu) << "what lies beneath shows once the box hides";
    const int drawsWhileHidden = top->draws;
    h.frame->invalidateAll();
    h.frame->updateDirty();
    EXPECT_EQ(top->draws, drawsWhileHidden) << "children of a hidden container are not drawn";

    h.click(50, 40);
    h.window->wheel(50, 40, 2.f);
    EXPECT_EQ(top->downs, 0);
    EXPECT_EQ(top->wheels, 0);
    EXPECT_EQ(beneath->downs, 1) << "the click falls through";
    EXPECT_EQ(beneath->wheels, 1) << "the wheel falls through";
    EXPECT_FALSE(box->hitTest(CPoint(50, 40)));

    box->setHidden(false);
    h.click(50, 40);
    h.window->wheel(50, 40, 1.f);
    EXPECT_EQ(top->downs, 1);
    EXPECT_EQ(top->wheels, 1);
    EXPECT_EQ(beneath->downs, 1);
}

TEST(ViewHidden, NotHandledClickFallsToViewBeneath) {
    HeadlessFrame h(100, 100);
    auto* beneath = new ProbeView(CRect(0, 0, 100, 100), 0x0000FF);
    auto* glass = new ProbeView(CRect(0, 0, 100, 100), 0xFFFFFF, kMouseEventNotHandled);
    h.frame->addView(beneath);
    h.frame->addView(glass);
    h.click(5, 5);
    EXPECT_EQ(glass->downs, 1);
    EXPECT_EQ(beneath->downs, 1);
}

TEST(ViewHidden, ClickThruPageTakesClicksOnlyOnItsChildren) {
    HeadlessFrame h(100, 100);
    auto* beneath = new ProbeView(CRect(0, 0, 100, 100), 0x0000FF);
    auto* page = new nClickThruPage(CRect(0, 0, 100, 100), 1, 0);
    auto* child = new ProbeView(CRect(60, 60, 90, 90), 0xFF0000);
    page->addView(child);
    h.frame->addView(beneath);
    h.frame->addView(page);
    h.click(10, 10);
    h.click(70, 70);
    EXPECT_EQ(beneath->downs, 1);
    EXPECT_EQ(child->downs, 1);
}

TEST(ViewMouse, HandledPressCapturesUntilRelease) {
    HeadlessFrame h(200, 100);
    auto* a = new ProbeView(CRect(0, 0, 50, 50), 0xFF0000);
    auto* b = new ProbeView(CRect(100, 0, 150, 50), 0x00FF00);
    h.frame->addView(a);
    h.frame->addView(b);
    h.window->press(10, 10, kLButton);
    h.window->move(120, 20);   // over b
    h.window->move(500, 300);  // outside the window
    h.window->press(120, 20, kRButton);  // another button during the drag goes nowhere
    h.window->release(120, 20, kRButton);
    EXPECT_EQ(b->downs, 0);
    EXPECT_EQ(a->ups, 0) << "releasing another button does not end the drag";
    h.window->release(120, 20, kLButton);
    EXPECT_EQ(a->drags, 2);
    EXPECT_EQ(a->ups, 1);
    EXPECT_EQ(a->lastMove, CPoint(500, 300));
    EXPECT_EQ(b->downs, 0);
    EXPECT_EQ(b->drags, 0);
    EXPECT_EQ(b->ups, 0);
    // Capture ended: the next press reaches b.
    h.click(120, 20);
    EXPECT_EQ(b->downs, 1);
    EXPECT_EQ(a->downs, 1);
}

TEST(ViewMouse, RemovingTheCapturedViewEndsTheCapture) {
    HeadlessFrame h(100, 100);
    auto* box = new CViewContainer(CRect(0, 0, 100, 100));
    auto* a = new ProbeView(CRect(0, 0, 50, 50), 0xFF0000);
    box->addView(a);
    h.frame->addView(box);
    h.window->press(10, 10, kLButton);
    EXPECT_EQ(h.frame->getMouseCaptureView(), a);
    h.frame->removeView(box);
    EXPECT_EQ(h.frame->getMouseCaptureView(), nullptr);
    h.window->move(20, 20);
    h.window->release(20, 20, kLButton);  // must not reach the released views
}

TEST(ViewRedraw, OnlyDirtyViewsAreRedrawnAndPresented) {
    HeadlessFrame h(300, 100);
    auto* a = new ProbeView(CRect(0, 0, 100, 100), 0xFF0000);
    auto* box = new CViewContainer(CRect(150, 20, 250, 90));
    auto* b = new ProbeView(CRect(10, 10, 40, 30), 0x00FF00);  // frame rect (160, 30, 190, 50)
    box->addView(b);
    h.frame->addView(a);
    h.frame->addView(box);
    h.frame->updateDirty();
    const int aDraws = a->draws, bDraws = b->draws;
    h.window->resetPresentedArea();

    h.frame->updateDirty();
    EXPECT_EQ(h.window->presentCount(), 0) << "nothing changed, nothing presented";

    b->setDirty(true);
    h.frame->updateDirty();
    EXPECT_EQ(a->draws, aDraws);
    EXPECT_EQ(b->draws, bDraws + 1);
    const auto area = h.window->presentedArea();
    EXPECT_EQ(area.left, 160);
    EXPECT_EQ(area.top, 30);
    EXPECT_EQ(area.right, 190);
    EXPECT_EQ(area.bottom, 50);
    EXPECT_EQ(h.frame->lastUpdateArea(), 30 * 20);
    EXPECT_EQ(h.pixel(170, 40), 0x00FF00u);
}

TEST(ViewRedraw, MovedViewUncoversItsOldPlace) {
    HeadlessFrame h(200, 100);
    auto* back = new ProbeView(CRect(0, 0, 200, 100), 0x000080);
    auto* v = new ProbeView(CRect(10, 10, 40, 40), 0xFF0000);
    h.frame->addView(back);
    h.frame->addView(v);
    h.frame->updateDirty();
    v->setViewSize(CRect(100, 10, 130, 40));
    h.frame->updateDirty();
    EXPECT_EQ(h.pixel(20, 20), 0x000080u);
    EXPECT_EQ(h.pixel(110, 20), 0xFF0000u);
}

// A background with a pattern no two nearby pixels share.
Pixel pattern(int x, int y) { return makePixel((x * 7) & 255, (y * 5) & 255, (x + y) & 255); }

TEST(ViewBackground, CapturedBackgroundIsThePictureUnderTheContainer) {
    HeadlessFrame h(200, 150);
    auto* panel = new CViewContainer(CRect(10, 5, 190, 145));
    CDIB* skin = new CDIB(180, 140);
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < 180; ++x) skin->row(y)[x] = pattern(x, y);
    panel->setBackground(skin);
    skin->release();
    auto* middle = new CViewContainer(CRect(20, 30, 170, 130));  // no background of its own
    h.frame->addView(panel);
    panel->addView(middle);
    auto* captured = new nCGViewContainer(CRect(15, 12, 75, 52));
    middle->addView(captured);

    auto* bg = dynamic_cast<CDIB*>(captured->getBackground());
    ASSERT_NE(bg, nullptr);
    ASSERT_EQ(bg->getWidth(), 60);
    ASSERT_EQ(bg->getHeight(), 40);
    // The container sits at (20 + 15, 30 + 12) inside the panel's bitmap.
    for (int y = 0; y < 40; y += 3)
        for (int x = 0; x < 60; x += 5) ASSERT_EQ(bg->row(y)[x], pattern(35 + x, 42 + y)) << x << "," << y;
}

TEST(ViewCursor, HideAndShowWithPositionRestoresThePointer) {
    HeadlessFrame h(200, 200);
    struct Mouse : nControlMouse {};
    Mouse m;
    m.setCursorFrame(h.frame);
    h.window->move(50, 60);

    m.showHide(false, true);  // disabled: nothing happens
    EXPECT_TRUE(h.window->cursorVisible());
    EXPECT_FALSE(m.isCursorHidden());

    m.setMouseHideEnabled(true);
    m.showHide(false, true);
    EXPECT_FALSE(h.window->cursorVisible());
    EXPECT_TRUE(m.isCursorHidden());
    h.window->move(150, 10);   // the drag moves the pointer
    m.showHide(false, true);   // hiding again changes nothing, keeps the saved place
    m.moveSavedPosition(5.f, -20.f);
    m.showHide(true, true);
    EXPECT_TRUE(h.window->cursorVisible());
    int x, y, b;
    h.window->pointerState(x, y, b);
    EXPECT_EQ(x, 55);
    EXPECT_EQ(y, 40);
    // Showing without position leaves the pointer where it is.
    m.showHide(false, false);
    h.window->move(90, 90);
    m.showHide(true, false);
    h.window->pointerState(x, y, b);
    EXPECT_EQ(x, 90);
    EXPECT_TRUE(h.window->cursorVisible());
}

TEST(ViewTint, ChangingTheTintRedrawsOnlyOnChange) {
    HeadlessFrame h(50, 50);
    auto* v = new ProbeView(CRect(0, 0, 10, 10), 0xFF0000);
    h.frame->addView(v);
    h.frame->updateDirty();
    nTintable tint(v);
    tint.setTint(false);
    EXPECT_FALSE(v->isDirty());
    tint.setTint(true);
    EXPECT_TRUE(v->isDirty());
    h.frame->updateDirty();
    tint.setTint(true);
    EXPECT_FALSE(v->isDirty());
}

TEST(ViewPageSelect, ValueFollowsThePointerWhileHeld) {
    HeadlessFrame h(200, 100);
    Recorder rec;
    auto* sel = new nPageSelect(CRect(10, 10, 60, 40), &rec, 9, 3.f);
    sel->setValue(1.f);
    h.frame->addView(sel);
    h.window->press(20, 20, kLButton);
    EXPECT_EQ(sel->getValue(), 3.f);
    h.window->move(150, 80);
    EXPECT_EQ(sel->getValue(), 1.f) << "outside: the value from before the click";
    h.window->move(30, 30);
    EXPECT_EQ(sel->getValue(), 3.f);
    h.window->release(30, 30, kLButton);
    EXPECT_EQ(sel->getValue(), 3.f);
    ASSERT_EQ(rec.count('v'), 3);
    EXPECT_EQ(rec.events[1].value, 1.f);
    // A second click on the same selection is still reported.
    h.click(20, 20);
    EXPECT_EQ(rec.count('v'), 4);
    // Right clicks are not for it.
    h.click(20, 20, kRButton);
    EXPECT_EQ(rec.count('v'), 4);
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

TEST(ViewWheel, HostForwardedWheelGoesToTheViewUnderThePointer) {
    HeadlessFrame h(200, 100);
    auto* a = new ProbeView(CRect(0, 0, 100, 100), 0xFF0000);
    auto* b = new ProbeView(CRect(100, 0, 200, 100), 0x00FF00);
    h.frame->addView(a);
    h.frame->addView(b);
    h.window->move(150, 50);
    EXPECT_TRUE(h.frame->onHostWheel(2.f));
    EXPECT_EQ(b->wheels, 1);
    EXPECT_FLOAT_EQ(b->wheelSum, 2.f);
    EXPECT_EQ(a->wheels, 0);
    EXPECT_FALSE(h.frame->onHostWheel(std::nanf("")));
    h.window->move(500, 50);  // pointer outside the editor: nobody
    EXPECT_FALSE(h.frame->onHostWheel(1.f));
    EXPECT_EQ(b->wheels, 1);
}

struct HoverProbe : ProbeView {
    using ProbeView::ProbeView;
    void onMouseEntered(CPoint&, const int&) override { ++entered; }
    void onMouseExited(CPoint&, const int&) override { ++exited; }
    int entered = 0, exited = 0;
};

TEST(ViewHover, EnterAndExitFollowThePointer) {
    HeadlessFrame h(200, 100);
    auto* a = new HoverProbe(CRect(0, 0, 100, 100), 0xFF0000);
    auto* b = new HoverProbe(CRect(100, 0, 200, 100), 0x00FF00);
    h.frame->addView(a);
    h.frame->addView(b);
    h.window->move(10, 10);
    h.window->move(20, 10);
    h.window->move(150, 10);
    EXPECT_EQ(a->entered, 1);
    EXPECT_EQ(a->exited, 1);
    EXPECT_EQ(b->entered, 1);
    EXPECT_EQ(b->exited, 0);
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

TEST(ViewMouse, LostReleaseOfTheDraggingButtonEndsTheOldDrag) {
    HeadlessFrame h(200, 100);
    auto* a = new ProbeView(CRect(0, 0, 50, 50), 0xFF0000);
    auto* b = new ProbeView(CRect(100, 0, 150, 50), 0x00FF00);
    h.frame->addView(a);
    h.frame->addView(b);
    h.window->press(10, 10, kLButton);
    // The release happened elsewhere and never arrived; the next press of the
    // same button must not stay stuck in the old drag.
    h.frame->onMouseDown(120, 20, kLButton);
    EXPECT_EQ(a->ups, 1);
    EXPECT_EQ(b->downs, 1);
}

}  // namespace
}  // namespace hm::gui::test
