// The clipboard operations that take device bitmaps and layers (Clipboard_win.cpp,
// ClipboardPrepare_win.cpp); the rest is Clipboard.h.
#pragma once

#include <windows.h>

#include "core/memory/Handles.h"

// The system clipboard emptied; emptied and given the marker of the internal clipboard.
void EmptySystemClipboard();
void MarkSystemClipboard();
// Copy of a rectangle selection or bitmap: a 24-bit DIB inside, CF_DIB and CF_BITMAP outside.
void PutBitmapOnClipboard(HBITMAP bitmap, int x, int y);
// Copy of a masked selection (the bitmaps stay the caller's).
void CopyPaintSelection(HBITMAP bitmap, HBITMAP mask, HBITMAP outline, int x, int y);
// A device bitmap of a packed DIB held in a handle (checked first), with the application
// palette; null when it cannot be made.
HBITMAP BitmapFromDibHandle(Handle dib);
// What another program put on the clipboard: CF_DIB (checked against its block's size), else a
// copy of CF_BITMAP; null when neither.
HBITMAP ForeignBitmap();
// Copy of the object whose layer record this is.
void CopyObjectToClipboard(HGLOBAL descriptor);
// A movable global block holding a copy of the handle's data (for the clipboard and the imaging
// library); null when empty or out of memory.
HGLOBAL GlobalCopyOfHandle(Handle h);
// On a display deeper than 8 bits with a working depth of 8 or less, the bitmap matched to the
// card palette through the imaging library (perceptual mode) and made again; the old one is
// deleted. Otherwise, or when matching fails, the bitmap itself.
HBITMAP PrepareDibForPaste(HBITMAP bitmap);
