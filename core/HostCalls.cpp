#include "core/HostCalls.h"

#include "core/vst/AudioEffect.h"

namespace hm {
namespace {

thread_local int tProcessing = 0;  // nesting of processing calls on this thread
thread_local int tTicking = 0;     // nesting of timer ticks on this thread

}  // namespace

ThreadRoles::Processing::Processing(ThreadRoles& roles) {
    ++tProcessing;
    roles.audio_.add(std::this_thread::get_id());
}

ThreadRoles::Processing::~Processing() { --tProcessing; }

template <int N>
void ThreadRoles::Remembered<N>::add(std::thread::id self) {
    if (contains(self)) return;
    ids[next.fetch_add(1, std::memory_order_relaxed) % N].store(self, std::memory_order_relaxed);
}

template <int N>
bool ThreadRoles::Remembered<N>::contains(std::thread::id self) const {
    for (const auto& id : ids)
        if (id.load(std::memory_order_relaxed) == self) return true;
    return false;
}

void ThreadRoles::rememberUiThread() { ui_.add(std::this_thread::get_id()); }

bool ThreadRoles::audioThread() const { return tProcessing > 0 || audio_.contains(std::this_thread::get_id()); }

bool ThreadRoles::uiThread() const { return !audioThread() && ui_.contains(std::this_thread::get_id()); }

bool ThreadRoles::mayDesign() const { return TickScope::active() ? !audioThread() : uiThread(); }

bool ThreadRoles::mayCallHost() const { return !TickScope::active() && uiThread(); }

TickScope::TickScope() { ++tTicking; }
TickScope::~TickScope() { --tTicking; }
bool TickScope::active() { return tTicking > 0; }

HostReports::HostReports(vst::HostCallback host, std::shared_ptr<vst::AEffect> record)
    : host_(host), record_(std::move(record)) {
    batch_.reserve(kNumParams);
}

void HostReports::queueGesture(int index) {
    if (!isParam(index)) return;
    gestures_[index / 32].fetch_or(1u << (index % 32), std::memory_order_acq_rel);
}

vst::VstIntPtr HostReports::call(vst::VstInt32 opcode, vst::VstInt32 index, float opt) {
    return vst::AudioEffect::callHostFor(host_, record_.get(), opcode, index, 0, nullptr, opt);
}

void HostReports::run() {
    for (const auto& [index, value] : batch_) {
        if (closed_.load(std::memory_order_acquire)) break;
        call(vst::audioMasterBeginEdit, index);
        call(vst::audioMasterAutomate, index, value);
        call(vst::audioMasterEndEdit, index);
    }
    batch_.clear();
    if (batchIOChanged_ && !closed_.load(std::memory_order_acquire)) call(vst::audioMasterIOChanged);
    if (batchDisplay_ && !closed_.load(std::memory_order_acquire)) call(vst::audioMasterUpdateDisplay);
    batchIOChanged_ = batchDisplay_ = false;
}

}  // namespace hm
