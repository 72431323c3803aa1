// The size of a GDI bitmap.
#include "core/ui/BitmapSize.h"

bool BitmapSize(HBITMAP bitmap, SIZE* size) {
    BITMAP info{};
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info) {
        *size = {0, 0};
        return false;
    }
    *size = {info.bmWidth, info.bmHeight};
    return true;
}

SIZE BitmapSizeOf(HBITMAP bitmap) {
    SIZE size{};
    BitmapSize(bitmap, &size);
    return size;
}
