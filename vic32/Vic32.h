// The imaging library vic32.dll: images in memory, JPEG coding, colour reduction and palette
// matching. The plug-in links its import library; the packager copies the DLL from the program
// folder. Its sources are in dll/ (table of contents: dll/VicLib.h) and build only the DLL.
//
// An image is described by a VicImage. Its pixels are laid out as a packed DIB: an info header
// of 40 bytes (BITMAPINFOHEADER), the colour table for 8-bit images, then the rows, each padded
// to 32 bits, bottom row first unless topDown is set. So `header` with `bits` can go straight
// to SetDIBits or StretchDIBits. Images have 8 bits (palette indexes) or 24 bits (blue, green,
// red) a pixel; width and height are 1..32767.
//
// An image either owns its memory (allocimage, dibtoimage) and is released with freeimage, or
// describes memory of the caller (setupimgdes, copyimgdes), which freeimage leaves alone. A descriptor passed to allocimage or dibtoimage must not hold an
// image of its own: it would be lost.
//
// Every call takes its images by address and returns VIC_OK or a negative VIC_ code (wintovicpal
// returns a count); on failure a result image is left as it was. Calls use the C calling
// convention, so that the names in the import library and in the export table are the same,
// undecorated. No call keeps a pointer it was given after it returns.
#pragma once

#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
#define VICAPI __cdecl
#else
#define VICAPI
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
    VIC_OK = 0,
    VIC_BAD_ARGUMENT = -1,  // a null pointer, or a descriptor whose fields do not agree
    VIC_BAD_BITS = -2,      // a depth the call does not take
    VIC_BAD_SIZE = -3,      // width or height out of range, or images of different sizes
    VIC_NO_MEMORY = -4,
    VIC_BAD_DIB = -5,       // packed DIB bytes that are damaged or of a form not taken
    VIC_BAD_JPEG = -6,      // not JPEG data, or damaged
    VIC_BAD_MODE = -7,      // an unknown matching mode
    VIC_NO_CODEC = -8,      // the system's image codecs could not be reached
    VIC_BAD_PALETTE = -9,   // an 8-bit result without palette entries to match to
    VIC_NO_FILE = -10,      // the file cannot be opened or read
    VIC_BAD_FILE = -11,     // not a file of the format, damaged, or of a form not taken
    VIC_WRITE_FAILED = -12, // the file cannot be written (what was written is deleted)
    VIC_UNSUPPORTED = -13   // a format the library does not have (BIF)
};

// Matching modes of matchcolorimageex.
enum {
    VIC_MATCH_NEAREST = 1,     // each pixel the nearest palette colour (straight RGB distance)
    VIC_MATCH_DIFFUSE = 2,     // Floyd-Steinberg error diffusion: gradients keep their mean colour
    VIC_MATCH_PERCEPTUAL = 3   // nearest colour by a distance weighted as the eye sees it (green
                               // most, red and blue by the red level); flat areas stay flat
};

enum { VIC_MAX_DIMENSION = 32767, VIC_PALETTE_SLOTS = 256 };

// One palette entry, laid out as a DIB colour table entry (RGBQUAD).
typedef struct VicColor {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
} VicColor;

typedef struct VicImage {
    uint8_t* header;        // the 40-byte info header, followed by the colour table
    VicColor* palette;      // the colour table for 8 bits, else null
    uint8_t* bits;          // the first stored row
    int32_t width;
    int32_t height;         // always positive; the header's sign is in topDown
    int32_t bitsPerPixel;   // 8 or 24
    int32_t rowBytes;       // bytes of one stored row, a multiple of 4
    int32_t topDown;        // 1 when the top row is stored first
    int32_t colors;         // palette entries in use (8 bits), else 0
    int32_t paletteSlots;   // entries the colour table has room for: 256 in images the library made
    void* block;            // the library's allocation; null when the memory is the caller's
} VicImage;

// What a JPEG holds, before it is decoded.
typedef struct VicJpegInfo {
    int32_t width;
    int32_t height;
    int32_t components;     // 1 grey, 3 colour, 4 CMYK
    int32_t bitsPerPixel;   // of the image loadjpgfrombuffer fills: always 24
} VicJpegInfo;

// What a picture file holds, before it is loaded: the image its loader fills is allocated
// (allocimage) at width x length and bitsPerPixel.
typedef struct VicFileInfo {
    int32_t width;
    int32_t length;
    int32_t bitsPerPixel;     // of the image the loader fills: 8 (palette) or 24
    int32_t fileBitsPerPixel; // as stored in the file
    int32_t colors;           // palette entries the file holds, 0 for true colour
} VicFileInfo;

// A BMP file's info header as bmpinfo gives it, laid out as a BITMAPINFOHEADER (a core header
// is widened into it; height negative for rows stored top row first).
typedef struct VicBitmapHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
} VicBitmapHeader;

// Describes a packed DIB of `bytes` bytes at `dib` (info header, table, rows), without copying:
// 8 or 24 bits, uncompressed, one plane, a header of 40 bytes or a larger version of it, an
// 8-bit table of biClrUsed entries (256 when 0), rows padded to 32 bits inside the bytes.
// The image stays valid while the bytes do. VIC_BAD_DIB (or VIC_BAD_BITS, VIC_BAD_SIZE) and
// the descriptor untouched otherwise.
int VICAPI setupimgdes(uint8_t* dib, uint32_t bytes, VicImage* image);

// Makes an image of its own: zeroed rows, bottom row first, for 8 bits a 256-entry table holding
// a grey ramp with all 256 entries in use.
int VICAPI allocimage(VicImage* image, int32_t width, int32_t height, int32_t bitsPerPixel);

