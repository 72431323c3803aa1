// A Windows palette from a DIB's own colour table.
#include <windows.h>

#include <vector>

#include "core/memory/ByteReader.h"
#include "graphics/pixels/DibPalette.h"

HPALETTE CreatePaletteFromDib(const void* dib, size_t size) {
    if (!dib)
        return nullptr;
    const std::span<const uint8_t> bytes(static_cast<const uint8_t*>(dib), size);
    ByteReader header(bytes, 0);
    const uint32_t headerSize = header.U32LE();
    ByteReader bitsReader(bytes, 14);
    const uint16_t bitCount = bitsReader.U16LE();
    if (!header.ok() || !bitsReader.ok() || headerSize < sizeof(BITMAPINFOHEADER) || bitCount == 0 || bitCount > 8)
        return nullptr;
    const uint32_t count = 1u << bitCount;
    if (headerSize > size || (size - headerSize) / 4 < count)
        return nullptr;
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    const uint8_t* quad = bytes.data() + headerSize;
    for (uint32_t i = 0; i < count; ++i, quad += 4)
        palette->palPalEntry[i] = {quad[2], quad[1], quad[0], PC_RESERVED};
    return CreatePalette(palette);
}
