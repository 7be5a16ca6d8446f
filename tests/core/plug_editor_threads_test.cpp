// The instance forwards every parameter change to its editor, also from the
// audio thread (host automation, MIDI): that path only stores a value and a
// bit, while the user-interface thread's idle passes read them. Meant for the
// ThreadSanitizer build as well.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/Plug.h"
#include "gui/editor/PlugEd.h"
#include "tests/support/AllocationCounter.h"

namespace hm::test {
namespace {

vst::VstIntPtr quietHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

TEST(PlugEditorThreads, AutomationFromTheAudioThreadWhileTheEditorIdles) {
    Plug plug(quietHost, 2);
    auto* editor = dynamic_cast<gui::PlugEd*>(plug.getEditor());
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->openHeadless());
    plug.setSampleRate(48000.f);
    plug.resume();

    std::atomic<bool> stop{false};
    std::atomic<long> allocations{0};
    std::thread audio([&] {
        std::vector<float> l(256), r(256);
        float* in[2] = {l.data(), r.data()};
        float* out[2] = {l.data(), r.data()};
        CountAllocations counter;
        for (int i = 0; !stop.load(); ++i) {
            // Automation of band values and of the meters the editor reads.
            plug.setParameter(bandParam(i % kNumBands, kBandGain), (i % 97) / 97.f);
            plug.setParameter(bandParam((i + 5) % kNumBands, kBandFrequency), (i % 89) / 89.f);
            plug.processReplacing(in, out, 256);
        }
        allocations = counter.count();
    });
    for (int pass = 0; pass < 300; ++pass) editor->forceIdlePass();
    stop = true;
    audio.join();
    EXPECT_EQ(allocations.load(), 0);
    // The last values the audio thread set are what the editor shows after one more pass.
    editor->forceIdlePass();
    for (int b = 0; b < kNumBands; ++b)
        EXPECT_EQ(editor->shownValue(bandParam(b, kBandGain)), plug.getParameter(bandParam(b, kBandGain))) << b;
    editor->close();
}

}  // namespace
}  // namespace hm::test
