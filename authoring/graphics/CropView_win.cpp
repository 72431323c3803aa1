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

// What a view keeps between its messages, made with the view and kept with it: the placement it
// shows and crops (handed to CreateCropView), its scroll origin and the drag under way.
struct ViewState {
    GraphicPlacement& p;
    POINT origin = {};  // picture point at the view's top-left
    bool dragging = false;
    bool firstMove = false;
    bool square = false;
    POINT start = {};   // the rectangle's fixed corner
    int phase = 0;
};

// The view's state from WM_CREATE on; null before it and for a window of another class.
ViewState* StateOf(HWND view) {
    return view ? reinterpret_cast<ViewState*>(GetWindowLongPtrA(view, GWLP_USERDATA)) : nullptr;
}

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

void ApplyOrigin(HWND view, const ViewState& v) {
    // CS_OWNDC: the origin stays with the view's context for painting and mouse conversion.
    HDC dc = GetDC(view);
    SetWindowOrgEx(dc, v.origin.x, v.origin.y, nullptr);
    ReleaseDC(view, dc);
    const SIZE picture = BitmapSizeOf(v.p.picture), size = ViewSize(view);
    const int excessX = Excess(picture.cx, size.cx), excessY = Excess(picture.cy, size.cy);
    SetScrollRange(view, SB_HORZ, 0, excessX ? 100 : 0, FALSE);
    SetScrollRange(view, SB_VERT, 0, excessY ? 100 : 0, FALSE);
    SetScrollPos(view, SB_HORZ, excessX ? v.origin.x * 100 / excessX : 0, TRUE);
    SetScrollPos(view, SB_VERT, excessY ? v.origin.y * 100 / excessY : 0, TRUE);
}

