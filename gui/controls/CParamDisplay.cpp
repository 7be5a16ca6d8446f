#include "gui/controls/CParamDisplay.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"

namespace hm::gui {

namespace {

// Bytes of the UTF-8 sequence that starts with c.
std::size_t utf8Length(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c >> 5) == 6) return 2;
    if ((c >> 4) == 14) return 3;
    return 4;
}

void appendUtf8(std::string& s, std::size_t at, char32_t cp) {
    char out[4];
    std::size_t n = 0;
    if (cp < 0x80) {
        out[n++] = static_cast<char>(cp);
    } else if (cp < 0x800) {
        out[n++] = static_cast<char>(0xC0 | (cp >> 6));
        out[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out[n++] = static_cast<char>(0xE0 | (cp >> 12));
        out[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out[n++] = static_cast<char>(0xF0 | (cp >> 18));
        out[n++] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    }
    s.insert(at, out, n);
}

std::size_t previousCharStart(const std::string& s, std::size_t pos) {
    if (pos == 0) return 0;
    --pos;
    while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
    return pos;
}

}  // namespace

CParamDisplay::CParamDisplay(const CRect& rect, CBitmap* background, int style)
    : CControl(rect, nullptr, -1, background), style_(style) {}

void CParamDisplay::setStringConvert(StringConvert convert) {
    convert_ = std::move(convert);
    setDirty(true);
}

void CParamDisplay::setStripFont(int bitmapId) {
    stripFont_ = StripFont(bitmapId);
    setDirty(true);
}

std::string CParamDisplay::displayText() const {
    if (convert_) return convert_(value);
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

void CParamDisplay::drawBack(CDrawContext* context) const {
    if (background_) {
        background_->draw(*context, size);
    } else if (!transparent_) {
        context->fillRect(size, backColour_);
    }
    if (!(style_ & kNoFrame) && !background_) {
        if (style_ & (k3DIn | k3DOut)) {
            const Rgb light = 0x8A8A8A, dark = 0x1A1A1A;
            const Rgb topLeft = (style_ & k3DIn) ? dark : light;
            const Rgb bottomRight = (style_ & k3DIn) ? light : dark;
            context->drawHLine(size.left, size.right - 1, size.top, topLeft);
            context->drawVLine(size.left, size.top, size.bottom - 1, topLeft);
            context->drawHLine(size.left, size.right - 1, size.bottom - 1, bottomRight);
            context->drawVLine(size.right - 1, size.top, size.bottom - 1, bottomRight);
        } else {
            context->frameRect(size, frameColour_);
        }
    }
}

int CParamDisplay::measureText(const std::string& text) const {
    if (stripFont_.valid()) return stripFont_.measure(text);
    return TrueTypeFont::futura().measure(text, fontSize_);
}

std::string CParamDisplay::shownText() const {
    std::string text = displayText();
    const int room = size.width() - 2 * textInset_;
    if (measureText(text) <= room) return text;
    // Only a number followed by its unit gives the unit up; names stay whole.
    const std::size_t space = text.rfind(' ');
    const bool numeric = !text.empty() && (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' ||
                                          text[0] == '+' || text[0] == '.');
    if (!numeric || space == std::string::npos || space == 0) return text;
    for (std::size_t i = space + 1; i < text.size(); ++i)
        if (!std::isalpha(static_cast<unsigned char>(text[i])) && text[i] != '%') return text;
    text.resize(space);
    return text;
}

void CParamDisplay::drawText(CDrawContext* context, const std::string& text, const CRect& box) const {
    if (text.empty()) return;
    CRect r = box;
    r.inset(textInset_, 0);
    if (stripFont_.valid()) {
        if (style_ & kShadowText) {
            CRect s = r;
            s.offset(1, 1);
            stripFont_.drawInRect(*context, s, text, 0x000000, align_);
        }
        stripFont_.drawInRect(*context, r, text, fontColour_, align_);
        return;
    }
    const TrueTypeFont& font = TrueTypeFont::futura();
    if (style_ & kShadowText) {
        CRect s = r;
        s.offset(1, 1);
        font.drawInRect(*context, s, text, fontSize_, 0x000000, align_);
    }
    font.drawInRect(*context, r, text, fontSize_, fontColour_, align_);
}

void CParamDisplay::draw(CDrawContext* context) {
    if (!(style_ & kNoDrawStyle)) {
        drawBack(context);
        if (!(style_ & kNoTextStyle)) drawText(context, shownText(), size);
    }
    setDirty(false);
}

bool CParamDisplay::isTypeOf(const char* className) const {
    return std::strcmp(className, "CParamDisplay") == 0 || CControl::isTypeOf(className);
}

CTextLabel::CTextLabel(const CRect& rect, const char* text, CBitmap* background, int style)
    : CParamDisplay(rect, background, style), text_(text ? text : "") {
    setMouseEnabled(false);
}

void CTextLabel::setText(const char* text) {
    text_ = text ? text : "";
    setDirty(true);
}

bool CTextLabel::isTypeOf(const char* className) const {
    return std::strcmp(className, "CTextLabel") == 0 || CParamDisplay::isTypeOf(className);
}

CTextEdit::CTextEdit(const CRect& rect, CControlListener* l, int t, const char* text, CBitmap* background,
                     int style)
    : CParamDisplay(rect, background, style), text_(text ? text : "") {
    listener = l;
    tag = t;
    align_ = TextAlign::kLeft;
}

void CTextEdit::setText(const char* text) {
    text_ = text ? text : "";
    if (text_.size() > maxLength_) text_.resize(maxLength_);
    setDirty(true);
}

void CTextEdit::draw(CDrawContext* context) {
    if (!editing_) {
        CParamDisplay::draw(context);
        return;
    }
    // Editing: light field, dark text, caret after the typed text.
    context->fillRect(size, 0xE8E8E8);
    context->frameRect(size, 0x4A90D9);
    const TextAlign saved = align_;
    const Rgb savedColour = fontColour_;
    align_ = TextAlign::kLeft;
    fontColour_ = 0x101010;
    drawText(context, buffer_, size);
    const int caretX = size.left + textInset_ + measureText(buffer_.substr(0, caret_));
    context->drawVLine(std::min(caretX, size.right - 2), size.top + 2, size.bottom - 3, 0x101010);
    align_ = saved;
    fontColour_ = savedColour;
    setDirty(false);
}

CMouseEventResult CTextEdit::onMouseDown(CPoint&, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple)) return kMouseEventNotHandled;
    if (!editing_) {
        if (CFrame* f = getFrame()) f->setFocusView(this);
        else takeFocus();
    }
    return kMouseEventHandled;
}

