#include "gui/views/SetupWizard.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/params/ParamIds.h"
#include "gui/draw/BitmapCache.h"
#include "gui/draw/Fonts.h"
#include "gui/draw/SkinIds.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/ParameterText.h"
#include "gui/views/WizardPages.h"

namespace hm::gui {

namespace {

constexpr int kAnswersTop = 78;
constexpr int kReservedHeight = 225;  // title, question, explanation and buttons
constexpr float kTitleSize = 13.f;
constexpr float kQuestionSize = 18.f;
constexpr float kAnswerSize = 14.f;
constexpr float kExplanationSize = 14.f;
constexpr int kExplanationPitch = 15;
constexpr Rgb kDimText = 0xA6A6A6;
constexpr Rgb kAnswerText = 0xB4B8BE;
constexpr Rgb kAccent = 0x3DB2E8;
constexpr Rgb kDisabled = 0x404040;  // (64, 64, 64)

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t cut = text.find('\n', start);
        lines.emplace_back(text.substr(start, cut == std::string_view::npos ? std::string_view::npos : cut - start));
        if (cut == std::string_view::npos) return lines;
        start = cut + 1;
    }
}

// The largest size up to `size` at which every line fits `width`.
float sizeToFit(const std::vector<std::string>& lines, int width, float size) {
    const TrueTypeFont& font = TrueTypeFont::futura();
    for (const std::string& line : lines)
        while (size > 8.f && font.measure(line, size) > width) size -= 0.5f;
    return size;
}

// An answer in one line, or broken into two at the space nearest the middle
// when one line would not fit.
std::vector<std::string> answerLines(std::string_view text, int width) {
    const TrueTypeFont& font = TrueTypeFont::futura();
    if (font.measure(text, kAnswerSize) <= width) return {std::string(text)};
    std::size_t best = std::string_view::npos;
    for (std::size_t i = text.find(' '); i != std::string_view::npos; i = text.find(' ', i + 1)) {
        const auto distance = [&](std::size_t k) { return k > text.size() / 2 ? k - text.size() / 2 : text.size() / 2 - k; };
        if (best == std::string_view::npos || distance(i) < distance(best)) best = i;
    }
    if (best == std::string_view::npos) return {std::string(text)};
    return {std::string(text.substr(0, best)), std::string(text.substr(best + 1))};
}

void button(CDIB& context, const CRect& r, std::string_view label, Rgb text, bool strong) {
    context.fillRoundRect(r, 4.f, strong ? 0x2B6F93 : 0x30353D);
    context.frameRoundRect(r, 4.f, strong ? kAccent : 0x454B55);
    TrueTypeFont::futura().drawInRect(context, r, label, 13.f, text, TextAlign::kCentre);
}

}  // namespace

SetupWizard::SetupWizard(const CRect& rect, CControlListener* l, int t) : CControl(rect, l, t) { enterPage(0); }

int SetupWizard::answerOf(int p) const {
    return p >= 0 && p < prefs::kWizardPageCount ? answers_.answer[static_cast<std::size_t>(p)] : -1;
}

void SetupWizard::enterPage(int p) {
    page_ = std::clamp(p, 0, prefs::kWizardPageCount - 1);
    const WizardPage* content = wizardPage(page_);
    const int count = static_cast<int>(content->answers.size());
    pitch_ = static_cast<float>(size.height() - kReservedHeight) / static_cast<float>(2 * count + 1);
    const int x = page_ == 1 || page_ == 2 ? 20 : 120;
    buttons_.clear();
    texts_.clear();
    for (int i = 0; i < count; ++i) {
        const int top = kAnswersTop + static_cast<int>(std::lround(static_cast<float>(2 * i + 1) * pitch_));
        const int bottom = kAnswersTop + static_cast<int>(std::lround(static_cast<float>(2 * i + 2) * pitch_));
        const int side = static_cast<int>(std::lround(pitch_));
        buttons_.emplace_back(x, top, x + side, bottom);
        texts_.emplace_back(x + 2 * side, top, size.width(), bottom);
    }
    setDirty(true);
}

