// State documents: what a bank or preset chunk holds and how one is applied.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "core/Plug.h"
#include "prefs/ChunkCodec.h"
#include "prefs/Json.h"
#include "tests/core/FakeHost.h"

namespace hm {
namespace {

std::unique_ptr<Plug> makePlug() { return std::make_unique<Plug>(&test::fakeHost); }

std::string chunkText(Plug& plug, bool preset) {
    void* data = nullptr;
    const int size = plug.getChunk(&data, preset);
    auto text = state::decodeChunk(data, static_cast<std::size_t>(size));
    return text ? *text : std::string();
}

std::vector<std::string> topLevelMembers(const std::string& text) {
    prefs::JsonPtr doc = prefs::parseJson(text);
    std::vector<std::string> names;
    for (const cJSON* m = doc ? doc->child : nullptr; m; m = m->next) names.push_back(m->string);
    return names;
}

void applyText(Plug& plug, const std::string& text, bool preset) {
    std::string bytes = text;
    bytes.push_back('\0');
    plug.setChunk(bytes.data(), static_cast<int>(bytes.size()), preset);
}

TEST(StateDocument, DefaultBankChunkIsCompressedWithMembersInOrder) {
    auto plug = makePlug();
    void* data = nullptr;
    const int size = plug->getChunk(&data, false);
    ASSERT_GT(size, 4);
    EXPECT_EQ(std::memcmp(data, "ZIP ", 4), 0);
    const std::string text = chunkText(*plug, false);
    EXPECT_EQ(topLevelMembers(text), (std::vector<std::string>{"presets", "ab", "settings", "uiprefs", "routing"}));
    prefs::JsonPtr doc = prefs::parseJson(text);
    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItem(doc.get(), "presets")), 20);
    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItem(doc.get(), "ab")), 8);
    const cJSON* params = cJSON_GetObjectItem(cJSON_GetArrayItem(cJSON_GetObjectItem(doc.get(), "presets"), 0), "parameters");
    EXPECT_EQ(cJSON_GetArraySize(params), 366);
    EXPECT_STREQ(params->child->string, "kBypass");
}

TEST(StateDocument, PlainTextChunkLoadsLikeACompressedOne) {
    auto source = makePlug();
    source->setParameter(bandParam(3, kBandGain), 0.8125f);
    source->setProgramNameAt("Vocal", 0);
    const std::string text = chunkText(*source, false);

    auto plain = makePlug();
    applyText(*plain, text, false);
    auto zipped = makePlug();
    const auto bytes = state::encodeChunk(text);
    zipped->setChunk(const_cast<unsigned char*>(bytes.data()), static_cast<int>(bytes.size()), false);
    for (auto* p : {plain.get(), zipped.get()}) {
        EXPECT_EQ(p->getParameter(bandParam(3, kBandGain)), 0.8125f);
        char name[32] = {};
        p->getProgramName(name);
        EXPECT_STREQ(name, "Vocal");
    }
}

TEST(StateDocument, PresetWithOneParameterChangesOnlyThat) {
    auto plug = makePlug();
    plug->setParameter(kGain, 0.3f);
    applyText(*plug, R"({"parameters": {"kBand1Gain": 0.25}})", true);
    EXPECT_EQ(plug->getParameter(bandParam(0, kBandGain)), 0.25f);
    EXPECT_EQ(plug->getParameter(kGain), 0.3f);
    // Member names are case-insensitive, parameter names are not.
    applyText(*plug, R"({"PARAMETERS": {"kband1gain": 0.9, "kBand1Gain": 0.5}, "Name": "Lower"})", true);
    EXPECT_EQ(plug->getParameter(bandParam(0, kBandGain)), 0.5f);
    char name[32] = {};
    plug->getProgramName(name);
    EXPECT_STREQ(name, "Lower");
}

