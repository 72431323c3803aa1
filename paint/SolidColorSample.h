// The value the display stores for a colour painted as a solid area, as the paint tools see it.
#pragma once

#include <cstdint>

// SampleSolidColorPixels: paints an 8 x 8 display-compatible bitmap with a solid brush of the
// colour (no pen), reads it back as a DIB with the application palette, and stores the pixel at
// the third row and column of the stored rows: into value16 on a 16-bit display, else into
// value32 (the pixel's bytes as a little-endian number). Nothing is stored when the bitmap
// cannot be made or read. Installed as the graphics layer's solid-colour sampler.
void SampleSolidColorPixels(int displayDepth, uint8_t red, uint8_t green, uint8_t blue, uint16_t* value16,
                            uint32_t* value32);
