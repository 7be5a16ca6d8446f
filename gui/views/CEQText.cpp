#include "gui/views/CEQText.h"

#include <cstring>

#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/BandControlSupport.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

namespace {
constexpr Rgb kTextColour = 0xDDE1E6;
constexpr Rgb kTintColour = 0x3DB2E8;
constexpr Rgb kRefusedColour = 0xFF5A4E;
constexpr std::uint32_t kHoverOutline = 0x803DB2E8u;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

CEQText::CEQText(const CRect& rect, CControlListener* l, int t, int band, int fontId, CBitmap* background)
    : CTextEdit(rect, l, t, nullptr, background, kNoFrame), nTintable(this), band_(band) {
    setStripFont(fontId);
    setTransparency(background == nullptr);
    setHoriAlign(TextAlign::kCentre);
    setFontColor(kTextColour);
    setDefaultValue(parameterDefaultValue(t));
    initOutline(1, kHoverOutline);
}

void CEQText::setAlternateDisplay(bool on) {
    if (on == alternate_) return;
    alternate_ = on;
    setDirty(true);
}

std::string CEQText::displayText() const {
    if (!refusal_.empty()) return refusal_;
    return parameterDisplayText(listener, tag, value, alternate_);
}

void CEQText::setValue(float v) {
    if (v != value && !refusal_.empty()) {
        refusal_.clear();
        setDirty(true);
    }
    CTextEdit::setValue(v);
}

std::string CEQText::editText() const {
    std::string text = displayText();
    if (stripPrefix_) {
        std::size_t n = 0;
        while (n < text.size() && (isDigit(text[n]) || text[n] == ' ' || text[n] == '-')) ++n;
        text.erase(0, n);
    }
    if (numbersOnly_) {
        std::size_t n = 0;
        while (n < text.size() && (isDigit(text[n]) || text[n] == '.' || text[n] == '-')) ++n;
        text.resize(n);
    }
    return text;
}

void CEQText::draw(CDrawContext* context) {
    const Rgb colour = fontColour_;
    if (getTint()) fontColour_ = kTintColour;
    if (!refusal_.empty()) fontColour_ = kRefusedColour;
    CTextEdit::draw(context);
    fontColour_ = colour;
    if (hovered_ && !CTextEdit::isEditing()) CHighlightControl::draw(*context, size);
    setDirty(false);
}

CMouseEventResult CEQText::onMouseDown(CPoint& where, const int& buttons) {
    if (!getMouseEnabled() || (buttons & kApple)) return kMouseEventNotHandled;
    if (CTextEdit::isEditing()) return CTextEdit::onMouseDown(where, buttons);
    if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    if (!refusal_.empty()) {
        refusal_.clear();
        setDirty(true);
    }
    reportBandPress(this, band_);
    if ((buttons & kLButton) && (buttons & kShift) && (buttons & kControl)) {
        setAlternateDisplay(!alternate_);
        return kMouseEventHandled;
    }
    if (resetOrActionClick(buttons)) {
        resetToDefault(this);
        return kMouseEventHandled;
    }
    if (buttons & kDoubleClick) {
        if (CFrame* frame = getFrame()) frame->setFocusView(this);
        else takeFocus();
        return kMouseEventHandled;
    }
    beginEdit();
    dragging_ = true;
    drag_.anchor(where, value, isFine(remapRightDrag(buttons)));
    setCursorFrame(getFrame());
    showHide(false, true);
    return kMouseEventHandled;
}

CMouseEventResult CEQText::onMouseMoved(CPoint& where, const int& buttons) {
    if (!dragging_) return CTextEdit::onMouseMoved(where, buttons);
    if (!(buttons & (kLButton | kRButton))) return kMouseEventHandled;
    changeValue(drag_.follow(where, value, isFine(remapRightDrag(buttons)), kDragTravel, kFineZoom, vmax - vmin));
    return kMouseEventHandled;
}

CMouseEventResult CEQText::onMouseUp(CPoint& where, const int& buttons) {
    if (!dragging_) return CTextEdit::onMouseUp(where, buttons);
    dragging_ = false;
    showHide(true, true);
    endEdit();
    return kMouseEventHandled;
}

void CEQText::onMouseEntered(CPoint&, const int&) {
    hovered_ = true;
    setDirty(true);
}

void CEQText::onMouseExited(CPoint&, const int&) {
    hovered_ = false;
    setDirty(true);
}

bool CEQText::onWheel(const CPoint&, const float& distance, const int& buttons) {
    if (!getMouseEnabled() || CTextEdit::isEditing()) return false;
    return bandWheelStep(this, distance, buttons);
}

void CEQText::takeFocus() {
    refusal_.clear();
    setText(editText().c_str());
    CTextEdit::takeFocus();
}

void CEQText::commitEdit(const std::string& typed) {
    iParameterText* source = parameterTextSource(listener);
    if (!source) return;  // nobody can read the text: the old value shows again
    const bool accepted = source->setParameterFromText(tag, typed, alternate_);
    CControl::setValue(source->parameterValue(tag));
    setDirty(true);
    if (!accepted) {
        // The value stays; the field says what was wrong with the text.
        refusal_ = source->textRefusal();
        if (refusal_.empty()) refusal_ = "not a value";
        return;
    }
    if (notify_) {
        beginEdit();
        valueChangedNotify();
        endEdit();
    }
}

bool CEQText::isTypeOf(const char* className) const {
    return std::strcmp(className, "CEQText") == 0 || CTextEdit::isTypeOf(className);
}

CEQTextG::CEQTextG(const CRect& rect, CControlListener* l, int t) : CEQText(rect, l, t, -1) { setFontColor(kColour); }

bool CEQTextG::isTypeOf(const char* className) const {
    return std::strcmp(className, "CEQTextG") == 0 || CEQText::isTypeOf(className);
}

namespace {
CView* makeText(const ViewRequest& r) { return new CEQText(r.rect, r.listener, r.tag, bandAttribute(r)); }
CView* makeTextG(const ViewRequest& r) { return new CEQTextG(r.rect, r.listener, r.tag); }
}  // namespace

void registerEQText() {
    registerViewClass("CEQText", makeText);
    registerViewClass("CEQTextG", makeTextG);
}

}  // namespace hm::gui
