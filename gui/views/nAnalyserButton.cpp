#include "gui/views/nAnalyserButton.h"

#include <cstring>
#include <string>

#include "core/InstanceRegistry.h"
#include "core/Plug.h"
#include "gui/controls/ControlStyles.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/EQGraph.h"
#include "gui/views/InstanceOf.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

namespace {

constexpr const char* kTypeNames[] = {"Analyser",     "1/3 Octave",      "1/12 Octave",
                                      "Spectrograph", "Brightness Bars", "Brightness/Analyser"};

// The channel names of an instance (its count read once).
std::vector<std::string> channelNames(Plug& p) {
    std::vector<std::string> names;
    for (int c = 0; c < p.channelCount(); ++c) names.emplace_back(p.getChannelName(c));
    return names;
}

}  // namespace

nAnalyserButton::nAnalyserButton(const CRect& rect, CControlListener* l, int t, CBitmap* background)
    : COptionMenu(rect, l, t, background) {}

bool nAnalyserButton::isTypeOf(const char* className) const {
    return std::strcmp(className, "nAnalyserButton") == 0 || COptionMenu::isTypeOf(className);
}

void nAnalyserButton::setValue(float v) {
    // On or off, not an entry of the menu.
    value = v != 0.f ? 1.f : 0.f;
    setDirty();
}

void nAnalyserButton::draw(CDrawContext* context) {
    if (background_) drawFilmFrame(context, background_, size, CPoint(), value != 0.f ? 1 : 0, kFrameHeight);
    setDirty(false);
}

EQGraph* nAnalyserButton::graph() const {
    CFrame* frame = getFrame();
    if (!frame) return nullptr;
    EQGraph* found = nullptr;
    frame->forEachDescendant([&](CView* v) {
        if (!found) found = dynamic_cast<EQGraph*>(v);
    });
    return found;
}

COptionMenu* nAnalyserButton::sourceMenu(Role role, int current) {
    auto* menu = new COptionMenu(CRect(0, 0, 1, 1), nullptr, -1);
    SourceMenu& record = menus_[menu];
    record.role = role;
    Plug* self = instanceOf(listener);
    const std::vector<std::string> names = self ? channelNames(*self) : std::vector<std::string>{};
    const int n = static_cast<int>(names.size());
    for (int c = 0; c < n; ++c) {
        menu->addEntry(names[static_cast<std::size_t>(c)].c_str());
        record.codes.push_back(c);
    }
    for (int c = 0; c < n; ++c) {
        menu->addEntry((names[static_cast<std::size_t>(c)] + " (pre)").c_str());
        record.codes.push_back(n + c);
    }
    for (int i = 0; i < menu->getNbEntries(); ++i) menu->checkEntry(i, record.codes[static_cast<std::size_t>(i)] == current);
    const std::vector<Plug*> others = otherInstances(self);
    if (!others.empty()) {
        menu->addSeparator();
        record.codes.push_back(-1);
    }
    for (int k = 1; k <= static_cast<int>(others.size()); ++k) {
        // Names and channels read while the instance is certainly alive.
        std::string title;
        std::vector<std::string> theirs;
        if (!withRegisteredInstance(others[static_cast<std::size_t>(k - 1)], [&](Plug& p) {
                title = p.instanceName();
                theirs = channelNames(p);
            }))
            continue;
        auto* sub = new COptionMenu(CRect(0, 0, 1, 1), nullptr, -1);
        SourceMenu& subRecord = menus_[sub];
        subRecord.role = role;
        for (int j = 0; j < static_cast<int>(theirs.size()); ++j) {
            sub->addEntry(theirs[static_cast<std::size_t>(j)].c_str());
            const int code = (k << 8) | j;
            subRecord.codes.push_back(code);
            sub->checkEntry(j, code == current);
        }
        menu->addEntry(sub, title.c_str());
        menu->checkEntry(menu->getNbEntries() - 1, (current >> 8) == k);
        record.codes.push_back(-1);
        sub->release();
    }
    return menu;
}

void nAnalyserButton::buildMenu() {
    removeAllEntry();
    menus_.clear();
    EQGraph* g = graph();
    const int type = g ? g->analyserType() : 0;
    COptionMenu* primary = sourceMenu(kPrimary, g ? g->analyserSource(0) : 0);
    addEntry(primary, "Primary Signal");
    primary->release();
    auto* types = new COptionMenu(CRect(0, 0, 1, 1), nullptr, -1);
    SourceMenu& typeRecord = menus_[types];
    typeRecord.role = kType;
    for (int t = 0; t < 6; ++t) {
        types->addEntry(kTypeNames[t]);
        types->checkEntry(t, t == type);
        typeRecord.codes.push_back(t);
    }
    addEntry(types, "Display Type");
    types->release();
    if (type == 0) {
        COptionMenu* secondary = sourceMenu(kSecondary, g ? g->analyserSource(1) : 1);
        addEntry(secondary, "Secondary Signal");
        secondary->release();
    }
}

int nAnalyserButton::codeOf(COptionMenu* menu, int index) const {
    const auto it = menus_.find(menu);
    if (it == menus_.end() || index < 0 || index >= static_cast<int>(it->second.codes.size())) return -1;
    return it->second.codes[static_cast<std::size_t>(index)];
}

CMouseEventResult nAnalyserButton::onMouseDown(CPoint&, const int& buttons) {
    if ((buttons & kRButton) || (buttons & kApple)) {
        buildMenu();
        openPopup(buttons);
        return kMouseEventHandled;
    }
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    pressed_ = true;
    before_ = value;
    value = value != 0.f ? 0.f : 1.f;
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult nAnalyserButton::onMouseMoved(CPoint& where, const int& buttons) {
    if (!pressed_ || !(buttons & kLButton)) return kMouseEventHandled;
    // The toggled state shows only while the pointer is on the button.
    const float shown = size.pointInside(where) ? 1.f - before_ : before_;
    if (shown != value) {
        value = shown;
        setDirty();
    }
    return kMouseEventHandled;
}

CMouseEventResult nAnalyserButton::onMouseUp(CPoint& where, const int&) {
    if (!pressed_) return kMouseEventHandled;
    pressed_ = false;
    value = size.pointInside(where) ? 1.f - before_ : before_;
    setDirty();
    if (value != before_) valueChangedNotify();
    return kMouseEventHandled;
}

void nAnalyserButton::popupChosen(COptionMenu* menu, int index) {
    lastMenu_ = menu;
    lastResult_ = index;
    const auto it = menus_.find(menu);
    EQGraph* g = graph();
    if (it == menus_.end() || index < 0 || !g) return;
    const int code = codeOf(menu, index);
    if (code < 0) return;
    switch (it->second.role) {
        case kPrimary: g->setAnalyserSource(0, code); break;
        case kSecondary: g->setAnalyserSource(1, code); break;
        case kType: g->setAnalyserType(code); break;
    }
    reportUnderTag(this, kGUIAnalyserUpdated, 1.f);
}

namespace {
CView* makeAnalyserButton(const ViewRequest& r) {
    return new nAnalyserButton(r.rect, r.listener, r.tag, r.bitmap("background"));
}
}  // namespace

void registerAnalyserButton() { registerViewClass("nAnalyserButton", makeAnalyserButton); }

}  // namespace hm::gui
