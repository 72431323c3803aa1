// The floating selections of the paint layer, the frames that show them, colour replacement
// and rotating a picture.
//
//   Selections_win.cpp     the rectangle selection and the masked selection: made from a bitmap
//                          (paste, undo), moved, swapped, committed into the card offscreen
//   MarchingFrames_win.cpp the dashed frames and handle cursors
//   ColorReplace_win.cpp   one colour replaced by another in the card picture
//   RotateScale_win.cpp    a bitmap and its mask turned and scaled (RotateScale.h does the pixels)
//
// MINIMAL beyond what paste and undo need: no tool makes a selection by dragging yet.
#pragma once

#include <windows.h>

#include "layers/PaintGeometry.h"

// ---- Selections_win.cpp: the rectangle selection ----
// The bitmap becomes the floating selection at (x, y) (the selection owns it); the card picture
// under it is kept for undo; the window is invalidated.
void FloatRectSelectionBitmap(HBITMAP bitmap, int x, int y);
bool IsRectSelectionActive();
// Its rectangle (empty when none).
void CopyRectSelection(RECT* rect);
void SwapRectSelectionRect(RECT* rect);
void SwapRectSelection(RECT* rect, HBITMAP* bitmap);
void RestoreRectSelection(int left, int top, int right, int bottom, HBITMAP bitmap);
// The selection goes without being drawn into the picture.
void DropRectSelection(HWND window);
// The picture under the selection as it was when it was made (for undo); null when none.
HBITMAP GetRectSelectionUnderPicture();

// ---- Selections_win.cpp: the masked selection ----
enum MaskSelectionKind : int { kMaskNone = 0, kMaskFromCard = 'C', kMaskFromGraphic = 'G' };
// A floating masked selection at (x, y) from the source's pixels copied through the mask (the
// bitmaps stay the caller's); the stack is marked changed.
void PlaceMaskSelection(HBITMAP source, HBITMAP mask, HBITMAP outline, int x, int y);
// The selection takes these bitmaps (it owns them from now) and this position.
void ReplaceMaskSelection(HWND window, HBITMAP pixels, HBITMAP mask, HBITMAP outline, int x, int y);
void BeginMaskSelection(int kind, HBITMAP picture, HBITMAP mask, HBITMAP outline, int x, int y, POINT point);
void FreeMaskSelection();
void SwapMaskSelectionPosition(int* x, int* y);
// Any out-parameter may be null; false when there is no masked selection.
bool GetMaskSelection(HBITMAP* pixels, HBITMAP* mask, int* x, int* y, COLORREF* holeColor);
bool IsGraphicSelection();

// ---- Selections_win.cpp: clip art being placed ----
// The floating selection just made (the rectangle's, else the masked one) is clip art being
// placed: a press inside it moves it, a press outside it or Return keeps it in the card picture,
// Escape drops it; either way the tool then becomes `endTool`.
void BeginClipArtPlacing(int endTool);
bool IsPlacingClipArt();
// Ends the placing: keep draws the clip art into the card picture, else it goes; the end tool
// is chosen. False when no clip art is being placed.
bool EndClipArtPlacing(HWND window, bool keep);
// A press outside the clip art (either button) keeps it and ends the placing: true then.
bool EndClipArtPlacingOutside(HWND window, int x, int y);
// The selection tools' presses, drags and releases while clip art is placed (card points):
// true when taken.
bool ClipArtMouseDown(HWND window, int x, int y);
bool ClipArtMouseMove(int x, int y);
bool ClipArtMouseUp(HWND window);

// ---- MarchingFrames_win.cpp ----
// A dashed outline; mode 'X' inverts (drawing it twice removes it), otherwise black on white.
void DrawMarchingRect(HDC dc, int mode, int left, int top, int right, int bottom, int phase);
// The dashed red and white selection frame.
void DrawSelectionFrame(HWND window, int left, int top, int right, int bottom, int flag);
void DrawSelectionMarquee(HWND window, int left, int top, int right, int bottom, int flag);
// The outline bitmap's dark pixels drawn inverted at (x, y).
void DrawMarchingAnts(HWND window, HBITMAP outline, int x, int y, int flag);
// The handle under the point (see HitTestHandle), the cursor set for it.
int SetHandleCursor(const RECT& rect, int x, int y);

// ---- ColorReplace_win.cpp ----
// Replaces every pixel of the old colour value by the new one in the card picture (the
// offscreen), exactly; code 82 and flag 1 as the colour chooser passes them. The number of
// pixels changed.
int ReplaceColorsInPicture(int code, int flag, int oldColorValue, int newColorValue);

// ---- RotateScale_win.cpp ----
// A 32-bit top-down DIB header of that size, for reading and writing pixels as 0x00RRGGBB.
BITMAPINFO TopDownRgbInfo(int width, int height);
// The picture (and mask, may be null) turned by angle degrees and scaled; pixels outside take
// the colour. New bitmaps into the outs (null on failure); true when made.
bool RotateScaleBitmap(HBITMAP picture, HBITMAP mask, double angle, double scaleX, double scaleY, COLORREF color,
                       HBITMAP* pictureOut, HBITMAP* maskOut);