// Releases what the image owns and clears the descriptor; an image that only describes memory
// is just cleared. Null and cleared descriptors are allowed.
void VICAPI freeimage(VicImage* image);

// The copy describes the same pixels and palette as the source, without owning them: freeing
// the copy leaves the source intact, and the copy is good only while the source is.
int VICAPI copyimgdes(const VicImage* source, VicImage* copy);

// Reduces a 24-bit image to a palette of its own of at most maxColors (1..256, and at most the
// result's paletteSlots) colours, made from the picture (median cut weighted by pixel counts),
// into an 8-bit result of the same size: each pixel takes the nearest palette colour. A picture
// with no more distinct colours than that is reproduced exactly. result->colors tells how many
// entries were made; the remaining slots become black.
int VICAPI convertrgbtopal(int32_t maxColors, const VicImage* source, VicImage* result);

// Matches an 8- or 24-bit source to the palette of the 8-bit result of the same size (its first
// `colors` entries), nearest colour: a colour in the palette gets its first index there.
int VICAPI matchcolorimage(const VicImage* source, VicImage* result);
// The same with a VIC_MATCH_ mode; every mode gives a colour in the palette its own first index.
int VICAPI matchcolorimageex(const VicImage* source, VicImage* result, int32_t mode);

// Picture files. A loader fills an image the caller allocated (allocimage) from what the
// information call told: the same size, the depth it named; VIC_BAD_SIZE otherwise. Files are
// read whole (at most 256 MB). A writer builds the file in memory first and deletes what it
// wrote when writing fails.
//   BMP: 1, 4, 8 bits (into 8) and 24 bits, uncompressed, either row order; 16 and 32 bits are
//   refused (VIC_BAD_BITS). savebmp writes 8 or 24 bits; compression must be 0.
int VICAPI bmpinfo(const char* path, VicBitmapHeader* header);
int VICAPI loadbmp(const char* path, VicImage* image);
int VICAPI savebmp(const char* path, const VicImage* image, int32_t compression);
//   PCX (ZSoft, version 5): 1 bit in 1 or 4 planes and 8 bits in 1 plane (into 8), 8 bits in 3
//   planes (into 24). savepcx writes 8 bits with the 256-entry palette at the end, or 24 bits.
int VICAPI pcxinfo(const char* path, VicFileInfo* info);
int VICAPI loadpcx(const char* path, VicImage* image);
int VICAPI savepcx(const char* path, const VicImage* image);
//   TGA: colour-mapped (8-bit indexes, into 8), true colour of 15, 16, 24 or 32 bits (into 24)
//   and grey (into 8), plain or run-length. savetga writes 8 bits colour-mapped or 24 bits true
//   colour, run-length when compression is 1.
int VICAPI tgainfo(const char* path, VicFileInfo* info);
int VICAPI loadtga(const char* path, VicImage* image);
int VICAPI savetga(const char* path, const VicImage* image, int32_t compression);
//   BIF: its layout is not known; both calls answer VIC_UNSUPPORTED.
int VICAPI loadbif(const char* path, VicImage* image);
int VICAPI savebif(const char* path, const VicImage* image);

#ifdef _WIN32
// JPEG, TIFF and GIF files through the system's codecs (24-bit results). savejpg takes a quality
// of 1..100; savegif an 8-bit image only (VIC_BAD_BITS otherwise).
int VICAPI jpeginfo(const char* path, VicFileInfo* info);
int VICAPI loadjpg(const char* path, VicImage* image);
int VICAPI savejpg(const char* path, const VicImage* image, int32_t quality);
int VICAPI tiffinfo(const char* path, VicFileInfo* info);
int VICAPI loadtif(const char* path, VicImage* image);
int VICAPI savegif(const char* path, const VicImage* image);

// A new GDI palette of the table's first `colors` entries (1..256); 0 on failure.
HPALETTE VICAPI victowinpal(const VicColor* table, int32_t colors);

// Encodes an 8- or 24-bit image as a baseline JPEG of the given quality (1..100) into a new
// movable global block of exactly *length bytes, which the caller frees with GlobalFree.
int VICAPI savejpgtobuffer(HGLOBAL* jpeg, uint32_t* length, const VicImage* source, int32_t quality);

// The size and kind of the JPEG in the `length` bytes at `jpeg`.
int VICAPI jpeginfofrombuffer(const uint8_t* jpeg, uint32_t length, VicJpegInfo* info);

// Decodes the JPEG into a 24-bit result of the JPEG's size (its own, made with allocimage from
// what jpeginfofrombuffer told, or a caller's DIB described by setupimgdes).
int VICAPI loadjpgfrombuffer(const uint8_t* jpeg, uint32_t length, VicImage* result);

// A new movable global block holding the image as a packed DIB, bottom row first: for 8 bits a
// 256-entry table (the entries past `colors` black), for 24 bits none. The caller frees it.
int VICAPI imagetodib(const VicImage* source, HGLOBAL* dib);

// Copies the packed DIB in the global block (as setupimgdes takes it) into a new image of its own.
int VICAPI dibtoimage(HGLOBAL dib, VicImage* image);

// Writes the entries of a GDI palette into a table of `slots` entries in the library's palette
// form (at most 256; reserved bytes 0). Returns the number of entries written, 0 on failure.
// Matching a picture to a GDI palette:
//     allocimage(&target, source.width, source.height, 8);
//     target.colors = wintovicpal(palette, target.palette, target.paletteSlots);
//     matchcolorimageex(&source, &target, VIC_MATCH_DIFFUSE);
int VICAPI wintovicpal(HPALETTE palette, VicColor* table, int32_t slots);
#endif

#ifdef __cplusplus
}
#endif