TEST(StateDocument, PresetPartsFilterWhatIsWrittenAndRead) {
    auto plug = makePlug();
    plug->setPresetParts(state::kPartDSP);
    const std::string text = chunkText(*plug, true);
    EXPECT_EQ(topLevelMembers(text), (std::vector<std::string>{"parameters", "name", "routing"}));
    prefs::JsonPtr doc = prefs::parseJson(text);
    const cJSON* params = cJSON_GetObjectItem(doc.get(), "parameters");
    std::vector<std::string> names;
    for (const cJSON* m = params->child; m; m = m->next) names.push_back(m->string);
    EXPECT_EQ(names, (std::vector<std::string>{"kMode", "kIRLength", "kIRWindow", "kIRWindowParam", "kIRPhase",
                                               "kIRPad", "kDPlusLen"}));
    // Reading with only the DSP part selected leaves EQ parameters alone.
    applyText(*plug, R"({"parameters": {"kGain": 0.9, "kMode": 0.5}})", true);
    EXPECT_EQ(plug->getParameter(kMode), 0.5f);
    EXPECT_EQ(plug->getParameter(kGain), 0.5f);
}

TEST(StateDocument, BankProgramCountsAreHonoured) {
    auto plug = makePlug();
    std::string many = R"({"presets": [)";
    for (int i = 0; i < 25; ++i) many += std::string(i ? "," : "") + R"({"name": "P)" + std::to_string(i) + R"("})";
    many += "]}";
    applyText(*plug, many, false);
    char name[32] = {};
    plug->getProgramNameIndexed(0, 19, name);
    EXPECT_STREQ(name, "P19");

    auto few = makePlug();
    few->setProgramNameAt("Keep", 5);
    applyText(*few, R"({"presets": [{"name": "A"}, {"name": "B"}, {"name": "C"}]})", false);
    few->getProgramNameIndexed(0, 2, name);
    EXPECT_STREQ(name, "C");
    few->getProgramNameIndexed(0, 5, name);
    EXPECT_STREQ(name, "Keep");
}

TEST(StateDocument, BankWithoutSlotsFillsEverySlotWithTheProgram) {
    auto plug = makePlug();
    plug->storeABSlot(2);
    applyText(*plug, R"({"presets": [{"parameters": {"kGain": 0.125}}]})", false);
    for (int s = 0; s < kNumABSlots; ++s) EXPECT_EQ(plug->abSlot(s).get(kGain), 0.125f) << s;
}

TEST(StateDocument, HostileDocumentsApplyNothingHarmful) {
    auto plug = makePlug();
    plug->setParameter(kGain, 0.4f);
    const char* texts[] = {
        "", "not json", "[1,2,3]", "42", R"({"presets": "oops"})", R"({"presets": [1, null, "x", []]})",
        R"({"ab": {"parameters": 3}})", R"({"parameters": {"kGain": "loud"}})", R"({"parameters": {"kGain": 1e999}})",
        R"({"settings": {"currentAB": 1e300, "currentPreset": -5}})", R"({"routing": {"groups": "all"}})",
    };
    for (const char* t : texts) {
        applyText(*plug, t, false);
        applyText(*plug, t, true);
    }
    EXPECT_EQ(plug->getParameter(kGain), 0.4f);
    EXPECT_GE(plug->getCurrentABSlot(), 0);
    EXPECT_LT(plug->getCurrentABSlot(), kNumABSlots);
    EXPECT_GE(plug->getProgram(), 0);

    // Deep nesting and damaged compressed data.
    std::string deep(100000, '[');
    applyText(*plug, deep, false);
    std::vector<unsigned char> bytes = state::encodeChunk(chunkText(*plug, false));
    bytes.resize(bytes.size() / 2);
    plug->setChunk(bytes.data(), static_cast<int>(bytes.size()), false);
    EXPECT_EQ(plug->getParameter(kGain), 0.4f);
    EXPECT_EQ(plug->setChunk(nullptr, 10, false), 0);

    // Out-of-range values clamp; a long name is cut.
    applyText(*plug, R"({"parameters": {"kGain": 7, "kScale": -3}, "name": "A very long program name indeed, cut"})", true);
    EXPECT_EQ(plug->getParameter(kGain), 1.0f);
    EXPECT_EQ(plug->getParameter(kScale), 0.0f);
    char name[64] = {};
    plug->getProgramName(name);
    EXPECT_EQ(std::strlen(name), 23u);
}

