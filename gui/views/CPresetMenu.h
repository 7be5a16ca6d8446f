#pragma once
// The preset menu of the preset box. The editor fills its entries (programs,
// a separator, the preset folder tree) and tells it the text to show (the
// current program or preset); the menu itself never shows an entry's title.
// The text is drawn in the strip font given by `font` (FUTURAB without one).
#include <string>

#include "gui/controls/COptionMenu.h"

namespace hm::gui {

class CPresetMenu : public COptionMenu {
public:
    CPresetMenu(const CRect& size, CControlListener* listener, int tag, CBitmap* background, int fontId);

    void setText(const std::string& text);
    const std::string& getText() const { return text_; }
    std::string displayText() const override { return text_; }
    bool isTypeOf(const char* className) const override;

protected:
    ~CPresetMenu() override = default;

private:
    std::string text_;
};

void registerPresetMenu();

}  // namespace hm::gui
