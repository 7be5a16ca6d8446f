#include "core/InstanceRegistry.h"

#include <algorithm>

#include "core/Plug.h"

namespace hm {
namespace {

struct Registry {
    std::recursive_mutex mutex;  // recursive: a visitor may ask for the count
    std::vector<Plug*> instances;
};

Registry& registry() {
    static Registry r;
    return r;
}

}  // namespace

int registerInstance(Plug* plug, const std::function<void(int count)>& whileListed) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.instances.push_back(plug);
    const int count = static_cast<int>(r.instances.size());
    if (whileListed) whileListed(count);
    return count;
}

void unregisterInstance(Plug* plug) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.instances.erase(std::remove(r.instances.begin(), r.instances.end(), plug), r.instances.end());
}

int instanceCount() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return static_cast<int>(r.instances.size());
}

void forEachInstance(const std::function<void(Plug&)>& fn) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (Plug* p : r.instances) fn(*p);
}

std::unique_lock<std::recursive_mutex> lockInstanceRegistry() { return std::unique_lock(registry().mutex); }

bool withRegisteredInstance(const Plug* plug, const std::function<void(Plug&)>& fn) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = std::find(r.instances.begin(), r.instances.end(), plug);
    if (it == r.instances.end()) return false;
    fn(**it);
    return true;
}

std::vector<Plug*> otherInstances(const Plug* self) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    std::vector<Plug*> others;
    for (Plug* p : r.instances)
        if (p != self) others.push_back(p);
    return others;
}

std::vector<std::string> otherInstanceNames(const Plug* self) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    std::vector<std::string> names;
    for (Plug* p : r.instances)
        if (p != self) names.emplace_back(p->instanceName());
    return names;
}

int instancePosition(const Plug* plug) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = std::find(r.instances.begin(), r.instances.end(), plug);
    return it == r.instances.end() ? -1 : static_cast<int>(it - r.instances.begin());
}

Plug* instanceAtPosition(int position) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return position >= 0 && position < static_cast<int>(r.instances.size()) ? r.instances[static_cast<std::size_t>(position)]
                                                                             : nullptr;
}

}  // namespace hm
