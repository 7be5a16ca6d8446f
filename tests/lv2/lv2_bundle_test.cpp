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
#include "tests/lv2/VstReference.h"

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
        // The parameters, the freewheel flag and the enable switch.
        EXPECT_EQ(lilv_plugin_get_num_ports_of_class(plugin, control.node, input.node, nullptr), 368u);
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

// Sessions name ports by index and symbol, so the freewheel flag and then the
// enable switch came in as the last ports, after the audio, where no earlier
// port moved for them.
TEST(Lv2Bundle, TheFreewheelFlagAndTheEnableSwitchAreTheLastPortsOfEachPlugin) {
    lv2host::World& w = lv2host::World::get();
    Node input(lilv_new_uri(w.world, LV2_CORE__InputPort)), freewheeling(lilv_new_uri(w.world, LV2_CORE__freeWheeling));
    Node enabled(lilv_new_uri(w.world, LV2_CORE__enabled));
    Node audio(lilv_new_uri(w.world, LV2_CORE__AudioPort)), toggled(lilv_new_uri(w.world, LV2_CORE__toggled));
    Node notOnGui(lilv_new_uri(w.world, LV2_PORT_PROPS__notOnGUI));
    const std::uint32_t channels[] = {1, 2, 8};
    for (int v = 0; v < 3; ++v) {
        SCOPED_TRACE(kUris[v]);
        const LilvPlugin* plugin = w.plugin(kUris[v]);
        ASSERT_TRUE(plugin);
        const std::uint32_t ports = lilv_plugin_get_num_ports(plugin);
        EXPECT_EQ(ports, 368u + 2 * channels[v] + 2);
        const LilvPort* port = lilv_plugin_get_port_by_designation(plugin, input, freewheeling);
        ASSERT_TRUE(port);
        EXPECT_EQ(lilv_port_get_index(plugin, port), ports - 2);
        const LilvPort* enable = lilv_plugin_get_port_by_designation(plugin, input, enabled);
        ASSERT_TRUE(enable);
        EXPECT_EQ(lilv_port_get_index(plugin, enable), ports - 1);
        EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, enable)), "enabled");
        EXPECT_TRUE(lilv_port_has_property(plugin, enable, toggled));
        LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
        lilv_port_get_range(plugin, enable, &def, &min, &max);
        EXPECT_EQ(lilv_node_as_float(def), 1.0f);  // processing until the host bypasses
        lilv_node_free(def), lilv_node_free(min), lilv_node_free(max);
        EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, port)), "freewheel");
        EXPECT_TRUE(lilv_port_has_property(plugin, port, toggled));
        EXPECT_TRUE(lilv_port_has_property(plugin, port, notOnGui));
        // The audio ports keep the indices they had before it: right after the MIDI input.
        EXPECT_TRUE(lilv_port_is_a(plugin, lilv_plugin_get_port_by_index(plugin, 368), audio));
        EXPECT_TRUE(lilv_port_is_a(plugin, lilv_plugin_get_port_by_index(plugin, ports - 3), audio));
    }
}

