// Offscreen pixel maps: a GDI bitmap with its own memory DC (or a window whose DC is taken while
// drawing), its palette, and what drawing on it has to put back. Animations and sprites draw
// into them and keep their pictures as packed pictures (PackedPictureHeader.h).
//
//   PixMap_win.cpp              the record, its constructors, copies, begin and end of drawing,
//                               rectangle copies with and without a mask, colour masks, mirroring
//   PackedPictureLoad_win.cpp   packed pictures of maps and maps from packed pictures, frame deltas
//
// Drawing on a map is bracketed by BeginPixMapDraw and EndPixMapDraw; between them the map's
// bitmap (and on 8-bit displays its palette) is selected into its DC. A map whose bitmap is the
// card offscreen (CardOffscreen.h) never deletes it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"
#include "graphics/pixels/PackedPictureHeader.h"

struct PixMap {
    uint16_t depth = 0;                  // 1, 8, 16 or 32; a window map's: the display's bits
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;          // 8-bit maps: the picture palette, AppPalette, or owned
    BITMAP description = {};             // GetObject of the bitmap
    HDC dc = nullptr;                    // own memory DC, or a window's DC while drawing
    HWND window = nullptr;               // null for a map with its own memory DC
    uint8_t ownsPalette = 0;             // deleted with the map
    uint8_t drawing = 0;                 // between begin and end of drawing
    HGDIOBJ previousBitmap = nullptr;    // what the DC held before the map's bitmap
    HPALETTE previousPalette = nullptr;  // what the DC held before the map's palette
};

// ---- PixMap_win.cpp ----
// A map of the rectangle's size: its own memory DC compatible with the card window's, and with
// makeBitmap a bitmap (one bit for depth 1, else compatible with the card window); without it
// no bitmap, and the description holds the display's bits per pixel, width = right, height =
// bottom. The depth word is 1, 8 or 16 as asked, else 32. An 8-bit bitmap gets the picture
// palette (else the AppPalette) selected. The bitmap is not selected until drawing begins.
// 0, or -1 with nothing made.
int NewPixMap(PixMap* out, const ShortRect& rect, int depth, bool makeBitmap);
// A map on the heap with a bitmap of the window's client size compatible with its DC; no DC of
// its own (the window's is taken while drawing). 8-bit: the picture palette (else AppPalette),
// realized once. Freed by DisposeWindowPixMap. 0, or -1 with *out null.
int NewPixMapForWindow(HWND window, PixMap** out);
// A map in a new handle (LockPixMapHandle) whose bitmap is the movie frame source's current
// frame, selected into the map's own DC. 0, or -1 with *out 0.
struct MovieFrameSource;
int NewPixMapFromGraphicFile(Handle* out, MovieFrameSource* source);
// The media layer's movie-frame call (MovieFrameGetImage), which host/wiring/WireUpper_win.cpp
// installs: the source's frame drawn into a DIB section of the frame's size for the DC, handed
// out. Until one is installed no map is made from a movie.
using MovieFrameImageHook = bool (*)(MovieFrameSource* source, HDC memoryDc, HBITMAP* bitmap);
void SetMovieFrameImageHook(MovieFrameImageHook hook);

// A copy with its own DC (none for a window map), a copy of the bitmap and, for a map with an
// 8-bit bitmap or a palette of its own, a palette of its own selected. Not drawing. 0, or -1
// with the copy disposed.
int CopyPixMapRecord(const PixMap& source, PixMap* destination);
// Ends drawing, puts back what the DC held, deletes the bitmap (unless it is the card
// offscreen), an owned palette, and the DC unless the map has a window. The record is cleared.
void DisposePixMap(PixMap* map);
// The same for a map of NewPixMapForWindow, which is freed; *map becomes null.
void DisposeWindowPixMap(PixMap** map);
// Ends drawing and deletes bitmap and DC; the record stays, without them.
void ReleasePixMapObjects(PixMap* map);

// Nothing while drawing. A window map takes its window's DC; the palette of an 8-bit bitmap is
// selected (on 8-bit displays), then the bitmap.
void BeginPixMapDraw(PixMap* map);
bool OpenPixMapPort(PixMap* map);  // BeginPixMapDraw; true
// Nothing unless drawing. Puts back the previous bitmap and palette; a window's DC is released.
void EndPixMapDraw(PixMap* map);
void ClosePixMapPort(PixMap* map);

ShortRect PixMapBounds(const PixMap& map);  // (0, 0, bitmap width, bitmap height)
uint16_t GetPixMapDepth(const PixMap& map);
uint16_t GetPixMapBitsPerPixel(const PixMap& map);
uint16_t GetPixMapRowBytes(const PixMap& map);
// Deletes the old bitmap (unless it is the card offscreen; a selected one is replaced in the DC
// first) and takes the new one and its description.
void SetPixMapBitmap(PixMap* map, HBITMAP bitmap);
// Hands the bitmap to the caller (out of the DC first) and clears it from the map; -1 when the
// map has none.
int DetachPixMapBitmap(PixMap* map, HBITMAP* bitmap);
// A palette of its own from a Mac colour table (PaletteFromMacColorTable, CardPictureGdi.h);
// it takes the old palette's place in the DC, and an owned old one is deleted. 0, or -1 for a
// damaged table (the map as it was).
int SetPixMapColorTable(PixMap* map, Handle colorTable);
// The palette as a Mac colour table of 256 entries in a new handle; 0 without a palette.
Handle PaletteToColorTableHandle(const PixMap& map);

