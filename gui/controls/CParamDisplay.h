#pragma once
// Text controls. CParamDisplay shows its value as text ("%.2f" unless a
// converter is set) in the TrueType face, or in a strip font when one is set;
// CTextLabel shows a fixed text; CTextEdit is a label the user can edit in
// place: a click gives it the keyboard, Return or a click elsewhere commits
// (the listener hears of the new text), Escape abandons the edit.
#include <functional>
#include <string>

#include "gui/controls/ControlStyles.h"
#include "gui/draw/Fonts.h"
#include "gui/framework/CControl.h"

namespace hm::gui {

class CParamDisplay : public CControl {
public:
    CParamDisplay(const CRect& size, CBitmap* background = nullptr, int style = 0);

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;

    // Turns a value into its text.
    using StringConvert = std::function<std::string(float value)>;
    void setStringConvert(StringConvert convert);

    void setFontSize(float pixels) { fontSize_ = pixels; setDirty(true); }
    float getFontSize() const { return fontSize_; }
    // Draw with a strip font (skin bitmap id 101 or 102) instead of the TrueType face.
    void setStripFont(int bitmapId);
    void setFontColor(Rgb c) { fontColour_ = c; setDirty(true); }
    Rgb getFontColor() const { return fontColour_; }
    void setBackColor(Rgb c) { backColour_ = c; setDirty(true); }
    void setFrameColor(Rgb c) { frameColour_ = c; setDirty(true); }
    void setHoriAlign(TextAlign a) { align_ = a; setDirty(true); }
    void setStyle(int style) { style_ = style; setDirty(true); }
    int getStyle() const { return style_; }
    void setTextInset(int pixels) { textInset_ = pixels; setDirty(true); }
    int getTextInset() const { return textInset_; }

    // The text shown for the current value.
    virtual std::string displayText() const;
    // What the field draws: the display text, except that a value too wide
    // for the field drops its unit ("-12.50 dB" reads "-12.50"), so the
    // number stays whole where a clipped one would read as another value.
    std::string shownText() const;

protected:
    ~CParamDisplay() override = default;
    void drawBack(CDrawContext* context) const;
    void drawText(CDrawContext* context, const std::string& text, const CRect& box) const;
    // Width of text in the current font.
    int measureText(const std::string& text) const;

    int style_;
    float fontSize_ = 12.f;
    Rgb fontColour_ = 0xFFFFFF;
    Rgb backColour_ = 0x000000;
    Rgb frameColour_ = 0x606060;
    TextAlign align_ = TextAlign::kCentre;
    int textInset_ = 3;
    StringConvert convert_;
    StripFont stripFont_;
};

class CTextLabel : public CParamDisplay {
public:
    CTextLabel(const CRect& size, const char* text = nullptr, CBitmap* background = nullptr, int style = 0);
    virtual void setText(const char* text);
    const std::string& getText() const { return text_; }
    std::string displayText() const override { return text_; }
    bool isTypeOf(const char* className) const override;

protected:
    ~CTextLabel() override = default;
    std::string text_;
};

class CTextEdit : public CParamDisplay {
public:
    CTextEdit(const CRect& size, CControlListener* listener, int tag, const char* text = nullptr,
              CBitmap* background = nullptr, int style = 0);

    virtual void setText(const char* text);
    const std::string& getText() const { return text_; }
    std::string displayText() const override { return text_; }
    // Longest text accepted (bytes); longer input is cut.
    void setMaxLength(std::size_t n) { maxLength_ = n; }

    bool isEditing() const { return editing_; }
    const std::string& editBuffer() const { return buffer_; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool onKeyDown(const KeyCode& key) override;
    void takeFocus() override;
    void looseFocus() override;
    bool wantsFocus() const override { return true; }
    bool isTypeOf(const char* className) const override;

protected:
    ~CTextEdit() override = default;
    // An edit ended with a text other than the one shown: by default it
    // becomes the text and the listener hears of it.
    virtual void commitEdit(const std::string& typed);

private:
    void finish(bool commit);
    std::string text_;
    std::string buffer_;
    std::size_t caret_ = 0;  // byte position in buffer_
    std::size_t maxLength_ = 255;
    bool editing_ = false;
    bool cancelling_ = false;
};

}  // namespace hm::gui
