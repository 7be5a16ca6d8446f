// The entry point, the effect record and the dispatcher's answers, seen from a host.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/host/HostFixture.h"

namespace hm::test {
namespace {

using host::HostBehaviour;

TEST(HostEntry, HostAnsweringVersionZeroGetsNoEffect) {
    HostBehaviour refusing;
    refusing.version = 0;
    EXPECT_EQ(host::PluginInstance::create(pluginLibrary(), refusing), nullptr);
}

TEST(HostEntry, EffectRecordDeclaresTheEqualiser) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    const vst::AEffect* e = plug->effect();
    EXPECT_EQ(e->magic, vst::fourCC('V', 's', 't', 'P'));
    EXPECT_EQ(e->numPrograms, 20);
    EXPECT_EQ(e->numParams, 366);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags & 0x10, 0x10);      // can replace
    EXPECT_EQ(e->flags & 0x20, 0x20);      // program chunks
    EXPECT_EQ(e->flags & 0x1000, 0x1000);  // can double replace
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_FLOAT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->uniqueID, ('H' << 24) | ('r' << 16) | ('m' << 8) | 'f');
    EXPECT_EQ(e->version, 1);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
}

TEST(HostEntry, ConstructionAsksVersionFirstAndReadsTheHostVendor) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    const auto calls = plug->calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().opcode, vst::audioMasterVersion);
    EXPECT_GE(plug->countCalls(vst::audioMasterGetVendorString), 1);
    // resume runs at construction and again when the host switches the instance on.
    EXPECT_GE(plug->countCalls(vst::audioMasterWantMidi), 4);
}

TEST(HostEntry, StringsAndVersionAnswers) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    char text[256];
    std::memset(text, 'x', sizeof(text));
    EXPECT_EQ(plug->dispatch(vst::effGetVendorString, 0, 0, text), 1);
    EXPECT_STREQ(text, "Corvanta");
    EXPECT_EQ(plug->dispatch(vst::effGetProductString, 0, 0, text), 1);
    EXPECT_STREQ(text, "Harmoniform");
    EXPECT_EQ(plug->dispatch(vst::effGetVendorVersion), 1);
    EXPECT_EQ(plug->dispatch(vst::effGetVstVersion), 2400);
    EXPECT_EQ(plug->dispatch(vst::effGetPlugCategory), 1);
    EXPECT_EQ(plug->dispatch(vst::effGetEffectName, 0, 0, text), 0);
    EXPECT_EQ(plug->dispatch(vst::effGetTailSize), 0);
    EXPECT_EQ(plug->dispatch(vst::effGetCurrentMidiProgram), -1);
    EXPECT_EQ(plug->dispatch(vst::effSetTotalSampleToProcess, 0, 12345), 12345);
    EXPECT_EQ(plug->dispatch(vst::effSetSpeakerArrangement, 0, 0, nullptr), 0);
    // Null text pointers are harmless.
    EXPECT_EQ(plug->dispatch(vst::effGetVendorString, 0, 0, nullptr), 0);
    plug->dispatch(vst::effGetParamName, 0, 0, nullptr);
    plug->dispatch(vst::effGetParamDisplay, 0, 0, nullptr);
    EXPECT_EQ(plug->dispatch(vst::effCanDo, 0, 0, nullptr), 0);
}

TEST(HostEntry, CanDoAnswersOnlyWhatTheEqualiserSupports) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    EXPECT_TRUE(plug->canDo("bypass"));
    EXPECT_TRUE(plug->canDo("receiveVstEvents"));
    EXPECT_TRUE(plug->canDo("receiveVstMidiEvent"));
    EXPECT_FALSE(plug->canDo("sendVstEvents"));
    EXPECT_FALSE(plug->canDo("Bypass"));
    EXPECT_FALSE(plug->canDo(""));
}

TEST(HostEntry, BypassRequestSetsTheBypassParameter) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    EXPECT_EQ(plug->dispatch(vst::effSetBypass, 0, 1), 1);
    EXPECT_EQ(plug->getParameter(0), 1.0f);
    EXPECT_EQ(plug->parameterDisplay(0), "On");
    EXPECT_EQ(plug->dispatch(vst::effSetBypass, 0, 0), 1);
    EXPECT_EQ(plug->getParameter(0), 0.0f);
}

TEST(HostEntry, PinPropertiesReportStereoAndHonourTheVendorRule) {
    struct Case {
        const char* vendor;
        int inputFlags;
    };
    const Case cases[] = {{"Some Host", 7}, {"Ableton", 3}, {"Ableton Live", 7}};
    for (const Case& c : cases) {
        HostBehaviour behaviour;
        behaviour.vendor = c.vendor;
        auto plug = makeInstance(behaviour);
        ASSERT_TRUE(plug);
        for (int i = 0; i < 2; ++i) {
            vst::VstPinProperties in{}, out{};
            ASSERT_EQ(plug->dispatch(vst::effGetInputProperties, i, 0, &in), 1);
            ASSERT_EQ(plug->dispatch(vst::effGetOutputProperties, i, 0, &out), 1);
            EXPECT_EQ(in.flags, c.inputFlags) << c.vendor;
            EXPECT_EQ(out.flags, 7) << c.vendor;
            EXPECT_EQ(in.arrangementType, vst::kSpeakerArrStereo);
            EXPECT_EQ(out.arrangementType, vst::kSpeakerArrStereo);
            EXPECT_EQ(std::string(in.label), "Input " + std::to_string(i + 1));
            EXPECT_EQ(std::string(out.label), "Output " + std::to_string(i + 1));
        }
        vst::VstPinProperties none{};
        EXPECT_EQ(plug->dispatch(vst::effGetInputProperties, 2, 0, &none), 0);
        EXPECT_EQ(plug->dispatch(vst::effGetOutputProperties, -1, 0, &none), 0);
        EXPECT_EQ(plug->dispatch(vst::effGetOutputProperties, 0, 0, nullptr), 0);
    }
}

