// Pixel depth conversions of DibHandles: between the Windows pixel layouts and the stack-file
// ones, through the display, to another size, and down to 8 bits with a picture's palette.
//
//   layout   bytes   pixel
//   Windows 16-bit   2   little-endian u16: bit 15 unused, red 14..10, green 9..5, blue 4..0
//   stack 16-bit     2   the same u16 high byte first
//   Windows 24-bit   3   blue, green, red
//   Windows 32-bit   4   blue, green, red, unused
//   stack 32-bit     4   unused, red, green, blue
//
// Every converter reads the source with its own DibRowBytes and writes a new DIB of the same
// width and height (NewDib: zeroed, so padding and unwritten unused bytes stay 0); none frees
// its source, and each gives 0 for a source of another depth or a damaged one.
//
//   PixelDepth.cpp      the layout converters, the colour-key matching of DibReduceTo8Bit and
//                       DibRemapTopColors
//   PixelDepth_win.cpp  through the display (PixelDepthGdi.h): requantizing, scaling,
//                       DibReduceTo8Bit, and repacking card pictures
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "graphics/dib/Dib.h"
#include "graphics/dib/DibPixels.h"

// A 5-bit component widened to 8: 0 stays 0, v becomes 8 v + 7 (1 -> 15, 31 -> 255).
uint8_t Expand5BitComponent(unsigned v);

// Stack 16-bit to Windows 24-bit (bit 15 ignored).
DibHandle DibConvert16To24(DibHandle dib);
// Windows 32-bit or 24-bit to stack 16-bit: each component's top 5 bits.
DibHandle Dib32ToMac16(DibHandle dib);
DibHandle Dib24ToMac16(DibHandle dib);
// Windows 24-bit to stack 32-bit and back.
DibHandle Dib24ToMac32(DibHandle dib);
DibHandle DibMac32To24(DibHandle dib);
// Windows 32-bit to Windows 24-bit: the unused byte dropped.
DibHandle Dib32To24(DibHandle dib);
// 32-bit to 32-bit: windowsToMac turns blue, green, red, x into 0, red, green, blue; otherwise
// x, red, green, blue becomes blue, green, red, 0.
DibHandle DibReorder32(DibHandle dib, bool windowsToMac);
inline DibHandle Dib32WindowsToMacOrder(DibHandle dib) { return DibReorder32(dib, true); }
inline DibHandle Dib32MacToWindowsOrder(DibHandle dib) { return DibReorder32(dib, false); }
// In place: every pair of bytes of every row, padding included, is swapped (Windows 16-bit to
// stack 16-bit and back). False for a damaged DIB.
bool DibSwapPixelBytes(DibHandle dib);

// A Windows 16-, 24- or 32-bit DIB (as read from the display) as a new DIB in the stack layout
// of depth 16, or of depth 32 for 24 and 32. 0 for other depths.
DibHandle DibToStackLayout(DibHandle dib, int stackDepth);
// A 4-bit DIB widened to a new 8-bit DIB of width x height: each nibble, high first, becomes
// one pixel of the same index; the colour table stays zero. Both DIBs are taken bottom row
// first, so rows are matched from the top of the picture; pixels and rows past the source stay
// 0, and an odd width takes its last pixel from the high nibble of the byte that holds it.
DibHandle DibExpand4To8(DibHandle source, int width, int height);

// The 8-bit reduction of DibReduceTo8Bit: no nearest-colour search, since the image's colours
// are exactly the palette's as the display shows them. Each palette entry has a key (the
// 24-bit key below, or for 16-bit pixels the 5-5-5 value the display makes of it); the keys are
// sorted once and each pixel's key is looked up by a binary search.
inline uint32_t ColorKey24(const DibColor& c) {
    return uint32_t{c.blue} << 16 | uint32_t{c.green} << 8 | c.red;
}
// A colour's 5-5-5 value by arithmetic (the top 5 bits of each component), for when the
// display cannot be asked.
inline uint16_t ColorKey555(const DibColor& c) {
    return static_cast<uint16_t>((c.red >> 3) << 10 | (c.green >> 3) << 5 | c.blue >> 3);
}

struct ColorKeyTable {
    std::array<uint32_t, 256> keys{};
    std::array<uint8_t, 256> indexes{};  // the palette index of each key
};
// The keys of palette entries 0..255, sorted ascending with their indexes. Equal keys keep the
// order an exchange sort leaves them in (entries i < j swapped when key j < key i), so which of
// two entries of one colour a pixel takes does not depend on the sort's implementation.
ColorKeyTable SortColorKeys(std::span<const uint32_t, 256> keys);
// Fills the 8-bit DIB target (same width and height) from a 16-, 24- or 32-bit source: a pixel's
// key is its little-endian u16 (16 bits) or byte 0 x 65536 + byte 1 x 256 + byte 2. A key found
// among the sorted keys gives its palette index; one that is not found keeps the index of the
// last key found, which at the start of the image is the index of the smallest key. False
// (target unchanged) for sizes or depths that do not fit.
bool MatchPixelsToColorKeys(DibHandle source, const ColorKeyTable& keys, DibHandle target);

// Moves the pixels of an 8-bit DIB (its bytes, header first) off the system colours at both
// ends of the palette: entries 246..255 to the nearest of 0..245, entries 0..9 to the nearest
// of 10..245, by the distance 2 db^2 + 4 dg^2 + 3 dr^2 (the lowest index wins a tie). Every byte
// of the image, padding included, is translated; the colour table stays. False for a DIB that
// is not 8-bit or has fewer than 256 colours.
bool DibRemapTopColors(std::span<uint8_t> dib);

// The display's own 16-bit value of a colour (the paint layer's SampleSolidColorPixels, which
// host/wiring/WireGraphics_win.cpp sets): (display depth, red, green, blue, 16-bit value out,
// 32-bit value out). Until one is set DibReduceTo8Bit takes ColorKey555.
using SolidColorSampler = void (*)(int displayDepth, uint8_t red, uint8_t green, uint8_t blue,
                                   uint16_t* value16, uint32_t* value32);
void SetSolidColorSampler(SolidColorSampler sampler);
SolidColorSampler GetSolidColorSampler();
