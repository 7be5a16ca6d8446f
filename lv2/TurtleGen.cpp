// Writes the bundle's Turtle from the parameter model: manifest.ttl and
// Harmoniform.ttl in the folder given, and the factory bank's programs as
// presets in its presets/ folder. Run at build time.
#include <cjson/cJSON.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/params/Enumeration.h"
#include "core/params/ParamTable.h"
#include "lv2/PortModel.h"
#include "lv2/Variants.h"

namespace {

using namespace hm::lv2;

const char* const kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix log: <http://lv2plug.in/ns/ext/log#> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

// A float as a Turtle decimal that reads back as the same float.
std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

const char* unitName(PortUnit unit) {
    switch (unit) {
        case PortUnit::Decibel: return "units:db";
        case PortUnit::Hertz: return "units:hz";
        case PortUnit::Percent: return "units:pc";
        default: return nullptr;
    }
}

// `hidden`: the port stays (sessions name ports by index and symbol, the same in
// every variant) but does nothing here, so generic UIs leave it out.
void writeControlPort(std::ostream& out, const ControlPort& p, bool hidden) {
    out << "    [\n        a lv2:InputPort, lv2:ControlPort ;\n"
        << "        lv2:index " << p.index << " ;\n"
        << "        lv2:symbol " << quoted(p.symbol) << " ;\n"
        << "        lv2:name " << quoted(p.name) << " ;\n"
        << "        lv2:default " << number(p.defaultValue) << " ;\n"
        << "        lv2:minimum " << number(p.minimum) << " ;\n"
        << "        lv2:maximum " << number(p.maximum);
    std::string properties;
    auto add = [&](const char* property) { properties += (properties.empty() ? "" : ", ") + std::string(property); };
    if (p.integer) add("lv2:integer");
    if (p.toggled) add("lv2:toggled");
    if (p.enumeration) add("lv2:enumeration");
    if (p.logarithmic) add("pprops:logarithmic");
    if (hidden) add("pprops:notOnGUI");
    if (!properties.empty()) out << " ;\n        lv2:portProperty " << properties;
    if (const char* unit = unitName(p.unit)) out << " ;\n        units:unit " << unit;
    for (const ScalePoint& s : p.scalePoints)
        out << " ;\n        lv2:scalePoint [ rdfs:label " << quoted(s.label) << " ; rdf:value " << number(s.value) << " ]";
    out << "\n    ]";
}

// The host channel layouts of the three plug-ins: mono, stereo and 7.1 (left,
// centre, right, side left and right, rear left and right, LFE), the order
// the instance takes its surround channels in.
const char* groupClass(int channels) {
    return channels == 1 ? "MonoGroup" : channels == 2 ? "StereoGroup" : "SevenPointOneGroup";
}

const char* channelRole(int channels, int c) {
    if (channels == 1) return "center";
    if (channels == 2) return c == 0 ? "left" : "right";
    static const char* const kSurround[8] = {"left",      "center",   "right",     "sideLeft",
                                             "sideRight", "rearLeft", "rearRight", "lowFrequencyEffects"};
    return kSurround[c];
}

void writePlugin(std::ostream& out, const Variant& v) {
    out << "<" << v.uri << ">\n"
        << "    a lv2:Plugin, lv2:EQPlugin, doap:Project ;\n"
        << "    doap:name " << quoted(v.name) << " ;\n"
        << "    doap:license <" << HM_LV2_LICENSE << "> ;\n"
        << "    doap:maintainer [\n        a foaf:Organization ;\n        foaf:name " << quoted(HM_LV2_VENDOR) << " ;\n"
        << "        foaf:homepage <" << HM_LV2_HOMEPAGE << ">\n    ] ;\n"
        // The URI carries the major version: hosts compare these two to pick the newer bundle.
        << "    lv2:minorVersion " << HM_VERSION_MINOR << " ;\n"
        << "    lv2:microVersion " << HM_VERSION_PATCH << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable, urid:map, opts:options, bufsz:boundedBlockLength, log:log ;\n"
        << "    opts:supportedOption bufsz:maxBlockLength ;\n"
        << "    lv2:extensionData state:interface ;\n"
        << "    pg:mainInput <" << v.uri << ":in> ;\n"
        << "    pg:mainOutput <" << v.uri << ":out> ;\n"
        << "    ui:ui <" << kUiUri << "> ;\n"
        << "    lv2:port\n";
    for (int i = 0; i < hm::kNumParams; ++i) {
        // A variant's channels beyond its own (levels, phase, mute, solo of
        // channels 3..8 in the stereo plug-in) act on nothing.
        const int channel = hm::channelOf(i);
        writeControlPort(out, describeControlPort(i, v.channels), channel >= v.channels);
        out << " ,\n";
    }
    out << "    [\n        a lv2:OutputPort, lv2:ControlPort ;\n"
        << "        lv2:index " << kLatencyPort << " ;\n"
        << "        lv2:symbol \"latency\" ;\n        lv2:name \"Latency\" ;\n"
        << "        lv2:designation lv2:latency ;\n"
        << "        lv2:portProperty lv2:reportsLatency, lv2:integer ;\n"
        << "        lv2:minimum 0 ;\n        lv2:maximum 1048576 ;\n        units:unit units:frame\n    ] ,\n"
        << "    [\n        a lv2:InputPort, atom:AtomPort ;\n"
        << "        lv2:index " << kMidiPort << " ;\n"
        << "        lv2:symbol \"midi_in\" ;\n        lv2:name \"MIDI In\" ;\n"
        << "        atom:bufferType atom:Sequence ;\n        atom:supports midi:MidiEvent ;\n"
        << "        lv2:designation lv2:control ;\n"
        << "        lv2:portProperty lv2:connectionOptional\n    ]";
    for (int direction = 0; direction < 2; ++direction) {
        for (int c = 0; c < v.channels; ++c) {
            const int index = kFirstAudioPort + direction * v.channels + c;
            const char* kind = direction == 0 ? "in" : "out";
            out << " ,\n    [\n        a lv2:" << (direction == 0 ? "InputPort" : "OutputPort") << ", lv2:AudioPort ;\n"
                << "        lv2:index " << index << " ;\n"
                << "        lv2:symbol \"" << kind << c + 1 << "\" ;\n"
                << "        lv2:name \"" << (direction == 0 ? "In " : "Out ") << c + 1 << "\" ;\n"
                << "        pg:group <" << v.uri << ":" << kind << "> ;\n"
                << "        lv2:designation pg:" << channelRole(v.channels, c) << "\n    ]";
        }
    }
    // Set by the host while it renders faster than real time: FIR changes are
    // then waited for instead of handed over when ready.
    out << " ,\n    [\n        a lv2:InputPort, lv2:ControlPort ;\n"
        << "        lv2:index " << freewheelPort(v.channels) << " ;\n"
        << "        lv2:symbol \"freewheel\" ;\n        lv2:name \"Freewheel\" ;\n"
        << "        lv2:designation lv2:freeWheeling ;\n"
        << "        lv2:portProperty lv2:toggled, pprops:notOnGUI ;\n"
        << "        lv2:default 0 ;\n        lv2:minimum 0 ;\n        lv2:maximum 1\n    ]";
    // The host's bypass: the instance's Bypass the other way round.
    out << " ,\n    [\n        a lv2:InputPort, lv2:ControlPort ;\n"
        << "        lv2:index " << enabledPort(v.channels) << " ;\n"
        << "        lv2:symbol \"enabled\" ;\n        lv2:name \"Enabled\" ;\n"
        << "        lv2:designation lv2:enabled ;\n"
        << "        lv2:portProperty lv2:toggled, pprops:notOnGUI ;\n"
        << "        lv2:default 1 ;\n        lv2:minimum 0 ;\n        lv2:maximum 1\n    ]";
    out << " .\n\n";
    // The audio ports as the host's channel layout: main input and output.
    for (int direction = 0; direction < 2; ++direction) {
        const char* kind = direction == 0 ? "in" : "out";
        out << "<" << v.uri << ":" << kind << ">\n    a pg:" << groupClass(v.channels) << ", pg:"
            << (direction == 0 ? "InputGroup" : "OutputGroup") << " ;\n"
            << "    lv2:symbol \"" << kind << "\" ;\n"
            << "    rdfs:label \"" << (direction == 0 ? "Input" : "Output") << "\"";
        if (direction == 1) out << " ;\n    pg:source <" << v.uri << ":in>";
        out << " .\n\n";
    }
}

// The editor as an X11 UI: it opens in the host's window into the running
// instance, which only a host in the same process can hand over.
void writeUi(std::ostream& out) {
    out << "<" << kUiUri << ">\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:requiredFeature ui:parent, ui:idleInterface, <http://lv2plug.in/ns/ext/instance-access> ;\n"
        << "    lv2:optionalFeature ui:resize, ui:touch, ui:noUserResize ;\n"
        << "    lv2:extensionData ui:idleInterface .\n";
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool>(file.flush());
}

// A named program of the factory bank with its normalised values.
struct Program {
    std::string name;
    float values[hm::kNumParams];
};

// The programs of a bank file that carry a name ("-" is the empty slot).
// Parameters the file leaves out keep their defaults, as a program load does.
bool readPrograms(const std::string& path, std::vector<Program>& programs) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    if (!file) return false;
    cJSON* bank = cJSON_Parse(text.str().c_str());
    const cJSON* presets = cJSON_GetObjectItemCaseSensitive(bank, "presets");
    if (!cJSON_IsArray(presets)) {
        cJSON_Delete(bank);
        return false;
    }
    const cJSON* entry = nullptr;
    cJSON_ArrayForEach(entry, presets) {
        const cJSON* name = cJSON_GetObjectItemCaseSensitive(entry, "name");
        if (!cJSON_IsString(name) || std::string(name->valuestring).empty() || std::string(name->valuestring) == "-")
            continue;
        Program p;
        p.name = name->valuestring;
        const cJSON* parameters = cJSON_GetObjectItemCaseSensitive(entry, "parameters");
        for (int i = 0; i < hm::kNumParams; ++i) {
            const cJSON* value = cJSON_GetObjectItemCaseSensitive(parameters, hm::enumNameOf(i));
            const double x = cJSON_IsNumber(value) ? value->valuedouble : hm::staticParamTable()[i].normalised;
            p.values[i] = static_cast<float>(x < 0.0 ? 0.0 : x > 1.0 ? 1.0 : x);
        }
        programs.push_back(p);
    }
    cJSON_Delete(bank);
    return true;
}

