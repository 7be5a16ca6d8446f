#include "tests/lv2/Lv2TestHost.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/log/log.h>
#include <lv2/options/options.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

#include "core/params/ParamIds.h"
#include "tests/support/AllocationCounter.h"
#include "tools/harmoniform/ParameterAssignment.h"

namespace hm::test::lv2host {
namespace {

constexpr std::uint32_t kLatencyPort = kNumParams;
constexpr std::uint32_t kMidiPort = kNumParams + 1;
constexpr std::uint32_t kFirstAudioPort = kNumParams + 2;

struct UridTable {
    std::mutex mutex;
    std::vector<std::string> uris;
    LV2_URID_Map map{this, &UridTable::mapUri};
    LV2_URID_Unmap unmap{this, &UridTable::unmapUrid};

    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
        auto* self = static_cast<UridTable*>(handle);
        std::lock_guard lock(self->mutex);
        for (std::size_t i = 0; i < self->uris.size(); ++i)
            if (self->uris[i] == uri) return static_cast<LV2_URID>(i + 1);
        self->uris.emplace_back(uri);
        return static_cast<LV2_URID>(self->uris.size());
    }
    static const char* unmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
        auto* self = static_cast<UridTable*>(handle);
        std::lock_guard lock(self->mutex);
        return urid >= 1 && urid <= self->uris.size() ? self->uris[urid - 1].c_str() : nullptr;
    }
};

UridTable& uridTable() {
    static UridTable table;
    return table;
}

// The host's log: what every instance reported, with the type's URI.
struct LogBook {
    std::mutex mutex;
    std::vector<std::string> lines;
};

LogBook& logBook() {
    static LogBook book;
    return book;
}

int logVprintf(LV2_Log_Handle, LV2_URID type, const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof(text), format, args);
    const char* uri = World::get().unmap->unmap(World::get().unmap->handle, type);
    std::lock_guard lock(logBook().mutex);
    logBook().lines.push_back(std::string(uri ? uri : "?") + " " + text);
    return 1;
}

int logPrintf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = logVprintf(handle, type, format, args);
    va_end(args);
    return n;
}

LV2_Log_Log gLog{nullptr, logPrintf, logVprintf};

struct Features {
    std::int32_t maxBlock = 0;
    LV2_Options_Option options[2] = {};
    LV2_Feature mapFeature{LV2_URID__map, nullptr};
    LV2_Feature unmapFeature{LV2_URID__unmap, nullptr};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, nullptr};
    LV2_Feature liveFeature{LV2_CORE__isLive, nullptr};
    LV2_Feature logFeature{LV2_LOG__log, &gLog};
    const LV2_Feature* list[6] = {};

    Features(int block, HostFeatures given) : maxBlock(block) {
        if (given == HostFeatures::None) return;
        World& w = World::get();
        options[0] = {LV2_OPTIONS_INSTANCE, 0, w.urid(LV2_BUF_SIZE__maxBlockLength), sizeof(std::int32_t),
                      w.urid(LV2_ATOM__Int), &maxBlock};
        mapFeature.data = w.map;
        unmapFeature.data = w.unmap;
        optionsFeature.data = options;
        list[0] = &mapFeature;
        list[1] = &unmapFeature;
        list[2] = &optionsFeature;
        list[3] = &logFeature;
        if (given == HostFeatures::UsualAndLive) list[4] = &liveFeature;
    }
    // Null for no features, as lilv's own file renderer passes them.
    const LV2_Feature* const* given() const { return list[0] ? list : nullptr; }
};

int audioPorts(const LilvPlugin* plugin, const LilvNode* direction) {
    LilvWorld* world = World::get().world;
    LilvNode* audio = lilv_new_uri(world, LV2_CORE__AudioPort);
    const int n = static_cast<int>(lilv_plugin_get_num_ports_of_class(plugin, audio, direction, nullptr));
    lilv_node_free(audio);
    return n;
}

}  // namespace

std::vector<std::string> takeLogged() {
    std::lock_guard lock(logBook().mutex);
    return std::exchange(logBook().lines, {});
}

World& World::get() {
    static World w = [] {
        World made;
        ::setenv("LV2_PATH", HM_LV2_PATH, 1);
        made.world = lilv_world_new();
        lilv_world_load_all(made.world);
        made.map = &uridTable().map;
        made.unmap = &uridTable().unmap;
        return made;
    }();
    return w;
}

