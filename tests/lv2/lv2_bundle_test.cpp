// The bundle as LV2 hosts and the LV2 tools see it: three plug-ins, every
// parameter a control port in its real unit, Turtle that parses.
#include <gtest/gtest.h>

#include <lilv/lilv.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/port-props/port-props.h>
#include <lv2/ui/ui.h>
#include <lv2/units/units.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/lv2/Lv2TestHost.h"

namespace hm::test {
namespace {

const char* const kUris[] = {"urn:corvanta:harmoniform:mono", "urn:corvanta:harmoniform:stereo",
                             "urn:corvanta:harmoniform:surround"};

std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof(buffer), pipe)) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

struct Node {
    LilvNode* node;
    explicit Node(LilvNode* n) : node(n) {}
    ~Node() { lilv_node_free(node); }
    operator const LilvNode*() const { return node; }
};

TEST(Lv2Bundle, ThreePluginsEachWithEveryParameterAsAControlPort) {
    lv2host::World& w = lv2host::World::get();
    Node control(lilv_new_uri(w.world, LV2_CORE__ControlPort)), input(lilv_new_uri(w.world, LV2_CORE__InputPort));
    const std::regex symbolForm("[a-z][a-z0-9_]*");
    for (const char* uri : kUris) {
        SCOPED_TRACE(uri);
        const LilvPlugin* plugin = w.plugin(uri);
        ASSERT_TRUE(plugin);
        EXPECT_TRUE(lilv_plugin_verify(plugin));
        // The parameters and the freewheel flag.
        EXPECT_EQ(lilv_plugin_get_num_ports_of_class(plugin, control.node, input.node, nullptr), 367u);
        std::set<std::string> symbols;
        for (std::uint32_t i = 0; i < 366; ++i) {
            const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, lilv_plugin_get_port_by_index(plugin, i)));
            EXPECT_TRUE(std::regex_match(symbol, symbolForm)) << symbol;
            symbols.insert(symbol);
        }
        EXPECT_EQ(symbols.size(), 366u);
        const std::uint32_t latency = lilv_plugin_get_latency_port_index(plugin);
        EXPECT_TRUE(lilv_plugin_has_latency(plugin));
        EXPECT_EQ(latency, 366u);
    }
}

// Sessions name ports by index and symbol, so the freewheel flag came in as the
// last port, after the audio, where no earlier port moved for it.
TEST(Lv2Bundle, TheFreewheelFlagIsTheLastPortOfEachPlugin) {
    lv2host::World& w = lv2host::World::get();
    Node input(lilv_new_uri(w.world, LV2_CORE__InputPort)), freewheeling(lilv_new_uri(w.world, LV2_CORE__freeWheeling));
    Node audio(lilv_new_uri(w.world, LV2_CORE__AudioPort)), toggled(lilv_new_uri(w.world, LV2_CORE__toggled));
    Node notOnGui(lilv_new_uri(w.world, LV2_PORT_PROPS__notOnGUI));
    const std::uint32_t channels[] = {1, 2, 8};
    for (int v = 0; v < 3; ++v) {
        SCOPED_TRACE(kUris[v]);
        const LilvPlugin* plugin = w.plugin(kUris[v]);
        ASSERT_TRUE(plugin);
        const std::uint32_t ports = lilv_plugin_get_num_ports(plugin);
        EXPECT_EQ(ports, 368u + 2 * channels[v] + 1);
        const LilvPort* port = lilv_plugin_get_port_by_designation(plugin, input, freewheeling);
        ASSERT_TRUE(port);
        EXPECT_EQ(lilv_port_get_index(plugin, port), ports - 1);
        EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, port)), "freewheel");
        EXPECT_TRUE(lilv_port_has_property(plugin, port, toggled));
        EXPECT_TRUE(lilv_port_has_property(plugin, port, notOnGui));
        // The audio ports keep the indices they had before it: right after the MIDI input.
        EXPECT_TRUE(lilv_port_is_a(plugin, lilv_plugin_get_port_by_index(plugin, 368), audio));
        EXPECT_TRUE(lilv_port_is_a(plugin, lilv_plugin_get_port_by_index(plugin, ports - 2), audio));
    }
}

struct PortRow {
    std::uint32_t index;
    const char* symbol;
    const char* name;
    float minimum, maximum, defaultValue;
    const char* unit;  // null: none
    bool logarithmic;
    std::vector<std::pair<float, const char*>> points;
};