// Maps kept in handles (NewPixMapFromGraphicFile, PreparePictureObject).
Handle NewPixMapHandle(const PixMap& map);
PixMap* LockPixMapHandle(Handle h);  // null when h holds no map
void UnlockPixMapHandle(Handle h);

// Nothing unless both maps have bitmaps. Maps not drawing draw for the copy. Without a mask:
// StretchBlt from the source rectangle to the destination rectangle. With one:
// CopyPixMapBitsMasked at the source rectangle's size, the mask read at the source rectangle's
// corner when both rectangles are one, else at (0, 0).
void CopyPixMapBits(PixMap* source, PixMap* destination, const ShortRect& sourceRect,
                    const ShortRect& destinationRect, HBITMAP mask);
void CopyPixMapRect(PixMap* source, PixMap* destination, const ShortRect& sourceRect,
                    const ShortRect& destinationRect, HBITMAP mask);
// Where the mask is white the source shows, where it is black the destination stays. Nothing
// is drawn when a DC or a temporary bitmap cannot be had.
void CopyPixMapBitsMasked(PixMap* source, PixMap* destination, const ShortRect& sourceRect,
                          const ShortRect& destinationRect, HBITMAP mask, POINT maskOrigin);

// A colour as records keep it: red, green, blue, 16 bits each, high byte first; the first
// byte of each is the colour.
struct MacRgbColor {
    uint8_t red[2];
    uint8_t green[2];
    uint8_t blue[2];
};
// A one-bit map of the rectangle's size, black where the source shows the colour (as the
// source's device shows it), white elsewhere. No colour: 0 with nothing made. 0 or -1.
int MaskFromPixMapColor(PixMap* source, const ShortRect& rect, const MacRgbColor* color, PixMap* mask);
// Mirrors the rectangle left to right (horizontal) or top to bottom, strip by strip through a
// temporary of one column or row.
void FlipPixMap(PixMap* map, const ShortRect& rect, bool horizontal);
// Replaces *bitmap by a mirrored copy of its rectangle moved to the origin (*rect is moved).
// 0; 1 without a bitmap; -1 when the copy cannot be made (the bitmap as it was).
int CutOutFlippedBitmap(ShortRect* rect, HBITMAP* bitmap, bool horizontal);

// GDI reads and writes only bitmaps that no DC holds: while a map draws, its bitmap is swapped
// out of its DC for one scope, a 1 x 1 stand-in in its place.
class UnselectedPixMapBitmap {
public:
    explicit UnselectedPixMapBitmap(const PixMap& map);
    ~UnselectedPixMapBitmap();
    UnselectedPixMapBitmap(const UnselectedPixMapBitmap&) = delete;
    UnselectedPixMapBitmap& operator=(const UnselectedPixMapBitmap&) = delete;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HBITMAP standIn_ = nullptr;
};

// ---- PackedPictureLoad_win.cpp ----
// The 58-byte header of the map's packed picture (bounds, depth word, row bytes).
int WritePackedPictureHeader(const PixMap& map, Handle* out);
// A whole packed picture of the map in a new handle: header, for depth 8 the colours its
// indexes refer to (the map's palette, else the picture palette or AppPalette), the rows packed
// with the packing type (4 or 6). 0, or -1 with *out 0.
int LoadPackedPicture(PixMap* map, uint16_t packingType, Handle* out, uint32_t* size);
// Only the packed rows (packing type 4).
int PackPixMapPicture(PixMap* map, Handle* pixels, uint32_t* size, uint16_t* packingType);
// The map's palette as a colour table and its size (0 and 0 without a palette).
void ReadPackedPictureColors(const PixMap& map, Handle* table, uint32_t* size);
// A new map in a new handle from a stored packed picture. The picture is checked whole first
// (CheckPackedPicture): 1 when its total is not expectedTotal, -1 when it is refused (an unknown
// packing type shows the PixPak_Decompress box) or cannot be made; *reason says why.
int PreparePictureObject(std::span<const uint8_t> packed, uint32_t expectedTotal, Handle* out,
                         const char** reason = nullptr);
// NewPixMap of the header's size and depth, with a bitmap.
int NewPixMapForPackedPicture(const PPakHeader& header, PixMap* out);
// Nothing for an empty table; else SetPixMapColorTable with the table's bytes.
int LoadPixMapColorTable(std::span<const uint8_t> colorTable, PixMap* map);
// Checks a packed picture of the map's own size and depth and unpacks it into the map.
int UnpackPictureIntoPixMap(PixMap* map, std::span<const uint8_t> packed);
// Unpacks pixel data into the map's bitmap (made when it has none). An unknown packing type
// shows the message box "Unknown PixPak_Decompress type" and leaves the map as it was, as does
// data that does not unpack. 0 or -1.
int PixPak_Decompress(PixMap* map, std::span<const uint8_t> pixelData, uint16_t packingType);
// Applies an animation frame's delta (ApplyDeltaToRows) to the map's bitmap. 0, or -1 when the
// bitmap cannot be read or written.
int ApplyDeltaToPixMap(PixMap* map, std::span<const uint8_t> delta);
