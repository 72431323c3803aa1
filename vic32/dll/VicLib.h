// Inside vic32.dll: what its files share. The exported calls are declared in vic32/Vic32.h.
// Colours travel inside as 0x00RRGGBB.
//
//   VicImage.cpp     descriptors: checks, row addressing, allocimage, freeimage, copyimgdes
//   VicDib.cpp       packed DIBs: setupimgdes, writing an image out as a packed DIB, copies
//   Match.cpp        the nearest-colour search, matchcolorimage, matchcolorimageex
//   Quantize.cpp     convertrgbtopal: a palette of the picture's own by median cut
//   VicDib_win.cpp   imagetodib, dibtoimage, wintovicpal (global memory and GDI palettes)
//   Jpeg_win.cpp     savejpgtobuffer, jpeginfofrombuffer, loadjpgfrombuffer through the
//                    Windows Imaging Component
//   WicBytes.cpp     the JPEG test, frame sizes and decoded rows of the WIC wrappers
//   VicFiles.cpp     files read whole and written whole (a failed write is deleted)
//   BmpCodec.cpp     BMP files in and out (the layout: vic32/formats/BmpFormat.h)
//   PcxCodec.cpp     PCX files in and out, run-length coded
//   TgaCodec.cpp     TGA files in and out, plain or run-length
//   VicFileCalls.cpp the file calls: bmpinfo ... savebif
//   WicFiles_win.cpp jpeginfo, loadjpg, savejpg, tiffinfo, loadtif, savegif, victowinpal
//   vic32.def        the exports
//
// Only Vic32.h crosses the DLL's edge. No exception leaves an exported call: VicGuarded turns
// a failed allocation into VIC_NO_MEMORY.
#pragma once

#include <cstdint>
#include <new>
#include <span>
#include <vector>

#include "vic32/Vic32.h"

// --- VicImage.cpp
// Bytes of one row of a DIB, padded to 32 bits; 0 for a width or depth out of range.
int32_t VicRowBytes(int32_t width, int32_t bitsPerPixel);
// The fields agree: size in range, a depth of 8 or 24, the row size of that width and depth,
// rows present, and for 8 bits a table with 1..256 slots of which `colors` are in use.
bool VicImageOk(const VicImage* image);
// Row y counted from the top, whichever order the rows are stored in; y < height.
uint8_t* VicRow(const VicImage& image, int32_t y);
// The colours of row y (width entries); an 8-bit index past the colours in use reads black.
void VicReadRowRgb(const VicImage& image, int32_t y, uint32_t* out);

inline uint32_t VicRgb(uint8_t red, uint8_t green, uint8_t blue) {
    return uint32_t{red} << 16 | uint32_t{green} << 8 | blue;
}
inline uint32_t VicRgbOf(const VicColor& c) { return VicRgb(c.red, c.green, c.blue); }
inline VicColor VicColorOf(uint32_t rgb) {
    return {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb >> 16), 0};
}

// --- WicBytes.cpp (what the WIC wrappers do with bytes themselves)
// Start of image, then the first marker: anything else is not worth handing to the decoder.
bool VicStartsLikeJpeg(const uint8_t* bytes, uint32_t length);
// A decoded frame's size within 1 to VIC_MAX_DIMENSION each way.
bool VicFrameSizeOk(uint32_t width, uint32_t height);
// A decoder's rows, top row first and `stride` bytes apart, into the image's rows: VIC_BAD_SIZE
// for a bad image, a stride shorter than its rows or fewer rows than its height, else VIC_OK.
int VicFillRows(const VicImage& image, std::span<const uint8_t> rows, uint32_t stride);

// --- VicDib.cpp
// Bytes of the packed DIB that VicWritePackedDib makes of the image; 0 for a bad image.
uint32_t VicPackedDibBytes(const VicImage& image);
// Writes the image as a packed DIB (40-byte header, for 8 bits a 256-entry table with black past
// `colors`, rows bottom row first) into out, which has at least VicPackedDibBytes bytes.
int VicWritePackedDib(const VicImage& image, std::span<uint8_t> out);
// A new image of its own with the pixels and palette of the source.
int VicCloneImage(const VicImage& source, VicImage* copy);
// The pixels and palette of the source into an image of the same size and depth, which keeps
// its own memory. VIC_BAD_SIZE when they differ.
int VicCopyPixels(const VicImage& source, VicImage* target);

// --- Match.cpp
// Finds the palette entry nearest to a colour, the lowest index among equals, remembering
// recent answers (room for about as many as the image has pixels). The palette is copied.
class VicNearest {
public:
    enum class Distance { Plain, Perceptual };
    VicNearest(std::span<const VicColor> palette, Distance distance, uint64_t pixels);
    uint8_t Find(uint32_t rgb);
    uint32_t ColorAt(uint8_t index) const { return colors_[index]; }

private:
    uint8_t Search(uint32_t rgb) const;

    std::vector<uint32_t> colors_;
    Distance distance_;
    uint32_t cacheShift_;
    std::vector<uint32_t> cacheKeys_;
    std::vector<uint8_t> cacheIndexes_;
};
// Every pixel of the source (8 or 24 bits) as the index of its nearest entry, into the 8-bit
// result of the same size. VIC_OK.
int VicMatchNearest(const VicImage& source, VicImage& result, VicNearest& nearest);

// --- VicFiles.cpp
// The whole file (at most kVicMaxFileBytes): VIC_OK, VIC_NO_FILE, or VIC_BAD_FILE when larger.
inline constexpr uint32_t kVicMaxFileBytes = 256u << 20;
int VicReadFile(const char* path, std::vector<uint8_t>& bytes);
// Creates or replaces the file with the bytes; on any failure nothing of it is left.
int VicWriteFile(const char* path, std::span<const uint8_t> bytes);
// An image to be filled has this size and depth.
bool VicImageIs(const VicImage* image, int32_t width, int32_t height, int32_t bitsPerPixel);

// --- BmpCodec.cpp, PcxCodec.cpp, TgaCodec.cpp: the codecs over bytes. Loaders check the file
// whole before touching the image, so a refused file leaves it as it was.
int VicBmpHeader(std::span<const uint8_t> file, VicBitmapHeader* header);
int VicBmpLoad(std::span<const uint8_t> file, VicImage* image);
int VicBmpEncode(const VicImage& image, std::vector<uint8_t>& out);
int VicPcxInfo(std::span<const uint8_t> file, VicFileInfo* info);
int VicPcxLoad(std::span<const uint8_t> file, VicImage* image);
int VicPcxEncode(const VicImage& image, std::vector<uint8_t>& out);
int VicTgaInfo(std::span<const uint8_t> file, VicFileInfo* info);
int VicTgaLoad(std::span<const uint8_t> file, VicImage* image);
int VicTgaEncode(const VicImage& image, bool runLength, std::vector<uint8_t>& out);

// Runs an exported call's body; an allocation that fails inside becomes VIC_NO_MEMORY.
template <class Body>
int VicGuarded(Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return VIC_NO_MEMORY;
    }
}
