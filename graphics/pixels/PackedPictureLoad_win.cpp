// Packed pictures of pixel maps and maps from packed pictures, and animation frame deltas on
// maps. The bytes themselves are read, checked and written by PackedPictureHeader.cpp; here the
// map's bitmap goes to and from a DIB.
#include "graphics/pixels/PixMap.h"

#include <vector>

#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "graphics/dib/DibPixels.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/DibGdi.h"

namespace {

void ReportUnknownPackingType() {
    OwnedMessageBox(GetMainWindow(), "Unknown PixPak_Decompress type", "PixPak_Decompress", MB_OK);
}

// The colours an 8-bit map's indexes refer to.
HPALETTE PaletteOf(const PixMap& map) {
    if (map.palette)
        return map.palette;
    HPALETTE picture = GetPicturePalette();
    return picture ? picture : GetAppPalette();
}

// The map's bitmap as a DIB at the given depth, read through the map's DC (else the card
// window's).
DibHandle ReadMapDib(const PixMap& map, int depth, HPALETTE palette) {
    if (!map.bitmap)
        return 0;
    WindowDC card(GetMainWindow());
    HDC dc = map.dc ? map.dc : card.get();
    UnselectedPixMapBitmap unselected(map);
    return GetBitmapDibBits(dc, map.bitmap, depth, palette);
}

// All rows of the DIB into the map's bitmap, which is made first when the map has none.
bool WriteMapDib(PixMap* map, DibHandle dib, HPALETTE palette) {
    LockedDib locked(dib);
    if (!locked)
        return false;
    WindowDC card(GetMainWindow());
    if (!map->bitmap) {
        HBITMAP bitmap = card ? CreateCompatibleBitmap(card.get(), map->description.bmWidth, map->description.bmHeight)
                              : nullptr;
        if (!bitmap)
            return false;
        SetPixMapBitmap(map, bitmap);
    }
    HDC dc = map->dc ? map->dc : card.get();
    if (!dc)
        return false;
    UnselectedPixMapBitmap unselected(*map);
    SelectedPalette selected(dc, map->description.bmBitsPixel == 8 ? palette : nullptr, SelectedPalette::kAlways);
    const int height = locked.layout().height;
    return SetDIBits(dc, map->bitmap, 0, static_cast<UINT>(height), locked.image().data(),
                     reinterpret_cast<const BITMAPINFO*>(locked.bytes().data()), DIB_RGB_COLORS) == height;
}

// The map as a DIB at its depth word, an 8-bit one in the terms of its palette.
DibHandle MapPixels(const PixMap& map) {
    HPALETTE palette = map.depth <= 8 ? PaletteOf(map) : nullptr;
    DibHandle dib = ReadMapDib(map, map.depth, palette);
    if (dib && map.depth == 8 && palette)
        DibSetPaletteFrom(dib, palette);
    return dib;
}

}  // namespace

int WritePackedPictureHeader(const PixMap& map, Handle* out) {
    const ShortRect bounds = PixMapBounds(map);
    return WritePackedPictureHeader(static_cast<uint16_t>(bounds.right), static_cast<uint16_t>(bounds.bottom),
                                    map.depth, map.description.bmWidthBytes, out);
}

int LoadPackedPicture(PixMap* map, uint16_t packingType, Handle* out, uint32_t* size) {
    *out = 0;
    if (size)
        *size = 0;
    if (!map)
        return -1;
    ScopedHandle dib(MapPixels(*map));
    if (!dib.get())
        return -1;
    // The colours of the DIB's own table are the ones its indexes refer to.
    std::vector<uint8_t> table;
    if (map->depth == 8) {
        std::vector<DibColor> colors(256);
        const int count = GetDibColorTable(dib.get(), colors);
        if (count <= 0)
            return -1;
        colors.resize(static_cast<size_t>(count));
        table = MacColorTableFromColors(colors);
    }
    return PackDibAsPackedPicture(dib.get(), packingType, map->description.bmWidthBytes, table, out, size);
}

int PackPixMapPicture(PixMap* map, Handle* pixels, uint32_t* size, uint16_t* packingType) {
    *pixels = 0;
    *size = 0;
    *packingType = kPPakLzrwRows;
    if (!map)
        return -1;
    ScopedHandle dib(MapPixels(*map));
    const Handle packed = dib.get() ? PackPPakPixelData(dib.get(), kPPakLzrwRows) : 0;
    if (!packed)
        return -1;
    *pixels = packed;
    *size = GetHandleSize(packed);
    return 0;
}

