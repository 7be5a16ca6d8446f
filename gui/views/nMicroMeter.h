#pragma once
// nMicroMeter: the one-bar meter of a channel strip and of the small master
// section (an nVU forced to one channel, its bar 5 pixels wide at the left
// and its labels right-aligned). Its value arrives through the control value
// (the editor distributes the level under its tag); a higher value raises the
// peak and restarts the hold.
#include "gui/views/nVU.h"

namespace hm::gui {

class nMicroMeter : public nVU {
public:
    static constexpr int kBarWidth = 5;

    nMicroMeter(const CRect& size, CControlListener* listener, int tag, int fontId = 101);

    void setValue(float value) override;
    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~nMicroMeter() override = default;
};

}  // namespace hm::gui
