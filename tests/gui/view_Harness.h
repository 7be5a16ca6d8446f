#pragma once
// A frame in a headless window, a listener that records what controls report,
// and a view that records what reaches it: the pieces the view and control
// tests share.
#include <memory>
#include <string>
#include <vector>

#include "gui/framework/CControl.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "platform/HeadlessWindow.h"

namespace hm::gui::test {

struct Recorder : CControlListener {
    struct Event {
        char kind;  // 'b' begin, 'v' value, 'e' end
        int tag;
        float value;
    };
    std::vector<Event> events;
    void valueChanged(CControl* c) override { events.push_back({'v', c->getTag(), c->getValue()}); }
    void controlBeginEdit(CControl* c) override { events.push_back({'b', c->getTag(), c->getValue()}); }
    void controlEndEdit(CControl* c) override { events.push_back({'e', c->getTag(), c->getValue()}); }
    int count(char kind) const {
        int n = 0;
        for (const Event& e : events) n += e.kind == kind;
        return n;
    }
    // Every value change lies inside a begin/end pair and the pairs balance.
    bool changesInsideEdits() const {
        int depth = 0;
        for (const Event& e : events) {
            if (e.kind == 'b') ++depth;
            else if (e.kind == 'e' && --depth < 0) return false;
            else if (e.kind == 'v' && depth == 0) return false;
        }
        return depth == 0;
    }
    float lastValue() const {
        for (auto it = events.rbegin(); it != events.rend(); ++it)
            if (it->kind == 'v') return it->value;
        return -999.f;
    }
    void clear() { events.clear(); }
};

// Records draws, clicks and wheel; paints itself in one colour.
class ProbeView : public CView {
public:
    ProbeView(const CRect& r, Rgb colour, CMouseEventResult answer = kMouseEventHandled)
        : CView(r), colour_(colour), answer_(answer) {}
    void draw(CDrawContext* context) override {
        ++draws;
        context->fillRect(size, colour_);
        setDirty(false);
    }
    CMouseEventResult onMouseDown(CPoint& where, const int&) override {
        ++downs;
        lastDown = where;
        return answer_;
    }
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override {
        if (buttons & kLButton) ++drags;
        lastMove = where;
        return answer_ == kMouseEventHandled ? kMouseEventHandled : kMouseEventNotHandled;
    }
    CMouseEventResult onMouseUp(CPoint& where, const int&) override {
        ++ups;
        lastUp = where;
        return kMouseEventHandled;
    }
    bool onWheel(const CPoint&, const float& distance, const int&) override {
        ++wheels;
        wheelSum += distance;
        return true;
    }
    int draws = 0, downs = 0, drags = 0, ups = 0, wheels = 0;
    float wheelSum = 0.f;
    CPoint lastDown, lastMove, lastUp;

private:
    Rgb colour_;
    CMouseEventResult answer_;
};

struct HeadlessFrame {
    CFrame* frame = nullptr;
    platform::HeadlessWindow* window = nullptr;

    HeadlessFrame(int w, int h) {
        frame = new CFrame(CRect(0, 0, w, h));
        auto win = std::make_unique<platform::HeadlessWindow>();
        window = win.get();
        frame->open(std::move(win), nullptr);
    }
    ~HeadlessFrame() {
        frame->release();
        setProToolsModifiers(false);
    }
    HeadlessFrame(const HeadlessFrame&) = delete;
    HeadlessFrame& operator=(const HeadlessFrame&) = delete;

    // Pixel as presented to the window (popups drawn over), 0xRRGGBB.
    Rgb pixel(int x, int y) const {
        const auto all = window->composite();
        return all[static_cast<std::size_t>(y) * window->width() + x] & 0xFFFFFFu;
    }
    void click(int x, int y, int buttons = kLButton) {
        window->press(x, y, buttons);
        window->release(x, y, buttons & ~(kDoubleClick));
    }
    void drag(int x0, int y0, int x1, int y1, int buttons = kLButton) {
        window->press(x0, y0, buttons);
        window->move(x1, y1);
        window->release(x1, y1, buttons);
    }
};

}  // namespace hm::gui::test
