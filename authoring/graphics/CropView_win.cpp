// The cropping dialog's picture view ("LM_Image"): the picture scrolled by the window origin of
// the view's own drawing context, and the rectangle or lasso the person drags over it.
#include "authoring/graphics/PictureCrop.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "layers/PaintGeometry_win.h"
#include "graphics/masks/Masks.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/DibGdi.h"
#include "objects/graphics/GraphicPlacement.h"
#include "objects/graphics/LassoPoints.h"
#include "paint/Selections.h"
#include "resources/graphics_ids.h"

namespace {

constexpr UINT_PTR kFrameTimer = 2;
constexpr UINT kFrameMilliseconds = 250;
// A lasso is drawn inside these bounds first, then held inside the picture.
constexpr int32_t kLassoBounds = 10000;

struct ViewState {
    HWND view = nullptr;
    POINT origin = {};  // picture point at the view's top-left
    bool dragging = false;
    bool firstMove = false;
    bool square = false;
    POINT start = {};   // the rectangle's fixed corner
    int phase = 0;
};
ViewState g_view;

SIZE PictureSize() { return BitmapSizeOf(GetGraphicPlacement().picture); }

SIZE ViewSize(HWND view) {
    RECT client = {};
    GetClientRect(view, &client);
    return {client.right, client.bottom};
}

// One text line of the view's font: the scroll step and the auto-scroll margin.
int LineHeight(HWND view) {
    WindowDC dc(view);
    SIZE size = {};
    if (!dc || !GetTextExtentPoint32A(dc.get(), "M", 1, &size) || size.cy <= 0)
        return 16;
    return size.cy;
}

int Excess(int picture, int view) { return std::max(0, picture - view); }

void ApplyOrigin(HWND view) {
    // CS_OWNDC: the origin stays with the view's context for painting and mouse conversion.
    HDC dc = GetDC(view);
    SetWindowOrgEx(dc, g_view.origin.x, g_view.origin.y, nullptr);
    ReleaseDC(view, dc);
    const SIZE picture = PictureSize(), size = ViewSize(view);
    const int excessX = Excess(picture.cx, size.cx), excessY = Excess(picture.cy, size.cy);
    SetScrollRange(view, SB_HORZ, 0, excessX ? 100 : 0, FALSE);
    SetScrollRange(view, SB_VERT, 0, excessY ? 100 : 0, FALSE);
    SetScrollPos(view, SB_HORZ, excessX ? g_view.origin.x * 100 / excessX : 0, TRUE);
    SetScrollPos(view, SB_VERT, excessY ? g_view.origin.y * 100 / excessY : 0, TRUE);
}

// The origin moved to (x, y) within 0 and picture - view; true when it changed.
bool MoveOrigin(HWND view, int x, int y) {
    const SIZE picture = PictureSize(), size = ViewSize(view);
    const POINT next = {std::clamp(x, 0, Excess(picture.cx, size.cx)), std::clamp(y, 0, Excess(picture.cy, size.cy))};
    if (next.x == g_view.origin.x && next.y == g_view.origin.y)
        return false;
    g_view.origin = next;
    ApplyOrigin(view);
    return true;
}

// A mouse point in picture coordinates.
POINT PicturePoint(HWND view, LPARAM lParam) {
    POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    HDC dc = GetDC(view);
    DPtoLP(dc, &p, 1);
    ReleaseDC(view, dc);
    return p;
}

void InvertBand(HWND view) {
    const RECT r = NormalisedRect(GetGraphicPlacement().source);
    HDC dc = GetDC(view);
    DrawMarchingRect(dc, 'X', r.left, r.top, r.right, r.bottom, 0);
    ReleaseDC(view, dc);
}

void Paint(HWND view) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(view, &ps);
    SelectedPalette palette(dc, GetAppPalette(), SelectedPalette::kIfIndexed);
    const SIZE picture = PictureSize();
    const HBITMAP bitmap = GetGraphicPlacement().picture;
    RECT client = {};
    GetClientRect(view, &client);
    OffsetRect(&client, g_view.origin.x, g_view.origin.y);
    if (bitmap) {
        MemoryDC source(dc);
        if (source) {
            SelectedObject selected(source.get(), bitmap);
            BitBlt(dc, 0, 0, picture.cx, picture.cy, source.get(), 0, 0, SRCCOPY);
        }
        ExcludeClipRect(dc, 0, 0, picture.cx, picture.cy);
    }
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectClipRgn(dc, nullptr);
    EndPaint(view, &ps);
}

void Tick(HWND view) {
    const GraphicPlacement& p = GetGraphicPlacement();
    g_view.phase = (g_view.phase + 1) & 7;
    if (g_view.dragging)
        return;
    if (p.cropKind == 'R' && p.rectShown) {
        const RECT r = NormalisedRect(p.source);
        DrawSelectionFrame(view, r.left, r.top, r.right, r.bottom, g_view.phase);
    } else if (p.cropKind == 'L' && p.outline) {
        DrawMarchingAnts(view, p.outline, p.source.left, p.source.top, g_view.phase);
    }
}