const LilvPlugin* World::plugin(const std::string& uri) const {
    LilvNode* node = lilv_new_uri(world, uri.c_str());
    const LilvPlugin* p = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), node);
    lilv_node_free(node);
    return p;
}

std::unique_ptr<Plugin> Plugin::create(const std::string& uri, double rate, int maxBlock, HostFeatures given) {
    World& w = World::get();
    std::unique_ptr<Plugin> self(new Plugin);
    self->plugin_ = w.plugin(uri);
    if (!self->plugin_) return nullptr;
    static std::vector<std::unique_ptr<Features>> features;  // outlive every instance
    features.push_back(std::make_unique<Features>(maxBlock, given));
    self->instance_ = lilv_plugin_instantiate(self->plugin_, rate, features.back()->given());
    if (!self->instance_) return nullptr;
    self->maxBlock_ = maxBlock;
    LilvNode* input = lilv_new_uri(w.world, LV2_CORE__InputPort);
    self->channels_ = audioPorts(self->plugin_, input);

    self->controls_.assign(lilv_plugin_get_num_ports(self->plugin_), 0.0f);  // defaults of every port
    lilv_plugin_get_port_ranges_float(self->plugin_, nullptr, nullptr, self->controls_.data());
    self->controls_.resize(kNumParams);
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(kNumParams); ++i)
        lilv_instance_connect_port(self->instance_, i, &self->controls_[i]);
    lilv_instance_connect_port(self->instance_, kLatencyPort, &self->latency_);
    LilvNode* freewheeling = lilv_new_uri(w.world, LV2_CORE__freeWheeling);
    if (const LilvPort* port = lilv_plugin_get_port_by_designation(self->plugin_, input, freewheeling))
        lilv_instance_connect_port(self->instance_, lilv_port_get_index(self->plugin_, port), &self->freewheel_);
    lilv_node_free(freewheeling);
    LilvNode* enabled = lilv_new_uri(w.world, LV2_CORE__enabled);
    if (const LilvPort* port = lilv_plugin_get_port_by_designation(self->plugin_, input, enabled))
        lilv_instance_connect_port(self->instance_, lilv_port_get_index(self->plugin_, port), &self->enabled_);
    lilv_node_free(enabled);
    lilv_node_free(input);
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(self->midi_.data());
    sequence->atom.type = w.urid(LV2_ATOM__Sequence);
    sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
    lilv_instance_connect_port(self->instance_, kMidiPort, sequence);
    return self;
}

Plugin::~Plugin() {
    if (!instance_) return;
    if (activated_) lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
}

bool Plugin::set(const std::string& symbol, float value) {
    LilvNode* node = lilv_new_string(World::get().world, symbol.c_str());
    const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin_, node);
    lilv_node_free(node);
    if (!port) return false;
    return setPort(lilv_port_get_index(plugin_, port), value);
}

bool Plugin::setPort(std::uint32_t index, float value) {
    if (index >= controls_.size()) return false;
    controls_[index] = value;
    return true;
}

void Plugin::activate() {
    lilv_instance_activate(instance_);
    activated_ = true;
}

void Plugin::queueMidi(std::array<unsigned char, 3> message) {
    World& w = World::get();
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(midi_.data());
    struct {
        LV2_Atom_Event event;
        unsigned char bytes[8];
    } item{};
    item.event.time.frames = 0;
    item.event.body.type = w.urid(LV2_MIDI__MidiEvent);
    item.event.body.size = 3;
    std::memcpy(item.bytes, message.data(), 3);
    lv2_atom_sequence_append_event(sequence, static_cast<uint32_t>(midi_.size() - sizeof(LV2_Atom)), &item.event);
}

Channels Plugin::run(const Channels& in, int block) { return process(in, block, nullptr); }

long Plugin::countedRun(const Channels& in, int block) {
    long allocations = 0;
    process(in, block, &allocations);
    return allocations;
}

