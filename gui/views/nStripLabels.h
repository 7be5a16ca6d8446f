#pragma once
// The labels column at the left of the band strips: "ON", "SUBTYPE",
// "GROUP", "GAIN", "FREQ", "Q" beside the rows they name, in FUTURAB 14,
// grey (75, 75, 75). It stays in place while the strips scroll under it and
// keeps the clicks that land on it.
#include "gui/framework/CView.h"
#include "gui/views/StripLayout.h"

namespace hm::gui {

class nStripLabels : public CView {
public:
    static constexpr Rgb kTextColour = 0x4B4B4B;
    static constexpr float kTextSize = 14.f;
    static constexpr int kRightInset = 4;

    nStripLabels(const CRect& size, const StripFlags& flags, Rgb background);

    int labelCount() const { return count_; }
    const StripLabel& label(int i) const { return labels_[i]; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nStripLabels() override = default;

private:
    StripLabel labels_[6];
    int count_ = 0;
    Rgb background_;
};

}  // namespace hm::gui
