#include "gui/editor/VGEditor.h"

#include <chrono>

#include "gui/editor/iControlWrapper.h"
#include "gui/layout/LayoutBuilder.h"
#include "gui/layout/LayoutParser.h"
#include "gui/views/RegisterViews.h"

namespace hm::gui {

VGEditor::VGEditor(vst::AudioEffect* effect) : AEffGUIEditor(effect) {
    openTimeMs_ = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                 std::chrono::steady_clock::now().time_since_epoch())
                                                 .count());
}

VGEditor::~VGEditor() { clearLists(); }

bool VGEditor::buildFromText(std::string_view text) {
    if (!frame_) return false;
    registerEditorViews();
    const std::unique_ptr<LayoutElement> root = parseLayout(text);
    if (!root) return false;
    buildLayout(root->firstChild.get(), frame_, this);
    frame_->setCallback(this);
    afterBuild();
    return true;
}

void VGEditor::afterBuild() {
    clearLists();
    if (frame_) collectControls(frame_);
    refreshAll();
}

void VGEditor::collectControls(CViewContainer* container) {
    if (!container) return;
    for (CView* v : container->children()) {
        if (auto* control = dynamic_cast<CControl*>(v)) {
            controls_.push_back(control);
            tags_.push_back(control->getTag());
        } else if (auto* page = dynamic_cast<iControl*>(v)) {
            auto* wrapper = new iControlWrapper(page, v);
            wrappers_.push_back(wrapper);
            controls_.push_back(wrapper);
            tags_.push_back(page->getTag());
        }
        if (CViewContainer* inner = v->asContainer()) collectControls(inner);
    }
}

void VGEditor::clearLists() {
    controls_.clear();
    tags_.clear();
    for (iControlWrapper* w : wrappers_) w->release();
    wrappers_.clear();
}

void VGEditor::frameClosing() {
    if (frame_) frame_->setCallback(nullptr);
    clearLists();
}

CControl* VGEditor::controlAt(int index) const {
    return index >= 0 && index < controlCount() ? controls_[static_cast<std::size_t>(index)] : nullptr;
}

int VGEditor::tagAt(int index) const {
    return index >= 0 && index < controlCount() ? tags_[static_cast<std::size_t>(index)] : -1;
}

int VGEditor::nextIndexOfTag(int tag, int from) const {
    for (int i = from < 0 ? 0 : from; i < controlCount(); ++i)
        if (tags_[static_cast<std::size_t>(i)] == tag) return i;
    return -1;
}

float VGEditor::valueOfControl(int index) const {
    const CControl* c = controlAt(index);
    return c ? c->getValue() : 0.f;
}

CControl* VGEditor::findControl(int tag) const { return controlAt(nextIndexOfTag(tag, 0)); }

void VGEditor::setTagValue(int tag, float value) {
    forEachControl(tag, [value](CControl* c) {
        c->setValue(value);
        c->setDirty(true);
    });
}

void VGEditor::refreshAll() {
    for (int i = 0; i < controlCount(); ++i) {
        float v = 0.f;
        if (tags_[static_cast<std::size_t>(i)] >= 0 && storedValue(tags_[static_cast<std::size_t>(i)], v)) {
            controls_[static_cast<std::size_t>(i)]->setValue(v);
            controls_[static_cast<std::size_t>(i)]->setDirty(true);
        }
    }
}

bool VGEditor::onFrameMouseDown(const CPoint&, int buttons, int tag) {
    return tag >= 0 && clickHandler_ && clickHandler_(buttons, tag);
}

namespace {

// The view a click at `where` (container coordinates of `c`'s parent) would
// reach: topmost first, only shown views that take the mouse there.
CView* viewHitAt(const CViewContainer* c, const CPoint& where) {
    const CRect& r = c->getViewSize();
    const CPoint local(where.x - r.left, where.y - r.top);
    const auto& children = c->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* v = *it;
        if (!v->isVisibleContainer() || !v->getMouseEnabled() || !v->hitTest(local)) continue;
        if (const CViewContainer* inner = v->asContainer()) {
            if (CView* hit = viewHitAt(inner, local)) return hit;
        }
        return v;
    }
    return nullptr;
}

}  // namespace

int VGEditor::getTagUnderPoint(const CPoint& where) {
    if (!frame_) return -1;
    for (CView* v = viewHitAt(frame_, where); v; v = v->getParentView()) {
        if (auto* c = dynamic_cast<CControl*>(v)) return c->getTag();
    }
    return -1;
}

}  // namespace hm::gui