TEST(Lv2Bundle, PortsCarryRealUnitsRangesAndChoiceNames) {
    const float levelTop = static_cast<float>(20.0 * std::log10(8.0));
    const PortRow rows[] = {
        {0, "bypass", "Bypass", 0, 1, 0, nullptr, false, {{0, "Off"}, {1, "On"}}},
        {1, "gain", "Gain", -36, 36, 0, LV2_UNITS__db, false, {}},
        {3, "f_shift", "Shift", 50, 200, 100, LV2_UNITS__pc, true, {}},
        {4, "mode", "Mode", 0, 1, 0, nullptr, false, {{0, "IIR"}, {1, "FIR"}}},
        {6, "ab_bank", "A/B", 0, 7, 0, nullptr, false, {{0, "A"}, {7, "H"}}},
        {7, "ir_length", "IRLength", 0, 8, 3, nullptr, false, {{0, "1024 samples"}, {8, "262144 samples"}}},
        {9, "ir_window_param", "IRWindowParam", 0, 1, 0.5f, nullptr, false, {}},
        {12, "d_plus_len", "D+Len", 0, 6, 0, nullptr, false, {{0, "Off"}, {1, "16 samples"}}},
        {13, "ms_state", "MS State", 0, 15, 8, nullptr, false, {}},
        {14, "channel1_level", "Channel 1 Level", -90, levelTop, 0, LV2_UNITS__db, false, {}},
        {15, "channel1_phase", "Channel 1 Phase", 0, 1, 0, nullptr, false, {{0, "Norm"}, {1, "Inv"}}},
        {45, "channel8_solo", "Channel 8 Solo", 0, 1, 0, nullptr, false, {{0, "Off"}, {1, "On"}}},
        {46, "band1_state", "Band1 State", 0, 2, 0, nullptr, false, {{0, "Off"}, {1, "Byp"}, {2, "On"}}},
        {48, "band1_type", "Band1 Type", 1, 6, 1, nullptr, false,
         {{1, "Peak"}, {2, "HPF"}, {3, "LSh"}, {4, "HSh"}, {5, "LPF"}, {6, "Notch"}}},
        {50, "band1_gain", "Band1 Gain", -36, 36, 0, LV2_UNITS__db, false, {}},
        {51, "band1_frequency", "Band1 Frequency", 10, 22000, 80, LV2_UNITS__hz, true, {}},
        {52, "band1_q", "Band1 Q", 0.1f, 50, 0.707f, nullptr, true, {}},
        {54, "band1_slope", "Band1 Slope", 6, 48, 18, LV2_UNITS__db, false, {}},
        {365, "band32_phase", "Band32 Phase", -100, 100, 0, LV2_UNITS__pc, false, {}},
    };
    lv2host::World& w = lv2host::World::get();
    const LilvPlugin* plugin = w.plugin(kUris[1]);
    ASSERT_TRUE(plugin);
    Node unitOf(lilv_new_uri(w.world, LV2_UNITS__unit)), logarithmic(lilv_new_uri(w.world, LV2_PORT_PROPS__logarithmic));
    for (const PortRow& r : rows) {
        SCOPED_TRACE(r.symbol);
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, r.index);
        ASSERT_TRUE(port);
        EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, port)), r.symbol);
        LilvNode* name = lilv_port_get_name(plugin, port);
        EXPECT_STREQ(lilv_node_as_string(name), r.name);
        lilv_node_free(name);
        LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
        lilv_port_get_range(plugin, port, &def, &min, &max);
        EXPECT_NEAR(lilv_node_as_float(min), r.minimum, 1e-4);
        EXPECT_NEAR(lilv_node_as_float(max), r.maximum, 1e-4);
        EXPECT_NEAR(lilv_node_as_float(def), r.defaultValue, 1e-4);
        lilv_node_free(def), lilv_node_free(min), lilv_node_free(max);
        LilvNodes* units = lilv_port_get_value(plugin, port, unitOf);
        const LilvNode* unit = units ? lilv_nodes_get_first(units) : nullptr;
        EXPECT_STREQ(unit ? lilv_node_as_uri(unit) : nullptr, r.unit);
        lilv_nodes_free(units);
        EXPECT_EQ(lilv_port_has_property(plugin, port, logarithmic), r.logarithmic);
        LilvScalePoints* points = lilv_port_get_scale_points(plugin, port);
        std::size_t found = 0;
        for (const auto& [value, label] : r.points) {
            LILV_FOREACH(scale_points, i, points) {
                const LilvScalePoint* p = lilv_scale_points_get(points, i);
                if (lilv_node_as_float(lilv_scale_point_get_value(p)) == value &&
                    std::string(lilv_node_as_string(lilv_scale_point_get_label(p))) == label)
                    ++found;
            }
        }
        EXPECT_EQ(found, r.points.size());
        lilv_scale_points_free(points);
    }
}

