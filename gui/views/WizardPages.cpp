#include "gui/views/WizardPages.h"

#include "prefs/WizardAnswers.h"

namespace hm::gui {

namespace {

const WizardPage kPages[prefs::kWizardPageCount] = {
    {"Welcome to the Harmoniform Setup wizard.\n"
     "This wizard allows you to customise Harmoniform to your workflow.\n"
     "You can exit at any time, or restart the process from the Setup window.\n"
     "This serves to create a default preset, but all preferences can be changed later\n"
     "either using the plugin itself, the Setup window, or with presets.",
     "Which main interface elements would you like displayed?",
     {"Graph", "Textboxes", "Graph and Textboxes", "Textboxes and Knobs", "Graph, Textboxes and Knobs"}},
    {"Harmoniform can be as efficient or as high resolution as you want.\n"
     "It is possible to run hundreds of instances across a session, or redline a CPU with a single instance.\n"
     "Another consideration here is automation; if you intend to automate filters you should choose one of\n"
     "the more efficient modes. All settings offer extremely high-quality processing.\n"
     "You can reconfigure these values per-instance, either manually or with presets, at any time.",
     "What kind of usage would you like?",
     {"MIX : Many instances across all channels. Fantastic sound. No latency.",
      "MIX : Some instances with higher processing quality, for busses, key channels and the master. No latency.",
      "MASTER : Few instances with excellent quality, for busses or master, with phase control. "
      "FIR: 4096 samples of latency.",
      "MASTER : Single instances, highest quality in the universe, fully featured. FIR: 32768 samples of latency."}},
    {"This question determines your expected channel and routing usage.\n"
     "Harmoniform will adapt to the environment it is inserted into.\n"
     "This question allows you to pick whether you want controls presented to control routing.\n"
     "The Routing page in Setup allows you to adjust these values per-instance.",
     "What is your expected channel layout?",
     {"Stereo", "Stereo with Mid/Side", "Stereo with independent Left/Right",
      "Surround with grouping mechanics (be sure to instance on a surround channel)"}},
    {"This question determines the UI size.\n"
     "This wizard will modify your choice to ensure that the UI fits onscreen, but you can\n"
     "adjust the size at any time in Setup, per-instance or as default.",
     "How big would you like the plugin UI to be?",
     {"Tiny", "Small", "Medium", "Large", "Huge"}},
    {"Harmoniform includes circuit models of vintage EQs from history.\n"
     "This is either fascinating or distracting.\n"
     "You can re-enable the controls to access these with the Setup system, so this determines\n"
     "whether the controls are displayed by default.",
     "Are you interested in accessing models of vintage EQs?",
     {"No: I want a straightforward modern EQ", "Yes: I'd like to be able to pick models",
      "Yes: I'd like extensive control for selecting models"}},
    {"Harmoniform can offer metering sections on the UI to give you feedback\n"
     "You can configure this per-instance in the Setup window, but this preference allows you to\n"
     "pick a default.\n"
     "And now, onto the plugin...!",
     "Would you like metering on the UI?",
     {"No: I'd just like to EQ", "Yes: I'd like some meters so I can see that audio is passing",
      "Yes: I'd like extensive metering, and per-channel controls"}},
};

}  // namespace

const WizardPage* wizardPage(int page) {
    return page >= 0 && page < prefs::kWizardPageCount ? &kPages[page] : nullptr;
}

}  // namespace hm::gui
