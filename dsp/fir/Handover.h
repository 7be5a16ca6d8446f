#pragma once
// Race-free replacement of an object the audio thread uses block by block (the
// per-channel convolvers when the FIR length changes).
//
// The audio thread borrows the current object for one block with acquire() and
// gives it back with release(); it never waits. replace() (any other thread, one
// at a time) installs a new object and frees the old one only after the audio
// thread has stopped holding it, sleeping in 1 ms steps meanwhile. The borrow is
// a hazard pointer: the audio thread publishes what it is about to use and checks
// that it is still current; the replacing thread exchanges the pointer first and
// then waits for the hazard to move off the old object. Both sides use
// sequentially consistent operations, so either the audio thread sees the new
// pointer or the replacing thread sees the hazard.
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace hm::dsp {

template <class T>
class Handover {
public:
    Handover() = default;
    explicit Handover(std::unique_ptr<T> initial) : current_(initial.release()) {}
    ~Handover() { delete current_.load(); }
    Handover(const Handover&) = delete;
    Handover& operator=(const Handover&) = delete;

    // Audio thread: the current object, held until release(); null if there is none
    // (or if it was replaced twice while we looked, in which case the block skips it).
    T* acquire()
    {
        T* p = current_.load();
        for (int attempt = 0; attempt < 2; ++attempt) {
            hazard_.store(p);
            T* again = current_.load();
            if (again == p) return p;
            p = again;
        }
        hazard_.store(nullptr);
        return nullptr;
    }
    void release() { hazard_.store(nullptr); }

    // True while the audio thread holds an object.
    bool busy() const { return hazard_.load() != nullptr; }

    // Replacing thread: the object to prepare (load impulses into) before or after a
    // replacement. Only the replacing thread may call this.
    T* writerView() const { return current_.load(); }

    // Replacing thread: installs fresh (may be null) and frees the previous object
    // once the audio thread no longer holds it.
    void replace(std::unique_ptr<T> fresh)
    {
        T* old = current_.exchange(fresh.release());
        while (old != nullptr && hazard_.load() == old) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        delete old;
    }

private:
    std::atomic<T*> current_{nullptr};
    std::atomic<T*> hazard_{nullptr};
};

}  // namespace hm::dsp
