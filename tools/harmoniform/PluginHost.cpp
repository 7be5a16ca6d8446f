#include "tools/harmoniform/PluginHost.h"

#include <dlfcn.h>

#include <cstring>
#include <map>

namespace hm::host {
namespace {

// Host callbacks carry only the effect pointer, so instances are found by it.
// While an instance is being created its effect record is not known yet: calls
// on that thread go to the instance under construction.
// Held while a call is answered, too: a plug-in may call from a thread of its own
// for an instance that is being closed on another (as hosts must expect), and the
// instance must not go away under the answer. Recursive: an answer may lead the
// plug-in to call again on the same thread.
std::recursive_mutex gInstancesMutex;
std::map<vst::AEffect*, PluginInstance*> gInstances;
thread_local PluginInstance* tConstructing = nullptr;

}  // namespace

PluginLibrary::~PluginLibrary() {
    if (handle_) dlclose(handle_);
}

std::unique_ptr<PluginLibrary> PluginLibrary::open(const std::string& path, std::string& error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = why ? why : "cannot load library";
        return nullptr;
    }
    void* symbol = dlsym(handle, "VSTPluginMain");
    if (!symbol) symbol = dlsym(handle, "main");
    if (!symbol) {
        error = path + ": no VSTPluginMain or main entry point (not a VST 2.4 plug-in)";
        dlclose(handle);
        return nullptr;
    }
    std::unique_ptr<PluginLibrary> lib(new PluginLibrary);
    lib->handle_ = handle;
    lib->entry_ = reinterpret_cast<Entry>(symbol);
    lib->path_ = path;
    return lib;
}

vst::AEffect* PluginLibrary::callEntry(vst::HostCallback callback) const { return entry_(callback); }

std::unique_ptr<PluginInstance> PluginInstance::create(const PluginLibrary& library, HostBehaviour behaviour) {
    std::unique_ptr<PluginInstance> instance(new PluginInstance(std::move(behaviour)));
    tConstructing = instance.get();
    vst::AEffect* effect = library.callEntry(&PluginInstance::hostCallback);
    tConstructing = nullptr;
    if (!effect || effect->magic != vst::kEffectMagic) return nullptr;
    instance->effect_ = effect;
    std::lock_guard lock(gInstancesMutex);
    gInstances[effect] = instance.get();
    return instance;
}

PluginInstance::~PluginInstance() {
    if (!effect_) return;
    dispatch(vst::effMainsChanged, 0, 0);
    dispatch(vst::effClose);
    std::lock_guard lock(gInstancesMutex);
    gInstances.erase(effect_);
}

std::intptr_t PluginInstance::hostCallback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                                           std::intptr_t value, void* ptr, float opt) {
    std::lock_guard lock(gInstancesMutex);
    PluginInstance* target = nullptr;
    auto it = gInstances.find(effect);
    if (it != gInstances.end()) target = it->second;
    if (!target) target = tConstructing;
    if (!target) return opcode == vst::audioMasterVersion ? 2400 : 0;
    return target->answer(opcode, index, value, ptr, opt);
}

std::intptr_t PluginInstance::answer(vst::VstInt32 opcode, vst::VstInt32 index, std::intptr_t value, void* ptr,
                                     float opt) {
    const HostCall call{opcode, index, value, opt, std::this_thread::get_id()};
    if (behaviour_.observe) behaviour_.observe(call);
    {
        std::lock_guard lock(callsMutex_);
        calls_.push_back(call);
    }
    switch (opcode) {
        case vst::audioMasterVersion: return behaviour_.version;
        case vst::audioMasterGetVendorString:
            if (ptr) std::snprintf(static_cast<char*>(ptr), vst::kVstMaxVendorStrLen, "%s", behaviour_.vendor.c_str());
            return ptr ? 1 : 0;
        case vst::audioMasterGetProductString:
            if (ptr) std::snprintf(static_cast<char*>(ptr), vst::kVstMaxProductStrLen, "%s", behaviour_.product.c_str());
            return ptr ? 1 : 0;
        case vst::audioMasterGetSampleRate: return static_cast<std::intptr_t>(behaviour_.sampleRate);
        case vst::audioMasterGetBlockSize: return behaviour_.blockSize;
        case vst::audioMasterGetCurrentProcessLevel: return behaviour_.processLevel;
        case vst::audioMasterIOChanged: return 1;
        case vst::audioMasterSizeWindow:
            return behaviour_.sizeWindow && behaviour_.sizeWindow(index, static_cast<int>(value)) ? 1 : 0;
        case vst::audioMasterCanDo:
            return ptr && behaviour_.sizeWindow && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0 ? 1 : 0;
        case vst::audioMasterBeginEdit:
        case vst::audioMasterEndEdit:
        case vst::audioMasterAutomate: return 1;
        default: return 0;
    }
}

