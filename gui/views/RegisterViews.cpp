#include "gui/views/RegisterViews.h"

#include <mutex>

#include "gui/views/ButtonViews.h"
#include "gui/views/CBandButton.h"
#include "gui/views/CEQKnob.h"
#include "gui/views/CEQSlider.h"
#include "gui/views/CEQText.h"
#include "gui/views/CPresetMenu.h"
#include "gui/views/EQGraph.h"
#include "gui/views/bandStrips.h"
#include "gui/views/IRGraph.h"
#include "gui/views/MenuViews.h"
#include "gui/views/meterSection.h"
#include "gui/views/nAnalyserButton.h"
#include "gui/views/nVU.h"
#include "gui/views/PageViews.h"
#include "gui/views/PhaseGraph.h"
#include "gui/views/Preferences.h"
#include "gui/views/RoutingMatrix.h"
#include "gui/views/SetupWindow.h"
#include "gui/views/SetupWizard.h"
#include "gui/views/SGroupMenu.h"
#include "gui/views/TextViews.h"
#include "gui/views/UIPreferences.h"
#include "gui/views/nDarken.h"
#include "gui/views/nHighlightSheet.h"
#include "gui/views/nKeyboard.h"
#include "gui/views/nScrollBox.h"
#include "gui/views/nTiled.h"

namespace hm::gui {

void registerEditorViews() {
    static std::once_flag once;
    std::call_once(once, [] {
        registerPageViews();
        registerScrollBox();
        registerTiledViews();
        registerDarken();
        registerTextViews();
        registerMenuViews();
        registerPresetMenu();
        registerButtonViews();
        registerSliderViews();
        registerEQKnob();
        registerEQText();
        registerBandStrips();
        registerGroupMenu();
        registerBandButton();
        registerHighlightSheet();
        registerKeyboard();
        registerEQGraph();
        registerMeterViews();
        registerMeterSection();
        registerAnalyserButton();
        registerSetupWindow();
        registerUIPreferences();
        registerPreferences();
        registerSetupWizard();
        registerPhaseGraph();
        registerIRGraph();
        registerRoutingMatrix();
    });
}

}  // namespace hm::gui
