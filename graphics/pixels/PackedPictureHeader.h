// The packed picture ("PPak") in which an animation keeps the picture of a pixel map: a 58-byte
// big-endian header, a Mac colour table for 8-bit maps, then the pixel rows packed, top row
// first, in the stored pixel order (16-bit pixels high byte first, 32-bit ones unused, red,
// green, blue; 8 bits and less as indexes into the colour table).
//
//   +0  tag "PPak"                      +24 packing type: 4 LZRW1 row records (LzrwRows.h),
//   +4  total bytes (even, all of it)       6 one PackBits-style run stream (PackBits.h)
//   +8  version 100                     +26 colour table bytes (0 when none)
//   +10 width   +12 height              +30 pixel data bytes
//   +14 depth: 1, 8, 16 or 32           +34 24 zero bytes
//   +16 0 (4 bytes)                     +58 colour table, pixel data, a pad byte to even
//   +20 row bytes of the map's bitmap (signed; the writer's display, never read)
//
// A packed picture is written and read here whole and big-endian: nothing is ever swapped in
// place except by SwapPackedPictureHeader, for callers that keep a header in host order.
//
// Everything here is platform-neutral: the header, the checks every stored packed picture
// passes before anything is allocated for it, the decoders into a DIB, and the frame deltas.
// The pixel-map side (GDI bitmaps, palettes) is in PixMap.h.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"
#include "graphics/dib/DibPixels.h"

inline constexpr uint32_t kPPakHeaderBytes = 58;
inline constexpr uint16_t kPPakVersion = 100;
inline constexpr uint16_t kPPakLzrwRows = 4;
inline constexpr uint16_t kPPakPackBits = 6;

enum PPakOffset : uint32_t {
    kPPakTagAt = 0,
    kPPakTotalAt = 4,
    kPPakVersionAt = 8,
    kPPakWidthAt = 10,
    kPPakHeightAt = 12,
    kPPakDepthAt = 14,
    kPPakZeroAt = 16,
    kPPakRowBytesAt = 20,
    kPPakPackingAt = 24,
    kPPakTableBytesAt = 26,
    kPPakDataBytesAt = 30,
};

struct PPakHeader {
    uint32_t total = 0;
    uint16_t version = 0;
    uint16_t width = 0, height = 0, depth = 0;
    int32_t rowBytes = 0;
    uint16_t packingType = 0;
    uint32_t colorTableBytes = 0;
    uint32_t pixelDataBytes = 0;
};

// ---- The header ----
// A new 58-byte handle: tag, version 100, width, height, depth and row bytes, the rest 0 (total,
// packing type and sizes follow with FinishPackedPicture). 0, or -1 when no handle can be had.
int WritePackedPictureHeader(uint16_t width, uint16_t height, uint16_t depth, int32_t rowBytes, Handle* out);
// Appends the colour table and the pixel data to a header made above, pads the whole to an even
// size and fills in the total, the packing type and both sizes. 0, or -1 (memory, or a header
// handle that is not 58 bytes) with the handle as it was.
int FinishPackedPicture(Handle picture, uint16_t packingType, std::span<const uint8_t> colorTable,
                        std::span<const uint8_t> pixelData, uint32_t* total);
// The fields of a header; missing bytes read as 0.
PPakHeader ReadPackedPictureHeader(std::span<const uint8_t> packed);
// Reverses the byte order of the fields at 0, 4, 16, 20, 26, 30 (4 bytes) and 8, 10, 12, 14, 24
// (2 bytes). False, with nothing changed, for fewer than 58 bytes.
bool SwapPackedPictureHeader(std::span<uint8_t> header);

// ---- Checks ----
enum class PPakCheck {
    Ok,
    TotalMismatch,   // the total is not the size the caller expected
    UnknownPacking,  // neither 4 nor 6
    Damaged,         // *reason says why
};

// A packed picture that passed CheckPackedPicture: the spans lie inside the bytes checked.
struct PPakView {
    PPakHeader header;
    std::span<const uint8_t> colorTable;
    std::span<const uint8_t> pixelData;
};