// The audio ports as hosts lay out channels: one main input and output group
// per plug-in, each port with its channel's role.
TEST(Lv2Bundle, AudioPortsFormTheMainGroupsWithChannelRoles) {
    lv2host::World& w = lv2host::World::get();
    Node group(lilv_new_uri(w.world, "http://lv2plug.in/ns/ext/port-groups#group"));
    Node designation(lilv_new_uri(w.world, LV2_CORE__designation));
    Node mainInput(lilv_new_uri(w.world, "http://lv2plug.in/ns/ext/port-groups#mainInput"));
    Node mainOutput(lilv_new_uri(w.world, "http://lv2plug.in/ns/ext/port-groups#mainOutput"));
    const std::string pg = "http://lv2plug.in/ns/ext/port-groups#";
    const std::vector<std::vector<std::string>> roles = {
        {"center"},
        {"left", "right"},
        {"left", "center", "right", "sideLeft", "sideRight", "rearLeft", "rearRight", "lowFrequencyEffects"}};
    for (int v = 0; v < 3; ++v) {
        SCOPED_TRACE(kUris[v]);
        const LilvPlugin* plugin = w.plugin(kUris[v]);
        ASSERT_TRUE(plugin);
        const auto single = [&](const LilvNode* predicate) {
            LilvNodes* nodes = lilv_plugin_get_value(plugin, predicate);
            const std::string uri = nodes && lilv_nodes_size(nodes) == 1 ? lilv_node_as_uri(lilv_nodes_get_first(nodes)) : "";
            lilv_nodes_free(nodes);
            return uri;
        };
        const std::string in = single(mainInput), out = single(mainOutput);
        ASSERT_FALSE(in.empty());
        ASSERT_FALSE(out.empty());
        const std::size_t channels = roles[v].size();
        for (std::size_t k = 0; k < 2 * channels; ++k) {
            const LilvPort* port = lilv_plugin_get_port_by_index(plugin, 368 + static_cast<std::uint32_t>(k));
            ASSERT_TRUE(port);
            LilvNode* portGroup = lilv_port_get(plugin, port, group);
            LilvNode* role = lilv_port_get(plugin, port, designation);
            ASSERT_TRUE(portGroup && role) << k;
            EXPECT_EQ(lilv_node_as_uri(portGroup), k < channels ? in : out);
            EXPECT_EQ(lilv_node_as_uri(role), pg + roles[v][k % channels]);
            lilv_node_free(portGroup);
            lilv_node_free(role);
        }
    }
}

// A band's Groups menu names the groups each plug-in has.
TEST(Lv2Bundle, GroupsScalePointsNameEachPluginsGroups) {
    lv2host::World& w = lv2host::World::get();
    const std::vector<std::vector<std::string>> expected = {
        {"None", "Mono", "All"},
        {"None", "Left / Mid", "Right / Side", "Left+Right / Mid+Side", "All"},
        {"None", "Group 1", "Group 2", "Group 3", "Group 4", "Group 5", "Group 6", "Group 7", "Group 8", "All"}};
    for (int v = 0; v < 3; ++v) {
        SCOPED_TRACE(kUris[v]);
        const LilvPlugin* plugin = w.plugin(kUris[v]);
        ASSERT_TRUE(plugin);
        LilvScalePoints* points = lilv_port_get_scale_points(plugin, lilv_plugin_get_port_by_index(plugin, 47));
        std::set<std::string> labels;
        LILV_FOREACH(scale_points, p, points)
            labels.insert(lilv_node_as_string(lilv_scale_point_get_label(lilv_scale_points_get(points, p))));
        lilv_scale_points_free(points);
        EXPECT_EQ(labels, std::set<std::string>(expected[v].begin(), expected[v].end()));
    }
}