Channels Plugin::process(const Channels& in, int block, long* allocations) {
    const std::size_t frames = in.empty() ? 0 : in[0].size();
    Channels out(channels_, std::vector<float>(frames));
    std::vector<std::vector<float>> inBlock(channels_, std::vector<float>(block)), outBlock = inBlock;
    for (int c = 0; c < channels_; ++c) {
        lilv_instance_connect_port(instance_, kFirstAudioPort + c, inBlock[c].data());
        lilv_instance_connect_port(instance_, kFirstAudioPort + channels_ + c, outBlock[c].data());
    }
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(midi_.data());
    for (std::size_t done = 0; done < frames; done += block) {
        const std::size_t n = std::min<std::size_t>(block, frames - done);
        for (int c = 0; c < channels_; ++c) std::copy_n(in[c].begin() + done, n, inBlock[c].begin());
        if (allocations) {
            CountAllocations counter;
            lilv_instance_run(instance_, static_cast<uint32_t>(n));
            *allocations += counter.count();
        } else {
            lilv_instance_run(instance_, static_cast<uint32_t>(n));
        }
        for (int c = 0; c < channels_; ++c) std::copy_n(outBlock[c].begin(), n, out[c].begin() + done);
        sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);  // events go once
    }
    return out;
}

namespace {

struct PortAccess {
    Plugin* plugin;
    std::vector<float>* controls;
};

const void* getPortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
    auto* access = static_cast<PortAccess*>(user);
    World& w = World::get();
    LilvNode* node = lilv_new_string(w.world, symbol);
    const LilvPort* port = lilv_plugin_get_port_by_symbol(access->plugin->plugin(), node);
    lilv_node_free(node);
    const std::uint32_t index = port ? lilv_port_get_index(access->plugin->plugin(), port) : UINT32_MAX;
    if (index >= access->controls->size()) {
        *size = 0;
        *type = 0;
        return nullptr;
    }
    *size = sizeof(float);
    *type = w.urid(LV2_ATOM__Float);
    return &(*access->controls)[index];
}

void setPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type) {
    auto* access = static_cast<PortAccess*>(user);
    if (size != sizeof(float) || type != World::get().urid(LV2_ATOM__Float)) return;
    float v;
    std::memcpy(&v, value, sizeof(v));
    access->plugin->set(symbol, v);
}

struct PropertyStore {
    std::vector<unsigned char> bytes;
    const void* data = nullptr;
    std::size_t size = 0;
    LV2_URID type = 0;
};

LV2_State_Status storeProperty(LV2_State_Handle handle, uint32_t, const void* value, size_t size, uint32_t,
                               uint32_t) {
    auto* store = static_cast<PropertyStore*>(handle);
    const auto* bytes = static_cast<const unsigned char*>(value);
    store->bytes.assign(bytes, bytes + size);
    return LV2_STATE_SUCCESS;
}

const void* retrieveProperty(LV2_State_Handle handle, uint32_t, size_t* size, uint32_t* type, uint32_t* flags) {
    auto* store = static_cast<PropertyStore*>(handle);
    *size = store->size;
    *type = store->type;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return store->data;
}

const LV2_State_Interface* stateInterface(LilvInstance* instance) {
    return static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance, LV2_STATE__interface));
}

}  // namespace

LilvState* Plugin::saveState() {
    PortAccess access{this, &controls_};
    return lilv_state_new_from_instance(plugin_, instance_, World::get().map, nullptr, nullptr, nullptr, nullptr,
                                        getPortValue, &access, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr);
}

void Plugin::restoreState(const LilvState* state) {
    PortAccess access{this, &controls_};
    lilv_state_restore(state, instance_, setPortValue, &access, 0, nullptr);
}

LV2_State_Status Plugin::restoreProperty(const void* data, std::size_t size, LV2_URID type) {
    const LV2_State_Interface* state = stateInterface(instance_);
    if (!state) return LV2_STATE_ERR_UNKNOWN;
    PropertyStore store;
    store.data = data;
    store.size = size;
    store.type = type;
    return state->restore(lilv_instance_get_handle(instance_), retrieveProperty, &store, 0, nullptr);
}

std::vector<unsigned char> Plugin::bankChunk() {
    const LV2_State_Interface* state = stateInterface(instance_);
    PropertyStore store;
    if (state) state->save(lilv_instance_get_handle(instance_), storeProperty, &store, 0, nullptr);
    return store.bytes;
}

float toolNormalised(const std::string& name, const std::string& value) {
    const int index = tool::findParameter(name);
    float normalised = NAN;
    std::string error;
    if (index < 0 || !tool::parseParameterValue(index, value, tool::ParameterContext{}, normalised, error)) return NAN;
    return normalised;
}

}  // namespace hm::test::lv2host
