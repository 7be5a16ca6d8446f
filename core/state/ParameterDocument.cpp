#include "core/state/ParameterDocument.h"

#include <cmath>
#include <cstring>

#include "core/params/Enumeration.h"
#include "core/params/ParamTable.h"

namespace hm::state {

bool parameterInParts(int index, int parts) {
    if (!isParam(index)) return false;
    return isDspPartParam(index) ? (parts & kPartDSP) != 0 : (parts & kPartEQ) != 0;
}

cJSON* writeParameters(const ParamValues& values, int parts) {
    cJSON* object = cJSON_CreateObject();
    for (int i = 0; i < kNumParams; ++i) {
        if (!parameterInParts(i, parts)) continue;
        cJSON_AddItemToObject(object, enumNameOf(i), cJSON_CreateNumber(static_cast<double>(values.get(i))));
    }
    return object;
}

int readParameters(const cJSON* parameters, ParamValues& values, int parts) {
    if (!cJSON_IsObject(parameters)) return 0;
    int taken = 0;
    int expected = 0;  // the index whose name is most likely next
    for (const cJSON* m = parameters->child; m != nullptr; m = m->next) {
        if (!m->string) continue;
        int index = -1;
        if (isParam(expected) && std::strcmp(m->string, enumNameOf(expected)) == 0) index = expected;
        else index = enumValueOf(m->string);
        if (!isParam(index)) continue;  // unknown names and editor tags
        expected = index + 1;
        if (!cJSON_IsNumber(m) || !std::isfinite(m->valuedouble) || !parameterInParts(index, parts)) continue;
        const double v = m->valuedouble < 0.0 ? 0.0 : (m->valuedouble > 1.0 ? 1.0 : m->valuedouble);
        values.set(index, static_cast<float>(v));
        ++taken;
    }
    return taken;
}

cJSON* writeBandOrder(const int (&order)[kNumBands]) {
    cJSON* array = cJSON_CreateArray();
    for (int b : order) cJSON_AddItemToArray(array, cJSON_CreateNumber(b));
    return array;
}

void readBandOrder(const cJSON* array, int (&order)[kNumBands]) {
    if (!cJSON_IsArray(array)) return;
    int i = 0;
    for (const cJSON* e = array->child; e != nullptr && i < kNumBands; e = e->next, ++i) {
        // Positions outside the band range would send the editor past its strips.
        if (cJSON_IsNumber(e) && std::isfinite(e->valuedouble) && e->valuedouble >= -1 && e->valuedouble < kNumBands)
            order[i] = static_cast<int>(e->valuedouble);
    }
}

}  // namespace hm::state
