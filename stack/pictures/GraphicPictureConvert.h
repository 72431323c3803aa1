// Graphic object pictures to another depth and to a new palette (GraphicPicture_win.cpp),
// steered by the conversion switches (CardPictureStore.h). The stored view is GraphicPicture.h.
//
// Each converter takes the graphic's picture as a DIB at its stored depth (top row first, the
// card palette as its table below 9 bits), may change that DIB's pixels in place, and returns
// a new DIB or 0.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"
#include "stack/pictures/GraphicPicture.h"

// 4-bit indexes as 8-bit indexes with the card palette.
DibHandle ConvertGraphic4To8(Handle card, DibHandle dib);
// 16, 24 or 32 bits to 8 with the card palette (the program's own reduction, or vic32).
DibHandle ConvertGraphicTo8(Handle card, DibHandle dib);
// 24 or 32 bits (display order) to 5-5-5 high byte first.
DibHandle ConvertGraphicTo16(DibHandle dib);
// 24 bits to x-R-G-B; 32 bits reordered (or left as they are with displayPixelOrder).
DibHandle ConvertGraphicTo32(DibHandle dib);
// Through the display: 16 and 32 bits made 24 first, then requantized.
DibHandle ConvertGraphicToDisplay(DibHandle dib);
// The table of depths: the stored picture made at target depth; 0 when there is no way (16 from
// 24 without jpegEncode or force) or a step fails.
DibHandle ConvertGraphicPictureDepth(Handle card, const GraphicPictureView& view, int target);

// The new data of a graphic at depth (rows packed again, the mask rebuilt and appended).
// False when it cannot be made; *leftAlone set when the graphic has no stored picture to convert.
bool ConvertGraphicPicture(Handle card, std::span<const uint8_t> graphic, int depth, std::vector<uint8_t>& data,
                           uint32_t& maskLength, bool* leftAlone);
// The graphic at offset in the card re-mapped to palette: an 8-bit picture keeps its indexes,
// a deeper one is matched to the palette by vic32 and requantized through the display, then
// stored at its own depth again. False, record as it was, when it cannot be done.
bool RemapGraphicPicture(Handle card, uint32_t offset, HPALETTE palette);
// The 8-bit picture of the graphic at offset in the card with each index i made table[i], so
// that it keeps its colours when its palette's entries move. False, record as it was, for other
// depths, a record never drawn, or when it cannot be done.
bool TranslateGraphicIndexes(Handle card, uint32_t offset, std::span<const uint8_t, 256> table);
