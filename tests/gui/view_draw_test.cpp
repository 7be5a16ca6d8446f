// Drawing through the tree: clipping, placement in nested containers, resizing,
// backgrounds and their references, dragging pages, focus when a container hides.
#include <gtest/gtest.h>

#include "gui/controls/CParamDisplay.h"
#include "gui/draw/BitmapCache.h"
#include "gui/framework/CGViewContainer.h"
#include "gui/framework/nControl.h"
#include "gui/framework/nPage.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui::test {
namespace {

// Paints well beyond its own rectangle.
class SpillingView : public CView {
public:
    using CView::CView;
    void draw(CDrawContext* c) override {
        CRect r = size;
        r.inset(-15, -15);
        c->fillRect(r, 0xFFFF00);
        setDirty(false);
    }
};

TEST(ViewDraw, ViewsCannotPaintOutsideTheirRectangleOrTheirContainer) {
    HeadlessFrame h(200, 120);
    auto* box = new CViewContainer(CRect(50, 20, 150, 100));
    box->setBackgroundColor(0x202020);
    auto* spill = new SpillingView(CRect(10, 10, 40, 40));      // frame (60, 30)-(90, 60)
    auto* edge = new SpillingView(CRect(80, 60, 100, 80));      // reaches the container's edge
    box->addView(spill);
    box->addView(edge);
    h.frame->addView(box);
    h.frame->updateDirty();
    EXPECT_EQ(h.pixel(60, 30), 0xFFFF00u);
    EXPECT_EQ(h.pixel(89, 59), 0xFFFF00u);
    EXPECT_EQ(h.pixel(59, 30), 0x202020u);
    EXPECT_EQ(h.pixel(90, 45), 0x202020u);
    EXPECT_EQ(h.pixel(75, 60), 0x202020u);
    EXPECT_EQ(h.pixel(149, 99), 0xFFFF00u);
    EXPECT_EQ(h.pixel(150, 99), 0x000000u) << "nothing beyond the container";
    EXPECT_EQ(h.pixel(149, 100), 0x000000u);
}

TEST(ViewDraw, NestedViewsDrawAtTheSumOfTheirOrigins) {
    HeadlessFrame h(200, 200);
    auto* outer = new CViewContainer(CRect(10, 20, 190, 190));
    auto* inner = new CViewContainer(CRect(30, 40, 170, 160));
    auto* probe = new ProbeView(CRect(5, 7, 25, 17), 0x00FF00);
    outer->addView(inner);
    inner->addView(probe);
    h.frame->addView(outer);
    h.frame->updateDirty();
    // 10 + 30 + 5 = 45, 20 + 40 + 7 = 67.
    EXPECT_EQ(probe->getFrameRect(), CRect(45, 67, 65, 77));
    EXPECT_EQ(h.pixel(45, 67), 0x00FF00u);
    EXPECT_EQ(h.pixel(64, 76), 0x00FF00u);
    EXPECT_NE(h.pixel(44, 67), 0x00FF00u);
    EXPECT_NE(h.pixel(65, 76), 0x00FF00u);
    h.click(50, 70);
    EXPECT_EQ(probe->lastDown, CPoint(10, 10)) << "points arrive in the parent's coordinates";
}

TEST(ViewDraw, ResizingTheFrameResizesBufferAndWindowAndRedrawsAll) {
    HeadlessFrame h(100, 80);
    auto* probe = new ProbeView(CRect(0, 0, 300, 300), 0x336699);
    h.frame->addView(probe);
    h.frame->updateDirty();
    EXPECT_TRUE(h.frame->setSize(240, 160));
    EXPECT_EQ(h.window->width(), 240);
    EXPECT_EQ(h.window->height(), 160);
    EXPECT_EQ(h.frame->getBackBuffer()->getWidth(), 240);
    h.frame->updateDirty();
    EXPECT_EQ(h.pixel(239, 159), 0x336699u);
    EXPECT_FALSE(h.frame->setSize(0, 10));
}

TEST(ViewDraw, BitmapIdZeroGivesNoBackgroundAndNothingIsDrawn) {
    HeadlessFrame h(100, 100);
    auto* beneath = new ProbeView(CRect(0, 0, 100, 100), 0x0000FF);
    auto* view = new CView(CRect(10, 10, 60, 60));
    view->setBackground(getSkinBitmap(0));
    h.frame->addView(beneath);
    h.frame->addView(view);
    h.frame->updateDirty();
    EXPECT_EQ(view->getBackground(), nullptr);
    EXPECT_EQ(h.pixel(30, 30), 0x0000FFu);
}

TEST(ViewDraw, BackgroundsAreRetainedWhileShownAndReleasedWhenReplaced) {
    CDIB* a = new CDIB(4, 4);
    CDIB* b = new CDIB(4, 4);
    {
        HeadlessFrame h(50, 50);
        auto* view = new CView(CRect(0, 0, 4, 4));
        h.frame->addView(view);
        view->setBackground(a);
        EXPECT_EQ(a->getNbReference(), 2);
        view->setBackground(a);  // the same again: no extra reference
        EXPECT_EQ(a->getNbReference(), 2);
        view->setBackground(b);
        EXPECT_EQ(a->getNbReference(), 1);
        EXPECT_EQ(b->getNbReference(), 2);
    }  // the frame and its views go
    EXPECT_EQ(b->getNbReference(), 1);
    a->release();
    b->release();
}

TEST(ViewDraw, DraggablePageMovesByThePointerAndItsChildrenKeepTheirClicks) {
    HeadlessFrame h(300, 200);
    auto* page = new nDraggablePage(CRect(20, 20, 120, 100), 5, 0);
    auto* button = new ProbeView(CRect(60, 50, 90, 70), 0xFF0000);
    page->addView(button);
    h.frame->addView(page);
    h.drag(30, 30, 130, 60);  // grabbed by the background
    EXPECT_EQ(page->getViewSize(), CRect(120, 50, 220, 130));
    h.click(120 + 70, 50 + 60);
    EXPECT_EQ(button->downs, 1);
    EXPECT_EQ(page->getViewSize(), CRect(120, 50, 220, 130)) << "a click on a child does not move the page";
}

TEST(ViewDraw, HidingAContainerTakesTheKeyboardFromItsTextField) {
    HeadlessFrame h(300, 200);
    Recorder rec;
    auto* box = new CGViewContainer(CRect(0, 0, 300, 100));
    auto* edit = new CTextEdit(CRect(10, 10, 200, 30), &rec, 3, "abc");
    box->addView(edit);
    h.frame->addView(box);
    h.click(50, 20);
    ASSERT_EQ(h.frame->getFocusView(), edit);
    h.window->typeText("d");
    box->setHidden(true);
    EXPECT_EQ(h.frame->getFocusView(), nullptr);
    EXPECT_FALSE(h.window->hasKeyboardFocus());
    EXPECT_EQ(edit->getText(), "abcd");
    EXPECT_EQ(rec.count('v'), 1);
    // Keys now reach nobody.
    EXPECT_FALSE(h.window->key({platform::Key::kCharacter, U'x', 0}));
}

TEST(ViewDraw, ValueTextStaysInsideItsBox) {
    HeadlessFrame h(200, 60);
    auto* display = new CParamDisplay(CRect(40, 20, 120, 40));
    display->setBackColor(0x000000);
    display->setStyle(kNoFrame);
    display->setFontColor(0xFFFFFF);
    display->setValue(0.75f);
    h.frame->addView(display);
    h.frame->updateDirty();
    EXPECT_EQ(display->displayText(), "0.75");
    int inside = 0, outside = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) {
            if (h.pixel(x, y) == 0) continue;
            if (CRect(40, 20, 120, 40).pointInside(CPoint(x, y))) ++inside;
            else ++outside;
        }
    EXPECT_GT(inside, 20) << "the text is drawn";
    EXPECT_EQ(outside, 0);
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

Pixel stripes(int x, int y) { return makePixel((x * 11) & 255, (y * 3) & 255, 200); }

// Composes nothing but the captured background, then copies it out.
class BufferedProbe : public nControl {
public:
    BufferedProbe(const CRect& r) : nControl(r, nullptr, 1) {}
    void draw(CDrawContext* c) override {
        restoreBackground();
        blitWork(c);
        setDirty(false);
    }
    int bufferWidth() const { return width; }
    int bufferStride() const { return stride; }
};

TEST(ViewBuffers, BufferedControlRedrawsThePictureUnderItFromItsOwnBuffer) {
    HeadlessFrame h(200, 150);
    auto* panel = new CViewContainer(CRect(5, 5, 195, 145));
    CDIB* skin = new CDIB(190, 140);
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < 190; ++x) skin->row(y)[x] = stripes(x, y);
    panel->setBackground(skin);
    skin->release();
    h.frame->addView(panel);
    auto* probe = new BufferedProbe(CRect(40, 30, 90, 70));
    panel->addView(probe);
    EXPECT_EQ(probe->bufferWidth(), 50);
    EXPECT_EQ(probe->bufferStride(), 200);
    h.frame->updateDirty();
    for (int y = 30; y < 70; y += 7)
        for (int x = 40; x < 90; x += 9)
            ASSERT_EQ(h.pixel(5 + x, 5 + y), stripes(x, y) & 0xFFFFFFu) << x << "," << y;
    // Moving and resizing re-captures at the new place.
    probe->setViewSize(CRect(100, 80, 130, 100));
    EXPECT_EQ(probe->bufferWidth(), 30);
    EXPECT_EQ(probe->backgroundBuffer()->row(0)[0], stripes(100, 80));
}

TEST(ViewPages, PagesAnswerThroughTheControlInterface) {
    HeadlessFrame h(100, 100);
    auto* page = new nPage(CRect(10, 10, 60, 60), 42, 2);
    h.frame->addView(page);
    iControl* asControl = page;
    EXPECT_EQ(asControl->getTag(), 42);
    EXPECT_EQ(asControl->getRect(), CRect(10, 10, 60, 60));
    asControl->setValue(2.f);
    EXPECT_FALSE(page->isHidden());
    EXPECT_FLOAT_EQ(asControl->getValue(), 2.f);
    page->setViewSize(CRect(0, 0, 30, 30));
    EXPECT_EQ(asControl->getRect(), CRect(0, 0, 30, 30));
    asControl->setValue(0.f);
    EXPECT_TRUE(page->isHidden());
}

}  // namespace
}  // namespace hm::gui::test
