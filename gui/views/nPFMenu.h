#pragma once
// The strip's subtype menu: the subtype names of the band's type (none for a
// notch: the menu then stays empty and opens nothing). Its value is the chosen item, the
// Subtype parameter's real value minus 1, as the editor gives it.
#include "gui/views/StripMenu.h"

namespace hm::gui {

class nPFMenu : public StripMenu {
public:
    // type: the band's Type 1..6 (its subtypes become the items).
    nPFMenu(const CRect& size, CControlListener* listener, int band, int type);
    bool isTypeOf(const char* className) const override;

protected:
    ~nPFMenu() override = default;
};

}  // namespace hm::gui
