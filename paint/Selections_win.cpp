// The floating selections. Each keeps its pixels as a bitmap compatible with the card window;
// committing draws them into the card offscreen (through the mask for the masked one).
#include "paint/Selections.h"

#include <utility>

#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/pixels/CardOffscreen.h"
#include "paint/PaintTools.h"
#include "stack/pictures/CardPicturePaint.h"

namespace {

// Clip art being placed: the floating selection that holds it moves under a press inside it and
// ends by a press outside it, Return or Escape, which choose the tool it returns to.
struct ClipArtPlacing {
    int endTool = 0;  // 0: no clip art is being placed
    bool moving = false;
    POINT from = {};  // the press that moves it, card point
};

struct RectSelection {
    bool active = false;
    RECT rect = {};
    HBITMAP bitmap = nullptr;
    HBITMAP under = nullptr;  // the picture under it when it was made, for undo
    ClipArtPlacing clipArt;
} g_rect;

struct MaskSelection {
    int kind = kMaskNone;
    HBITMAP pixels = nullptr;
    HBITMAP mask = nullptr;  // white inside
    HBITMAP outline = nullptr;
    int x = 0, y = 0;
    POINT grab = {};
    COLORREF hole = RGB(255, 255, 255);
    ClipArtPlacing clipArt;
} g_mask;

void DeleteBitmap(HBITMAP* bitmap) {
    if (*bitmap)
        DeleteObject(*bitmap);
    *bitmap = nullptr;
}

void InvalidateCard(const RECT& rect) {
    if (HWND window = GetMainWindow())
        InvalidateRect(window, &rect, FALSE);
}

// A copy of part of the offscreen; null without one.
HBITMAP CopyFromOffscreen(const RECT& rect) {
    WindowDC screen(GetMainWindow());
    HDC offscreen = AcquireOffscreenDC(screen.get());
    if (!offscreen)
        return nullptr;
    HBITMAP copy = CreateCompatibleBitmap(screen.get(), rect.right - rect.left, rect.bottom - rect.top);
    if (copy) {
        MemoryDC memory(screen.get());
        SelectedObject chosen(memory.get(), copy);
        BitBlt(memory.get(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, offscreen, rect.left, rect.top,
               SRCCOPY);
    }
    ReleaseOffscreenDC(offscreen);
    return copy;
}

// Draws the bitmap at (x, y) of the destination, through the mask when there is one (white
// inside: those pixels are copied, the rest left alone).
void DrawThroughMask(HDC destination, HBITMAP pixels, HBITMAP mask, int x, int y) {
    SIZE size{};
    if (!BitmapSize(pixels, &size))
        return;
    MemoryDC source(destination);
    SelectedObject chosen(source.get(), pixels);
    if (!mask) {
        BitBlt(destination, x, y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
        return;
    }
    MemoryDC maskDc(destination);
    SelectedObject maskChosen(maskDc.get(), mask);
    const COLORREF oldText = SetTextColor(destination, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(destination, RGB(255, 255, 255));
    // Clear the inside (AND with the inverted mask), then put the pixels there.
    BitBlt(destination, x, y, size.cx, size.cy, maskDc.get(), 0, 0, 0x00220326);  // DSna
    MemoryDC clipped(destination);
    HBITMAP inside = CreateCompatibleBitmap(destination, size.cx, size.cy);
    if (inside) {
        SelectedObject insideChosen(clipped.get(), inside);
        BitBlt(clipped.get(), 0, 0, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
        BitBlt(clipped.get(), 0, 0, size.cx, size.cy, maskDc.get(), 0, 0, SRCAND);
        BitBlt(destination, x, y, size.cx, size.cy, clipped.get(), 0, 0, SRCPAINT);
    }
    if (inside)
        DeleteObject(inside);
    SetTextColor(destination, oldText);
    SetBkColor(destination, oldBack);
}

void IntoOffscreen(HBITMAP pixels, HBITMAP mask, int x, int y) {
    WindowDC screen(GetMainWindow());
    HDC offscreen = AcquireOffscreenDC(screen.get());
    if (!offscreen)
        return;
    DrawThroughMask(offscreen, pixels, mask, x, y);
    ReleaseOffscreenDC(offscreen);
    NoteCardPicturePainted();
}

void ClearRect() {
    DeleteBitmap(&g_rect.bitmap);
    DeleteBitmap(&g_rect.under);
    g_rect.active = false;
    SetRectEmpty(&g_rect.rect);
    g_rect.clipArt = {};
}

// The rectangle the masked selection covers on the card; empty without one.
RECT MaskRect() {
    SIZE size{};
    if (!g_mask.pixels || !BitmapSize(g_mask.pixels, &size))
        return {};
    return {g_mask.x, g_mask.y, g_mask.x + size.cx, g_mask.y + size.cy};
}

// The placing that a floating selection holds: the rectangle's, else the mask's; null when no
// clip art is being placed.
ClipArtPlacing* CurrentClipArt() {
    if (g_rect.active && g_rect.clipArt.endTool)
        return &g_rect.clipArt;
    if (g_mask.pixels && g_mask.clipArt.endTool)
        return &g_mask.clipArt;
    return nullptr;
}

}  // namespace

void FloatRectSelectionBitmap(HBITMAP bitmap, int x, int y) {
    SIZE size{};
    if (!BitmapSize(bitmap, &size) || size.cx <= 0 || size.cy <= 0)
        return;
    ClearRect();
    g_rect.bitmap = bitmap;
    g_rect.rect = {x, y, x + size.cx, y + size.cy};
    g_rect.under = CopyFromOffscreen(g_rect.rect);
    g_rect.active = true;
    InvalidateCard(g_rect.rect);
}

bool IsRectSelectionActive() { return g_rect.active; }

void CopyRectSelection(RECT* rect) {
    if (rect)
        *rect = g_rect.rect;
}

void SwapRectSelectionRect(RECT* rect) {
    if (rect)
        std::swap(*rect, g_rect.rect);
}

void SwapRectSelection(RECT* rect, HBITMAP* bitmap) {
    SwapRectSelectionRect(rect);
    if (bitmap)
        std::swap(*bitmap, g_rect.bitmap);
    g_rect.active = g_rect.bitmap != nullptr;
}

void RestoreRectSelection(int left, int top, int right, int bottom, HBITMAP bitmap) {
    DeleteBitmap(&g_rect.bitmap);
    g_rect.bitmap = bitmap;
    g_rect.rect = {left, top, right, bottom};
    g_rect.active = true;
    InvalidateCard(g_rect.rect);
}

void DropRectSelection(HWND) {
    const RECT was = g_rect.rect;
    ClearRect();
    InvalidateCard(was);
}

HBITMAP GetRectSelectionUnderPicture() { return g_rect.under; }

void CommitPaintSelection(HWND) {
    if (!g_rect.active)
        return;
    IntoOffscreen(g_rect.bitmap, nullptr, g_rect.rect.left, g_rect.rect.top);
    const RECT was = g_rect.rect;
    ClearRect();
    MarkStackChanged();
    InvalidateCard(was);
}

void DrawRectSelection(HWND window) {
    if (!g_rect.active || !g_rect.bitmap)
        return;
    WindowDC dc(window);
    if (!dc)
        return;
    DrawThroughMask(dc.get(), g_rect.bitmap, nullptr, g_rect.rect.left, g_rect.rect.top);
    DrawMarchingRect(dc.get(), 0, g_rect.rect.left, g_rect.rect.top, g_rect.rect.right, g_rect.rect.bottom, 0);
}

void PlaceMaskSelection(HBITMAP source, HBITMAP mask, HBITMAP outline, int x, int y) {
    SIZE size{};
    if (!BitmapSize(source, &size) || size.cx <= 0 || size.cy <= 0)
        return;
    WindowDC screen(GetMainWindow());
    HBITMAP pixels = CreateCompatibleBitmap(screen.get(), size.cx, size.cy);
    if (!pixels)
        return;
    {
        MemoryDC memory(screen.get());
        SelectedObject chosen(memory.get(), pixels);
        PatBlt(memory.get(), 0, 0, size.cx, size.cy, WHITENESS);
        DrawThroughMask(memory.get(), source, mask, 0, 0);
    }
    HBITMAP maskCopy = mask ? static_cast<HBITMAP>(CopyImage(mask, IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    HBITMAP outlineCopy = outline ? static_cast<HBITMAP>(CopyImage(outline, IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    ReplaceMaskSelection(GetMainWindow(), pixels, maskCopy, outlineCopy, x, y);
    if (!g_mask.kind)
        g_mask.kind = kMaskFromCard;
    MarkStackChanged();
}

void ReplaceMaskSelection(HWND, HBITMAP pixels, HBITMAP mask, HBITMAP outline, int x, int y) {
    const int kind = g_mask.kind;
    FreeMaskSelection();
    g_mask.kind = kind ? kind : kMaskFromCard;
    g_mask.pixels = pixels;
    g_mask.mask = mask;
    g_mask.outline = outline;
    g_mask.x = x;
    g_mask.y = y;
    if (SIZE size{}; BitmapSize(pixels, &size))
        InvalidateCard({x, y, x + size.cx, y + size.cy});
}

void BeginMaskSelection(int kind, HBITMAP picture, HBITMAP mask, HBITMAP outline, int x, int y, POINT point) {
    ReplaceMaskSelection(GetMainWindow(), picture, mask, outline, x, y);
    g_mask.kind = kind;
    g_mask.grab = point;
}

void FreeMaskSelection() {
    if (SIZE size{}; BitmapSize(g_mask.pixels, &size))
        InvalidateCard({g_mask.x, g_mask.y, g_mask.x + size.cx, g_mask.y + size.cy});
    DeleteBitmap(&g_mask.pixels);
    DeleteBitmap(&g_mask.mask);
    DeleteBitmap(&g_mask.outline);
    g_mask.kind = kMaskNone;
    g_mask.clipArt = {};
}

void SwapMaskSelectionPosition(int* x, int* y) {
    if (x)
        std::swap(*x, g_mask.x);
    if (y)
        std::swap(*y, g_mask.y);
}

bool GetMaskSelection(HBITMAP* pixels, HBITMAP* mask, int* x, int* y, COLORREF* holeColor) {
    if (pixels)
        *pixels = g_mask.pixels;
    if (mask)
        *mask = g_mask.mask;
    if (x)
        *x = g_mask.x;
    if (y)
        *y = g_mask.y;
    if (holeColor)
        *holeColor = g_mask.hole;
    return g_mask.pixels != nullptr;
}

bool HasFloatingSelection() { return g_mask.pixels != nullptr; }
bool IsGraphicSelection() { return g_mask.pixels && g_mask.kind == kMaskFromGraphic; }

void CommitMaskSelection(HWND) {
    if (!g_mask.pixels)
        return;
    IntoOffscreen(g_mask.pixels, g_mask.mask, g_mask.x, g_mask.y);
    FreeMaskSelection();
    MarkStackChanged();
}

void DrawMaskSelection(HWND window) {
    if (!g_mask.pixels)
        return;
    WindowDC dc(window);
    if (!dc)
        return;
    DrawThroughMask(dc.get(), g_mask.pixels, g_mask.mask, g_mask.x, g_mask.y);
    if (g_mask.outline)
        DrawMarchingAnts(window, g_mask.outline, g_mask.x, g_mask.y, 0);
}

void BeginClipArtPlacing(int endTool) {
    if (g_rect.active)
        g_rect.clipArt = {endTool};
    else if (g_mask.pixels)
        g_mask.clipArt = {endTool};
}

bool IsPlacingClipArt() { return CurrentClipArt() != nullptr; }

bool EndClipArtPlacing(HWND window, bool keep) {
    ClipArtPlacing* placing = CurrentClipArt();
    if (!placing)
        return false;
    const int tool = placing->endTool;
    if (GetCapture() == window && placing->moving)
        ReleaseCapture();
    if (placing == &g_rect.clipArt) {
        if (keep)
            CommitPaintSelection(window);
        else
            DropRectSelection(window);
    } else if (keep) {
        CommitMaskSelection(window);
    } else {
        FreeMaskSelection();
    }
    SelectToolNumber(static_cast<uint32_t>(tool));
    return true;
}

bool EndClipArtPlacingOutside(HWND window, int x, int y) {
    const ClipArtPlacing* placing = CurrentClipArt();
    if (!placing)
        return false;
    const RECT covered = placing == &g_rect.clipArt ? g_rect.rect : MaskRect();
    return !PtInRect(&covered, POINT{x, y}) && EndClipArtPlacing(window, true);
}

bool ClipArtMouseDown(HWND window, int x, int y) {
    ClipArtPlacing* placing = CurrentClipArt();
    if (!placing)
        return false;
    if (EndClipArtPlacingOutside(window, x, y))
        return true;
    placing->moving = true;
    placing->from = {x, y};
    SetCapture(window);
    return true;
}

bool ClipArtMouseMove(int x, int y) {
    ClipArtPlacing* placing = CurrentClipArt();
    if (!placing || !placing->moving)
        return false;
    const int dx = x - placing->from.x, dy = y - placing->from.y;
    placing->from = {x, y};
    if (dx == 0 && dy == 0)
        return true;
    if (placing == &g_rect.clipArt) {
        InvalidateCard(g_rect.rect);
        OffsetRect(&g_rect.rect, dx, dy);
        InvalidateCard(g_rect.rect);
    } else {
        InvalidateCard(MaskRect());
        g_mask.x += dx;
        g_mask.y += dy;
        InvalidateCard(MaskRect());
    }
    return true;
}

bool ClipArtMouseUp(HWND window) {
    ClipArtPlacing* placing = CurrentClipArt();
    if (!placing || !placing->moving)
        return false;
    placing->moving = false;
    if (GetCapture() == window)
        ReleaseCapture();
    return true;
}

void ShutdownMaskSelection() {
    FreeMaskSelection();
    ClearRect();
}
