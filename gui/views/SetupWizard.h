#pragma once
// The setup wizard: six pages, each with an explanation, a question and three
// to five answers. An answer is chosen by its button or its text and kept per
// page; "Next" moves on only once the page is answered, "Prev" goes back,
// "Exit" reports 0 under the view's tag (kGUIWizardOpen, which hides the
// wizard) and "Finish" on the last page does the same and then reports
// kGUIWizardCompleted, on which the editor applies the answers. A value other
// than 0 arriving while the value is 0 (the wizard being shown) starts it again
// at the first page with the answers kept. A double click in the top-left corner shows a little
// picture; pressing anywhere while it shows pushes part of it down.
#include <string>
#include <vector>

#include "gui/editor/EditorViews.h"
#include "gui/framework/CControl.h"

namespace hm::gui {

class SetupWizard : public CControl, public iEditorWizard {
public:
    static constexpr int kPreviewWidth = 244;
    static constexpr int kPreviewHeight = 144;
    static constexpr int kPicturePush = 15;

    SetupWizard(const CRect& size, CControlListener* listener, int tag);

    int page() const { return page_; }
    // The stored answer of a page (−1 when none), and of the page shown.
    int answerOf(int page) const;
    int selectedAnswer() const { return answerOf(page_); }
    prefs::WizardAnswers answers() const override { return answers_; }

    // The current page's geometry (parent coordinates): answer pitch, the
    // answer buttons and text areas, and the three buttons at the bottom.
    int answerCount() const { return static_cast<int>(buttons_.size()); }
    float answerPitch() const { return pitch_; }
    CRect answerButton(int i) const;
    CRect answerText(int i) const;
    CRect exitArea() const;
    CRect prevArea() const;
    CRect nextArea() const;
    CRect previewRect() const;

    bool pictureShown() const { return pictureShown_; }
    bool picturePressed() const { return picturePressed_; }

    void setValue(float value) override;
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int& buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~SetupWizard() override = default;

private:
    void enterPage(int page);
    void next();
    void reportClosed();
    void drawAnswers(CDrawContext* context) const;
    void drawButtons(CDrawContext* context) const;
    void drawPicture(CDrawContext* context) const;

    prefs::WizardAnswers answers_;
    int page_ = 0;
    float pitch_ = 0.f;
    std::vector<CRect> buttons_;  // relative to the view's top-left
    std::vector<CRect> texts_;
    bool pictureShown_ = false;
    bool picturePressed_ = false;
};

void registerSetupWizard();

}  // namespace hm::gui
