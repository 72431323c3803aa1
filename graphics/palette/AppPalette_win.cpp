// Building, realizing, duplicating and freeing the application palette.
#include "graphics/palette/AppPalette.h"

#include <array>
#include <vector>

#include "core/system/PluginModule.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "graphics/palette/DefaultPalette.h"
#include "graphics/palette/PaletteRgbTables.h"

namespace {

HPALETTE g_appPalette = nullptr;
HPALETTE g_picturePalette = nullptr;
HWND g_fcolorsWindow = nullptr;

constexpr uint32_t kStringErrorTitle = 4079;    // "Error"
constexpr uint32_t kStringNoPalette = 4080;     // "Cant create palette"
constexpr SIZE_T kLogPaletteBlockBytes = LogPaletteSize(kAppPaletteEntries) + 20;
constexpr int kStaticColors = 20;
constexpr int kSnapSide = 5;

// The system palette's 256 entries. A display without a palette has none to give; its static
// colours are then those of the stock palette (system entries 0..9, then 246..255).
std::array<PALETTEENTRY, 256> SystemPaletteEntries(HDC dc) {
    std::array<PALETTEENTRY, 256> system{};
    if (dc && GetSystemPaletteEntries(dc, 0, 256, system.data()) == 256)
        return system;
    PALETTEENTRY stock[kStaticColors] = {};
    const UINT got = GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, kStaticColors, stock);
    for (UINT i = 0; i < got && i < kStaticColors; ++i)
        system[i < 10 ? i : 236 + i] = stock[i];
    return system;
}

void ShowNoPaletteBox(HWND window) {
    char title[64] = {};
    char text[128] = {};
    LoadResString(kStringErrorTitle, title, sizeof title);
    LoadResString(kStringNoPalette, text, sizeof text);
    OwnedMessageBox(window, text, title, MB_OK | MB_ICONSTOP);
}

}  // namespace

HPALETTE GetAppPalette() { return g_appPalette; }

void SetAppPalette(HPALETTE palette) { g_appPalette = palette; }

HPALETTE GetPicturePalette() { return g_picturePalette; }

void SetPicturePalette(HPALETTE palette) { g_picturePalette = palette; }

void CopySystemColorsToPalette(PALETTEENTRY* entries) {
    if (!entries)
        return;
    WindowDC dc(GetMainWindow());
    const std::array<PALETTEENTRY, 256> system = SystemPaletteEntries(dc.get());
    for (int i = kDefaultPaletteEntries; i < kAppPaletteEntries; ++i) {
        entries[i] = system[static_cast<size_t>(SystemEntryForAppEntry(i))];
        entries[i].peFlags = 0;
    }
}

void SnapColorsToDisplay(int count, PALETTEENTRY* entries) {
    if (GetDisplayBitsPerPixel() != 16 || !entries || count <= 0)
        return;
    WindowDC screen(GetMainWindow());
    MemoryDC memory(screen.get());
    OwnedGdiObject<HBITMAP> bitmap(screen ? CreateCompatibleBitmap(screen.get(), kSnapSide, kSnapSide) : nullptr);
    if (!memory || !bitmap)
        return;
    SelectedObject selected(memory.get(), bitmap.get());
    const RECT square = {0, 0, kSnapSide, kSnapSide};
    for (int i = 0; i < count; ++i) {
        PALETTEENTRY& e = entries[i];
        QuantizeColorTo15Bit(e.peRed, e.peGreen, e.peBlue);
        OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(e.peRed, e.peGreen, e.peBlue)));
        if (!brush)
            continue;
        FillRect(memory.get(), &square, brush.get());
        const COLORREF shown = GetPixel(memory.get(), 2, 2);
        if (shown == CLR_INVALID)
            continue;
        e.peRed = GetRValue(shown);
        e.peGreen = GetGValue(shown);
        e.peBlue = GetBValue(shown);
    }
}

HGLOBAL LoadDefaultLogPalette() {
    uint32_t size = 0;
    const auto* resource = static_cast<const uint8_t*>(LoadResData("DEFPAL", "PAL", &size));
    std::array<DibColor, kDefaultPaletteEntries> colors;
    if (!resource || !ReadDefaultPaletteResource({resource, size}, colors))
        return nullptr;
    HGLOBAL block = GlobalAlloc(GHND, kLogPaletteBlockBytes);
    if (!block)
        return nullptr;
    auto* logical = static_cast<LOGPALETTE*>(GlobalLock(block));
    if (!logical) {
        GlobalFree(block);
        return nullptr;
    }
    logical->palVersion = 0x300;
    logical->palNumEntries = kAppPaletteEntries;
    PALETTEENTRY* entries = logical->palPalEntry;
    for (int i = 0; i < kDefaultPaletteEntries; ++i)
        entries[i] = {colors[i].red, colors[i].green, colors[i].blue, PC_RESERVED};
    CopySystemColorsToPalette(entries);
    SnapColorsToDisplay(kAppPaletteEntries, entries);
    GlobalUnlock(block);
    return block;
}