// The preset's file name: the program name with what file systems and URIs
// dislike turned into '_' ("Mid/Side Widening" -> Mid_Side_Widening.ttl).
std::string presetFileName(const std::string& name) {
    std::string file;
    for (char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
        file += plain ? c : '_';
    }
    return file + ".ttl";
}

std::string presetUri(const std::string& fileName) {
    return std::string(kUriBase) + ":preset:" + fileName.substr(0, fileName.size() - 4);
}

void writeAppliesTo(std::ostream& out) {
    out << "    lv2:appliesTo ";
    for (int v = 0; v < kNumVariants; ++v) out << (v ? ", " : "") << "<" << kVariants[v].uri << ">";
    out << " ;\n";
}

// One program as the port values a host sets: real units, band values under the
// program's own Scale and Shift.
std::string presetTurtle(const Program& p, const std::string& uri) {
    std::ostringstream out;
    out << kPrefixes << "<" << uri << ">\n    a pset:Preset ;\n";
    writeAppliesTo(out);
    out << "    rdfs:label " << quoted(p.name) << " ;\n    lv2:port";
    const PortContext context = portContextFrom(p.values[hm::kScale], p.values[hm::kFShift]);
    for (int i = 0; i < hm::kNumParams; ++i) {
        out << (i ? " ,\n" : "\n") << "        [ lv2:symbol " << quoted(describeControlPort(i).symbol)
            << " ; pset:value " << number(normalisedToPort(i, p.values[i], context)) << " ]";
    }
    out << " .\n";
    return out.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BUNDLE-FOLDER FACTORY-BANK\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    std::vector<Program> programs;
    if (!readPrograms(argv[2], programs)) {
        std::fprintf(stderr, "%s: cannot read the programs of %s\n", argv[0], argv[2]);
        return 1;
    }
    // Presets of programs since renamed or removed must not stay behind.
    std::error_code ignored;
    std::filesystem::remove_all(folder + "/presets", ignored);
    std::filesystem::create_directories(folder + "/presets", ignored);
    std::ostringstream manifest;
    manifest << kPrefixes;
    for (const Variant& v : kVariants)
        manifest << "<" << v.uri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << kBinaryName << "> ;\n"
                 << "    rdfs:seeAlso <Harmoniform.ttl> .\n\n";
    manifest << "<" << kUiUri << ">\n    a ui:X11UI ;\n    ui:binary <" << kBinaryName << "> ;\n"
             << "    rdfs:seeAlso <Harmoniform.ttl> .\n";
    for (const Program& p : programs) {
        const std::string file = presetFileName(p.name);
        manifest << "\n<" << presetUri(file) << ">\n    a pset:Preset ;\n";
        writeAppliesTo(manifest);
        manifest << "    rdfs:label " << quoted(p.name) << " ;\n    rdfs:seeAlso <presets/" << file << "> .\n";
        if (!writeFile(folder + "/presets/" + file, presetTurtle(p, presetUri(file)))) {
            std::fprintf(stderr, "%s: cannot write %s/presets/%s\n", argv[0], folder.c_str(), file.c_str());
            return 1;
        }
    }
    std::ostringstream plugins;
    plugins << kPrefixes;
    for (const Variant& v : kVariants) writePlugin(plugins, v);
    writeUi(plugins);
    if (!writeFile(folder + "/manifest.ttl", manifest.str()) || !writeFile(folder + "/Harmoniform.ttl", plugins.str())) {
        std::fprintf(stderr, "%s: cannot write into %s\n", argv[0], folder.c_str());
        return 1;
    }
    return 0;
}
