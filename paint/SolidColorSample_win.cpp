// The display's value of a solid colour.
//
// Minimal until the paint tools exist: what the depth reduction needs of them, a solid
// rectangle painted and read back.
#include "paint/SolidColorSample.h"

#include <windows.h>

#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/DibGdi.h"
#include "graphics/pixels/PixelDepth.h"

namespace {

constexpr int kSampleSize = 8;
constexpr int kSampleRow = 2;
constexpr int kSampleColumn = 2;

}  // namespace

void SampleSolidColorPixels(int displayDepth, uint8_t red, uint8_t green, uint8_t blue, uint16_t* value16,
                            uint32_t* value32) {
    WindowDC window(GetMainWindow());
    MemoryDC memory(window.get());
    if (!window || !memory)
        return;
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(window.get(), kSampleSize, kSampleSize));
    OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(red, green, blue)));
    if (!bitmap || !brush)
        return;
    {
        SelectedObject target(memory.get(), bitmap.get());
        SelectedObject fill(memory.get(), brush.get());
        SelectedObject pen(memory.get(), GetStockObject(NULL_PEN));
        if (!target)
            return;
        Rectangle(memory.get(), 0, 0, kSampleSize, kSampleSize);
    }
    ScopedHandle dib(GetBitmapDibBits(window.get(), bitmap.get(), 0, GetAppPalette()));
    LockedDib locked(dib.get());
    if (!locked || locked.layout().depth < 8)
        return;
    const int pixelBytes = locked.layout().depth / 8;
    const uint8_t* p = locked.row(kSampleRow).data() + kSampleColumn * pixelBytes;
    uint32_t value = 0;
    for (int i = pixelBytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    if (displayDepth == 16) {
        if (value16)
            *value16 = static_cast<uint16_t>(value);
    } else if (value32) {
        *value32 = value;
    }
}