// The mono and stereo plug-ins keep the eight channel strips' ports (sessions
// name ports by index and symbol), but hide those of channels they do not have.
TEST(Lv2Bundle, ChannelPortsBeyondAVariantsChannelsAreHiddenFromGenericUis) {
    lv2host::World& w = lv2host::World::get();
    Node notOnGui(lilv_new_uri(w.world, LV2_PORT_PROPS__notOnGUI));
    const int channels[] = {1, 2, 8};
    for (int v = 0; v < 3; ++v) {
        SCOPED_TRACE(kUris[v]);
        const LilvPlugin* plugin = w.plugin(kUris[v]);
        ASSERT_TRUE(plugin);
        for (std::uint32_t i = 0; i < 366; ++i) {
            const bool channelPort = i >= 14 && i < 46;
            const bool beyond = channelPort && static_cast<int>((i - 14) / 4) >= channels[v];
            EXPECT_EQ(lilv_port_has_property(plugin, lilv_plugin_get_port_by_index(plugin, i), notOnGui), beyond) << i;
        }
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
        {13, "ms_state", "MS State", 0, 15, 8, nullptr, false, {{0, "Left/Right"}, {8, "Mid/Side"}, {12, "Mid/Side 1+2, 3+4"}}},
        {14, "channel1_level", "Channel 1 Level", -90, levelTop, 0, LV2_UNITS__db, false, {}},
        {15, "channel1_phase", "Channel 1 Phase", 0, 1, 0, nullptr, false, {{0, "Normal"}, {1, "Inverted"}}},
        {45, "channel8_solo", "Channel 8 Solo", 0, 1, 0, nullptr, false, {{0, "Off"}, {1, "On"}}},
        {46, "band1_state", "Band1 State", 0, 2, 0, nullptr, false, {{0, "Off"}, {1, "Bypass"}, {2, "On"}}},
        {48, "band1_type", "Band1 Type", 1, 6, 1, nullptr, false,
         {{1, "Peak"}, {2, "High-pass"}, {3, "Low Shelf"}, {4, "High Shelf"}, {5, "Low-pass"}, {6, "Notch"}}},
        {47, "band1_groups", "Band1 Groups", 0, 255, 255, nullptr, false, {{0, "None"}, {64, "Right / Side"}, {255, "All"}}},
        {49, "band1_subtype", "Band1 Subtype", 1, 32, 1, nullptr, false, {{1, "Kes"}, {3, "Ox1 / Butterworth / 110"}}},
        {8, "ir_window", "IRWindow", 0, 15, 10, nullptr, false, {{0, "Rectangular"}, {10, "Kaiser"}, {14, "FlatTop"}}},
        {10, "ir_phase", "IRPhase", 0, 7, 4, nullptr, false, {{0, "Linear"}, {2, "Zero-latency Analogue"}, {4, "Free"}}},
        {11, "ir_pad", "IRPad", 0, 3, 0, nullptr, false, {{0, "x1"}, {3, "x8"}}},
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
        // 366 parameter inputs, the freewheel flag, the enable switch and the latency output.
        EXPECT_EQ(countOf(info, "lv2core#ControlPort"), 369);
        EXPECT_NE(info.find("Symbol:      band32_phase"), std::string::npos);
        EXPECT_NE(info.find("Minimum:     10.000000\n\t\tMaximum:     22000.000000"), std::string::npos);
        EXPECT_NE(info.find("\t\turn:corvanta:harmoniform:ui\n\t\t\tClass:  http://lv2plug.in/ns/extensions/ui#X11UI"),
                  std::string::npos);
    }
}

// Who made the plug-ins, under what terms, and which release they are: what
// hosts show in their browsers and compare to pick the newer bundle.
TEST(Lv2Bundle, PluginsNameTheirAuthorLicenceAndVersion) {
    lv2host::World& w = lv2host::World::get();
    Node license(lilv_new_uri(w.world, "http://usefulinc.com/ns/doap#license"));
    Node minor(lilv_new_uri(w.world, LV2_CORE__minorVersion)), micro(lilv_new_uri(w.world, LV2_CORE__microVersion));
    Node project(lilv_new_uri(w.world, "http://usefulinc.com/ns/doap#Project"));
    Node type(lilv_new_uri(w.world, "http://www.w3.org/1999/02/22-rdf-syntax-ns#type"));
    for (const char* uri : kUris) {
        SCOPED_TRACE(uri);
        const LilvPlugin* plugin = w.plugin(uri);
        ASSERT_TRUE(plugin);
        LilvNode* name = lilv_plugin_get_author_name(plugin);
        ASSERT_TRUE(name);
        EXPECT_STREQ(lilv_node_as_string(name), "Corvanta");
        lilv_node_free(name);
        LilvNode* homepage = lilv_plugin_get_author_homepage(plugin);
        ASSERT_TRUE(homepage);
        EXPECT_TRUE(lilv_node_is_uri(homepage));
        lilv_node_free(homepage);
        for (const LilvNode* predicate : {license.node, minor.node, micro.node}) {
            LilvNodes* values = lilv_plugin_get_value(plugin, predicate);
            EXPECT_EQ(values ? lilv_nodes_size(values) : 0u, 1u) << lilv_node_as_uri(predicate);
            lilv_nodes_free(values);
        }
        Node self(lilv_new_uri(w.world, uri));
        EXPECT_TRUE(lilv_world_ask(w.world, self, type, project));
        // The version is the project's: 1.0.0 is minor 0, micro 0.
        LilvNodes* minors = lilv_plugin_get_value(plugin, minor);
        ASSERT_TRUE(minors);
        EXPECT_EQ(lilv_node_as_int(lilv_nodes_get_first(minors)), HM_VERSION_MINOR);
        lilv_nodes_free(minors);
        // lv2info, as users read a plug-in's details.
        const std::string info =
            commandOutput("LV2_PATH='" + std::string(HM_LV2_PATH) + "' lv2info " + std::string(uri));
        EXPECT_NE(info.find("\tAuthor:            Corvanta\n"), std::string::npos) << info.substr(0, 600);
        EXPECT_NE(info.find("\tAuthor Homepage:   "), std::string::npos);
    }
}

