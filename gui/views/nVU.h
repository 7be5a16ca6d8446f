#pragma once
// nVU: a two-bar level meter with peak hold, the stereo master meter. The
// scale (labels and dark segments, and the same with the segments lit in a
// hue running from red at the top to cyan at the bottom) is rendered into two
// pictures when the size or mode changes; a paint copies the dark picture
// above each bar's level and the lit one below it, then the peak marker.
//
// Meter mode: bits 0–1 the scale (0 "FS", 1 "K-12", 2 "K-14", 3 "K-20"),
// bits 2–3 the peak mode (0 "5Sec": the marker drops to the level 5 s after
// its last rise; 1 "Clicked": it stays until the meter is clicked; 2 "Off":
// no marker, the peak is still tracked). A left click sets each peak to the
// current value. UI thread only.
#include <cstdint>
#include <string>

#include "gui/draw/Fonts.h"
#include "gui/framework/CControl.h"

namespace hm::gui {

class nVU : public CControl {
public:
    static constexpr std::int64_t kHoldMs = 5000;
    enum PeakMode { kPeak5Sec = 0, kPeakClicked = 1, kPeakOff = 2 };

    nVU(const CRect& size, CControlListener* listener, int tag, int fontId = 101);

    // Stores the values and raises each peak they exceed (restarting the hold).
    void setValues(int channels, float left, float right);
    // One channel's value (the other kept): 0 left, 1 right.
    void setChannelValue(int which, float value);
    void setMeterMode(int mode);
    int meterMode() const { return mode_; }
    int scaleIndex() const { return mode_ & 3; }
    int peakMode() const { return (mode_ >> 2) & 3; }
    int labelOffset() const { return labelOffset_; }
    // Sets the label offset independently (the editor hands it with the flags).
    void setLabelOffset(int db);
    // "-inf" or the peaks in dB with the scale's offset: one channel alone, two
    // as "%s  %s".
    std::string readoutText() const;

    float level(int which) const { return which ? right_ : left_; }
    float peak(int which) const { return which ? rightPeak_ : leftPeak_; }
    int channels() const { return channels_; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    bool attached(CView* parent) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nVU() override;
    // Renders both pictures when the rebuild flag is set.
    void rebuildScale(bool rightAligned, int barWidth, bool twoBars);
    // Drops peaks whose hold ran out.
    void expireHold();
    // Copies one bar's column range: dark above the level's row, lit below.
    void paintBar(CDrawContext* context, int x0, int x1, float value);
    void paintPeak(CDrawContext* context, int x0, int x1, float peak);
    // Raises the peak to a higher value (restarting the hold); whether it did.
    bool raise(float& peak, float value);
    // A held peak above the level whose hold has run out (the next paint drops it).
    bool holdRunsOut() const;

    int channels_ = 2;
    float left_ = 0.f, right_ = 0.f;
    float leftPeak_ = 0.f, rightPeak_ = 0.f;
    int mode_ = 0;
    int labelOffset_ = 0;
    std::int64_t holdExpiry_ = 0;
    bool rebuild_ = true;
    CDIB* unlit_ = nullptr;
    CDIB* lit_ = nullptr;
    StripFont font_;
};

void registerMeterViews();

}  // namespace hm::gui
