// Device-independent bitmaps in handles. A DibHandle is a relocatable handle holding a packed
// DIB: a 40-byte info header (little-endian), the colour table (2^depth entries of blue, green,
// red, 0 for depths up to 8), then the rows, each padded to 32 bits. Rows lie in the order they
// were made: bottom row first after GetDIBits; stored pictures keep the top row first.
//
// Stack files keep pixel rows in Mac form instead: the width rounded up to 16 pixels, so each
// 16-pixel group takes 2 x depth bytes. A "Mac rows handle" has the same header and table as a
// DIB but rows of that size.
//
// Everything here is platform-neutral; the GDI conversions are in DibGdi.h.
//
//   Dib.cpp                row rules, header queries, layout checks, locked DIBs, new DIBs, row
//                          copies, flips (header fields are read with core/memory/ByteReader.h)
//   DibPixels.cpp          pixel byte orders and colour-table remapping (DibPixels.h)
//   BmpFile.cpp            BMP files from stored rows (BmpFile.h)
//
// The codecs, the pixel layouts and the GDI side are above, in graphics/pixels/Pixels.h; the
// application palette in graphics/palette/AppPalette.h.
#pragma once

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"

using DibHandle = Handle;

inline constexpr uint32_t kDibInfoHeaderBytes = 40;
inline constexpr uint32_t kDibCoreHeaderBytes = 12;
// Info header fields read and written by offset.
inline constexpr size_t kDibWidthAt = 4;
inline constexpr size_t kDibBitCountAt = 14;
inline constexpr size_t kDibCompressionAt = 16;
inline constexpr size_t kDibImageSizeAt = 20;
inline constexpr size_t kDibColorsUsedAt = 32;
// Widths and heights are 16-bit signed quantities throughout the graphics code.
inline constexpr int kDibMaxDimension = 32767;
// NewDib and NewMacRowsHandle leave this much spare room behind the rows.
inline constexpr uint32_t kDibSpareBytes = 4;
// No image is made with more bytes of rows than this.
inline constexpr uint64_t kDibMaxImageBytes = 0x7FFF0000;

constexpr bool IsDibDepth(int depth) {
    return depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

// Windows rows: padded to 32 bits.
constexpr int DibRowBytes(int depth, int width) {
    if (depth <= 0 || width <= 0)
        return 0;
    return static_cast<int>((int64_t{depth} * width + 31) / 32 * 4);
}

// Stored rows: the pixel count rounded up to 16, each group of 16 taking 2 x depth bytes.
// Not the same as rounding the bits to 16: an 8-bit row of 10 pixels takes 16 bytes.
constexpr int MacRowBytes(int depth, int width) {
    if (depth <= 0 || width <= 0)
        return 0;
    return static_cast<int>((int64_t{width} + 15) / 16 * depth * 2);
}

// Bytes of a LOGPALETTE with n entries.
constexpr uint32_t LogPaletteSize(uint32_t entries) { return 4 + 4 * entries; }

// Header queries over the bytes of a packed DIB, header first. Missing bytes read as 0.
// DibNumColors: for a 12-byte core header the count follows its bit count (1 -> 2, 4 -> 16,
// 8 -> 256, else 0); for other headers the low 16 bits of the colours-used field when non-zero,
// else the same rule.
uint32_t DibNumColors(std::span<const uint8_t> header);
// The same for a 40-byte header only; 0 for any other or a missing one.
uint32_t DibInfoColorCount(std::span<const uint8_t> header);
uint32_t DibColorTableBytes(std::span<const uint8_t> header);
// Where the rows start: 40 + 4 x colours used when that field is non-zero, else 40 for depths
// above 8, else 40 + 4 x 2^depth. The header size field is not consulted.
uint64_t DibBitsOffset(std::span<const uint8_t> dib);
// The bytes from DibBitsOffset to the end; empty when the offset lies outside.
std::span<uint8_t> DibBits(std::span<uint8_t> dib);
// DibRowBytes x height of the header (0 for a height that is not positive).
uint32_t DibImageSize(std::span<const uint8_t> header);

// A checked view of a DIB's geometry. ReadDibLayout accepts only a 40-byte header with one
// plane, a depth of 1, 4, 8, 16, 24 or 32, uncompressed rows, width and height 1..32767, and
// a colour table and rows (DibRowBytes, or MacRowBytes for a Mac rows handle) that lie inside
// the bytes given. Everything that works on a DibHandle checks it this way first.
enum class RowRule { Dib, Mac };


struct DibLayout {
    int width = 0;
    int height = 0;
    int depth = 0;
    uint32_t tableEntries = 0;  // 4-byte entries starting at kDibInfoHeaderBytes
    uint32_t bitsOffset = 0;
    uint32_t rowBytes = 0;
    uint32_t imageBytes = 0;    // rowBytes x height
};

bool ReadDibLayout(std::span<const uint8_t> dib, DibLayout& out, RowRule rule = RowRule::Dib);
// The row'th row as laid out; the caller has checked row < layout.height.
std::span<uint8_t> DibRowAt(std::span<uint8_t> dib, const DibLayout& layout, int row);

// A DibHandle (or Mac rows handle) locked for one scope, with its checked layout. False, with
// nothing to read, when the handle cannot be locked or ReadDibLayout refuses its bytes. Every
// operation on the rows of a handle starts with one of these.
class LockedDib {
public:
    explicit LockedDib(Handle dib, RowRule rule = RowRule::Dib);
    LockedDib(const LockedDib&) = delete;
    LockedDib& operator=(const LockedDib&) = delete;
    explicit operator bool() const { return ok_; }

    const DibLayout& layout() const { return layout_; }
    std::span<uint8_t> bytes() const { return bytes_; }       // the whole handle
    std::span<uint8_t> table() const { return bytes_.subspan(kDibInfoHeaderBytes, 4 * layout_.tableEntries); }
    std::span<uint8_t> image() const { return bytes_.subspan(layout_.bitsOffset, layout_.imageBytes); }
    // The row'th row as laid out; row < layout().height.
    std::span<uint8_t> row(int row) const { return DibRowAt(bytes_, layout_, row); }

private:
    HandleLock lock_;
    std::span<uint8_t> bytes_;
    DibLayout layout_;
    bool ok_ = false;
};

// Writes the 40-byte info header: width, height, 1 plane, depth, no compression, the given
// image size, the rest 0. False when the bytes are too short.
bool WriteDibInfoHeader(std::span<uint8_t> out, int width, int height, int depth, uint32_t imageSize);

// New zeroed DIB of width x height (the right and bottom of a rectangle at 0,0), or 0.
DibHandle NewDib(int width, int height, int depth);
// The same header, but the rows sized by MacRowBytes (image size too).
Handle NewMacRowsHandle(int width, int height, int depth);
// Row copies between the two forms: the colour table and min(MacRowBytes, DibRowBytes) bytes
// of each row; the rest of each destination row stays 0. A new handle, or 0.
DibHandle MacRowsToDib(Handle macRows);
Handle DibToMacRowsHandle(DibHandle dib);

// Reverses the row order in place. False (nothing changed) for a damaged DIB or when the
// one-row temporary cannot be had.
bool DibFlipRows(DibHandle dib);
// The same, passing every byte of the image through a 256-entry translation table.
bool DibFlipRowsMapped(DibHandle dib, std::span<const uint8_t, 256> map);
