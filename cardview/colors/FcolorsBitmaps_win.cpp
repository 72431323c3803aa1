// Bitmaps filled with a colour or a fill pattern, and the system palette's copy and comparison.
#include <array>
#include <vector>

#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "cardview/colors/ColorChooserUpcalls.h"
#include "cardview/colors/Fcolors.h"
#include "cardview/colors/FcolorsLayout.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/FillPatterns.h"

namespace {

uint16_t g_pickedIndex = 0;
COLORREF g_pickedColor = 0;

constexpr int kSystemEntries = 256;
constexpr int kComparedEntries = 4;

void TilePattern(HDC dc, HBITMAP pattern, const RECT& rect) {
    BITMAP info{};
    if (!pattern || !GetObject(pattern, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return;
    MemoryDC source(dc);
    SelectedObject chosen(source.get(), pattern);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const TileOrigin origin = PatternTileOrigin(rect.left, rect.top, info.bmWidth, info.bmHeight);
    for (int y = origin.y; y < height; y += info.bmHeight)
        for (int x = origin.x; x < width; x += info.bmWidth)
            BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
}

}  // namespace

void RedrawDialogColorSwatch(char letter, int16_t value) {
    SetToolColor(letter, value);
    if (GetFcolorsWindow())
        GetColorChooserUpcalls().redrawSwatch(letter);
}

int NewFilledBitmapDC(HDC reference, int colorValue, const RECT& rect, HDC* dc, HBITMAP* bitmap) {
    if (dc)
        *dc = nullptr;
    if (bitmap)
        *bitmap = nullptr;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!dc || !bitmap || width <= 0 || height <= 0)
        return 0;
    HDC memory = CreateCompatibleDC(reference);
    if (!memory)
        return 0;
    if (HPALETTE palette = GetAppPalette())
        SelectPaletteIfIndexed(memory, palette, FALSE);
    HBITMAP made = CreateCompatibleBitmap(reference ? reference : memory, width, height);
    if (!made) {
        DeleteDC(memory);
        return 0;
    }
    SelectObject(memory, made);
    if (colorValue >= 0) {
        OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(PaletteIndexToColor(colorValue)));
        OwnedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, PaletteIndexToColor(colorValue)));
        SelectedObject chosenBrush(memory, brush.get());
        SelectedObject chosenPen(memory, pen.get());
        Rectangle(memory, 0, 0, width + 1, height + 1);
    } else {
        TilePattern(memory, GetFillPattern(-colorValue), rect);
    }
    *dc = memory;
    *bitmap = made;
    return 1;
}

HPALETTE CreateSystemPaletteCopy(HWND window) {
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + (kSystemEntries - 1) * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = kSystemEntries;
    WindowDC dc(window);
    if (!dc || GetSystemPaletteEntries(dc.get(), 0, kSystemEntries, logical->palPalEntry) == 0) {
        // A display without a palette: the stock colours stand for it.
        GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, logical->palPalEntry);
    }
    return CreatePalette(logical);
}

bool PicturePaletteMatchesSystem(HDC dc, HPALETTE palette) {
    if (GetDisplayBitsPerPixel() != 8)
        return true;
    std::array<PALETTEENTRY, kComparedEntries> system{};
    std::array<PALETTEENTRY, kComparedEntries> own{};
    if (!dc || !palette || GetSystemPaletteEntries(dc, 0, kComparedEntries, system.data()) != kComparedEntries ||
        GetPaletteEntries(palette, 0, kComparedEntries, own.data()) != kComparedEntries)
        return false;
    for (int i = 0; i < kComparedEntries; ++i) {
        const PALETTEENTRY& a = system[static_cast<size_t>(i)];
        const PALETTEENTRY& b = own[static_cast<size_t>(i)];
        if (a.peRed != b.peRed || a.peGreen != b.peGreen || a.peBlue != b.peBlue)
            return false;
    }
    return true;
}

void SetPickedColor(uint16_t index, COLORREF color) {
    g_pickedIndex = index;
    g_pickedColor = color & 0x00FFFFFF;
}

uint16_t GetPickedColorIndex() { return g_pickedIndex; }

COLORREF GetPickedColorValue() { return g_pickedColor; }
