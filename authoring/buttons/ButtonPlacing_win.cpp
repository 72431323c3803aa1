// Placing the spare button on the card (Buttons.h): shapes 0 to 4 as a rectangle dragged
// by its handles and moved by the arrows, shapes 5 to 7 as a mask drawn with the pencil, picked
// by a click or encircled with the lasso.
#include <windows.h>

#include <cstdlib>

#include "actions/ActionsDialog.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/WaitCursor.h"
#include "layers/PaintGeometry.h"
#include "layers/PaintGeometry_win.h"
#include "graphics/masks/Masks.h"
#include "graphics/pixels/OffscreenDib.h"
#include "objects/buttons/Buttons.h"
#include "objects/graphics/LassoPoints.h"
#include "paint/Selections.h"
#include "stack/cards/CardList.h"
#include "authoring/buttons/Buttons.h"

namespace {

// The pencil draws its shape, the paint can picks one, the lasso encircles one.
HCURSOR ShapeCursor(int shape) {
    const char* name = shape == kButtonShapePencil ? "PEN" : shape == kButtonShapePicked ? "PCAN" : "LASSO";
    if (HCURSOR cursor = LoadCursorA(GetAppInstance(), name))
        return cursor;
    return LoadCursor(nullptr, IDC_CROSS);
}

enum : uint32_t { kAlertShapeDefined = 2250, kAlertShapeTooSmall = 2206 };

struct Placing {
    bool active = false;
    int mode = 0;
    HWND window = nullptr;
    int handle = 0;  // being dragged, 0 none
    RECT rect = {};
    RECT startRect = {};
    POINT anchor = {};
    bool firstMove = true;
    bool shift = false;
    char axis = 0;  // 'h' or 'v' once Shift has chosen
    bool drawing = false;  // a pencil or lasso path
    int points = 0;        // of the path
    POINT last = {};
};
Placing g_placing;

int SpareShape() {
    SpareLock lock(GetSpareButton());
    return lock ? lock.layer().shape : 0;
}

void SetSpareBounds(const RECT& rect) {
    if (SpareLock lock(GetSpareButton()); lock)
        lock.layer().common.bounds = rect;
}

void DrawXorRect(HWND window, const RECT& r) {
    WindowDC dc(window);
    if (!dc)
        return;
    const int rop = SetROP2(dc.get(), R2_NOT);
    SelectedObject brush(dc.get(), GetStockObject(NULL_BRUSH));
    Rectangle(dc.get(), r.left, r.top, r.right, r.bottom);
    SetROP2(dc.get(), rop);
}

void DrawXorLine(HWND window, POINT from, POINT to) {
    WindowDC dc(window);
    if (!dc)
        return;
    const int rop = SetROP2(dc.get(), R2_NOT);
    MoveToEx(dc.get(), from.x, from.y, nullptr);
    LineTo(dc.get(), to.x, to.y);
    SetROP2(dc.get(), rop);
}

void Redraw(HWND window, const RECT& r) {
    RECT area = r;
    InflateRect(&area, 3, 3);
    InvalidateRect(window, &area, FALSE);
    UpdateWindow(window);
}

void EndPlacing(HWND window) {
    if (g_placing.active && window)
        Redraw(window, g_placing.rect);
    if (window && GetCapture() == window)
        ReleaseCapture();
    if (g_placing.drawing)
        LassoFreePoints();
    g_placing = Placing{};
}

// The button is placed: a new one goes on to its actions, an existing one back to the dialog.
void FinishPlaced(HWND window) {
    const int mode = g_placing.mode;
    if (SpareLock lock(GetSpareButton()); lock)
        lock->shapeDrawn = 1;
    EndPlacing(window);
    if (mode == kPlaceNewButton) {
        const int result = RunSpareButtonActions(GetSpareButton(), true);
        if (IsButtonEditPending())
            CommitButtonDialog(GetSpareButton(), result == kActionsDialogOk, IDOK);
    } else if (mode == kPlaceGiveShape) {
        CommitButtonDialog(GetSpareButton(), true, IDOK);
    } else {
        StartNewButton(window, false);
    }
}

// The part of the mask on the card: the offscreen runs a little past it. Null when none is.
HBITMAP CropMaskToCard(HBITMAP mask, RECT* bounds) {
    uint16_t width = 0, height = 0;
    CurrentCardSize(&width, &height);
    const RECT card = {0, 0, width, height};
    RECT on{};
    if (!IntersectRect(&on, bounds, &card)) {
        DeleteObject(mask);
        return nullptr;
    }
    if (EqualRect(&on, bounds))
        return mask;
    HBITMAP cropped = CreateBitmap(on.right - on.left, on.bottom - on.top, 1, 1, nullptr);
    bool copied = false;
    {
        MemoryDC from(nullptr), to(nullptr);
        SelectedObject source(from.get(), mask), target(to.get(), cropped);
        copied = source && target &&
                 BitBlt(to.get(), 0, 0, on.right - on.left, on.bottom - on.top, from.get(), on.left - bounds->left,
                        on.top - bounds->top, SRCCOPY);
    }
    DeleteObject(mask);
    if (!copied && cropped) {
        DeleteObject(cropped);
        cropped = nullptr;
    }
    *bounds = on;
    return cropped;
}

// The mask of a drawn, picked or encircled shape; null when none came of it.
HBITMAP MakeShapeMask(HWND window, int shape, int x, int y, RECT* bounds) {
    WaitCursor wait;
    HBITMAP mask = nullptr;
    *bounds = {};
    if (shape == kButtonShapePencil) {
        MaskFromLassoPoints(window, &mask, bounds);
    } else if (shape == kButtonShapeLasso) {
        Rect32 lasso{};
        LassoPointsBounds(&lasso);
        *bounds = {lasso.left, lasso.top, lasso.right, lasso.bottom};
        if (DibHandle image = OffscreenToDib()) {
            MaskFromPolygon(window, image, &mask, bounds);
            DisposeHandle(image);
        }
    } else {
        MakeRegionMaskAtOffscreen(window, x, y + 1, &mask, bounds);
    }
    if (mask)
        mask = CropMaskToCard(mask, bounds);
    // A shape under the smallest a person can hit is too small. An area picked that fills the
    // whole card is its ground, not a graphic on it: as a button it would cover every other.
    constexpr int kSmallest = 3;
    uint16_t width = 0, height = 0;
    CurrentCardSize(&width, &height);
    const bool ground = shape == kButtonShapePicked && bounds->left <= 0 && bounds->top <= 0 && bounds->right >= width &&
                        bounds->bottom >= height;
    if (mask && (bounds->right - bounds->left < kSmallest || bounds->bottom - bounds->top < kSmallest || ground)) {
        DeleteObject(mask);
        mask = nullptr;
    }
    return mask;
}

int FreehandMouseUp(HWND window, int x, int y, bool ctrl) {
    int shape = SpareShape();
    if (shape == kButtonShapeLasso && ctrl) {
        shape = kButtonShapePicked;
        if (SpareLock lock(GetSpareButton()); lock)
            lock.layer().shape = kButtonShapePicked;
    }
    // A pencil or lasso click that drew nothing is let pass.
    if (shape != kButtonShapePicked && (!g_placing.drawing || g_placing.points < 2)) {
        if (g_placing.drawing)
            LassoFreePoints();
        g_placing.drawing = false;
        if (GetCapture() == window)
            ReleaseCapture();
        return 1;
    }
    if (GetCapture() == window)
        ReleaseCapture();
    if (g_placing.drawing) {
        RECT client{};
        GetClientRect(window, &client);
        Redraw(window, client);
    }
    RECT bounds{};
    HBITMAP mask = MakeShapeMask(window, shape, x, y, &bounds);
    if (g_placing.drawing)
        LassoFreePoints();
    g_placing.drawing = false;
    if (!mask) {
        if (ShowAlertOn(window, kAlertShapeTooSmall) != 1) {
            EndPlacing(window);
            StartNewButton(window, false);
        }
        return 1;
    }
    {
        SpareLock lock(GetSpareButton());
        if (!lock) {
            DeleteObject(mask);
            return 1;
        }
        ButtonLayer& b = lock.layer();
        for (HBITMAP* old : {&b.freehandMask, &b.freehandOutline})
            if (*old)
                DeleteObject(*old);
        b.freehandMask = mask;
        b.freehandOutline = MaskOutline(mask, 1);
        b.common.bounds = bounds;
    }
    g_placing.rect = bounds;
    if (ShowAlertOn(window, kAlertShapeDefined) == 1) {
        FinishPlaced(window);
        return 1;
    }
    // Try Again: the mask goes, placing goes on.
    if (SpareLock lock(GetSpareButton()); lock) {
        ButtonLayer& b = lock.layer();
        for (HBITMAP* old : {&b.freehandMask, &b.freehandOutline})
            if (*old) {
                DeleteObject(*old);
                *old = nullptr;
            }
    }
    return 1;
}

}  // namespace