void EnableUndo(bool on) {
    if (HWND dialog = GetParent(g_view.view))
        EnableWindow(GetDlgItem(dialog, PCROP_UNDO), on);
}

void DeleteBitmap(HBITMAP& bitmap) {
    if (bitmap)
        DeleteObject(bitmap);
    bitmap = nullptr;
}

// Near an edge the picture scrolls one line that way under a still pointer; the view is
// repainted and the band or lasso drawn again.
void AutoScroll(HWND view, LPARAM lParam) {
    const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const SIZE size = ViewSize(view);
    const int line = LineHeight(view), margin = line / 2;
    int dx = 0, dy = 0;
    if (at.x < margin)
        dx = -line;
    else if (at.x > size.cx - margin)
        dx = line;
    if (at.y < margin)
        dy = -line;
    else if (at.y > size.cy - margin)
        dy = line;
    const POINT before = g_view.origin;
    if ((dx == 0 && dy == 0) || !MoveOrigin(view, before.x + dx, before.y + dy))
        return;
    POINT cursor = {};
    GetCursorPos(&cursor);
    SetCursorPos(cursor.x - (g_view.origin.x - before.x), cursor.y - (g_view.origin.y - before.y));
    InvalidateRect(view, nullptr, TRUE);
    UpdateWindow(view);
    HDC dc = GetDC(view);
    if (GetGraphicPlacement().cropKind == 'R')
        InvertBand(view);
    else
        DrawLassoPolyline(dc, {});
    ReleaseDC(view, dc);
}

void MouseDown(HWND view, WPARAM keys, LPARAM lParam) {
    GraphicPlacement& p = GetGraphicPlacement();
    const POINT at = PicturePoint(view, lParam);
    if (p.cropKind == 'R') {
        if (p.rectShown) {
            p.rectShown = false;
            InvalidateRect(view, nullptr, FALSE);
            UpdateWindow(view);
        }
        p.source = {at.x, at.y, at.x, at.y};
        g_view.start = at;
        g_view.square = (keys & MK_SHIFT) != 0;
    } else {
        DeleteBitmap(p.mask);
        DeleteBitmap(p.outline);
        InvalidateRect(view, nullptr, FALSE);
        UpdateWindow(view);
        if (keys & MK_CONTROL) {
            RECT bounds = {};
            // The region maker counts rows from 1.
            if (p.picture && MakeRegionMaskAt(view, p.picture, at.x, at.y + 1, &p.mask, &bounds) && p.mask) {
                p.source = bounds;
                p.outline = MaskOutlineThin(p.mask);
            }
            return;
        }
        LassoTrackBegin(kLassoBounds, kLassoBounds, at.x, at.y);
    }
    g_view.dragging = g_view.firstMove = true;
    EnableUndo(false);
    SetCapture(view);
}

void MouseMove(HWND view, LPARAM lParam) {
    if (!g_view.dragging)
        return;
    GraphicPlacement& p = GetGraphicPlacement();
    POINT at = PicturePoint(view, lParam);
    if (p.cropKind == 'R') {
        if (g_view.square) {
            const int dx = at.x - g_view.start.x, dy = at.y - g_view.start.y;
            const int side = std::max(std::abs(dx), std::abs(dy));
            at = {g_view.start.x + (dx < 0 ? -side : side), g_view.start.y + (dy < 0 ? -side : side)};
        }
        if (!g_view.firstMove)
            InvertBand(view);
        p.source = {g_view.start.x, g_view.start.y, at.x, at.y};
        InvertBand(view);
    } else {
        HDC dc = GetDC(view);
        LassoTrackMove(dc, at.x, at.y);
        ReleaseDC(view, dc);
    }
    g_view.firstMove = false;
    AutoScroll(view, lParam);
}

void MouseUp(HWND view, WPARAM keys, LPARAM lParam) {
    if (!g_view.dragging)
        return;
    g_view.dragging = false;
    if (GetCapture() == view)
        ReleaseCapture();
    GraphicPlacement& p = GetGraphicPlacement();
    if (p.cropKind == 'R') {
        if (!g_view.firstMove)
            InvertBand(view);
        p.source = NormalisedRect(p.source);
        p.rectShown = p.source.right > p.source.left && p.source.bottom > p.source.top;
        return;
    }
    const POINT at = PicturePoint(view, lParam);
    HDC dc = GetDC(view);
    LassoTrackEnd(dc, at.x, at.y);
    ReleaseDC(view, dc);
    MakeCropMaskFromPoints(view, (keys & MK_SHIFT) != 0);
}

void Scroll(HWND view, int bar, WPARAM wParam) {
    const SIZE picture = PictureSize(), size = ViewSize(view);
    const int excess = bar == SB_HORZ ? Excess(picture.cx, size.cx) : Excess(picture.cy, size.cy);
    const int page = bar == SB_HORZ ? size.cx : size.cy, line = LineHeight(view);
    int value = bar == SB_HORZ ? g_view.origin.x : g_view.origin.y;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: value -= line; break;
    case SB_LINEDOWN: value += line; break;
    case SB_PAGEUP: value -= page; break;
    case SB_PAGEDOWN: value += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: value = static_cast<int>(HIWORD(wParam) * 0.01 * excess); break;
    case SB_TOP: value = 0; break;
    case SB_BOTTOM: value = excess; break;
    default: return;
    }
    const bool moved =
        bar == SB_HORZ ? MoveOrigin(view, value, g_view.origin.y) : MoveOrigin(view, g_view.origin.x, value);
    if (moved)
        InvalidateRect(view, nullptr, FALSE);
}

