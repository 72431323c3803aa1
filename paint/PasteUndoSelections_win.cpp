// Flipping the rectangle selection for undo, and the least of paint text and filters.
#include "paint/PasteUndoSelections.h"

#include "core/ui/BitmapSize.h"
#include "paint/Selections.h"

void FlipRectSelection(char letter) {
    RECT rect{};
    CopyRectSelection(&rect);
    HBITMAP bitmap = nullptr;
    SwapRectSelection(&rect, &bitmap);  // the selection hands over its bitmap
    if (!bitmap)
        return;
    SIZE size{};
    const bool sized = BitmapSize(bitmap, &size);
    const int w = size.cx, h = size.cy;
    const HDC screen = GetDC(nullptr);
    const HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    // A bitmap whose size cannot be read goes back unflipped.
    const HBITMAP flipped = sized ? CreateCompatibleBitmap(screen, w, h) : nullptr;
    if (flipped) {
        const HGDIOBJ oldFrom = SelectObject(from, bitmap), oldTo = SelectObject(to, flipped);
        if (letter == 'U')
            StretchBlt(to, 0, h - 1, w, -h, from, 0, 0, w, h, SRCCOPY);
        else
            StretchBlt(to, w - 1, 0, -w, h, from, 0, 0, w, h, SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
    }
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    HBITMAP back = flipped ? flipped : bitmap;
    CopyRectSelection(&rect);
    SwapRectSelection(&rect, &back);
    if (flipped)
        DeleteObject(bitmap);
}

// MINIMAL until paint text is built.
void SetPaintTextCaretPos(int, int) {}

// MINIMAL until the filter command is built.
const char* LastFilterName() { return ""; }
