#pragma once
// What the editor asks of its large views. The views themselves (graph, band
// strips, meters, keyboard, setup pages) implement these interfaces in
// gui/views/; after every build the editor finds them in the view tree by
// these types. A view that does not exist yet is simply not found, and the
// editor carries on without it.
#include <cstdint>
#include <string>

#include "gui/draw/Geometry.h"
#include "prefs/WizardAnswers.h"

namespace hm::gui {

// The analyser settings that travel in the plug-in state with the editor's.
struct AnalyserSources {
    int type = 0;
    int channel1 = 0, channel2 = 1;
    int instance1 = 0, instance2 = 0;  // positions in the instance list
};

// The frequency-response graph (tag kGUIEQGraph).
class iEditorGraph {
public:
    virtual ~iEditorGraph() = default;
    // Channel views: -1 none; 255 in one stereo mode.
    virtual void setPrimaryView(int view) = 0;
    virtual void setSecondaryView(int view) = 0;
    virtual int primaryView() const = 0;
    virtual int secondaryView() const = 0;
    virtual void setSelection(std::uint64_t bands) = 0;
    virtual void setAnalyserOn(bool on) = 0;
    virtual void setAnalyserDecay(double decay) = 0;
    virtual void setRange(int rangeIndex) = 0;  // into 3, 6, 12, 18, 24, 36 dB
    virtual void setGraphFlags(std::uint32_t flags1, std::uint32_t flags2) = 0;
    virtual void setMetersBeside(bool beside) = 0;
    virtual void setAnalyserSources(const AnalyserSources& sources) = 0;
    virtual AnalyserSources analyserSources() const = 0;
    // Band parameters changed: curves are computed again before the next draw.
    virtual void recompute() = 0;
    virtual void refreshGroups() = 0;       // group names or channel count changed
    virtual void instancesChanged() = 0;    // the analyser's list of sources
    // The band parameter under a point (frame coordinates), -1 when none.
    virtual int tagUnderPoint(const CPoint& where) = 0;
};

// The phase-response graph (tag kGUIPhaseGraph).
class iEditorPhaseGraph {
public:
    virtual ~iEditorPhaseGraph() = default;
    virtual void setView(int view) = 0;
    virtual void setSelection(std::uint64_t bands) = 0;
    virtual void setFreePhase(bool firFree) = 0;
    virtual int tagUnderPoint(const CPoint& where) = 0;
};

// The keyboard strip under the graph.
class iEditorKeyboard {
public:
    virtual ~iEditorKeyboard() = default;
    virtual void setSelection(std::uint64_t bands) = 0;
};

// The band strips. rebuild() lays the strips out in `order` (band indices, the
// first `count` valid) and answers the order and count it actually shows.
class iEditorStrips {
public:
    virtual ~iEditorStrips() = default;
    virtual int rebuild(int (&order)[32], int count, int layoutFlags) = 0;
    // Height the strips need with these flags.
    virtual int preferredHeight(int layoutFlags) const = 0;
};

// The meter section (master and channel meters).
class iEditorMeters {
public:
    virtual ~iEditorMeters() = default;
    virtual void rebuild(int channels, int layoutFlags) = 0;
    virtual int preferredWidth(int channels, int layoutFlags) const = 0;
    // meterFlags = "Meter Peak/Hold" index * 4 + "Scale" index; scaleOffset in dB.
    virtual void setMeterFlags(int meterFlags, int scaleOffsetDb) = 0;
};

// The setup window's page list.
class iEditorSetupList {
public:
    virtual ~iEditorSetupList() = default;
    virtual void selectLastPage() = 0;
};

// The setup wizard (tag kGUIWizardOpen): the answers given so far, read by the
// editor when the wizard reports kGUIWizardCompleted.
class iEditorWizard {
public:
    virtual ~iEditorWizard() = default;
    virtual prefs::WizardAnswers answers() const = 0;
};

// A preference page that shows values from the stores.
class iEditorPreferencePage {
public:
    virtual ~iEditorPreferencePage() = default;
    virtual void refreshFromStore() = 0;
};

// Band sliders whose value labels follow "Slider Labels".
class iEditorSliderLabels {
public:
    virtual ~iEditorSliderLabels() = default;
    virtual void setLabelMode(int mode) = 0;  // "Off" 2, "Hover" 5, "On" 0
};

}  // namespace hm::gui