void InitAppPalette(HWND window) {
    FreePaletteObjects();
    // Every start begins with the grid's own order and no colours chosen.
    ResetGridOrderTable();
    ResetCurrentColors();
    HPALETTE palette = nullptr;
    if (HGLOBAL block = LoadDefaultLogPalette()) {
        if (auto* logical = static_cast<LOGPALETTE*>(GlobalLock(block))) {
            palette = CreatePalette(logical);
            std::array<DibColor, kAppPaletteEntries> colors;
            for (int i = 0; i < kAppPaletteEntries; ++i) {
                const PALETTEENTRY& e = logical->palPalEntry[i];
                colors[static_cast<size_t>(i)] = {e.peBlue, e.peGreen, e.peRed, 0};
            }
            if (palette)
                FillPaletteRgbTables(colors);
            GlobalUnlock(block);
        }
        GlobalFree(block);
    }
    SetAppPalette(palette);
    if (palette) {
        WindowDC dc(window);
        if (dc) {
            HPALETTE previous = SelectPaletteIfIndexed(dc.get(), palette, FALSE);
            SelectPaletteIfIndexed(dc.get(), previous, FALSE);
            UnrealizeObject(palette);
            // Realized once more, then not left selected in a DC the window may keep.
            previous = SelectPaletteIfIndexed(dc.get(), palette, FALSE);
            SelectPaletteIfIndexed(dc.get(), previous, FALSE);
        }
    } else {
        ShowNoPaletteBox(window);
    }
}

HPALETTE DuplicatePalette(HPALETTE palette) {
    if (!palette)
        return nullptr;
    std::vector<uint8_t> block(LogPaletteSize(kAppPaletteEntries));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    const UINT count = GetPaletteEntries(palette, 0, kAppPaletteEntries, logical->palPalEntry);
    if (count == 0)
        return nullptr;
    logical->palNumEntries = static_cast<WORD>(count);
    for (UINT i = 0; i < count; ++i)
        logical->palPalEntry[i].peFlags = 0;
    return CreatePalette(logical);
}

PaletteColours PaletteEntries(HPALETTE palette) {
    PaletteColours colours;
    if (palette)
        colours.count = GetPaletteEntries(palette, 0, static_cast<UINT>(colours.entries.size()), colours.entries.data());
    return colours;
}

bool SameEntries(const PaletteColours& a, const PaletteColours& b) {
    if (a.count != b.count)
        return false;
    for (UINT i = 0; i < a.count; ++i) {
        const PALETTEENTRY &x = a.entries[i], &y = b.entries[i];
        if (x.peRed != y.peRed || x.peGreen != y.peGreen || x.peBlue != y.peBlue || x.peFlags != y.peFlags)
            return false;
    }
    return true;
}

void SetFcolorsWindow(HWND window) { g_fcolorsWindow = window; }

HWND GetFcolorsWindow() { return g_fcolorsWindow && IsWindow(g_fcolorsWindow) ? g_fcolorsWindow : nullptr; }

void FreePaletteObjects() {
    // After a card redraw the picture palette is the application palette too: delete it once.
    if (g_picturePalette && g_picturePalette != g_appPalette)
        DeleteObject(g_picturePalette);
    g_picturePalette = nullptr;
    if (g_appPalette)
        DeleteObject(g_appPalette);
    g_appPalette = nullptr;
}

int GetMenuItemLeftOffset(char letter) {
    // The colours menu is the sixth item of the bar, the tools menu the fourth.
    const int item = letter == 'C' ? 5 : 3;
    HWND frame = GetFrameWindow();
    HMENU menu = frame ? GetMenu(frame) : nullptr;
    RECT itemRect;
    RECT frameRect;
    if (!menu || !GetMenuItemRect(frame, menu, item, &itemRect) || !GetWindowRect(frame, &frameRect))
        return 0;
    return itemRect.left - frameRect.left;
}

namespace {

// Selects and realises the palette in the window's DC (updating the window's colours when asked
// and entries changed), then selects the previous palette back. The number of entries that
// changed; -1 when the palette could not be selected.
int RealizeInWindowDc(HWND window, HPALETTE palette, bool updateColors) {
    WindowDC dc(window);
    if (!dc || !palette)
        return -1;
    HPALETTE previous = SelectPalette(dc.get(), palette, FALSE);
    if (!previous)
        return -1;
    const int changed = static_cast<int>(RealizePalette(dc.get()));
    if (updateColors && changed > 0)
        UpdateColors(dc.get());
    SelectPalette(dc.get(), previous, FALSE);
    return changed;
}

}  // namespace

bool RealizePaletteAndRepaint(HWND window, HPALETTE palette) {
    const int changed = RealizeInWindowDc(window, palette, false);
    if (changed > 0)
        InvalidateRect(window, nullptr, TRUE);
    return changed >= 0;
}

bool RealizeAppPalette(HWND window, HPALETTE palette) {
    if (GetDisplayBitsPerPixel() != 8)
        return false;
    const int changed = RealizeInWindowDc(window, palette, true);
    if (changed > 0)
        RealizePaletteAndRepaint(window, palette);
    return changed >= 0;
}