void ReadPackedPictureColors(const PixMap& map, Handle* table, uint32_t* size) {
    *table = PaletteToColorTableHandle(map);
    *size = *table ? GetHandleSize(*table) : 0;
}

int PreparePictureObject(std::span<const uint8_t> packed, uint32_t expectedTotal, Handle* out,
                         const char** reason) {
    *out = 0;
    const char* unused = nullptr;
    const char*& why = reason ? *reason : unused;
    PPakView view;
    switch (CheckPackedPicture(packed, expectedTotal, view, &why)) {
    case PPakCheck::Ok:
        break;
    case PPakCheck::TotalMismatch:
        return 1;
    case PPakCheck::UnknownPacking:
        ReportUnknownPackingType();
        return -1;
    case PPakCheck::Damaged:
        return -1;
    }
    PixMap map;
    if (NewPixMapForPackedPicture(view.header, &map) != 0) {
        why = "no bitmap for the picture";
        return -1;
    }
    if (LoadPixMapColorTable(view.colorTable, &map) != 0) {
        DisposePixMap(&map);
        why = "no palette for the colour table";
        return -1;
    }
    BeginPixMapDraw(&map);
    const int unpacked = PixPak_Decompress(&map, view.pixelData, view.header.packingType);
    EndPixMapDraw(&map);
    if (unpacked != 0) {
        DisposePixMap(&map);
        why = "pixel data does not unpack into the picture's rows";
        return -1;
    }
    const Handle h = NewPixMapHandle(map);
    if (!h) {
        DisposePixMap(&map);
        why = "no memory for the map";
        return -1;
    }
    *out = h;
    return 0;
}

int NewPixMapForPackedPicture(const PPakHeader& header, PixMap* out) {
    const ShortRect rect = {0, 0, static_cast<int16_t>(header.width), static_cast<int16_t>(header.height)};
    return NewPixMap(out, rect, header.depth, true);
}

int LoadPixMapColorTable(std::span<const uint8_t> colorTable, PixMap* map) {
    if (colorTable.empty())
        return 0;
    ScopedHandle table(NewHandleFromBytes(colorTable));
    if (!table.get())
        return -1;
    return SetPixMapColorTable(map, table.get());
}

int UnpackPictureIntoPixMap(PixMap* map, std::span<const uint8_t> packed) {
    if (!map)
        return -1;
    PPakView view;
    switch (CheckPackedPicture(packed, ReadPackedPictureHeader(packed).total, view, nullptr)) {
    case PPakCheck::Ok:
        break;
    case PPakCheck::UnknownPacking:
        ReportUnknownPackingType();
        return -1;
    default:
        return -1;
    }
    const ShortRect bounds = PixMapBounds(*map);
    if (view.header.width != bounds.right || view.header.height != bounds.bottom || view.header.depth != map->depth)
        return -1;
    return PixPak_Decompress(map, view.pixelData, view.header.packingType);
}

int PixPak_Decompress(PixMap* map, std::span<const uint8_t> pixelData, uint16_t packingType) {
    if (packingType != kPPakLzrwRows && packingType != kPPakPackBits) {
        ReportUnknownPackingType();
        return -1;
    }
    if (!map)
        return -1;
    const ShortRect bounds = PixMapBounds(*map);
    ScopedHandle dib(NewDib(bounds.right, bounds.bottom, map->depth));
    if (!dib.get())
        return -1;
    HPALETTE palette = PaletteOf(*map);
    if (map->depth == 1) {
        const DibColor blackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        SetDibColorTable(dib.get(), blackWhite);
    } else if (map->depth <= 8 && palette) {
        DibSetPaletteFromMap(dib.get(), palette);
    }
    if (PixPak_Decompress(dib.get(), pixelData, packingType) != PixPakResult::Ok)
        return -1;
    return WriteMapDib(map, dib.get(), palette) ? 0 : -1;
}

int ApplyDeltaToPixMap(PixMap* map, std::span<const uint8_t> delta) {
    if (!map)
        return -1;
    ScopedHandle dib(MapPixels(*map));
    if (!dib.get() || !ApplyDeltaToDib(dib.get(), delta, nullptr))
        return -1;
    return WriteMapDib(map, dib.get(), map->depth <= 8 ? PaletteOf(*map) : nullptr) ? 0 : -1;
}
