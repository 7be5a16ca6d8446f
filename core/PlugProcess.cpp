// The processing entry: host buffers through the channel model and the filter bank.
#include <cstring>

#include "core/Plug.h"

namespace hm {

// ---------------------------------------------------------------------------
// Processing. Until the filter bank lands the instance passes audio through
// unchanged (copies; hosts may hand the same buffers in and out).

void Plug::processDouble(double** inputs, double** outputs, int frames) {
    for (int c = 0; c < cEffect_.numOutputs; ++c) {
        if (!outputs[c]) continue;
        const double* in = c < cEffect_.numInputs ? inputs[c] : nullptr;
        if (in) std::memmove(outputs[c], in, sizeof(double) * static_cast<std::size_t>(frames));
        else std::memset(outputs[c], 0, sizeof(double) * static_cast<std::size_t>(frames));
    }
}

void Plug::processFloat(float** inputs, float** outputs, int frames) {
    for (int c = 0; c < cEffect_.numOutputs; ++c) {
        if (!outputs[c]) continue;
        const float* in = c < cEffect_.numInputs ? inputs[c] : nullptr;
        if (in) std::memmove(outputs[c], in, sizeof(float) * static_cast<std::size_t>(frames));
        else std::memset(outputs[c], 0, sizeof(float) * static_cast<std::size_t>(frames));
    }
}

}  // namespace hm