// A host asks for the channel layout while the instance is suspended; as many
// inputs as outputs, 1..8 of them, are taken, anything else is refused unchanged.
TEST(HostEntry, SpeakerArrangementsSetTheChannelCount) {
    struct Case {
        int in, out;
        bool accepted;
        int channels;  // the pins afterwards
    };
    const Case cases[] = {{1, 1, true, 1}, {8, 8, true, 8}, {2, 2, true, 2}, {2, 1, false, 2},
                          {0, 0, false, 2}, {9, 9, false, 2}, {-1, -1, false, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.in) + "/" + std::to_string(c.out));
        auto plug = makeInstance();
        ASSERT_TRUE(plug);
        plug->dispatch(vst::effMainsChanged, 0, 0);
        vst::VstSpeakerArrangement in{}, out{};
        in.numChannels = c.in;
        out.numChannels = c.out;
        EXPECT_EQ(plug->dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(&in), &out) != 0,
                  c.accepted);
        plug->dispatch(vst::effMainsChanged, 0, 1);
        EXPECT_EQ(plug->effect()->numInputs, c.channels);
        EXPECT_EQ(plug->effect()->numOutputs, c.channels);
        vst::VstPinProperties pin{};
        EXPECT_EQ(plug->dispatch(vst::effGetOutputProperties, c.channels - 1, 0, &pin), 1);
        EXPECT_EQ(plug->dispatch(vst::effGetOutputProperties, c.channels, 0, &pin), 0);
        // Every channel is processed: silence stays silence, a signal comes through.
        std::vector<std::vector<float>> buffers(2 * c.channels, std::vector<float>(64, 0.25f));
        std::vector<float*> inputs, outputs;
        for (int k = 0; k < c.channels; ++k) {
            inputs.push_back(buffers[k].data());
            outputs.push_back(buffers[c.channels + k].data());
        }
        plug->processFloat(inputs.data(), outputs.data(), 64);
        EXPECT_FLOAT_EQ(outputs.back()[63], 0.25f);
    }
}

TEST(HostEntry, WheelRequestsAnswerZeroWhileTheEditorIsClosed) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    EXPECT_EQ(plug->effect()->flags & vst::effFlagsHasEditor, vst::effFlagsHasEditor);
    EXPECT_EQ(plug->dispatch(vst::effVendorSpecific, vst::fourCC('s', 't', 'C', 'A'), vst::fourCC('W', 'h', 'e', 'e'),
                             nullptr, 1.0f),
              0);
    EXPECT_EQ(plug->dispatch(vst::effVendorSpecific, 1234, 5678, nullptr, 1.0f), 0);
}

TEST(HostEntry, ProgramNamesAndOutOfRangeRequests) {
    auto plug = makeInstance();
    ASSERT_TRUE(plug);
    char name[64] = {};
    EXPECT_EQ(plug->dispatch(vst::effGetProgramNameIndexed, 19, 0, name), 1);
    EXPECT_STREQ(name, "-");
    EXPECT_EQ(plug->dispatch(vst::effGetProgramNameIndexed, 20, 0, name), 0);
    EXPECT_EQ(plug->dispatch(vst::effGetProgramNameIndexed, -1, 0, name), 0);

    char longName[] = "A name that is far longer than a program name may be";
    plug->dispatch(vst::effSetProgramName, 0, 0, longName);
    std::memset(name, 'x', sizeof(name));
    plug->dispatch(vst::effGetProgramName, 0, 0, name);
    EXPECT_EQ(std::strlen(name), 23u);
    EXPECT_EQ(std::string(name), std::string(longName).substr(0, 23));

    plug->dispatch(vst::effSetProgram, 0, 25);  // ignored
    EXPECT_EQ(plug->dispatch(vst::effGetProgram), 0);
}

TEST(HostEntry, LibraryExportsOnlyTheEntryPoints) {
    const char* path = std::getenv("HARMONIFORM_PLUGIN");
    ASSERT_NE(path, nullptr);
    const std::string command = std::string("nm -D --defined-only '") + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> symbols;
    char line[512];
    while (std::fgets(line, sizeof(line), pipe)) {
        char address[64], type[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3) symbols.insert(name);
    }
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(symbols, (std::set<std::string>{"VSTPluginMain", "main"}));
}

}  // namespace
}  // namespace hm::test
