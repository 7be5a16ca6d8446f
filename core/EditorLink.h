#pragma once
// The editor as the instance's other threads see it. The instance forwards values
// to its editor from the audio thread and the timer while the host's UI thread may
// close it and the instance may replace or delete it.
#include <atomic>
#include <thread>

#include "core/vst/AEffEditor.h"

namespace hm {

// Editor publish/retire: an atomic pointer with a quiescence handshake (retire waits until no forwarder still uses the old editor).
class EditorLink {
public:
    // UI thread: makes `editor` (may be null) the one forwarders reach.
    void publish(vst::AEffEditor* editor) { editor_.store(editor, std::memory_order_seq_cst); }

    // UI thread: no forwarder reaches the editor once this returns, so it may be
    // closed or deleted. Waits only for calls already under way (they never block).
    void retire() {
        editor_.store(nullptr, std::memory_order_seq_cst);
        while (users_.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
    }

    // Any thread: calls fn(editor) when an editor is published. Never waits.
    template <class Fn>
    void use(Fn&& fn) {
        // Counted first, then read: either retire() sees the count or this sees null.
        users_.fetch_add(1, std::memory_order_seq_cst);
        if (vst::AEffEditor* e = editor_.load(std::memory_order_seq_cst)) fn(*e);
        users_.fetch_sub(1, std::memory_order_seq_cst);
    }

    bool published() const { return editor_.load(std::memory_order_relaxed) != nullptr; }

private:
    std::atomic<vst::AEffEditor*> editor_{nullptr};
    std::atomic<int> users_{0};
};

}  // namespace hm