// Checks a stored packed picture before anything is made for it: the tag; the total against
// expectedTotal and the bytes at hand; depth 1, 8, 16 or 32 and a size of 1..32767 both ways; a
// known packing type; header, colour table and pixel data making the total (which may hold one
// pad byte more); a colour table that is empty or exactly one Mac colour table of at most 256
// entries (DibPalette.h); and pixel data that can fill the picture's rows: for row records one
// record per row inside the data, each long enough to decode to a whole row; for runs, enough
// of them to reach the last row. So a picture that passes is never larger than its data can
// make it.
PPakCheck CheckPackedPicture(std::span<const uint8_t> packed, uint32_t expectedTotal, PPakView& out,
                             const char** reason);

// ---- Decoding and packing ----
enum class PixPakResult { Ok, UnknownType, Damaged };

// Unpacks pixel data of the given packing type into a DIB of the picture's size and depth
// (colour table already set by the caller), then turns it into a Windows DIB: rows bottom row
// first, pixels in Windows order. UnknownType leaves the DIB untouched; Damaged when the data
// does not fill every row.
PixPakResult PixPak_Decompress(DibHandle dib, std::span<const uint8_t> pixelData, uint16_t packingType);

// A checked packed picture as a new DIB: depth 1 with black at 0 and white at 1, depths up to 8
// with the picture's own colour table (entries it lacks black), then PixPak_Decompress. The
// check's result (Damaged also for data that does not unpack, or no memory), and a DIB only
// with Ok.
PPakCheck DibFromPackedPicture(std::span<const uint8_t> packed, uint32_t expectedTotal, DibHandle* out,
                               const char** reason);

// The pixel data of a DIB as read from a bitmap (bottom row first, Windows pixel order): rows
// flipped and pixels reordered in place (the DIB is spent), then packed with the packing type
// (4 or 6). A new handle, or 0.
Handle PackPPakPixelData(DibHandle dib, uint16_t packingType);
// A whole packed picture of a DIB as read from a bitmap (bottom row first, Windows pixel order,
// depth 1, 8, 16 or 32): PackPPakPixelData behind a header with rowBytes and the colour table.
// 0, or -1 (damaged DIB, unknown packing type, no memory).
int PackDibAsPackedPicture(DibHandle dib, uint16_t packingType, int32_t rowBytes,
                           std::span<const uint8_t> colorTable, Handle* out, uint32_t* total);

// ---- Colour tables ----
// A Mac colour table of the colours (at most 256; DibPalette.h reads them back): seed and flags
// 0, then each entry's index and its components, the colour in each first byte. Empty for no
// colours.
std::vector<uint8_t> MacColorTableFromColors(std::span<const DibColor> colors);

// ---- Frame deltas ----
// An animation frame stored as changes to the frame before: 4-byte pairs of 16-bit words. The
// pair 0x80 0x01 .. adds 32768 to a running base; any other pair stores its second word's two
// bytes, as they stand, at byte offset base + first word (high byte first) of the picture's
// stored rows, whose rows are macRowBytes long. A pair is skipped when either byte falls past the
// last row or past the bytes a DIB row keeps (min(MacRowBytes, DibRowBytes)); 1 to 3 bytes left
// at the end are ignored.
struct DeltaResult {
    uint32_t written = 0;
    uint32_t skipped = 0;
};
// Over rows of rowBytes each, top row first unless bottomUp.
DeltaResult ApplyDeltaToRows(std::span<uint8_t> image, uint32_t rowBytes, uint32_t macRowBytes, int height,
                             bool bottomUp, std::span<const uint8_t> delta);
// Over a Windows DIB (bottom row first, Windows pixel order): its pixels are taken to the stored
// order for the walk and back. False for a damaged DIB.
bool ApplyDeltaToDib(DibHandle dib, std::span<const uint8_t> delta, DeltaResult* result);