CRect SetupWizard::answerButton(int i) const {
    if (i < 0 || i >= answerCount()) return {};
    return CRect(buttons_[static_cast<std::size_t>(i)]).offset(size.left, size.top);
}

CRect SetupWizard::answerText(int i) const {
    if (i < 0 || i >= answerCount()) return {};
    return CRect(texts_[static_cast<std::size_t>(i)]).offset(size.left, size.top);
}

CRect SetupWizard::exitArea() const { return CRect(size.left + 20, size.bottom - 40, size.left + 100, size.bottom - 20); }

CRect SetupWizard::prevArea() const {
    return CRect(size.right - 200, size.bottom - 40, size.right - 120, size.bottom - 20);
}

CRect SetupWizard::nextArea() const {
    return CRect(size.right - 100, size.bottom - 40, size.right - 20, size.bottom - 20);
}

CRect SetupWizard::previewRect() const {
    const int top = size.top + (size.height() - 369) / 2 + 78;
    return CRect(size.right - 264, top, size.right - 20, top + kPreviewHeight);
}

void SetupWizard::setValue(float v) {
    // Shown anew: back to the first page. The editor repeats the value on
    // every relayout; that must not throw the user back.
    const bool shown = v != 0.f && value == 0.f;
    CControl::setValue(v);
    if (shown) enterPage(0);
}

void SetupWizard::setViewSize(const CRect& rect, bool invalidate) {
    CControl::setViewSize(rect, invalidate);
    enterPage(page_);
}

void SetupWizard::draw(CDrawContext* context) {
    if (CDIB* back = getSkinBitmap(skin::kWizardBack)) back->draw(*context, size);
    else context->fillRect(size, 0x17191C);
    const TrueTypeFont& font = TrueTypeFont::futura();
    const WizardPage* content = wizardPage(page_);
    font.drawInRect(*context, CRect(size.left + 20, size.top, size.right - 20, size.top + 34), "SETUP WIZARD",
                    kTitleSize, kDimText);
    font.drawInRect(*context, CRect(size.left + 20, size.top + 42, size.right - 20, size.top + kAnswersTop),
                    content->question, sizeToFit({std::string(content->question)}, size.width() - 40, kQuestionSize),
                    0xFFFFFF);
    drawAnswers(context);
    if (page_ == 0 && selectedAnswer() >= 0) {
        if (CDIB* strip = getSkinBitmap(skin::kWizardPreview))
            strip->draw(*context, previewRect(), CPoint(0, selectedAnswer() * kPreviewHeight));
    }
    // The explanation under the answers, one size for all its lines.
    const std::vector<std::string> lines = splitLines(content->explanation);
    const float textSize = sizeToFit(lines, size.width() - 40, kExplanationSize);
    int y = size.top + kAnswersTop + static_cast<int>(std::lround(static_cast<float>(2 * answerCount() + 1) * pitch_)) + 4;
    for (const std::string& line : lines) {
        font.drawInRect(*context, CRect(size.left + 20, y, size.right - 20, y + kExplanationPitch), line, textSize,
                        kDimText);
        y += kExplanationPitch;
    }
    drawButtons(context);
    if (pictureShown_) drawPicture(context);
    setDirty(false);
}

void SetupWizard::drawAnswers(CDrawContext* context) const {
    const TrueTypeFont& font = TrueTypeFont::futura();
    const WizardPage* content = wizardPage(page_);
    CDIB* radio = getSkinBitmap(skin::kWizardRadio);
    for (int i = 0; i < answerCount(); ++i) {
        const bool chosen = i == selectedAnswer();
        const CRect b = answerButton(i);
        if (radio) {
            const int side = radio->getWidth();
            const int x = (b.left + b.right - side) / 2, y = (b.top + b.bottom - side) / 2;
            radio->draw(*context, CRect::fromSize(x, y, side, side), CPoint(0, chosen ? side : 0));
        }
        CRect t = answerText(i);
        t.right -= 20;
        const std::vector<std::string> lines = answerLines(content->answers[static_cast<std::size_t>(i)], t.width());
        const float textSize = sizeToFit(lines, t.width(), kAnswerSize);
        const int lineHeight = 16;
        int top = (t.top + t.bottom) / 2 - lineHeight * static_cast<int>(lines.size()) / 2;
        for (const std::string& line : lines) {
            font.drawInRect(*context, CRect(t.left, top, t.right, top + lineHeight), line, textSize,
                            chosen ? 0xFFFFFF : kAnswerText);
            top += lineHeight;
        }
    }
}

