#pragma once
// A panel over the whole editor that takes all input until it is answered:
// either a message (any click or key dismisses it) or a path entry, the
// editor's own file dialog when the desktop offers no chooser program (Return
// accepts the typed path, Escape or a click outside the box cancels). The
// answer is kept for the editor's next idle pass, which removes the panel:
// a view cannot remove itself from inside its own event handler.
#include <string>

#include "gui/framework/CViewContainer.h"

namespace hm::gui {

class CTextEdit;

class EditorPanel : public CViewContainer {
public:
    enum class Kind { Message, PathEntry };
    enum class Answer { Pending, Accepted, Cancelled };

    // `window`: the frame's size; title and text (the message, or the proposed path).
    EditorPanel(const CRect& window, Kind kind, std::string title, std::string text);

    Kind kind() const { return kind_; }
    Answer answer() const { return answer_; }
    // The accepted path (path entry) — what the field held when Return was pressed.
    const std::string& text() const { return text_; }
    const std::string& title() const { return title_; }
    // Gives the path field the keyboard (after the panel joined the frame).
    void focusField();

    void accept(const std::string& text);
    void cancel();

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    CMouseEventResult onMouseDown(CPoint& where, const int& buttons) override;
    bool onKeyDown(const KeyCode& key) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~EditorPanel() override = default;

private:
    CRect box_;  // the panel's box in its own (= frame) coordinates
    Kind kind_;
    std::string title_;
    std::string text_;
    Answer answer_ = Answer::Pending;
    CTextEdit* field_ = nullptr;  // owned by the container
};

}  // namespace hm::gui
