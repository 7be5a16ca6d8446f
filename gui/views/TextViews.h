#pragma once
// Texts of the layout:
//   TextLabel      a fixed caption (`txt`) on the panel beneath it;
//   TextDisplay    the value of its tag as text, strip font 101, 0xC0C0C0;
//   nTextDisplay   static text (`text`) in FUTURAB 15, white, left-aligned;
//   nTextDisplayC  the same in FUTURAB 12, 0xA6A6A6, centred.
// In the two static texts each backslash starts a new line, lines 25 pixels
// apart. All are CTextLabels, so the editor can set their text by tag.
#include <string>
#include <vector>

#include "gui/controls/CParamDisplay.h"

namespace hm::gui {

class TextDisplay : public CParamDisplay {
public:
    TextDisplay(const CRect& size, CControlListener* listener, int tag);
    std::string displayText() const override;
    bool isTypeOf(const char* className) const override;

protected:
    ~TextDisplay() override = default;
};

class nTextDisplay : public CTextLabel {
public:
    static constexpr int kLineSpacing = 25;
    static constexpr float kTextSize = 15.f;
    static constexpr float kCentredTextSize = 12.f;
    static constexpr Rgb kCentredColour = 0xA6A6A6;

    // centred: the nTextDisplayC look.
    nTextDisplay(const CRect& size, int tag, const char* text, bool centred);
    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;

    // The lines of a text, split at each backslash.
    static std::vector<std::string> lines(const std::string& text);

protected:
    ~nTextDisplay() override = default;

private:
    bool centred_;
};

void registerTextViews();

}  // namespace hm::gui