// The origin moved to (x, y) within 0 and picture - view; true when it changed.
bool MoveOrigin(HWND view, ViewState& v, int x, int y) {
    const SIZE picture = BitmapSizeOf(v.p.picture), size = ViewSize(view);
    const POINT next = {std::clamp(x, 0, Excess(picture.cx, size.cx)), std::clamp(y, 0, Excess(picture.cy, size.cy))};
    if (next.x == v.origin.x && next.y == v.origin.y)
        return false;
    v.origin = next;
    ApplyOrigin(view, v);
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

void InvertBand(HWND view, const GraphicPlacement& p) {
    const RECT r = NormalisedRect(p.source);
    HDC dc = GetDC(view);
    DrawMarchingRect(dc, 'X', r.left, r.top, r.right, r.bottom, 0);
    ReleaseDC(view, dc);
}

void Paint(HWND view, const ViewState& v) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(view, &ps);
    SelectedPalette palette(dc, GetAppPalette(), SelectedPalette::kIfIndexed);
    const HBITMAP bitmap = v.p.picture;
    const SIZE picture = BitmapSizeOf(bitmap);
    RECT client = {};
    GetClientRect(view, &client);
    OffsetRect(&client, v.origin.x, v.origin.y);
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

void Tick(HWND view, ViewState& v) {
    const GraphicPlacement& p = v.p;
    v.phase = (v.phase + 1) & 7;
    if (v.dragging)
        return;
    if (p.cropKind == kCropRectangle && p.rectShown) {
        const RECT r = NormalisedRect(p.source);
        DrawSelectionFrame(view, r.left, r.top, r.right, r.bottom, v.phase);
    } else if (p.cropKind == kCropLasso && p.outline) {
        DrawMarchingAnts(view, p.outline, p.source.left, p.source.top, v.phase);
    }
}

void EnableUndo(HWND view, bool on) {
    if (HWND dialog = GetParent(view))
        EnableWindow(GetDlgItem(dialog, PCROP_UNDO), on);
}

void DeleteBitmap(HBITMAP& bitmap) {
    if (bitmap)
        DeleteObject(bitmap);
    bitmap = nullptr;
}

// Near an edge the picture scrolls one line that way under a still pointer; the view is
// repainted and the band or lasso drawn again.
void AutoScroll(HWND view, ViewState& v, LPARAM lParam) {
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
    const POINT before = v.origin;
    if ((dx == 0 && dy == 0) || !MoveOrigin(view, v, before.x + dx, before.y + dy))
        return;
    POINT cursor = {};
    GetCursorPos(&cursor);
    SetCursorPos(cursor.x - (v.origin.x - before.x), cursor.y - (v.origin.y - before.y));
    InvalidateRect(view, nullptr, TRUE);
    UpdateWindow(view);
    HDC dc = GetDC(view);
    if (v.p.cropKind == kCropRectangle)
        InvertBand(view, v.p);
    else
        DrawLassoPolyline(dc, {});
    ReleaseDC(view, dc);
}

void MouseDown(HWND view, ViewState& v, WPARAM keys, LPARAM lParam) {
    GraphicPlacement& p = v.p;
    const POINT at = PicturePoint(view, lParam);
    if (p.cropKind == kCropRectangle) {
        if (p.rectShown) {
            p.rectShown = false;
            InvalidateRect(view, nullptr, FALSE);
            UpdateWindow(view);
        }
        p.source = {at.x, at.y, at.x, at.y};
        v.start = at;
        v.square = (keys & MK_SHIFT) != 0;
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
    v.dragging = v.firstMove = true;
    EnableUndo(view, false);
    SetCapture(view);
}

void MouseMove(HWND view, ViewState& v, LPARAM lParam) {
    if (!v.dragging)
        return;
    GraphicPlacement& p = v.p;
    POINT at = PicturePoint(view, lParam);
    if (p.cropKind == kCropRectangle) {
        if (v.square) {
            const int dx = at.x - v.start.x, dy = at.y - v.start.y;
            const int side = std::max(std::abs(dx), std::abs(dy));
            at = {v.start.x + (dx < 0 ? -side : side), v.start.y + (dy < 0 ? -side : side)};
        }
        if (!v.firstMove)
            InvertBand(view, p);
        p.source = {v.start.x, v.start.y, at.x, at.y};
        InvertBand(view, p);
    } else {
        HDC dc = GetDC(view);
        LassoTrackMove(dc, at.x, at.y);
        ReleaseDC(view, dc);
    }
    v.firstMove = false;
    AutoScroll(view, v, lParam);
}

void MouseUp(HWND view, ViewState& v, WPARAM keys, LPARAM lParam) {
    if (!v.dragging)
        return;
    v.dragging = false;
    if (GetCapture() == view)
        ReleaseCapture();
    GraphicPlacement& p = v.p;
    if (p.cropKind == kCropRectangle) {
        if (!v.firstMove)
            InvertBand(view, p);
        p.source = NormalisedRect(p.source);
        p.rectShown = p.source.right > p.source.left && p.source.bottom > p.source.top;
        return;
    }
    const POINT at = PicturePoint(view, lParam);
    HDC dc = GetDC(view);
    LassoTrackEnd(dc, at.x, at.y);
    ReleaseDC(view, dc);
    MakeCropMaskFromPoints(p, view, (keys & MK_SHIFT) != 0);
}

void Scroll(HWND view, ViewState& v, int bar, WPARAM wParam) {
    const SIZE picture = BitmapSizeOf(v.p.picture), size = ViewSize(view);
    const int excess = bar == SB_HORZ ? Excess(picture.cx, size.cx) : Excess(picture.cy, size.cy);
    const int page = bar == SB_HORZ ? size.cx : size.cy, line = LineHeight(view);
    int value = bar == SB_HORZ ? v.origin.x : v.origin.y;
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
        bar == SB_HORZ ? MoveOrigin(view, v, value, v.origin.y) : MoveOrigin(view, v, v.origin.x, value);
    if (moved)
        InvalidateRect(view, nullptr, FALSE);
}

// A new view starts with no selection and the origin home.
void Create(HWND view, GraphicPlacement& p) {
    auto* v = new ViewState{.p = p};
    SetWindowLongPtrA(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(v));
    p.rectShown = false;
    DeleteBitmap(p.mask);
    DeleteBitmap(p.outline);
    SetTimer(view, kFrameTimer, kFrameMilliseconds, nullptr);
    ApplyOrigin(view, *v);
}

LRESULT CALLBACK CropViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        Create(view, *static_cast<GraphicPlacement*>(create->lpCreateParams));
        return 0;
    }
    ViewState* v = StateOf(view);
    if (!v)
        return DefWindowProcA(view, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY: KillTimer(view, kFrameTimer); return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(view, GWLP_USERDATA, 0);
        delete v;
        return DefWindowProcA(view, message, wParam, lParam);
    case WM_PAINT: Paint(view, *v); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
        if (wParam == kFrameTimer)
            Tick(view, *v);
        return 0;
    case WM_HSCROLL: Scroll(view, *v, SB_HORZ, wParam); return 0;
    case WM_VSCROLL: Scroll(view, *v, SB_VERT, wParam); return 0;
    case WM_LBUTTONDOWN: MouseDown(view, *v, wParam, lParam); return 0;
    case WM_MOUSEMOVE: MouseMove(view, *v, lParam); return 0;
    case WM_LBUTTONUP: MouseUp(view, *v, wParam, lParam); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(GetCropCursor(v->p.cropKind));
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

HWND CreateCropView(HWND dialog, const RECT& place, GraphicPlacement& placement) {
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
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(PCROP_VIEW)), GetAppInstance(), &placement);
}

void ResetCropView(HWND view) {
    ViewState* v = StateOf(view);
    if (!v)
        return;
    v->origin = {};
    ApplyOrigin(view, *v);
    InvalidateRect(view, nullptr, TRUE);
}

void DropCropSelection(GraphicPlacement& p, HWND view) {
    p.rectShown = false;
    DeleteBitmap(p.mask);
    DeleteBitmap(p.outline);
    if (view)
        InvalidateRect(view, nullptr, FALSE);
}

void MakeCropMaskFromPoints(GraphicPlacement& p, HWND view, bool plainPolygon) {
    DeleteBitmap(p.mask);
    DeleteBitmap(p.outline);
    const SIZE picture = BitmapSizeOf(p.picture);
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
