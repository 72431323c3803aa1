// A ShortRect between stack-file byte order and memory order.
#include "graphics/pixels/ShortRectSwap.h"

#include <cstdint>

namespace {
int16_t Swapped(int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    return static_cast<int16_t>(static_cast<uint16_t>(u << 8 | u >> 8));
}
}  // namespace

void SwapShortRect(ShortRect* rect) {
    rect->left = Swapped(rect->left);
    rect->top = Swapped(rect->top);
    rect->right = Swapped(rect->right);
    rect->bottom = Swapped(rect->bottom);
}
