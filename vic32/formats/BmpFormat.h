// The layout of a BMP file, read once for both sides of the imaging library: the library's
// loader (1, 4, 8 and 24 bits) and the plug-in's direct reader (15, 16 and 32 bits). Every
// offset and size is checked against the file; nothing outside it is ever addressed.
#pragma once

#include <cstdint>
#include <span>

// The file header, and the two info headers read: the core one and the later ones (40 bytes on).
inline constexpr uint32_t kBmpFileHeaderSize = 14;
inline constexpr uint32_t kBmpCoreHeaderSize = 12;
inline constexpr uint32_t kBmpInfoHeaderSize = 40;

inline constexpr uint32_t kBmpRgb = 0;
inline constexpr uint32_t kBmpRle8 = 1;
inline constexpr uint32_t kBmpRle4 = 2;
inline constexpr uint32_t kBmpBitFields = 3;

struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;       // positive; the file's sign is in topDown
    bool topDown = false;
    int bitsPerPixel = 0;     // 1, 4, 8, 16, 24 or 32
    uint32_t compression = 0; // kBmpRgb or kBmpBitFields (16 and 32 bits only)
    uint32_t headerSize = 0;  // of the info header: 12 (core), 40 or a later version
    uint32_t masks[3] = {};   // red, green, blue, for 16 and 32 bits (the defaults when BI_RGB)
    std::span<const uint8_t> table;  // colour table entries, tableEntrySize bytes each
    uint32_t tableEntrySize = 4;     // 3 for a core header
    uint32_t tableEntries = 0;
    std::span<const uint8_t> pixels; // rowBytes x height, from the file's pixel offset
    uint32_t rowBytes = 0;
};

// Rows are at most this wide and high; larger files are refused as damaged.
inline constexpr int32_t kBmpMaxDimension = 32767;

// The leading fields of a 40-byte or later info header (of a file or a DIB in memory).
struct BmpInfoHeader {
    uint32_t size = 0;
    int32_t width = 0, height = 0;  // height is negative for rows stored top row first
    uint16_t planes = 0, bitsPerPixel = 0;
    uint32_t compression = 0, imageSize = 0, colorsUsed = 0;
};
// False when the bytes end before the colour count (resolutions are skipped).
bool ReadBmpInfoHeader(std::span<const uint8_t> bytes, BmpInfoHeader* out);
// A 40-byte info header of one plane, uncompressed, its resolutions and colour counts 0; false
// when out is shorter.
bool WriteBmpInfoHeader(std::span<uint8_t> out, int32_t width, int32_t height, int bitsPerPixel, uint32_t imageSize);

// False for anything but a whole, uncompressed (or bit-field) BMP of a depth listed above whose
// table and rows lie inside the file.
bool ReadBmpLayout(std::span<const uint8_t> file, BmpLayout* out);

// The first stored row is the bottom one unless topDown; this is row y counted from the top.
std::span<const uint8_t> BmpRow(const BmpLayout& bmp, int32_t y);

// A 16- or 32-bit pixel's channel through its mask, scaled to 0..255.
uint8_t BmpMaskedChannel(uint32_t pixel, uint32_t mask);
