#pragma once
// The process-wide list of live instances, in creation order. The analyser
// reads other instances' signals through it and the editor lists their names.
// Hosts may create and destroy instances on different threads, so the list is
// guarded; it is never touched on the audio thread. An instance leaves the
// list first thing in its destructor, so whatever runs under the list's lock
// (a visitor, a guarded read) finishes before any part of a listed instance
// is freed.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace hm {

class Plug;

// Appends the instance and returns the list's new size; `whileListed` (if any)
// runs with that size before anybody else can see the list again.
int registerInstance(Plug* plug, const std::function<void(int count)>& whileListed = {});
void unregisterInstance(Plug* plug);
int instanceCount();
// Calls fn for every live instance while the list cannot change.
void forEachInstance(const std::function<void(Plug&)>& fn);
// Holds the list still (instance names are written and read under it).
std::unique_lock<std::recursive_mutex> lockInstanceRegistry();

// --- for the analyser (UI threads) ---
// Runs fn on the instance only while it is still listed; false when it is gone.
bool withRegisteredInstance(const Plug* plug, const std::function<void(Plug&)>& fn);
// The instances other than `self`, in list order (pointers for identity and for
// withRegisteredInstance only; never to be dereferenced directly).
std::vector<Plug*> otherInstances(const Plug* self);
// Their names, in the same order.
std::vector<std::string> otherInstanceNames(const Plug* self);
// Position of an instance in the whole list, −1 when not listed.
int instancePosition(const Plug* plug);
// The instance at a position of the whole list (null when out of range).
Plug* instanceAtPosition(int position);

}  // namespace hm
