#include "gui/draw/BitmapCache.h"

#include <map>

namespace hm::gui {

namespace {
// Only ids that decoded are kept; a missing id is looked up again next time
// (cheap, and lets a corrected resource table show up in tests).
std::map<int, CDIB*>& cache() {
    static std::map<int, CDIB*> c;
    return c;
}
}  // namespace

CDIB* getSkinBitmap(int id) {
    if (id == 0) return nullptr;
    auto& c = cache();
    if (auto it = c.find(id); it != c.end()) return it->second;
    CDIB* dib = CDIB::fromResource(id);
    if (dib) c.emplace(id, dib);  // the cache holds the creation reference
    return dib;
}

void clearSkinBitmaps() {
    auto& c = cache();
    for (auto& [id, dib] : c) dib->release();
    c.clear();
}

int skinBitmapCacheSize() { return int(cache().size()); }

}  // namespace hm::gui