TEST(Lv2Bundle, TheLv2ToolsReadTheBundle) {
    const std::string bundle = std::string(HM_LV2_PATH) + "/Harmoniform.lv2/";
    for (const char* file : {"manifest.ttl", "Harmoniform.ttl"})
        EXPECT_EQ(std::system(("serdi -q -o ntriples '" + bundle + file + "' > /dev/null").c_str()), 0) << file;
    const std::string env = "LV2_PATH='" + std::string(HM_LV2_PATH) + "' ";
    const std::string listed = commandOutput(env + "lv2ls");
    for (const char* uri : kUris) {
        SCOPED_TRACE(uri);
        EXPECT_NE(listed.find(uri), std::string::npos);
        const std::string info = commandOutput(env + "lv2info " + uri);
        // 366 parameter inputs, the freewheel flag and the latency output.
        EXPECT_EQ(countOf(info, "lv2core#ControlPort"), 368);
        EXPECT_NE(info.find("Symbol:      band32_phase"), std::string::npos);
        EXPECT_NE(info.find("Minimum:     10.000000\n\t\tMaximum:     22000.000000"), std::string::npos);
        EXPECT_NE(info.find("\t\turn:corvanta:harmoniform:ui\n\t\t\tClass:  http://lv2plug.in/ns/extensions/ui#X11UI"),
                  std::string::npos);
    }
}

// The editor as the one X11 UI of each plug-in, in the plug-in's library, with
// what it cannot open without.
TEST(Lv2Bundle, EachPluginHasTheEditorAsAnX11Ui) {
    lv2host::World& w = lv2host::World::get();
    Node x11(lilv_new_uri(w.world, LV2_UI__X11UI)), ui(lilv_new_uri(w.world, "urn:corvanta:harmoniform:ui"));
    Node required(lilv_new_uri(w.world, LV2_CORE__requiredFeature)), optional(lilv_new_uri(w.world, LV2_CORE__optionalFeature));
    Node extension(lilv_new_uri(w.world, LV2_CORE__extensionData));
    const auto objects = [&](const LilvNode* predicate) {
        std::set<std::string> uris;
        LilvNodes* nodes = lilv_world_find_nodes(w.world, ui, predicate, nullptr);
        LILV_FOREACH(nodes, i, nodes) uris.insert(lilv_node_as_uri(lilv_nodes_get(nodes, i)));
        lilv_nodes_free(nodes);
        return uris;
    };
    for (const char* uri : kUris) {
        SCOPED_TRACE(uri);
        const LilvPlugin* plugin = w.plugin(uri);
        ASSERT_TRUE(plugin);
        LilvUIs* uis = lilv_plugin_get_uis(plugin);
        ASSERT_EQ(lilv_uis_size(uis), 1u);
        const LilvUI* found = lilv_uis_get(uis, lilv_uis_begin(uis));
        EXPECT_TRUE(lilv_node_equals(lilv_ui_get_uri(found), ui));
        EXPECT_TRUE(lilv_ui_is_a(found, x11));
        EXPECT_TRUE(lilv_node_equals(lilv_ui_get_binary_uri(found), lilv_plugin_get_library_uri(plugin)));
        lilv_uis_free(uis);
    }
    EXPECT_EQ(objects(required), (std::set<std::string>{LV2_UI__parent, LV2_UI__idleInterface, LV2_INSTANCE_ACCESS_URI}));
    EXPECT_EQ(objects(optional), (std::set<std::string>{LV2_UI__resize, LV2_UI__touch, LV2_UI__noUserResize}));
    EXPECT_EQ(objects(extension), (std::set<std::string>{LV2_UI__idleInterface}));
}

}  // namespace
}  // namespace hm::test