void StartButtonPlacement(Handle spare, int mode) {
    RECT rect{};
    int shape = 0;
    {
        SpareLock lock(spare);
        if (!lock)
            return;
        const ButtonLayer& b = lock.layer();
        rect = b.common.bounds;
        shape = b.shape;
    }
    int left = rect.left, top = rect.top;
    SnapPointToGrid(&left, &top);
    OffsetRect(&rect, left - rect.left, top - rect.top);
    SetSpareBounds(rect);
    g_placing = Placing{.active = true, .mode = mode, .window = GetCardWindow(), .rect = rect};
    if (IsMaskedButtonShape(shape))
        SetCursor(ShapeCursor(shape));
    if (g_placing.window)
        Redraw(g_placing.window, rect);
}

int NewButtonMouseDown(HWND window, int x, int y) {
    if (!g_placing.active)
        return 0;
    const int shape = SpareShape();
    RECT client{};
    GetClientRect(window, &client);
    // A press off the card (Enter, leaving the card) ends placing as a click outside does.
    if (!IsMaskedButtonShape(shape) && !PtInRect(&client, POINT{x, y})) {
        FinishPlaced(window);
        return 1;
    }
    if (IsMaskedButtonShape(shape)) {
        if (shape != kButtonShapePicked) {
            LassoBeginPoints(client.right, client.bottom);
            LassoAddPoint(x, y);
            g_placing.drawing = true;
            g_placing.points = 1;
            g_placing.last = {x, y};
            SetCapture(window);
        }
        return 1;
    }
    g_placing.handle = HitTestHandle(PaintRectOf(g_placing.rect), x, y);
    if (g_placing.handle) {
        g_placing.startRect = g_placing.rect;
        g_placing.anchor = {x, y};
        g_placing.firstMove = true;
        g_placing.shift = GetKeyState(VK_SHIFT) < 0;
        g_placing.axis = 0;
        SetCapture(window);
    }
    return 1;
}

