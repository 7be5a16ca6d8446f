// The factory programs as LV2 presets: hosts list them for each plug-in, and a
// preset loaded the host's way sounds as the VST plug-in does with that program.
#include <gtest/gtest.h>

#include <cjson/cJSON.h>
#include <lv2/presets/presets.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/params/Enumeration.h"
#include "core/params/ParamIds.h"
#include "tests/lv2/VstReference.h"

namespace hm::test {
namespace {

constexpr float kRate = 48000.0f;
constexpr int kBlock = 256;
constexpr int kFrames = 8192;

// The named programs of the factory bank, by name, as the VST plug-in's normalised values.
std::map<std::string, std::vector<std::pair<int, float>>> factoryPrograms() {
    std::ifstream file(std::string(HM_SOURCE_DIR) + "/presets/Factory Bank.hmp");
    std::stringstream text;
    text << file.rdbuf();
    std::map<std::string, std::vector<std::pair<int, float>>> programs;
    cJSON* bank = cJSON_Parse(text.str().c_str());
    const cJSON* entry = nullptr;
    cJSON_ArrayForEach(entry, cJSON_GetObjectItemCaseSensitive(bank, "presets")) {
        const cJSON* name = cJSON_GetObjectItemCaseSensitive(entry, "name");
        if (!cJSON_IsString(name) || std::string(name->valuestring) == "-") continue;
        auto& values = programs[name->valuestring];
        const cJSON* parameters = cJSON_GetObjectItemCaseSensitive(entry, "parameters");
        for (int i = 0; i < kNumParams; ++i) {
            const cJSON* value = cJSON_GetObjectItemCaseSensitive(parameters, enumNameOf(i));
            if (cJSON_IsNumber(value)) values.emplace_back(i, static_cast<float>(value->valuedouble));
        }
    }
    cJSON_Delete(bank);
    return programs;
}

struct Preset {
    std::string uri, label;
};

std::vector<Preset> presetsOf(const LilvPlugin* plugin) {
    lv2host::World& w = lv2host::World::get();
    LilvNode* presetClass = lilv_new_uri(w.world, LV2_PRESETS__Preset);
    LilvNode* label = lilv_new_uri(w.world, "http://www.w3.org/2000/01/rdf-schema#label");
    std::vector<Preset> found;
    LilvNodes* related = lilv_plugin_get_related(plugin, presetClass);
    LILV_FOREACH(nodes, i, related) {
        const LilvNode* preset = lilv_nodes_get(related, i);
        lilv_world_load_resource(w.world, preset);
        LilvNodes* labels = lilv_world_find_nodes(w.world, preset, label, nullptr);
        found.push_back({lilv_node_as_uri(preset), labels ? lilv_node_as_string(lilv_nodes_get_first(labels)) : ""});
        lilv_nodes_free(labels);
    }
    lilv_nodes_free(related);
    lilv_node_free(label);
    lilv_node_free(presetClass);
    return found;
}

TEST(Lv2Presets, EveryNamedFactoryProgramIsAPresetOfEachPlugin) {
    const auto programs = factoryPrograms();
    ASSERT_GE(programs.size(), 8u);
    for (const char* uri : {"urn:corvanta:harmoniform:mono", "urn:corvanta:harmoniform:stereo",
                            "urn:corvanta:harmoniform:surround"}) {
        SCOPED_TRACE(uri);
        const LilvPlugin* plugin = lv2host::World::get().plugin(uri);
        ASSERT_TRUE(plugin);
        std::map<std::string, int> labels;
        for (const Preset& p : presetsOf(plugin)) ++labels[p.label];
        std::map<std::string, int> expected;
        for (const auto& [name, values] : programs) expected[name] = 1;
        EXPECT_EQ(labels, expected);
        // lv2info lists them, as a user browsing the plug-in sees them.
        const std::string info =
            [&] {
                std::string out;
                if (FILE* pipe = ::popen(("LV2_PATH='" + std::string(HM_LV2_PATH) + "' lv2info " + uri).c_str(), "r")) {
                    char buffer[4096];
                    while (std::size_t n = std::fread(buffer, 1, sizeof(buffer), pipe)) out.append(buffer, n);
                    ::pclose(pipe);
                }
                return out;
            }();
        for (const auto& [name, values] : programs) EXPECT_NE(info.find("\t         " + name + "\n"), std::string::npos) << name;
    }
}

// Loaded as hosts load a preset (lilv's state from the preset's resource,
// restored with its port values), each sounds as the program does in the VST
// plug-in: the port values, real units written as decimals, read back as the
// program's own normalised values.
TEST(Lv2Presets, EachPresetRendersWhatTheVstRendersWithThatFactoryProgram) {
    const auto programs = factoryPrograms();
    lv2host::World& w = lv2host::World::get();
    const LilvPlugin* stereo = w.plugin("urn:corvanta:harmoniform:stereo");
    ASSERT_TRUE(stereo);
    const auto presets = presetsOf(stereo);
    ASSERT_EQ(presets.size(), programs.size());
    const auto in = noise(2, kFrames, 11);
    auto flat = makeVstReference(2, kRate, kBlock, {});
    ASSERT_TRUE(flat);
    const auto dry = renderVst(*flat, in, kBlock);
    for (const Preset& preset : presets) {
        SCOPED_TRACE(preset.label);
        ASSERT_TRUE(programs.count(preset.label));
        LilvNode* node = lilv_new_uri(w.world, preset.uri.c_str());
        LilvState* state = lilv_state_new_from_world(w.world, w.map, node);
        lilv_node_free(node);
        ASSERT_TRUE(state);
        EXPECT_EQ(lilv_state_get_num_properties(state), 0u) << "port values only: loading keeps the bank";

        auto plugin = lv2host::Plugin::create("urn:corvanta:harmoniform:stereo", kRate, kBlock);
        ASSERT_TRUE(plugin);
        plugin->restoreState(state);
        lilv_state_free(state);
        plugin->activate();
        auto reference = makeVstReference(2, kRate, kBlock, programs.at(preset.label));
        ASSERT_TRUE(reference);
        const auto lv2 = plugin->run(in, kBlock);
        const auto vst = renderVst(*reference, in, kBlock);
        EXPECT_EQ(maxDifference(lv2, vst), 0.0);  // the same blocks: the same bits
        // Not the flat sound by accident, except for the program that is flat.
        if (preset.label != "Flat") EXPECT_GT(maxDifference(lv2, dry), 1e-3);
    }
}

}  // namespace
}  // namespace hm::test
