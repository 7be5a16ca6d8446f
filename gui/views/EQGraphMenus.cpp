// EQGraph: the sub-controls the value panel opens: a text field for a value,
// and the type, subtype and group menus. Choices come back to the graph (it is
// the menus' listener) and leave as band parameter changes.
#include <cstdlib>
#include <string>

#include "core/BandMapping.h"
#include "core/Plug.h"
#include "dsp/design/SubtypeNames.h"
#include "gui/views/EQGraph.h"
#include "gui/views/GraphSubControls.h"
#include "gui/views/ParameterText.h"

namespace hm::gui {

using namespace graph;

namespace {

constexpr const char* kTypeNames[] = {"Peak", "High Pass", "Low Shelf", "High Shelf", "Low Pass", "Notch"};

// The number a display text starts with, as typed text: "1.00 kHz" → "1.00k".
std::string editableNumber(const std::string& display) {
    const std::size_t space = display.find(' ');
    std::string number = display.substr(0, space);
    if (space != std::string::npos && display.compare(space + 1, 1, "k") == 0) number += "k";
    return number;
}

}  // namespace

void EQGraph::openValueField(int band, int area) {
    if (!sub_) return;
    const int tag = panelAreaTag(band, area);
    if (tag < 0) return;
    std::string shown;
    if (Plug* p = plug()) {
        char text[64] = {};
        p->formatParameterValue(tag, p->getParameter(tag), text, 0);
        shown = text;
    }
    CRect r = panelAreas_[static_cast<std::size_t>(area)];
    r.right = std::max(r.right, r.left + 60);
    sub_->setHidden(false);
    sub_->valueField()->start(r, tag, editableNumber(shown));
}

void EQGraph::valueTyped(int tag, const std::string& text) {
    if (iParameterText* source = parameterTextSource(listener)) {
        // Refused text changes nothing: the panel goes on showing the value in force.
        (void)source->setParameterFromText(tag, text, false);
    } else if (plug()) {
        // Without an editor to read it, a plain number in the parameter's unit.
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        if (end && *end == 'k') value *= 1000.0;
        if (end != text.c_str()) sendEdit(tag, normalisedForReal(tag, value));
    }
    recompute();
}

void EQGraph::openTypeMenu(int band) {
    if (!sub_) return;
    GraphMenu* menu = sub_->typeMenu();
    menu->removeAllEntry();
    const bool withSubtypes = flags2(13, 1) != 0;  // "Tooltip type menu": Subtypes
    const GraphBand& g = bands_.bands[band];
    for (int t = 1; t <= 6; ++t) {
        const int engine = engineBandType(t);
        const int count = dsp::subtypeCount(engine);
        if (withSubtypes && count > 0) {
            auto* sub = new COptionMenu(CRect(0, 0, 1, 1), this, -1);
            for (int s = 0; s < count; ++s) {
                sub->addEntry(dsp::subtypeName(engine, s));
                if (t == g.type && s == g.subtype) sub->checkEntry(s, true);
            }
            menu->addEntry(sub, kTypeNames[t - 1]);
            sub->release();
        } else {
            menu->addEntry(kTypeNames[t - 1]);
        }
        menu->checkEntry(t - 1, t == g.type);
    }
    menuBand_ = band;
    sub_->popUp(menu, panelAreas_[kAreaType]);
}

void EQGraph::openSubtypeMenu(int band) {
    if (!sub_) return;
    GraphMenu* menu = sub_->subtypeMenu();
    menu->removeAllEntry();
    const GraphBand& g = bands_.bands[band];
    const int count = dsp::subtypeCount(g.settings.type);
    if (count <= 0) return;
    for (int s = 0; s < count; ++s) {
        menu->addEntry(dsp::subtypeName(g.settings.type, s));
        menu->checkEntry(s, s == g.subtype);
    }
    menuBand_ = band;
    sub_->popUp(menu, panelAreas_[kAreaSubtype]);
}

void EQGraph::openGroupMenu(int band) {
    if (!sub_) return;
    GraphMenu* menu = sub_->groupMenu();
    menu->removeAllEntry();
    menu->addEntry("Default");
    if (Plug* p = plug()) {
        const int groups = bands_.bands[band].groups;
        const int count = p->groupNameCount();
        for (int g = 0; g < count && g < 8; ++g) {
            menu->addEntry(p->groupName(g).c_str());
            menu->checkEntry(g + 1, ((groups >> (7 - g)) & 1) != 0);
        }
    }
    menuBand_ = band;
    sub_->popUp(menu, panelAreas_[kAreaGroup]);
}

namespace {
// The band menu's own entries after its sub-menus.
constexpr const char* kBandMenuBypass = "Bypass";
constexpr const char* kBandMenuDelete = "Delete";
}  // namespace

void EQGraph::openBandMenu(int band) {
    if (!sub_ || band < 0 || band >= kBandCount) return;
    GraphMenu* menu = sub_->bandMenu();
    menu->removeAllEntry();
    const GraphBand& g = bands_.bands[band];
    auto* types = new COptionMenu(CRect(0, 0, 1, 1), this, -1);
    for (int t = 1; t <= 6; ++t) {
        types->addEntry(kTypeNames[t - 1]);
        types->checkEntry(t - 1, t == g.type);
    }
    menu->addEntry(types, "Type");
    types->release();
    const int count = dsp::subtypeCount(g.settings.type);
    if (count > 0) {
        auto* subtypes = new COptionMenu(CRect(0, 0, 1, 1), this, -1);
        for (int s = 0; s < count; ++s) {
            subtypes->addEntry(dsp::subtypeName(g.settings.type, s));
            subtypes->checkEntry(s, s == g.subtype);
        }
        menu->addEntry(subtypes, "Subtype");
        subtypes->release();
    }
    menu->addEntry(kBandMenuBypass);
    menu->checkEntry(menu->getNbEntries() - 1, g.state == 1);
    menu->addEntry(kBandMenuDelete);
    menuBand_ = band;
    const Handle& h = handles_[static_cast<std::size_t>(band)];
    const int x = static_cast<int>(h.x), y = static_cast<int>(h.y);
    sub_->popUp(menu, CRect(x, y, x + 1, y + 1));
}

void EQGraph::bandMenuChosen(COptionMenu* chosenIn, int index) {
    const int band = menuBand_;
    GraphMenu* menu = sub_->bandMenu();
    const auto tag = [band](int field) { return bandParam(band, field); };
    if (chosenIn != menu) {
        if (chosenIn == menu->getSubMenu(0)) {
            sendEdit(tag(kBandType), normalisedForReal(tag(kBandType), index + 1));
        } else {
            sendEdit(tag(kBandSubtype), normalisedForReal(tag(kBandSubtype), index + 1));
        }
        return;
    }
    const char* entry = menu->getEntry(index);
    const std::string chosen = entry ? entry : "";
    if (chosen == kBandMenuBypass) toggleBypass(band);
    else if (chosen == kBandMenuDelete) switchOff(band);
}

void EQGraph::refreshGroups() {
    // The group menu is filled when it opens; names and views may have moved.
    recompute();
}

void EQGraph::valueChanged(CControl* control) {
    auto* menu = dynamic_cast<COptionMenu*>(control);
    if (!menu || !sub_ || menuBand_ < 0) return;
    const int band = menuBand_;
    int index = -1;
    COptionMenu* chosenIn = menu->getLastItemMenu(index);
    if (!chosenIn || index < 0) return;
    const auto tag = [band](int field) { return bandParam(band, field); };
    if (menu == sub_->typeMenu()) {
        int type = index + 1, subtype = -1;
        if (chosenIn != menu) {
            // A subtype inside a type's sub-menu.
            for (int e = 0; e < menu->getNbEntries(); ++e)
                if (menu->getSubMenu(e) == chosenIn) type = e + 1;
            subtype = index;
        }
        sendEdit(tag(kBandType), normalisedForReal(tag(kBandType), type));
        if (subtype >= 0) sendEdit(tag(kBandSubtype), normalisedForReal(tag(kBandSubtype), subtype + 1));
    } else if (menu == sub_->subtypeMenu()) {
        sendEdit(tag(kBandSubtype), normalisedForReal(tag(kBandSubtype), index + 1));
    } else if (menu == sub_->bandMenu()) {
        bandMenuChosen(chosenIn, index);
    } else if (menu == sub_->groupMenu()) {
        int groups = bands_.bands[band].groups;
        if (index >= 1) groups ^= 1 << (8 - index);  // item g + 1 is group g, in bit 7 − g
        // "Default" (or no group left): the editor puts the band in the view in front.
        sendEdit(tag(kBandGroups), index == 0 || groups == 0 ? 0.f : normalisedForReal(tag(kBandGroups), groups));
    }
    recompute();
}

}  // namespace hm::gui
