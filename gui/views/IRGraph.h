#pragma once
// The impulse response on the FIR page of the setup window: the impulse the
// filter bank uses for one channel (white) with its window (magenta), on a
// linear or dB scale, over a zoom range set by the bar at the bottom. The
// top-left corner opens a menu of the channels, the top-right corner one of
// the scales ("Linear", "80dB" .. "200dB"). It starts on the first channel, in
// dB with 120 dB of range, showing the whole impulse; those choices stay while
// the editor lives. The view reads the bank again whenever a newer impulse has
// been built (checked in each idle pass).
#include <cstdint>
#include <vector>

#include "gui/draw/Fonts.h"
#include "gui/views/RangeBar.h"
#include "gui/views/nIdleControl.h"

namespace hm {
class Plug;
}

namespace hm::gui {

class COptionMenu;

class IRGraph : public nIdleControl, public CControlListener {
public:
    static constexpr int kCorner = 12;
    static constexpr int kGridLines = 9;

    IRGraph(const CRect& size, CControlListener* listener, int tag, int fontId, int font2Id);

    int channel() const { return channel_; }
    bool dbScale() const { return db_; }
    double dbRange() const { return range_; }
    const rangebar::ZoomRange& zoom() const { return zoom_; }
    // The curve area's height (the zoom bar excluded).
    int curveHeight() const { return size.height() - rangebar::kHeight; }
    // After a refresh: the impulse length and each column's impulse and window values.
    int impulseLength() const { return static_cast<int>(impulse_.size()); }
    const std::vector<float>& impulseColumns() const { return impulseColumns_; }
    const std::vector<float>& windowColumns() const { return windowColumns_; }
    // Reads the bank when it holds a newer impulse (or the channel changed). UI thread.
    void refresh();

    COptionMenu* channelMenu() const { return channelMenu_; }
    COptionMenu* displayMenu() const { return displayMenu_; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    void onIdle() override;
    bool attached(CView* parent) override;
    bool removed(CView* parent) override;
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    bool isTypeOf(const char* className) const override;

    void valueChanged(CControl* control) override;

protected:
    ~IRGraph() override;

private:
    void readBank(bool force);
    void reduceColumns();
    void drawGrid(CDIB& d) const;
    void drawCurves(CDIB& d) const;
    void openMenu(COptionMenu* menu, const CRect& box);
    double yOf(double v) const;

    Plug* plug_;
    StripFont font_, font2_;
    COptionMenu* channelMenu_;
    COptionMenu* displayMenu_;
    int channel_ = 0;
    bool db_ = true;
    double range_ = 120.0;
    rangebar::ZoomRange zoom_;
    std::vector<double> impulse_, window_;
    std::vector<float> impulseColumns_, windowColumns_;
    std::uint64_t serial_ = 0;
    int shownChannel_ = -1;
    bool hasImpulse_ = false;
    rangebar::Part dragPart_ = rangebar::Part::kNone;
    double grab_ = 0.0;
};

void registerIRGraph();

}  // namespace hm::gui
