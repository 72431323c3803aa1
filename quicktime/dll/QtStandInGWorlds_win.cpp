// Graphics worlds over DIB sections, CopyBits and OpColor.
#include <algorithm>

#include "quicktime/QtEffects.h"
#include "quicktime/dll/QtStandIn.h"
#include "quicktime/dll/QtStandInPorts.h"
#include "quicktime/dll/QtStandInRegions.h"

namespace {

constexpr int kMaxGWorldSide = 16384;
QtRGBColor g_opColor = {0, 0, 0};

// Whether a section keeps its top row first. The header's sign says so where the system keeps
// it; where it does not, a pixel set through the dc shows which row in memory is the top one.
bool TopDown(const DIBSECTION& section, HDC dc) {
    if (section.dsBmih.biHeight < 0)
        return true;
    const int height = section.dsBm.bmHeight;
    if (!dc || height < 2)
        return false;
    const auto* first = static_cast<const uint8_t*>(section.dsBm.bmBits);
    GdiFlush();
    const uint8_t was = first[0];
    const COLORREF old = GetPixel(dc, 0, 0);
    const BYTE probe = static_cast<BYTE>(was ^ 0x80);  // blue is the first byte of a pixel
    SetPixelV(dc, 0, 0, RGB(GetRValue(old), GetGValue(old), probe));
    GdiFlush();
    const bool top = first[0] != was;
    SetPixelV(dc, 0, 0, old);
    GdiFlush();
    return top;
}

// The world's record around a DIB section: a memory dc holds it when it can be selected.
QtPortRecord* NewWorld(HBITMAP bitmap, bool owns, HDC like) {
    DIBSECTION section = {};
    if (!bitmap || GetObjectA(bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits)
        return nullptr;
    auto* world = new QtPortRecord;
    world->bitmap = bitmap;
    world->ownsBitmap = owns;
    world->width = section.dsBm.bmWidth;
    world->height = section.dsBm.bmHeight;
    world->memoryDc = CreateCompatibleDC(like);
    if (world->memoryDc) {
        world->oldBitmap = SelectObject(world->memoryDc, bitmap);
        if (!world->oldBitmap || world->oldBitmap == HGDI_ERROR) {
            DeleteDC(world->memoryDc);  // selected elsewhere: its rows are still ours to use
            world->memoryDc = nullptr;
            world->oldBitmap = nullptr;
        }
    }
    world->topDown = owns || TopDown(section, world->memoryDc);
    StandInPixels pixels;
    StandInAddPort(world);
    if (StandInPortPixels(world, &pixels)) {
        world->bitMap.baseAddr = pixels.top;
        const ptrdiff_t rowBytes = pixels.stride > 0 ? pixels.stride : 0;
        world->bitMap.rowBytes = static_cast<int16_t>(rowBytes <= 0x3FFF ? (rowBytes | 0x8000) : 0x8000);
    }
    world->bitMap.bounds = {0, 0, static_cast<int16_t>(world->height), static_cast<int16_t>(world->width)};
    return world;
}

intptr_t DoNewGWorld(const QtWord* args) {
    auto* out = reinterpret_cast<QtGWorldPtr*>(args[0]);
    const auto depth = static_cast<int16_t>(args[1]);
    const auto* bounds = reinterpret_cast<const QtRect*>(args[2]);
    if (!out || !bounds)
        return kQtParamErr;
    *out = nullptr;
    const int width = bounds->right - bounds->left, height = bounds->bottom - bounds->top;
    if ((depth != 0 && depth != 32) || width <= 0 || height <= 0 || width > kMaxGWorldSide || height > kMaxGWorldSide)
        return kQtParamErr;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return kQtMemFullErr;
    QtPortRecord* world = NewWorld(bitmap, true, nullptr);
    if (!world) {
        DeleteObject(bitmap);
        return kQtMemFullErr;
    }
    *out = world;
    return kQtNoErr;
}

intptr_t DoNewGWorldFromHBITMAP(const QtWord* args) {
    auto* out = reinterpret_cast<QtGWorldPtr*>(args[0]);
    if (!out)
        return kQtParamErr;
    *out = NewWorld(reinterpret_cast<HBITMAP>(args[4]), false, reinterpret_cast<HDC>(args[5]));
    return *out ? kQtNoErr : kQtParamErr;
}

intptr_t DoDisposeGWorld(const QtWord* args) {
    QtPortRecord* world = StandInLivePort(reinterpret_cast<QtGWorldPtr>(args[0]));
    if (!world || !world->bitmap)
        return kQtParamErr;
    StandInRemovePort(world);
    if (world->memoryDc) {
        SelectObject(world->memoryDc, world->oldBitmap);
        DeleteDC(world->memoryDc);
    }
    if (world->ownsBitmap)
        DeleteObject(world->bitmap);
    delete world;
    return kQtNoErr;
}

// The rows behind a bit map: a world's own, or a caller's 32-bit map (rows top first).
bool PixelsOf(const QtBitMap* map, StandInPixels* pixels, std::vector<QtPortRecord*>* worlds) {
    if (!map)
        return false;
    for (QtPortRecord* world : *worlds)
        if (&world->bitMap == map)
            return StandInPortPixels(world, pixels);
    if (!(map->rowBytes & kQtPixMapFlag) || !map->baseAddr)
        return false;
    *pixels = {map->baseAddr, map->rowBytes & 0x3FFF, map->bounds.right - map->bounds.left,
               map->bounds.bottom - map->bounds.top, 32};
    return StandInPixelsUsable(*pixels);
}

// A world's bit map by its address, among the live ports.
std::vector<QtPortRecord*> WorldsFor(const QtBitMap* a, const QtBitMap* b) {
    std::vector<QtPortRecord*> found;
    for (const QtBitMap* map : {a, b}) {
        if (!map)
            continue;
        auto* world = reinterpret_cast<QtPortRecord*>(reinterpret_cast<uintptr_t>(map) - offsetof(QtPortRecord, bitMap));
        if (StandInLivePort(world))
            found.push_back(world);
    }
    return found;
}

intptr_t DoCopyBits(const QtWord* args) {
    const auto* source = reinterpret_cast<const QtBitMap*>(args[0]);
    const auto* destination = reinterpret_cast<const QtBitMap*>(args[1]);
    const auto* sourceRect = reinterpret_cast<const QtRect*>(args[2]);
    const auto* destinationRect = reinterpret_cast<const QtRect*>(args[3]);
    const auto mode = static_cast<int16_t>(args[4]);
    const auto mask = reinterpret_cast<QtRgnHandle>(args[5]);
    if (!sourceRect || !destinationRect)
        return kQtParamErr;
    std::vector<QtPortRecord*> worlds = WorldsFor(source, destination);
    StandInPixels from, to;
    if (!PixelsOf(source, &from, &worlds) || !PixelsOf(destination, &to, &worlds))
        return kQtParamErr;
    std::vector<QtRect> clip;
    if (mask)
        clip = StandInRegionRects(mask);
    return StandInCopyPixels(from, to, *sourceRect, *destinationRect, mode, g_opColor, mask ? &clip : nullptr)
               ? kQtNoErr
               : kQtParamErr;
}

intptr_t DoOpColor(const QtWord* args) {
    if (const auto* color = reinterpret_cast<const QtRGBColor*>(args[0]))
        g_opColor = *color;
    return kQtNoErr;
}

constexpr StandInRow kGWorldRows[] = {
    {kQtSelNewGWorld, DoNewGWorld},
    {kQtSelNewGWorldFromHBITMAP, DoNewGWorldFromHBITMAP},
    {kQtSelDisposeGWorld, DoDisposeGWorld},
    {kQtSelCopyBits, DoCopyBits},
    {kQtSelOpColor, DoOpColor},
};

}  // namespace

std::span<const StandInRow> StandInGWorldRows() { return kGWorldRows; }