CMouseEventResult CTextEdit::onMouseUp(CPoint&, const int&) { return kMouseEventHandled; }

void CTextEdit::takeFocus() {
    editing_ = true;
    buffer_ = text_;
    caret_ = buffer_.size();
    setDirty(true);
}

void CTextEdit::looseFocus() {
    // Leaving the field keeps what was typed, unless Escape abandoned it.
    finish(!cancelling_);
}

void CTextEdit::finish(bool commit) {
    if (!editing_) return;
    editing_ = false;
    setDirty(true);
    if (commit && buffer_ != text_) commitEdit(buffer_);
}

void CTextEdit::commitEdit(const std::string& typed) {
    text_ = typed;
    beginEdit();
    valueChangedNotify();
    endEdit();
}

bool CTextEdit::onKeyDown(const KeyCode& key) {
    if (!editing_) return false;
    CFrame* frame = getFrame();
    switch (key.virt) {
        case KeyCode::kReturn:
        case KeyCode::kEscape:
            cancelling_ = key.virt == KeyCode::kEscape;
            if (frame && frame->getFocusView() == this) frame->setFocusView(nullptr);
            else finish(!cancelling_);
            cancelling_ = false;
            return true;
        case KeyCode::kBack:
            if (caret_ > 0) {
                const std::size_t from = previousCharStart(buffer_, caret_);
                buffer_.erase(from, caret_ - from);
                caret_ = from;
            }
            break;
        case KeyCode::kDelete:
            if (caret_ < buffer_.size())
                buffer_.erase(caret_, utf8Length(static_cast<unsigned char>(buffer_[caret_])));
            break;
        case KeyCode::kLeft: caret_ = previousCharStart(buffer_, caret_); break;
        case KeyCode::kRight:
            if (caret_ < buffer_.size())
                caret_ = std::min(buffer_.size(), caret_ + utf8Length(static_cast<unsigned char>(buffer_[caret_])));
            break;
        case KeyCode::kHome: caret_ = 0; break;
        case KeyCode::kEnd: caret_ = buffer_.size(); break;
        case KeyCode::kNone:
            if (key.character >= 0x20 && key.character != 0x7F && key.character <= 0x10FFFF) {
                std::string probe;
                appendUtf8(probe, 0, key.character);
                if (buffer_.size() + probe.size() > maxLength_) return true;  // full: swallow
                buffer_.insert(caret_, probe);
                caret_ += probe.size();
            } else {
                return false;
            }
            break;
        default: return false;
    }
    setDirty(true);
    return true;
}

bool CTextEdit::isTypeOf(const char* className) const {
    return std::strcmp(className, "CTextEdit") == 0 || CParamDisplay::isTypeOf(className);
}

}  // namespace hm::gui
