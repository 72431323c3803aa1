// The default colours of the application palette, and the rules that place and snap its
// entries. Platform-neutral; the GDI palette itself is built in AppPalette_win.cpp.
//
// The resource "DEFPAL" (type "PAL") carries the 236 default colours: byte 0 is not read, then
// one red, green, blue triple per entry. resources/defpal.py writes it from the table in
// DefaultPalette.cpp, so the two cannot drift apart.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "graphics/dib/DibPixels.h"

inline constexpr int kAppPaletteEntries = 256;
inline constexpr int kDefaultPaletteEntries = 236;  // entries 0..235; the rest are system colours
inline constexpr uint32_t kDefpalResourceBytes = 772;
inline constexpr uint32_t kDefpalMinimumBytes = 1 + 3 * kDefaultPaletteEntries;

// The 236 colours as 0xRRGGBB, entry 0 first.
extern const std::array<uint32_t, kDefaultPaletteEntries> kDefaultPaletteColors;

// The colours of a "DEFPAL" resource. False (out untouched) when the bytes are too few.
bool ReadDefaultPaletteResource(std::span<const uint8_t> bytes, std::span<DibColor, kDefaultPaletteEntries> out);

// The system palette entry that fills an application palette entry of 236..255: 236..245 take
// system entries 255..246, 246..255 take 9..0. -1 for entries below 236.
int SystemEntryForAppEntry(int appEntry);

// Clears the low 3 bits of each component, so that a 5-bit-per-channel display shows the colour
// it was given; pure white stays as it is.
void QuantizeColorTo15Bit(uint8_t& red, uint8_t& green, uint8_t& blue);
