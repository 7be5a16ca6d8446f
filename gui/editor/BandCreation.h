#pragma once
// Creating a band from a view (a double click on the graph's empty space, a
// control-click on the keyboard): the first band not in use takes the new
// settings through the editor's value-change path, each parameter as an edit
// of its own (so the host's automation, undo and linked editing see them as
// they see any edit), and is switched on last. Views call this with
// themselves as the control the changes come from; the editor is its
// listener.
namespace hm::gui {

class CControl;

struct NewBandSettings {
    int type = 1;               // the Type parameter, 1 peak .. 6 notch
    double frequency = 1000.0;  // Hz as shown: after the global shift and the MIDI factor
    double gainDb = 0.0;        // dB as shown: the band's gain times Scale
    double q = 0.707;
};

// The band used (0..31), or −1 when every band is in use or the control's
// listener belongs to no instance. UI thread.
int createBand(CControl& via, const NewBandSettings& settings);

// The first band whose State is off, −1 when there is none (or no instance).
int firstFreeBand(CControl& via);

}  // namespace hm::gui