int NewButtonMouseMove(HWND window, int x, int y) {
    if (!g_placing.active)
        return 0;
    const int shape = SpareShape();
    if (IsMaskedButtonShape(shape)) {
        SetCursor(ShapeCursor(shape));
        if (g_placing.drawing) {
            DrawXorLine(window, g_placing.last, {x, y});
            LassoAddPoint(x, y);
            g_placing.last = {x, y};
            ++g_placing.points;
        }
        return 1;
    }
    if (!g_placing.handle) {
        SetHandleCursor(g_placing.rect, x, y);
        return 1;
    }
    if (!g_placing.firstMove)
        DrawXorRect(window, g_placing.rect);
    int dx = x - g_placing.anchor.x, dy = y - g_placing.anchor.y;
    if (g_placing.shift) {
        if (!g_placing.axis)
            g_placing.axis = std::abs(dx) > std::abs(dy) ? 'h' : 'v';
        const int h = g_placing.handle;
        if (h == 1 || h == 3 || h == 5 || h == 7) {
            dx = dy = g_placing.axis == 'h' ? dx : dy;
        } else if (h == 9) {
            (g_placing.axis == 'h' ? dy : dx) = 0;
        }
    }
    g_placing.rect = RectOf(ResizeRectByHandle(PaintRectOf(g_placing.startRect), g_placing.handle, dx, dy));
    DrawXorRect(window, g_placing.rect);
    g_placing.firstMove = false;
    return 1;
}

int NewButtonMouseUp(HWND window, int x, int y, bool ctrl) {
    if (!g_placing.active)
        return 0;
    if (IsMaskedButtonShape(SpareShape()))
        return FreehandMouseUp(window, x, y, ctrl);
    if (!g_placing.handle) {
        FinishPlaced(window);
        return 1;
    }
    if (!g_placing.firstMove)
        DrawXorRect(window, g_placing.rect);
    g_placing.rect = SnappedByHandle(g_placing.rect, g_placing.handle);
    g_placing.handle = 0;
    if (GetCapture() == window)
        ReleaseCapture();
    // The button moves before the old place is drawn again, which would draw it there once more.
    SetSpareBounds(g_placing.rect);
    Redraw(window, g_placing.startRect);
    Redraw(window, g_placing.rect);
    return 1;
}

int NudgeEditedButton(WPARAM key, bool shiftLatch) {
    int dx = 0, dy = 0;
    if (!g_placing.active || g_placing.handle || IsMaskedButtonShape(SpareShape()) ||
        !ArrowKeyDelta(static_cast<unsigned>(key), shiftLatch, &dx, &dy))
        return 0;
    RECT both = g_placing.rect;
    OffsetRect(&g_placing.rect, dx, dy);
    SetSpareBounds(g_placing.rect);
    UnionRect(&both, &both, &g_placing.rect);
    if (g_placing.window) {
        InflateRect(&both, 3, 3);
        InvalidateRect(g_placing.window, &both, FALSE);
    }
    return 1;
}

void DrawPlacedButton(HWND window) {
    if (!g_placing.active)
        return;
    SpareLock lock(GetSpareButton());
    WindowDC dc(window);
    if (!lock || !dc)
        return;
    const ButtonLayer& b = lock.layer();
    if (!IsMaskedButtonShape(b.shape) || b.freehandMask)
        DrawButton(dc.get(), &b, window);
}

void DrawPlacedButtonFrame(HWND window, int phase) {
    if (!IsPlacedButtonShown() || IsMaskedButtonShape(SpareShape()))
        return;
    const RECT& r = g_placing.rect;
    DrawSelectionFrame(window, r.left, r.top, r.right - 1, r.bottom - 1, phase);
}

bool IsPlacedButtonShown() { return g_placing.active && !g_placing.handle && !g_placing.drawing; }
bool IsPlacingButton() { return g_placing.active; }
RECT PlacedButtonRect() { return g_placing.active ? g_placing.rect : RECT{}; }

void CancelPlacedButton(HWND window) {
    if (!g_placing.active)
        return;
    EndPlacing(window ? window : g_placing.window);
    // An edit left while placing ends there: an edited button shows again.
    if (IsButtonEditPending())
        CommitButtonDialog(GetSpareButton(), false, IDCANCEL);
}
