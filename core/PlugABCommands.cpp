// A/B slot choice, the A/B toggle and program stepping, as the editor asks for them.
#include "core/Plug.h"
#include "core/params/Conversion.h"

namespace hm {

void Plug::chooseABSlot(int slot) {
    if (slot < 0 || slot >= kNumABSlots) return;
    abVisited_ |= static_cast<unsigned char>(1u << slot);
    session_.lastAB = getCurrentABSlot();
    // x = n/7 selects slot n through the integer conversion, as one automatable event.
    setParameterAutomated(kABBank, static_cast<float>(slot) / 7.0f);
    endEdit(kABBank);
}

int Plug::toggleABSlot() {
    const int d = getCurrentABSlot();
    int target = d;
    switch (prefs_.abToggle) {
        case 0:  // "Last 2"
            target = session_.lastAB;
            break;
        case 2: {  // "Nonempty": the next slot with any band switched on, judged by its stored values
            const ParamRecord& state = paramRecord(bandParam(0, kBandState));
            for (int k = 1; k < kNumABSlots && target == d; ++k) {
                const int s = (d + k) % kNumABSlots;
                for (int b = 0; b < kNumBands; ++b) {
                    const double v = abSlot(s).get(bandParam(b, kBandState));
                    if (normalisedToRealBase(state.kind, state.minimum, state.maximum, v) != 0.0) {
                        target = s;
                        break;
                    }
                }
            }
            break;
        }
        default: {  // "Visited": the next visited slot after the current one
            abVisited_ |= static_cast<unsigned char>(1u << d);
            for (int k = 1; k <= kNumABSlots; ++k) {
                const int s = (d + k) % kNumABSlots;
                if (abVisited_ & (1u << s)) {
                    target = s;
                    break;
                }
            }
            break;
        }
    }
    if (target < 0 || target >= kNumABSlots) target = d;
    // Through the A/B parameter, so the host sees the switch.
    setParameterAutomated(kABBank, static_cast<float>(target) / 7.0f);
    endEdit(kABBank);
    forwardToEditor(kGUIABMenu, static_cast<float>(target));
    session_.lastAB = d;
    return target;
}

void Plug::setBandOrder(const int (&order)[kNumBands]) {
    for (int i = 0; i < kNumBands; ++i) programs_[getProgram()].bandOrder[i] = order[i];
}

void Plug::stepProgram(int direction) {
    const int p = getProgram() + (direction < 0 ? -1 : 1);
    if (p >= 0 && p < kNumPrograms) setProgram(p);
}

}  // namespace hm
