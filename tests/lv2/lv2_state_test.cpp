// The state extension keeps the whole bank: a host saves, destroys, and restores
// into a new instance, which then sounds and saves as the first one did.
#include <gtest/gtest.h>

#include <lv2/atom/atom.h>
#include <lv2/log/log.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "prefs/ChunkCodec.h"
#include "tests/lv2/VstReference.h"

namespace hm::test {
namespace {

using lv2host::Plugin;

constexpr const char* kStereo = "urn:corvanta:harmoniform:stereo";
constexpr float kRate = 44100.0f;
constexpr int kBlock = 128;

std::unique_ptr<Plugin> shapedPlugin(const std::string& uri) {
    auto plugin = Plugin::create(uri, kRate, kBlock);
    if (!plugin) return nullptr;
    for (const auto& [symbol, value] : std::vector<std::pair<const char*, float>>{
             {"band1_state", 2}, {"band1_gain", -7}, {"band1_frequency", 2500}, {"band1_q", 4},
             {"band5_state", 2}, {"band5_type", 3}, {"band5_gain", 5}, {"band5_frequency", 150}, {"gain", 2}})
        EXPECT_TRUE(plugin->set(symbol, value)) << symbol;
    plugin->activate();
    return plugin;
}

TEST(Lv2State, SavedStateRestoresIntoANewInstanceOfEachPlugin) {
    for (const char* uri : {"urn:corvanta:harmoniform:mono", kStereo, "urn:corvanta:harmoniform:surround"}) {
        SCOPED_TRACE(uri);
        auto first = shapedPlugin(uri);
        ASSERT_TRUE(first);
        const auto in = noise(first->channels(), 4096, 21);
        const auto sound = first->run(in, kBlock);
        const auto chunk = first->bankChunk();
        ASSERT_FALSE(chunk.empty());

        // Through the host's own text form of the state, as a project file keeps it.
        lv2host::World& w = lv2host::World::get();
        LilvState* saved = first->saveState();
        ASSERT_TRUE(saved);
        char* text = lilv_state_to_string(w.world, w.map, w.unmap, saved, "urn:test:state", nullptr);
        lilv_state_free(saved);
        first.reset();
        ASSERT_TRUE(text);
        LilvState* loaded = lilv_state_new_from_string(w.world, w.map, text);
        std::free(text);
        ASSERT_TRUE(loaded);

        auto second = Plugin::create(uri, kRate, kBlock);
        ASSERT_TRUE(second);
        second->restoreState(loaded);
        lilv_state_free(loaded);
        second->activate();
        EXPECT_EQ(second->bankChunk(), chunk);
        // The restored values come back through the bank's text: equal to float rounding.
        EXPECT_LE(maxDifference(second->run(in, kBlock), sound), 1e-6);
    }
}

// Ports the host set before a restore are not applied over it afterwards.
TEST(Lv2State, RestoreWinsOverPortValuesSetBeforeIt) {
    auto source = shapedPlugin(kStereo);
    ASSERT_TRUE(source);
    const auto in = noise(2, 4096, 4);
    const auto sound = source->run(in, kBlock);
    const auto chunk = source->bankChunk();

    auto target = Plugin::create(kStereo, kRate, kBlock);
    ASSERT_TRUE(target);
    target->set("band1_state", 2);
    target->set("band1_gain", 12);
    target->set("band2_state", 2);
    target->set("gain", -20);
    const LV2_URID chunkType = lv2host::World::get().urid(LV2_ATOM__Chunk);
    ASSERT_EQ(target->restoreProperty(chunk.data(), chunk.size(), chunkType), LV2_STATE_SUCCESS);
    target->activate();
    EXPECT_LE(maxDifference(target->run(in, kBlock), sound), 1e-6);
    // A port the host moves after the restore counts again.
    target->set("gain", -20);
    EXPECT_GT(maxDifference(target->run(in, kBlock), sound), 0.01);
}

// A host loading a session into a running instance: the ports still show what
// the host set before (some of it not yet run), and it moves one of them right
// after the restore. That one counts at the next run; the others do not take
// the restore back.
TEST(Lv2State, APortMovedRightAfterARestoreCountsAtTheNextRun) {
    auto source = shapedPlugin(kStereo);
    ASSERT_TRUE(source);
    const auto chunk = source->bankChunk();
    const LV2_URID chunkType = lv2host::World::get().urid(LV2_ATOM__Chunk);

    auto target = Plugin::create(kStereo, kRate, kBlock);
    ASSERT_TRUE(target);
    target->set("band1_state", 2);
    target->set("band1_gain", 12);
    target->set("band2_state", 2);
    target->set("gain", -20);
    target->activate();
    const auto in = noise(2, 4096, 6);
    target->run(in, kBlock);  // the host's values are in force
    target->set("band1_gain", 15);  // and two more set that no run has seen
    target->set("band3_state", 2);
    ASSERT_EQ(target->restoreProperty(chunk.data(), chunk.size(), chunkType), LV2_STATE_SUCCESS);
    target->set("gain", -6);

    // The saved sound with the gain moved as the host moved it.
    auto expected = shapedPlugin(kStereo);
    ASSERT_TRUE(expected);
    expected->set("gain", -6);
    EXPECT_TRUE(eventually([&] { return maxDifference(target->run(in, kBlock), expected->run(in, kBlock)) <= 1e-6; }));
    // And it stays so: nothing the host set before the restore comes back later.
    for (int round = 0; round < 3; ++round) EXPECT_LE(maxDifference(target->run(in, kBlock), expected->run(in, kBlock)), 1e-6);
}

TEST(Lv2State, DamagedOrForeignStateChangesNothingAndIsLogged) {
    auto source = Plugin::create(kStereo, kRate, kBlock);
    ASSERT_TRUE(source);
    source->set("band3_state", 2);
    source->set("band3_gain", 8);
    source->activate();
    const auto good = source->bankChunk();
    ASSERT_GT(good.size(), 16u);

    lv2host::World& w = lv2host::World::get();
    const LV2_URID chunkType = w.urid(LV2_ATOM__Chunk);
    std::vector<unsigned char> flipped = good;
    for (std::size_t i = 8; i < flipped.size(); i += 7) flipped[i] ^= 0x5A;
    // Another plug-in's state blob under our key: bytes that are no chunk at all.
    const std::string foreign = "\x89PNG\r\n\x1a\n another plug-in's blob";
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        LV2_URID type;
    };
    const Case cases[] = {
        {"truncated", std::vector<unsigned char>(good.begin(), good.begin() + good.size() / 2), chunkType},
        {"bytes damaged", flipped, chunkType},
        {"foreign bytes", std::vector<unsigned char>(foreign.begin(), foreign.end()), chunkType},
        {"wrong type", good, w.urid(LV2_ATOM__String)},
        {"empty", {}, chunkType},
        // A chunk that decodes but holds nothing of ours: a host's empty state.
        {"no settings of ours", state::encodeChunk("{}"), chunkType},
        {"another program's document", state::encodeChunk(R"({"plugin": "other", "values": [1, 2]})"), chunkType},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto target = shapedPlugin(kStereo);
        ASSERT_TRUE(target);
        const auto in = noise(2, 2048, 8);
        const auto before = target->bankChunk();
        const auto sound = shapedPlugin(kStereo)->run(in, kBlock);
        lv2host::takeLogged();
        EXPECT_NE(target->restoreProperty(c.bytes.data(), c.bytes.size(), c.type), LV2_STATE_SUCCESS);
        EXPECT_EQ(target->bankChunk(), before);
        EXPECT_EQ(maxDifference(target->run(in, kBlock), sound), 0.0);
        // The host hears why, once, as a warning; a state without our property at
        // all is a preset's port values, nothing refused.
        const auto logged = lv2host::takeLogged();
        ASSERT_EQ(logged.size(), c.bytes.empty() ? 0u : 1u);
        if (logged.empty()) continue;
        EXPECT_EQ(logged[0].rfind(std::string(LV2_LOG__Warning) + " Harmoniform: ", 0), 0u) << logged[0];
    }
}

}  // namespace
}  // namespace hm::test
