#include "prefs/ModifierRoles.h"

#include "prefs/GlobalPreferences.h"

namespace hm::prefs {

ModifierRoles currentModifierRoles() {
    return modifierRoles(getGlobalPreference("ProTools Opt/Shift") == 1);
}

}  // namespace hm::prefs
