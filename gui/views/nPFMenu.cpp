#include "gui/views/nPFMenu.h"

#include <cstring>

#include "core/params/ParamIds.h"
#include "gui/views/TypeMenu.h"

namespace hm::gui {

nPFMenu::nPFMenu(const CRect& rect, CControlListener* l, int band, int type)
    : StripMenu(rect, l, bandParam(band, kBandSubtype), band) {
    setStyle(getStyle() | kCheckStyle);
    for (const std::string& name : subtypeNames(type)) addEntry(name.c_str());
}

bool nPFMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "nPFMenu") == 0 || StripMenu::isTypeOf(className);
}

}  // namespace hm::gui
