// libFuzzer target: arbitrary bytes handed to an instance as a host chunk.
// The first byte picks the preset or bank form; the rest is the chunk.
#include <cstdint>
#include <cstdlib>

#include "tests/core/fuzz/FuzzInstance.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    hm::Plug& plug = hm::fuzz::instance();
    const bool preset = (data[0] & 1) != 0;
    std::uint8_t* copy = static_cast<std::uint8_t*>(std::malloc(size - 1 + 1));
    for (std::size_t i = 1; i < size; ++i) copy[i - 1] = data[i];
    plug.setChunk(copy, static_cast<vst::VstInt32>(size - 1), preset);
    std::free(copy);
    // Whatever was applied must still be a valid state that writes and reads back.
    for (int i = 0; i < hm::kNumParams; ++i) {
        const float v = plug.getParameter(i);
        if (!(v >= 0.0f && v <= 1.0f)) std::abort();
    }
    void* out = nullptr;
    const int written = plug.getChunk(&out, preset);
    if (written <= 0 || out == nullptr) std::abort();
    return 0;
}