// A state with nothing of ours in it (a host's empty state, another plug-in's
// JSON) is refused whole: no slot, program, undo entry or editor setting moves.
TEST(StateDocument, DocumentsWithoutOurMembersAreRefusedAndChangeNothing) {
    auto plug = makePlug();
    plug->setParameter(bandParam(0, kBandState), 1.0f);
    plug->setParameter(kGain, 0.3f);
    plug->storeABSlot(1);
    plug->setParameter(kGain, 0.6f);
    plug->beginEdit(kScale);
    plug->setParameter(kScale, 0.9f);
    plug->endEdit(kScale);
    ASSERT_TRUE(plug->canUndo());
    const std::string bank = chunkText(*plug, false), preset = chunkText(*plug, true);
    for (const char* text : {"{}", R"({"version": 3, "plugin": "another"})", R"({"Parameters ": {"kGain": 0}})"}) {
        SCOPED_TRACE(text);
        for (bool asPreset : {false, true}) {
            std::vector<unsigned char> bytes = state::encodeChunk(text);
            EXPECT_EQ(plug->setChunk(bytes.data(), static_cast<int>(bytes.size()), asPreset), 0);
            EXPECT_EQ(chunkText(*plug, false), bank);
            EXPECT_EQ(chunkText(*plug, true), preset);
            EXPECT_TRUE(plug->canUndo());
        }
    }
    EXPECT_EQ(plug->getParameter(kGain), 0.6f);
    EXPECT_EQ(plug->abSlot(1).get(kGain), 0.3f);

    // One member of ours is enough: the rest keep what their absence means.
    std::vector<unsigned char> settingsOnly = state::encodeChunk(R"({"settings": {"analyserState": true}})");
    EXPECT_GT(plug->setChunk(settingsOnly.data(), static_cast<int>(settingsOnly.size()), false), 0);
    std::vector<unsigned char> nameOnly = state::encodeChunk(R"({"name": "Renamed"})");
    EXPECT_GT(plug->setChunk(nameOnly.data(), static_cast<int>(nameOnly.size()), true), 0);
    char name[64] = {};
    plug->getProgramName(name);
    EXPECT_STREQ(name, "Renamed");
}

TEST(StateDocument, LoadingClearsUndoAndKeepsEditorSettings) {
    auto plug = makePlug();
    plug->beginEdit(kGain);
    plug->setParameter(kGain, 0.9f);
    plug->endEdit(kGain);
    ASSERT_TRUE(plug->canUndo());
    plug->sessionState().analyserType = 3;
    plug->sessionState().prePost = true;
    plug->editorPreferenceTree().setUIPreference("Graph", "Range", 5);
    const std::string text = chunkText(*plug, false);
    auto other = makePlug();
    applyText(*other, text, false);
    EXPECT_FALSE(other->canUndo());
    EXPECT_EQ(other->sessionState().analyserType, 3);
    EXPECT_TRUE(other->sessionState().prePost);
    EXPECT_EQ(other->editorPreferenceTree().getUIPreference("Graph", "Range"), 5);
}

TEST(StateDocument, RandomStatesRoundTripBitForBit) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int round = 0; round < 5; ++round) {
        auto source = makePlug();
        for (int prog = 0; prog < kNumPrograms; prog += 7) {
            source->setProgram(prog);
            for (int i = 0; i < kNumParams; ++i)
                if (i != kABBank) source->setParameter(i, unit(rng));
            source->setProgramNameAt(("Program " + std::to_string(rng() % 1000)).c_str(), prog);
        }
        source->storeABSlot(static_cast<int>(rng() % 8));
        const std::string first = chunkText(*source, false);
        auto copy = makePlug();
        applyText(*copy, first, false);
        for (int i = 0; i < kNumParams; ++i) ASSERT_EQ(copy->getParameter(i), source->getParameter(i)) << i;
        for (int prog = 0; prog < kNumPrograms; ++prog)
            for (int i = 0; i < kNumParams; ++i)
                ASSERT_EQ(copy->program(prog).values.get(i), source->program(prog).values.get(i)) << prog << " " << i;
        EXPECT_EQ(chunkText(*copy, false), first);
    }
}

}  // namespace
}  // namespace hm
