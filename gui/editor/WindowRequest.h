#pragma once
// The editor's own window for a host that must know it (an LV2 X11 UI hands
// it to its host as the UI's widget): a vendor-specific request through the
// effect's dispatcher,
//   effVendorSpecific, index kSnapshotIndex, value kWindowValue, ptr = void**.
// With the editor open in a window of the window system, the plug-in stores the
// window's id (an X11 Window id) there and answers 1; otherwise it answers 0
// and leaves the pointer alone. UI thread.
#include "core/vst/VstAbi.h"
#include "gui/editor/SnapshotRequest.h"

namespace hm::gui {

inline constexpr vst::VstIntPtr kWindowValue = vst::fourCC('W', 'i', 'n', 'd');

}  // namespace hm::gui
