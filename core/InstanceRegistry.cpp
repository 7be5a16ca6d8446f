#include "core/InstanceRegistry.h"

#include <algorithm>
#include <mutex>
#include <vector>

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

int registerInstance(Plug* plug) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.instances.push_back(plug);
    return static_cast<int>(r.instances.size());
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

}  // namespace hm
