#pragma once
// A minimal VST 2.4 host: loads a plug-in library with dlopen, creates effect
// instances through the exported entry point and drives them only through the
// effect record, exactly as a host application does. Every host call an
// instance makes is recorded. Used by the harmoniform tool and the host tests.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/vst/VstAbi.h"

namespace hm::host {

struct HostCall {
    int opcode;
    int index;
    std::intptr_t value;
    float opt;
    std::thread::id thread;  // the thread the plug-in called from
};

// What the host answers to the plug-in's questions.
struct HostBehaviour {
    std::intptr_t version = 2400;  // audioMasterVersion; 0 refuses the plug-in
    std::string vendor = "Harmoniform Host";
    std::string product = "harmoniform";
    float sampleRate = 44100.0f;
    int blockSize = 1024;
    // audioMasterGetCurrentProcessLevel (a vst::VstProcessLevel): what kind of work
    // processing calls belong to. Unknown unless the host's user says.
    std::intptr_t processLevel = vst::kVstProcessLevelUnknown;
    // The editor asks for a new window size (audioMasterSizeWindow); a host
    // with this set also answers canDo "sizeWindow". Called on the thread the
    // plug-in calls from.
    std::function<bool(int width, int height)> sizeWindow;
    // Called for every host call on the calling thread before it is answered (tests
    // check which thread calls, or take the locks a host would take).
    std::function<void(const HostCall&)> observe;
};

class PluginLibrary {
public:
    ~PluginLibrary();
    // Null with a message in `error` when the file is no VST 2.4 plug-in library.
    static std::unique_ptr<PluginLibrary> open(const std::string& path, std::string& error);
    vst::AEffect* callEntry(vst::HostCallback callback) const;
    const std::string& path() const { return path_; }

private:
    PluginLibrary() = default;
    void* handle_ = nullptr;
    using Entry = vst::AEffect* (*)(vst::HostCallback);
    Entry entry_ = nullptr;
    std::string path_;
};

class PluginInstance {
public:
    // Null when the entry point returns no effect (or a record without the magic).
    static std::unique_ptr<PluginInstance> create(const PluginLibrary& library, HostBehaviour behaviour = {});
    ~PluginInstance();  // sends effClose

    vst::AEffect* effect() const { return effect_; }
    std::intptr_t dispatch(int opcode, int index = 0, std::intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);

    // Typical host sequences.
    void start(float sampleRate, int blockSize);  // rate, block size, resume
    std::string parameterName(int index);
    std::string parameterLabel(int index);
    std::string parameterDisplay(int index);
    float getParameter(int index);
    void setParameter(int index, float value);
    bool canDo(const char* text);
    void sendMidi(const std::vector<std::array<unsigned char, 3>>& messages);
    void processFloat(float** inputs, float** outputs, int frames);
    void processDouble(double** inputs, double** outputs, int frames);

    // Host-call log. Any thread may append; read with a copy.
    std::vector<HostCall> calls() const;
    void clearCalls();
    int countCalls(int opcode) const;
    HostBehaviour& behaviour() { return behaviour_; }

private:
    explicit PluginInstance(HostBehaviour behaviour) : behaviour_(std::move(behaviour)) {}
    static std::intptr_t hostCallback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                                      std::intptr_t value, void* ptr, float opt);
    std::intptr_t answer(vst::VstInt32 opcode, vst::VstInt32 index, std::intptr_t value, void* ptr, float opt);

    HostBehaviour behaviour_;
    vst::AEffect* effect_ = nullptr;
    mutable std::mutex callsMutex_;
    std::vector<HostCall> calls_;
};

}  // namespace hm::host
