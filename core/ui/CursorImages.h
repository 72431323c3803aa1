// Icon-directory images (the bytes of .ico and .cur files) and the 'Crsr' resource layout that
// holds cursors in stacks. Platform-free; the bytes come from stacks and are checked here before
// anything reads them: every offset, count, size and sequence index.
//
// 'Crsr': u16 kind (1 still, 2 animated), u32 length of what follows the 28-byte header, then
// kind 1: one cursor file image; kind 2: nine u32 of the animated-cursor header (the third, at
// offset 36, the step count n), n rates in ticks, n sequence entries, n frame sizes, the frames.
// In the stack file the kind and the u32 fields are big-endian; images stay little-endian, and
// black and white palette entries are exchanged both ways.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// An icon directory: a 6-byte header (the image count at 4), then 16 bytes per image.
inline constexpr uint32_t kIconDirHeaderBytes = 6;
inline constexpr uint32_t kIconDirEntryBytes = 16;

// One image of an icon directory, checked to lie whole inside the data.
struct IconImage {
    uint32_t offset = 0;      // of its BITMAPINFOHEADER
    int width = 0, height = 0;  // the image's own (header height halved)
    int bitCount = 0;
    uint32_t colorsOffset = 0, colorCount = 0;
    uint32_t xorOffset = 0, andOffset = 0;
    uint32_t xorRowBytes = 0, andRowBytes = 0;
    uint16_t hotX = 0, hotY = 0;  // cursor files: the directory's planes and bit count fields
};
uint16_t IconImageCount(std::span<const uint8_t> data);
// Image `index` (outside the count: image 0); false when the directory or image do not fit.
bool ReadIconImage(std::span<const uint8_t> data, int index, IconImage* image);
// The first image's header width and height (low and high word); 0 when there is none.
uint32_t IconDataSize(std::span<const uint8_t> data);
// Exchanges pure black and pure white colour-table entries of every image; false when an image
// does not fit.
bool ExchangeBlackAndWhite(std::span<uint8_t> data);

inline constexpr uint32_t kCursorHeaderBytes = 28;
inline constexpr uint16_t kCursorStill = 1;
inline constexpr uint16_t kCursorAnimated = 2;
inline constexpr uint32_t kAnimHeaderFields = 9;

// A 'Crsr' in memory order, taken apart.
struct CursorResource {
    uint16_t kind = 0;
    std::span<const uint8_t> still;  // kind 1
    uint32_t header[kAnimHeaderFields] = {};
    std::vector<uint32_t> rates, sequence;     // n each; a 0 rate counts as 1 tick
    std::vector<std::span<const uint8_t>> frames;  // n, as the sizes say
};
// False for another kind or anything that does not fit; every sequence entry then names a frame.
bool ReadCursorResource(std::span<const uint8_t> data, CursorResource* cursor);
// Converts 'Crsr' data in place between file order (toFile 0: to memory): 1 when converted or of
// another kind (left as it is). Still or animated data that does not fit: 0 on the way in (the
// reader then keeps it as stored), left as it is on the way out.
int SwapCursorResourceData(uint8_t* data, uint32_t size, int toFile);

// A cursor file as still 'Crsr' data (memory order): its first image, rescaled to 16 by 16 when
// it is another size (nearest pixels, the same depth and colour table, the mask too). Empty when
// the file holds no image.
std::vector<uint8_t> MakeStillCursorData(std::span<const uint8_t> cursorFile);