void SetupWizard::drawButtons(CDrawContext* context) const {
    button(*context, exitArea(), "Exit", 0xFFFFFF, false);
    button(*context, prevArea(), "Prev", page_ == 0 ? kDisabled : 0xFFFFFF, false);
    const bool last = page_ == prefs::kWizardPageCount - 1;
    const bool ready = selectedAnswer() >= 0;
    button(*context, nextArea(), last ? "Finish" : "Next", ready ? 0xFFFFFF : kDisabled, ready);
    char text[32];
    std::snprintf(text, sizeof text, "Page %d of %d", page_ + 1, prefs::kWizardPageCount);
    TrueTypeFont::futura().drawInRect(*context, CRect(exitArea().right, size.bottom - 40, prevArea().left, size.bottom - 20),
                                      text, 13.f, kDimText, TextAlign::kCentre);
}

void SetupWizard::drawPicture(CDrawContext* context) const {
    CDIB* picture = getSkinBitmap(skin::kWizardPicture);
    if (!picture) return;
    const int w = picture->getWidth(), h = picture->getHeight(), half = h / 2;
    const int x = size.left + (size.width() - w) / 2, y = size.top + (size.height() - h) / 2;
    // The lower half stays; the upper half is pushed down onto it while pressed.
    picture->draw(*context, CRect::fromSize(x, y + half, w, h - half), CPoint(0, half));
    const int push = picturePressed_ ? kPicturePush : 0;
    picture->draw(*context, CRect::fromSize(x, y + push, w, half), CPoint(0, 0));
}

void SetupWizard::reportClosed() {
    value = 0.f;
    valueChangedNotify();
}

void SetupWizard::next() {
    if (selectedAnswer() < 0) return;
    if (page_ < prefs::kWizardPageCount - 1) {
        enterPage(page_ + 1);
        return;
    }
    reportClosed();
    reportUnderTag(this, kGUIWizardCompleted, 1.f);
}

CMouseEventResult SetupWizard::onMouseDown(CPoint& where, const int& buttons) {
    if (!(buttons & kLButton) || (buttons & kApple) || !size.pointInside(where)) return kMouseEventNotHandled;
    if ((buttons & kDoubleClick) && CRect::fromSize(size.left, size.top, 100, 25).pointInside(where)) {
        pictureShown_ = !pictureShown_;
        picturePressed_ = false;
        setDirty(true);
        return kMouseEventHandled;
    }
    if (pictureShown_) {
        picturePressed_ = true;
        setDirty(true);
        return kMouseEventHandled;
    }
    if (exitArea().pointInside(where)) {
        reportClosed();
    } else if (prevArea().pointInside(where)) {
        if (page_ > 0) enterPage(page_ - 1);
    } else if (nextArea().pointInside(where)) {
        next();
    } else {
        for (int i = 0; i < answerCount(); ++i) {
            if (!answerButton(i).pointInside(where) && !answerText(i).pointInside(where)) continue;
            answers_.answer[static_cast<std::size_t>(page_)] = i;
            setDirty(true);
            break;
        }
    }
    return kMouseEventHandled;
}

CMouseEventResult SetupWizard::onMouseUp(CPoint&, const int&) {
    if (picturePressed_) {
        picturePressed_ = false;
        setDirty(true);
    }
    return kMouseEventHandled;
}

bool SetupWizard::isTypeOf(const char* className) const {
    return std::strcmp(className, "SetupWizard") == 0 || CControl::isTypeOf(className);
}

namespace {
CView* makeSetupWizard(const ViewRequest& r) { return new SetupWizard(r.rect, r.listener, r.tag); }
}  // namespace

void registerSetupWizard() { registerViewClass("SetupWizard", makeSetupWizard); }

}  // namespace hm::gui
