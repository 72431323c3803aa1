// The current colours of the painting tools and the custom colour.
//
// A colour value is a signed 16-bit number: 0..255 a palette index (of the current picture
// palette, else the application palette), 257 the custom colour (an RGB value kept for displays
// deeper than 8 bits), -k fill pattern k (1..16). The text colour belongs to the paint text tool
// (letter 't'), the eraser colour to the eraser ('e'), the fill colour to every other tool.
//
// The turning of indexes into drawable colours needs the GDI palettes: PaletteIndexToColor,
// FindPaletteIndexOfColor and CacheBlackWhiteIndices are in AppPalette.h (CurrentColors_win.cpp).
#pragma once

#include <cstdint>

inline constexpr int16_t kCustomColorIndex = 257;
inline constexpr uint16_t kFirstIndexPastCustom = 258;

int16_t GetToolColor(char letter);
void SetToolColor(char letter, int16_t value);

// The custom colour as 0x00BBGGRR (a COLORREF without flags).
uint32_t GetCustomColor();
void SetCustomColor(uint32_t rgb);

// Text and fill take the black index and the eraser the white one, the first time only.
bool BlackWhiteIndicesCached();
void SetBlackWhiteIndices(uint16_t black, uint16_t white);

// Start-up state: all three colours 0, the custom colour black, nothing cached.
void ResetCurrentColors();