std::intptr_t PluginInstance::dispatch(int opcode, int index, std::intptr_t value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void PluginInstance::start(float sampleRate, int blockSize) {
    behaviour_.sampleRate = sampleRate;
    behaviour_.blockSize = blockSize;
    dispatch(vst::effOpen);
    dispatch(vst::effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(vst::effSetBlockSize, 0, blockSize);
    dispatch(vst::effMainsChanged, 0, 1);
}

namespace {
// Hosts pass generous buffers for texts; so does this one.
constexpr std::size_t kHostTextSize = 256;
}

std::string PluginInstance::parameterName(int index) {
    char text[kHostTextSize] = {};
    dispatch(vst::effGetParamName, index, 0, text);
    return text;
}

std::string PluginInstance::parameterLabel(int index) {
    char text[kHostTextSize] = {};
    dispatch(vst::effGetParamLabel, index, 0, text);
    return text;
}

std::string PluginInstance::parameterDisplay(int index) {
    char text[kHostTextSize] = {};
    dispatch(vst::effGetParamDisplay, index, 0, text);
    return text;
}

float PluginInstance::getParameter(int index) { return effect_->getParameter(effect_, index); }
void PluginInstance::setParameter(int index, float value) { effect_->setParameter(effect_, index, value); }

bool PluginInstance::canDo(const char* text) {
    return dispatch(vst::effCanDo, 0, 0, const_cast<char*>(text)) == 1;
}

void PluginInstance::sendMidi(const std::vector<std::array<unsigned char, 3>>& messages) {
    std::vector<vst::VstMidiEvent> events(messages.size());
    std::vector<unsigned char> storage(sizeof(vst::VstEvents) + messages.size() * sizeof(vst::VstEvent*));
    auto* list = reinterpret_cast<vst::VstEvents*>(storage.data());
    list->numEvents = static_cast<vst::VstInt32>(messages.size());
    for (std::size_t i = 0; i < messages.size(); ++i) {
        vst::VstMidiEvent& e = events[i];
        std::memset(&e, 0, sizeof(e));
        e.type = vst::kVstMidiType;
        e.byteSize = sizeof(e);
        for (int k = 0; k < 3; ++k) e.midiData[k] = static_cast<char>(messages[i][k]);
        list->events[i] = reinterpret_cast<vst::VstEvent*>(&e);
    }
    dispatch(vst::effProcessEvents, 0, 0, list);
}

void PluginInstance::processFloat(float** inputs, float** outputs, int frames) {
    effect_->processReplacing(effect_, inputs, outputs, frames);
}

void PluginInstance::processDouble(double** inputs, double** outputs, int frames) {
    effect_->processDoubleReplacing(effect_, inputs, outputs, frames);
}

std::vector<HostCall> PluginInstance::calls() const {
    std::lock_guard lock(callsMutex_);
    return calls_;
}

void PluginInstance::clearCalls() {
    std::lock_guard lock(callsMutex_);
    calls_.clear();
}

int PluginInstance::countCalls(int opcode) const {
    std::lock_guard lock(callsMutex_);
    int n = 0;
    for (const HostCall& c : calls_) n += c.opcode == opcode;
    return n;
}

}  // namespace hm::host
