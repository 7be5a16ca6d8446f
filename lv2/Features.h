#pragma once
// The data of the host feature with this URI, null when the host gives none.
// Any thread.
#include <lv2/core/lv2.h>

#include <cstring>

namespace hm::lv2 {

inline const void* findFeature(const LV2_Feature* const* features, const char* uri) {
    for (int i = 0; features && features[i]; ++i)
        if (std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
    return nullptr;
}

}  // namespace hm::lv2
