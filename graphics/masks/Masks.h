// One-bit masks as GDI bitmaps: white (1) where the picture counts, black (0) elsewhere. Masks
// are made from a lasso, from the connected area of one colour and around a whole bitmap, give
// outlines, and are kept as PackedMask blocks. The decisions over pixels are made on plain bits
// (MaskBits.h, MaskRegions.h, PackedMask.h); these files read the bitmaps, draw the polygons and
// make the bitmaps.
//
//   MaskGdi_win.cpp        bits to and from bitmaps, single pixels, outlines, packed masks
//   MaskLasso_win.cpp      masks from the lasso point buffer and around a whole bitmap
//   MaskRegionAt_win.cpp   masks of the area of one colour (paint bucket)
//
// Copies through a mask are graphics/pixels/BitmapCopy.h.
//
// Every maker hands out a new bitmap that the caller deletes, and leaves a null mask when it
// fails; what it made on the way is released.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/dib/Dib.h"
#include "graphics/masks/MaskBits.h"
#include "graphics/masks/PackedMask.h"

// ---- MaskGdi_win.cpp ----
// The bitmap's pixels as bits: set where the pixel is not black, at any depth. False for no
// bitmap or when it cannot be read.
bool ReadMaskBitmap(HBITMAP bitmap, MaskBits* bits);
// A monochrome bitmap of the bits; null for empty bits or when GDI refuses.
HBITMAP NewMaskBitmap(const MaskBits& bits);

// False without a bitmap or outside it; else whether the pixel is not black.
bool BitmapPixelIsSet(HWND window, HBITMAP bitmap, int x, int y);
void SetMaskPixel(HDC dc, int x, int y, COLORREF color);

// The one-pixel boundary of the mask (first and last pixel of every horizontal and vertical run).
HBITMAP MaskOutlineThin(HBITMAP mask);
// A band about penWidth pixels wide inside the mask's edge; width 1 (or less) is the thin one.
HBITMAP MaskOutline(HBITMAP mask, int penWidth);

// A PackedMask of the mask in a global block from the warning allocator; 0 in both outs on
// failure.
void MaskToPackedBits(HBITMAP mask, uint16_t first, uint16_t second, uint32_t* size, HGLOBAL* block);
// The same with both values 0, as bytes; empty on failure.
std::vector<uint8_t> MaskToPackedBytes(HBITMAP mask);
// The mask of a PackedMask block, and its two caller values. The block's stored size is checked
// against its length before anything is made; a refused block (or a bitmap GDI will not make)
// leaves a null mask and both values 0.
PackedMaskRefusal MaskFromPackedBits(std::span<const uint8_t> block, HBITMAP* mask, uint16_t* first, uint16_t* second);
// The same for a global block, its length taken from GlobalSize.
PackedMaskRefusal MaskFromPackedBlock(HGLOBAL block, HBITMAP* mask, uint16_t* first, uint16_t* second);

// ---- MaskLasso_win.cpp ----
// Coordinates are the image's pixels; rectangles exclude right and bottom.
//
// The pixels inside the lasso (the buffer's points, held inside the lasso bounds first) that
// differ from the image's colour under the first point. bounds in: the lasso's bounds (the part
// of the image scanned); out: the area found, which is also the mask's size. Alt held closes the
// gaps of a drawn shape (see ScanPolygonMask). 1, or 0 with a null mask when nothing qualified.
int MaskFromPolygon(HWND window, DibHandle image, HBITMAP* mask, RECT* bounds);
// A mask of the lasso polygon itself over the points' bounds. The buffer keeps the points
// shifted to the mask's origin. 0 when no bitmap could be made.
int MaskFromLassoPoints(HWND window, HBITMAP* mask, RECT* rect);
// A mask of the bitmap's size, white where a pixel differs from the top-left corner's colour;
// all black for a bitmap of one colour; null when the bitmap cannot be read.
HBITMAP AutoMaskBitmap(HBITMAP bitmap);

// ---- MaskRegionAt_win.cpp ----
// y counts rows from 1, as the paint bucket hands it: the seed pixel is (x, y - 1). bounds out
// is the found area in the bitmap's pixels, which is the mask's size.
//
// The area of the seed's colour: by flood fill, else by the run scan; the run scan first when
// the seed lies on a one-pixel horizontal line.
int MakeRegionMaskAt(HWND window, HBITMAP bitmap, int x, int y, HBITMAP* mask, RECT* bounds);
// The same on the card offscreen.
int MakeRegionMaskAtOffscreen(HWND window, int x, int y, HBITMAP* mask, RECT* bounds);
// Breadth first over the bitmap's pixels (ScanColorRun).
int MaskFromColorRunScan(HBITMAP bitmap, int x, int y, HBITMAP* mask, RECT* bounds);
// ExtFloodFill on a copy, then the pixels that changed (ScanFloodFillChange). A row of 0 counts
// as 1.
int MaskFromFloodFill(HWND window, HBITMAP bitmap, int x, int y, HBITMAP* mask, RECT* bounds);
