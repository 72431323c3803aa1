// The blocks of a GIF file, read only as far as the picture import needs: the header and the
// first transparent colour index of a graphic control extension. Platform-free and bounded.
#pragma once

#include <cstdint>
#include <span>

// The file begins "GIF89" (an animated GIF is one of those).
bool IsGif89Header(std::span<const uint8_t> file);
// The first transparent index of the file's graphic control extensions, -1 when there is none or
// the blocks run past the end before one is found.
int GifTransparentIndex(std::span<const uint8_t> file);
// Entry index of the global colour table (of the first image's local table when there is no
// global one) as red, green, blue; false when the file holds no such entry.
bool GifColorTableEntry(std::span<const uint8_t> file, int index, uint8_t rgb[3]);
// The number of images in the file, counted up to `limit` (the walk stops there); 0 for no GIF.
int GifImageCount(std::span<const uint8_t> file, int limit);
