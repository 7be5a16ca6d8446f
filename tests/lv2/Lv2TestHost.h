#pragma once
// A small LV2 host on lilv for the tests: finds the built bundle through
// LV2_PATH, instantiates a plug-in, holds its port buffers and runs it in blocks.
#include <lilv/lilv.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hm::test::lv2host {

using Channels = std::vector<std::vector<float>>;

// The world with the build folder's bundle loaded, the URID map and the features
// every instance gets. Made on first use.
struct World {
    static World& get();
    LilvWorld* world = nullptr;
    LV2_URID_Map* map = nullptr;
    LV2_URID_Unmap* unmap = nullptr;
    const LilvPlugin* plugin(const std::string& uri) const;
    LV2_URID urid(const char* uri) const { return map->map(map->handle, uri); }
};

// What the host hands the instance: URID map and unmap with the block-length
// option and the log, as the usual live hosts give them; the same with lv2:isLive added; or
// nothing at all, as a bare file renderer gives.
enum class HostFeatures { Usual, UsualAndLive, None };

// The lines instances wrote to the host's log since the last call, each
// "<type URI> <text>".
std::vector<std::string> takeLogged();

class Plugin {
public:
    // Null when the plug-in is missing or does not instantiate.
    static std::unique_ptr<Plugin> create(const std::string& uri, double rate, int maxBlock,
                                          HostFeatures features = HostFeatures::Usual);
    ~Plugin();

    int channels() const { return channels_; }
    const LilvPlugin* plugin() const { return plugin_; }
    // The control input with that symbol; false when there is none.
    bool set(const std::string& symbol, float value);
    // The control input with that index, as a UI's port write reaches it; false when there is none.
    bool setPort(std::uint32_t index, float value);
    // The plug-in instance, as instance access hands it to a UI.
    LV2_Handle handle() const { return lilv_instance_get_handle(instance_); }
    float latency() const { return latency_; }
    // The freewheel port: the host renders faster than real time while it is on.
    void setFreewheel(bool on) { freewheel_ = on ? 1.0f : 0.0f; }
    // The port designated lv2:enabled: the host's own bypass switch (on: processing).
    void setEnabled(bool on) { enabled_ = on ? 1.0f : 0.0f; }
    void activate();
    // Processes `in` (channels() channels) in blocks of `block` frames.
    Channels run(const Channels& in, int block);
    // run() that returns the allocations the plug-in's run calls made (and only those).
    long countedRun(const Channels& in, int block);
    // Queues a short MIDI message for the next run() (at frame 0).
    void queueMidi(std::array<unsigned char, 3> message);

    // The host's way: a lilv state of instance and ports, and back.
    LilvState* saveState();
    void restoreState(const LilvState* state);
    // The state interface called directly with one property, as a damaged or foreign state brings it.
    LV2_State_Status restoreProperty(const void* data, std::size_t size, LV2_URID type);
    std::vector<unsigned char> bankChunk();  // what save() stores

private:
    Plugin() = default;
    Channels process(const Channels& in, int block, long* allocations);
    const LilvPlugin* plugin_ = nullptr;
    LilvInstance* instance_ = nullptr;
    int channels_ = 0;
    int maxBlock_ = 0;
    std::vector<float> controls_;
    float latency_ = 0.0f;
    float freewheel_ = 0.0f;
    float enabled_ = 1.0f;
    alignas(16) std::array<std::uint8_t, 8192> midi_{};
    bool activated_ = false;
};

// The normalised value the harmoniform tool computes for NAME=VALUE (the VST path's own conversion).
float toolNormalised(const std::string& name, const std::string& value);

}  // namespace hm::test::lv2host
