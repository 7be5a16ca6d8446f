#pragma once
// The linear value drag that knobs and value texts share: moving the pointer
// up or right by `travel` pixels sweeps the whole range, `zoom` times as far
// in fine mode. Holding or releasing the fine modifier mid-drag re-anchors at
// the current value, so the value never jumps.
#include "gui/draw/Geometry.h"

namespace hm::gui {

struct LinearDrag {
    CPoint first;
    float entry = 0.f;
    bool fine = false;

    void anchor(const CPoint& where, float value, bool fineMode) {
        first = where;
        entry = value;
        fine = fineMode;
    }
    // The value for the pointer at `where`; `span` is maximum − minimum.
    float follow(const CPoint& where, float value, bool fineMode, float travel, float zoom, float span) {
        if (fineMode != fine) anchor(where, value, fineMode);
        const float pixels = static_cast<float>((first.y - where.y) + (where.x - first.x));
        return entry + pixels * span / (fine ? travel * zoom : travel);
    }
};

}  // namespace hm::gui
