// The layer list as the tests see it: the object ids of its layers in list order.
#pragma once

#include <cstdint>
#include <vector>

#include "layers/LayerList.h"

inline std::vector<uint16_t> LayerListIds() {
    std::vector<uint16_t> ids;
    for (LayerHandle at = GetLayerListHead(); at;) {
        LayerLock<> lock(at);
        ids.push_back(lock->id);
        at = lock->next;
    }
    return ids;
}
