#pragma once
// The process-wide list of live instances, in creation order. The analyser
// reads other instances' signals through it and the editor lists their names.
// Hosts may create and destroy instances on different threads, so the list is
// guarded; it is never touched on the audio thread.
#include <functional>

namespace hm {

class Plug;

// Appends the instance and returns the list's new size.
int registerInstance(Plug* plug);
void unregisterInstance(Plug* plug);
int instanceCount();
// Calls fn for every live instance while the list cannot change.
void forEachInstance(const std::function<void(Plug&)>& fn);

}  // namespace hm
