#pragma once
// Reference counting shared by views, controls and bitmaps. An object starts
// with one reference held by whoever created it; release() drops one and
// destroys the object when none are left. Views retain the bitmaps they show
// and release them when replaced or destroyed, so one skin bitmap can back
// many views without copies. UI thread only (counts are not atomic).
#include <utility>

namespace hm::gui {

class CBaseObject {
public:
    CBaseObject() = default;
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;

    // Takes one more reference.
    virtual void retain() { ++refCount_; }
    // Drops one reference; the object deletes itself when the count reaches 0.
    virtual void release() {
        if (--refCount_ == 0) destroy();
    }
    int getNbReference() const { return refCount_; }

    // A message from another object (views use it for "update" style notices).
    // Returns true when the message was understood.
    virtual bool notify(CBaseObject* sender, const char* message) {
        (void)sender;
        (void)message;
        return false;
    }

protected:
    virtual ~CBaseObject() = default;
    // Final step of release(); overridable for objects that live in pools.
    virtual void destroy() { delete this; }

private:
    int refCount_ = 1;
};

// Owning handle: holds one reference for as long as it lives.
template <class T>
class SharedPointer {
public:
    SharedPointer() = default;
    // Adopts a reference the caller already holds (e.g. a fresh `new`).
    static SharedPointer adopt(T* p) {
        SharedPointer s;
        s.p_ = p;
        return s;
    }
    // Shares an object: takes a reference of its own.
    explicit SharedPointer(T* p) : p_(p) {
        if (p_) p_->retain();
    }
    SharedPointer(const SharedPointer& o) : SharedPointer(o.p_) {}
    SharedPointer(SharedPointer&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    SharedPointer& operator=(SharedPointer o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~SharedPointer() {
        if (p_) p_->release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() { SharedPointer().swap(*this); }
    void swap(SharedPointer& o) noexcept { std::swap(p_, o.p_); }

private:
    T* p_ = nullptr;
};

}  // namespace hm::gui
