#include "gui/editor/EditorPanel.h"

#include <algorithm>
#include <cstring>

#include "gui/controls/CParamDisplay.h"
#include "gui/draw/Fonts.h"
#include "gui/framework/CFrame.h"

namespace hm::gui {
namespace {

constexpr Rgb kBoxColour = 0x1E1E1E;
constexpr Rgb kFrameColour = 0x5A5A5A;
constexpr Rgb kTitleColour = 0xFFFFFF;
constexpr Rgb kTextColour = 0xA6A6A6;
constexpr float kTitleSize = 15.f;
constexpr float kTextSize = 12.f;

// The path field: Return accepts what is typed (changed or not), Escape cancels.
class PathField : public CTextEdit {
public:
    PathField(const CRect& r, EditorPanel* panel, const std::string& text)
        : CTextEdit(r, nullptr, -1, text.c_str()), panel_(panel) {
        setMaxLength(4096);
        setFontSize(kTextSize);
        setHoriAlign(TextAlign::kLeft);
        setBackColor(0x101010);
    }
    bool onKeyDown(const KeyCode& key) override {
        if (isEditing() && (key.virt == KeyCode::kReturn || key.virt == KeyCode::kEscape)) {
            const std::string typed = editBuffer();
            if (CFrame* f = getFrame()) f->setFocusView(nullptr);
            if (key.virt == KeyCode::kReturn) panel_->accept(typed);
            else panel_->cancel();
            return true;
        }
        return CTextEdit::onKeyDown(key);
    }

private:
    EditorPanel* panel_;
};

// Splits at "\n" and wraps each line to `width` pixels at word boundaries.
std::vector<std::string> wrapLines(const std::string& text, int width) {
    const TrueTypeFont& font = TrueTypeFont::futura();
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string rest = text.substr(start, end - start);
        while (!rest.empty()) {
            std::size_t cut = rest.size();
            while (cut > 0 && font.measure(rest.substr(0, cut), kTextSize) > width) {
                const std::size_t space = rest.rfind(' ', cut - 1);
                // A word longer than the line (a path) breaks anywhere.
                cut = (space == std::string::npos || space == 0) ? cut - 1 : space;
            }
            if (cut == 0) cut = 1;
            lines.push_back(rest.substr(0, cut));
            rest.erase(0, cut);
            if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
        }
        start = end + 1;
    }
    return lines;
}

}  // namespace

EditorPanel::EditorPanel(const CRect& window, Kind kind, std::string title, std::string text)
    : CViewContainer(CRect::fromSize(0, 0, window.width(), window.height())),
      kind_(kind),
      title_(std::move(title)),
      text_(std::move(text)) {
    const int w = std::min(440, window.width() - 20);
    const int h = kind_ == Kind::PathEntry ? 110 : 120;
    box_ = CRect::fromSize((window.width() - w) / 2, std::max(10, (window.height() - h) / 3), w, h);
    if (kind_ == Kind::PathEntry) {
        field_ = new PathField(CRect::fromSize(box_.left + 14, box_.top + 44, w - 28, 22), this, text_);
        addView(field_);
    }
}

void EditorPanel::focusField() {
    if (!field_) return;
    if (CFrame* f = getFrame()) f->setFocusView(field_);
}

void EditorPanel::accept(const std::string& text) {
    if (answer_ != Answer::Pending) return;
    text_ = text;
    answer_ = Answer::Accepted;
}

void EditorPanel::cancel() {
    if (answer_ != Answer::Pending) return;
    answer_ = Answer::Cancelled;
}

void EditorPanel::draw(CDrawContext* context) { drawRect(context, size); }

void EditorPanel::drawRect(CDrawContext* context, const CRect& updateRect) {
    CRect cover = size;
    cover.bound(updateRect);
    context->fillRect(cover, 0x000000, 153.f / 255.f);
    context->fillRect(box_, kBoxColour);
    context->frameRect(box_, kFrameColour);
    const TrueTypeFont& font = TrueTypeFont::futura();
    font.drawInRect(*context, CRect::fromSize(box_.left + 14, box_.top + 10, box_.width() - 28, 24), title_,
                    kTitleSize, kTitleColour);
    if (kind_ == Kind::Message) {
        int y = box_.top + 40;
        for (const std::string& line : wrapLines(text_, box_.width() - 28)) {
            if (y + 16 > box_.bottom - 22) break;
            font.drawInRect(*context, CRect::fromSize(box_.left + 14, y, box_.width() - 28, 16), line, kTextSize,
                            kTextColour);
            y += 16;
        }
        font.drawInRect(*context, CRect::fromSize(box_.left + 14, box_.bottom - 22, box_.width() - 28, 16),
                        "Click to close", kTextSize, 0x707070, TextAlign::kRight);
    } else {
        font.drawInRect(*context, CRect::fromSize(box_.left + 14, box_.bottom - 34, box_.width() - 28, 16),
                        "Return: OK    Escape: Cancel", kTextSize, 0x707070, TextAlign::kRight);
    }
    for (CView* child : children_) {
        if (child->getViewSize().rectOverlap(updateRect)) child->draw(context);
    }
    setDirty(false);
}

CMouseEventResult EditorPanel::onMouseDown(CPoint& where, const int& buttons) {
    if (kind_ == Kind::Message) {
        cancel();
        return kMouseEventHandled;
    }
    if (!box_.pointInside(where)) {
        cancel();
        return kMouseEventHandled;
    }
    CViewContainer::onMouseDown(where, buttons);
    return kMouseEventHandled;
}

bool EditorPanel::onKeyDown(const KeyCode& key) {
    if (kind_ == Kind::Message && (key.virt == KeyCode::kReturn || key.virt == KeyCode::kEscape)) {
        cancel();
        return true;
    }
    return false;
}

bool EditorPanel::isTypeOf(const char* className) const {
    return std::strcmp(className, "EditorPanel") == 0 || CViewContainer::isTypeOf(className);
}

}  // namespace hm::gui
