#pragma once
// The editor's picture for a host without a display (the tool's --snapshot,
// host tests): a vendor-specific request through the effect's dispatcher,
//   effVendorSpecific, index kSnapshotIndex, value kSnapshotValue,
//   ptr = EditorSnapshotRequest*.
// The plug-in renders its editor for the instance's current state (opening a
// window-less editor for the purpose when none is open), fills in width and
// height and, when `capacity` pixels are enough, copies the picture into
// `pixels` (rows top-down, 0xAARRGGBB words, opaque) and answers 1. With too
// small a buffer it answers 0 with the size filled in, so the host can ask
// again. An editor that starts with its setup wizard (no default bank yet)
// is pictured as the equaliser unless `flags` asks for the wizard. UI thread.
#include <cstdint>

#include "core/vst/VstAbi.h"

namespace hm::gui {

inline constexpr vst::VstInt32 kSnapshotIndex = vst::fourCC('H', 'm', 'E', 'd');
inline constexpr vst::VstIntPtr kSnapshotValue = vst::fourCC('S', 'n', 'a', 'p');

struct EditorSnapshotRequest {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t* pixels = nullptr;
    std::int64_t capacity = 0;  // pixels the buffer holds
    std::int32_t flags = 0;     // kSnapshotWizard
};

inline constexpr std::int32_t kSnapshotWizard = 1;  // picture the setup wizard

}  // namespace hm::gui
