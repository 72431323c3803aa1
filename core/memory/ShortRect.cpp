// ShortRect operations that keep to the stored 16-bit form.
#include "core/memory/ShortRect.h"

void OffsetShortRect(ShortRect* r, int16_t dx, int16_t dy) {
    if (!r)
        return;
    // Stored values wrap as 16-bit numbers do.
    r->left = static_cast<int16_t>(r->left + dx);
    r->right = static_cast<int16_t>(r->right + dx);
    r->top = static_cast<int16_t>(r->top + dy);
    r->bottom = static_cast<int16_t>(r->bottom + dy);
}

bool EqualShortRect(const ShortRect& a, const ShortRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
