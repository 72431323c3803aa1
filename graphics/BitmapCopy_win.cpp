// Copies of parts of device bitmaps.
#include "graphics/BitmapCopy.h"

#include "graphics/AppPalette.h"
#include "core/GdiGuards.h"
#include "graphics/GraphicsErrors.h"
#include "core/PluginModule.h"

namespace {
constexpr uint32_t kStringCutOutNoDc = 4010;
constexpr uint32_t kStringCutOutNoBitmap = 4011;
}  // namespace

// Both memory contexts get the application palette on indexed displays, so that the copy keeps
// the source's palette indexes.
HBITMAP CutOutBitmap(HBITMAP bitmap, const RECT& rect) {
    BITMAP info;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!bitmap || width <= 0 || height <= 0 || !GetObjectA(bitmap, sizeof info, &info))
        return nullptr;

    WindowDC window(GetMainWindow());
    if (!window) {
        ShowGraphicsError(kStringCutOutNoDc);
        return nullptr;
    }
    MemoryDC sourceDc(window.get());
    MemoryDC copyDc(window.get());
    if (!sourceDc || !copyDc) {
        ShowGraphicsError(kStringCutOutNoDc);
        return nullptr;
    }
    SelectedPalette sourcePalette(sourceDc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    SelectedPalette copyPalette(copyDc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    HBITMAP copy = (info.bmPlanes == 1 && info.bmBitsPixel == 1) ? CreateBitmap(width, height, 1, 1, nullptr)
                                                                 : CreateCompatibleBitmap(window.get(), width, height);
    if (!copy) {
        ShowGraphicsError(kStringCutOutNoBitmap);
        return nullptr;
    }
    SelectedObject source(sourceDc.get(), bitmap);
    SelectedObject target(copyDc.get(), copy);
    BitBlt(copyDc.get(), 0, 0, width, height, sourceDc.get(), rect.left, rect.top, SRCCOPY);
    return copy;
}

HBITMAP DuplicateBitmap(HBITMAP bitmap) {
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return nullptr;
    RECT whole = {0, 0, info.bmWidth, info.bmHeight};
    return CutOutBitmap(bitmap, whole);
}