// The menus a host builds from the scale points read as the plug-in's own
// display texts, every choice port is a menu, and every port in a real unit says so.
TEST(Lv2Bundle, ChoicePortsAreMenusOfTheDisplayedNamesAndUnitsAreDeclared) {
    lv2host::World& w = lv2host::World::get();
    const LilvPlugin* plugin = w.plugin(kUris[1]);
    ASSERT_TRUE(plugin);
    auto vst = makeVstReference(2, 48000.0f, 256, {});
    ASSERT_TRUE(vst);
    Node enumeration(lilv_new_uri(w.world, LV2_CORE__enumeration)), integer(lilv_new_uri(w.world, LV2_CORE__integer));
    Node toggled(lilv_new_uri(w.world, LV2_CORE__toggled)), unitOf(lilv_new_uri(w.world, LV2_UNITS__unit));
    int menus = 0;
    for (std::uint32_t i = 0; i < 366; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        ASSERT_TRUE(port);
        const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
        SCOPED_TRACE(symbol);
        // A VST label that is a unit is an LV2 unit (Q has none in the LV2 units; IRLength is a menu of lengths).
        const std::string label = vst->parameterLabel(static_cast<int>(i));
        LilvNodes* units = lilv_port_get_value(plugin, port, unitOf);
        const std::string unit = units ? lilv_node_as_uri(lilv_nodes_get_first(units)) : "";
        lilv_nodes_free(units);
        if (label == "dB") EXPECT_EQ(unit, LV2_UNITS__db);
        if (label == "Hz") EXPECT_EQ(unit, LV2_UNITS__hz);
        if (label == "%") EXPECT_EQ(unit, LV2_UNITS__pc);

        const bool choice = label.empty() && lilv_port_has_property(plugin, port, integer);
        if (!choice) continue;
        const bool maskOrSubtype = symbol.find("_groups") != std::string::npos || symbol.find("_subtype") != std::string::npos;
        if (!maskOrSubtype && !lilv_port_has_property(plugin, port, toggled)) {
            EXPECT_TRUE(lilv_port_has_property(plugin, port, enumeration));
            ++menus;
        }
        if (maskOrSubtype) continue;  // named under every type or by mask, not as the VST shows one value
        LilvScalePoints* points = lilv_port_get_scale_points(plugin, port);
        ASSERT_TRUE(points);
        EXPECT_GE(lilv_scale_points_size(points), 2u);
        LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
        lilv_port_get_range(plugin, port, &def, &min, &max);
        const float lo = lilv_node_as_float(min), hi = lilv_node_as_float(max);
        lilv_node_free(def), lilv_node_free(min), lilv_node_free(max);
        LILV_FOREACH(scale_points, p, points) {
            const LilvScalePoint* point = lilv_scale_points_get(points, p);
            const float value = lilv_node_as_float(lilv_scale_point_get_value(point));
            const std::string name = lilv_node_as_string(lilv_scale_point_get_label(point));
            // The VST display of the same value: a choice with k values sits at position/k.
            if (symbol == "ab_bank") continue;  // setting it switches slots
            vst->setParameter(static_cast<int>(i), (value - lo) / (hi - lo + (lilv_port_has_property(plugin, port, toggled) ? 0 : 1)));
            EXPECT_EQ(vst->parameterDisplay(static_cast<int>(i)), name) << "at " << value;
        }
        lilv_scale_points_free(points);
    }
    // Mode, Parallel, A/B, IRWindow, IRPhase, IRPad, D+Len, MS State, and State and Type of every band
    // (IRLength, a menu of lengths, has a unit on the VST side).
    EXPECT_EQ(menus, 8 + 2 * 32);
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
