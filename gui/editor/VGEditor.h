#pragma once
// The generic editor: builds the window's view tree from a layout text, keeps
// the list of every control with its tag (pages wrapped so they answer like
// controls) and reaches controls by tag. The equaliser's editor (PlugEd) adds
// the meaning of the tags.
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "gui/editor/AEffGUIEditor.h"
#include "gui/framework/CControl.h"

namespace hm::gui {

class CViewContainer;
class iControlWrapper;

class VGEditor : public AEffGUIEditor, public CControlListener, public iVSTFrameCallbackInterface {
public:
    explicit VGEditor(vst::AudioEffect* effect);
    ~VGEditor() override;

    // --- building (UI thread, with the frame open) ---
    // Parses the text and builds its views into the frame; false when the text
    // holds no root element. Collects the controls afterwards.
    bool buildFromText(std::string_view text);
    // Collects every control in tree order and gives each its stored value.
    void afterBuild();
    // Adds the controls under a container (pages as wrappers; into hidden containers too).
    void collectControls(CViewContainer* container);
    // Forgets every control (wrappers are released).
    void clearLists();

    // --- lookup ---
    int controlCount() const { return static_cast<int>(controls_.size()); }
    CControl* controlAt(int index) const;
    int tagAt(int index) const;
    // The next index at or after `from` whose control has this tag; −1 when none.
    int nextIndexOfTag(int tag, int from) const;
    float valueOfControl(int index) const;
    // The first control with the tag (null when none).
    CControl* findControl(int tag) const;
    // Calls f(control) for every control with the tag.
    template <class F>
    void forEachControl(int tag, F&& f) const {
        for (int i = nextIndexOfTag(tag, 0); i >= 0; i = nextIndexOfTag(tag, i + 1)) f(controls_[i]);
    }

    // Sets the value of every control (and page) with the tag and marks it dirty.
    void setTagValue(int tag, float value);
    // Gives every control the value its tag has now.
    virtual void refreshAll();

    // iVSTFrameCallbackInterface: the tag of the control under a frame point.
    int getTagUnderPoint(const CPoint& where) override;
    // Offers every mouse-down to the click handler first (with the buttons and
    // the tag under the pointer); when it answers true the click goes no further.
    bool onFrameMouseDown(const CPoint& where, int buttons, int tag) override;
    using ClickHandler = std::function<bool(int buttons, int tag)>;
    // The editor starts without one; an empty handler removes it.
    void setClickHandler(ClickHandler handler) { clickHandler_ = std::move(handler); }

    // Views found anywhere in the tree by type (null when there is none).
    template <class T>
    T* findView() const;

protected:
    // The value a tag should show now (the derived editor knows).
    virtual bool storedValue(int tag, float& value) const = 0;
    void frameClosing() override;

    std::vector<CControl*> controls_;
    std::vector<int> tags_;
    std::vector<iControlWrapper*> wrappers_;
    std::uint64_t openTimeMs_ = 0;
    ClickHandler clickHandler_;
};

template <class T>
T* VGEditor::findView() const {
    if (!frame_) return nullptr;
    T* found = nullptr;
    frame_->forEachDescendant([&found](CView* v) {
        if (!found) found = dynamic_cast<T*>(v);
    });
    return found;
}

}  // namespace hm::gui
