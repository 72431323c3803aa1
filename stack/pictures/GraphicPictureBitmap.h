// A graphic object's stored picture as a bitmap for its layer (GraphicPictureBitmap_win.cpp).
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"

// MakeBitmapFromPictureRecord: the picture stored in a graphic object record as a bitmap
// compatible with the card window, its colours from the card's picture palette (else the
// current one); 0 when it cannot be made.
HBITMAP MakeBitmapFromPictureRecord(std::span<const uint8_t> graphic, Handle card);
// The same for a graphic object of the current card.
HBITMAP PictureFromGraphicRecord(std::span<const uint8_t> graphic);