LRESULT CALLBACK CropViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        GraphicPlacement& p = GetGraphicPlacement();
        g_view = ViewState{};
        g_view.view = view;
        p.rectShown = false;
        DeleteBitmap(p.mask);
        DeleteBitmap(p.outline);
        SetTimer(view, kFrameTimer, kFrameMilliseconds, nullptr);
        ApplyOrigin(view);
        return 0;
    }
    case WM_DESTROY:
        KillTimer(view, kFrameTimer);
        if (g_view.view == view)
            g_view.view = nullptr;
        return 0;
    case WM_PAINT: Paint(view); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
        if (wParam == kFrameTimer)
            Tick(view);
        return 0;
    case WM_HSCROLL: Scroll(view, SB_HORZ, wParam); return 0;
    case WM_VSCROLL: Scroll(view, SB_VERT, wParam); return 0;
    case WM_LBUTTONDOWN: MouseDown(view, wParam, lParam); return 0;
    case WM_MOUSEMOVE: MouseMove(view, lParam); return 0;
    case WM_LBUTTONUP: MouseUp(view, wParam, lParam); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(GetCropCursor(GetGraphicPlacement().cropKind));
            return TRUE;
        }
        break;
    case WM_QUERYNEWPALETTE: return RealizePaletteAndRepaint(view, GetAppPalette());
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != view)
            RealizeAppPalette(view, GetAppPalette());
        return 0;
    default: break;
    }
    return DefWindowProcA(view, message, wParam, lParam);
}

std::string ViewClassName() {
    std::string name = ResText(IDS_CROP_VIEW_CLASS);
    return name.empty() ? "LM_Image" : name;
}

}  // namespace

HWND CreateCropView(HWND dialog, const RECT& place) {
    static bool registered = false;
    const std::string name = ViewClassName();
    if (!registered) {
        WNDCLASSA wc = {};
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
        wc.lpfnWndProc = CropViewProc;
        wc.hInstance = GetAppInstance();
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = name.c_str();
        registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    return CreateWindowExA(0, name.c_str(), "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | WS_VSCROLL,
                           place.left, place.top, place.right - place.left, place.bottom - place.top, dialog,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(PCROP_VIEW)), GetAppInstance(), nullptr);
}

void ResetCropView(HWND view) {
    if (!view)
        return;
    g_view.origin = {};
    ApplyOrigin(view);
    InvalidateRect(view, nullptr, TRUE);
}

void DropCropSelection(HWND view) {
    GraphicPlacement& p = GetGraphicPlacement();
    p.rectShown = false;
    DeleteBitmap(p.mask);
    DeleteBitmap(p.outline);
    if (view)
        InvalidateRect(view, nullptr, FALSE);
}

void MakeCropMaskFromPoints(HWND view, bool plainPolygon) {
    GraphicPlacement& p = GetGraphicPlacement();
    DeleteBitmap(p.mask);
    DeleteBitmap(p.outline);
    const SIZE picture = PictureSize();
    Rect32 bounds = {};
    LassoPointsBounds(&bounds);
    p.source = {bounds.left, bounds.top, bounds.right, bounds.bottom};
    if (!p.picture || bounds.left >= picture.cx || bounds.top >= picture.cy)
        return;
    LassoSetBounds(picture.cx, picture.cy);
    LassoClampPoints();
    p.source = {std::max<LONG>(p.source.left, 0), std::max<LONG>(p.source.top, 0),
                std::min<LONG>(p.source.right, picture.cx), std::min<LONG>(p.source.bottom, picture.cy)};
    Handle points = 0;
    int32_t count = 0;
    LassoGetPoints(&points, &count);
    if (count > 0) {
        HandleLock lock(points);
        MemoryDC dc(nullptr);
        if (lock && dc) {
            SelectedObject selected(dc.get(), p.picture);
            const auto bytes = lock.bytes();
            p.lassoColor = GetPixel(dc.get(), static_cast<int>(GetU32(bytes, 0)), static_cast<int>(GetU32(bytes, 4)));
        }
    }
    if (plainPolygon) {
        RECT rect = {};
        if (MaskFromLassoPoints(view, &p.mask, &rect) && p.mask)
            p.source = rect;
    } else {
        ScopedHandle image(DibFromDeviceBitmap(p.picture, 0, GetAppPalette()));
        RECT found = p.source;
        if (image.get() && MaskFromPolygon(view, image.get(), &p.mask, &found) && p.mask)
            p.source = found;
    }
    if (p.mask)
        p.outline = MaskOutlineThin(p.mask);
    if (view)
        InvalidateRect(view, nullptr, FALSE);
}

HWND CropViewWindow() { return g_view.view; }
