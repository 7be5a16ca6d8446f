#include "gui/views/TextViews.h"

#include <cstring>

#include "gui/layout/ViewFactory.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

namespace {
constexpr Rgb kValueColour = 0xC0C0C0;
constexpr Rgb kCaptionColour = 0xC8CDD3;
constexpr float kCaptionSize = 13.f;
}  // namespace

TextDisplay::TextDisplay(const CRect& rect, CControlListener* l, int t) : CParamDisplay(rect, nullptr, kNoFrame) {
    listener = l;
    tag = t;
    setTransparency(true);
    setStripFont(101);
    setFontColor(kValueColour);
    setMouseEnabled(false);
}

std::string TextDisplay::displayText() const { return parameterDisplayText(listener, tag, value, false); }

bool TextDisplay::isTypeOf(const char* className) const {
    return std::strcmp(className, "TextDisplay") == 0 || CParamDisplay::isTypeOf(className);
}

nTextDisplay::nTextDisplay(const CRect& rect, int t, const char* text, bool centred)
    : CTextLabel(rect, text, nullptr, kNoFrame), centred_(centred) {
    tag = t;
    setTransparency(true);
    setFontSize(centred ? kCentredTextSize : kTextSize);
    setFontColor(centred ? kCentredColour : 0xFFFFFF);
    setHoriAlign(centred ? TextAlign::kCentre : TextAlign::kLeft);
}

std::vector<std::string> nTextDisplay::lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t cut = text.find('\\', start);
        out.push_back(text.substr(start, cut == std::string::npos ? std::string::npos : cut - start));
        if (cut == std::string::npos) return out;
        start = cut + 1;
    }
}

void nTextDisplay::draw(CDrawContext* context) {
    const std::vector<std::string> all = lines(text_);
    // One line is centred in the view; several start at the top, 25 pixels apart.
    const int lineHeight = all.size() == 1 ? size.height() : kLineSpacing;
    const TrueTypeFont& font = TrueTypeFont::futura();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const int top = size.top + static_cast<int>(i) * kLineSpacing;
        if (top >= size.bottom) break;
        font.drawInRect(*context, CRect(size.left, top, size.right, top + lineHeight), all[i], fontSize_,
                        fontColour_, align_);
    }
    setDirty(false);
}

bool nTextDisplay::isTypeOf(const char* className) const {
    return std::strcmp(className, "nTextDisplay") == 0 || CTextLabel::isTypeOf(className);
}

namespace {

CView* makeTextLabel(const ViewRequest& r) {
    auto* label = new CTextLabel(r.rect, r.string("txt").c_str(), nullptr, kNoFrame);
    label->setTag(r.tag);
    label->setTransparency(true);
    label->setFontSize(kCaptionSize);
    label->setFontColor(kCaptionColour);
    label->setHoriAlign(TextAlign::kLeft);
    label->setTextInset(0);
    return label;
}
CView* makeTextDisplay(const ViewRequest& r) { return new TextDisplay(r.rect, r.listener, r.tag); }
CView* makeNTextDisplay(const ViewRequest& r) {
    return new nTextDisplay(r.rect, r.tag, r.string("text").c_str(), false);
}
CView* makeNTextDisplayC(const ViewRequest& r) {
    return new nTextDisplay(r.rect, r.tag, r.string("text").c_str(), true);
}

}  // namespace

void registerTextViews() {
    registerViewClass("TextLabel", makeTextLabel);
    registerViewClass("TextDisplay", makeTextDisplay);
    registerViewClass("nTextDisplay", makeNTextDisplay);
    registerViewClass("nTextDisplayC", makeNTextDisplayC);
}

}  // namespace hm::gui
