// The rectangle tracker: its mouse hook, the arrow keys and the readers of its state.
#include "objects/ResizeTracking.h"

#include "core/events/MouseHooks.h"
#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "layers/PaintGeometry.h"
#include "layers/PaintGeometry_win.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/ObjectServices.h"

namespace {

TrackState g_track;

void DrawPreview() {
    if (!g_track.rect || !g_track.preview || !*g_track.preview)
        return;
    WindowDC dc(g_track.window);
    MemoryDC source(dc.get());
    if (!dc || !source)
        return;
    BITMAP info = {};
    GetObjectA(*g_track.preview, sizeof info, &info);
    SelectedObject selected(source.get(), *g_track.preview);
    ClipToCard(g_track.window, dc.get());
    const RECT& r = *g_track.rect;
    SetStretchBltMode(dc.get(), COLORONCOLOR);
    StretchBlt(dc.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
}

// The card under the rectangle and its frame drawn again.
void EraseFrame(const RECT& rect) {
    RECT grown = rect;
    InflateRect(&grown, 2, 2);
    InvalidateRect(g_track.window, &grown, FALSE);
    UpdateWindow(g_track.window);
}

HCURSOR MoveCursor() {
    HCURSOR own = LoadCursorA(GetAppInstance(), "SIZENSEW");
    return own ? own : LoadCursorA(nullptr, IDC_SIZEALL);
}

void EndTracking() {
    const TrackState ended = g_track;
    PopMouseHook();
    if (GetCapture() == ended.window)
        ReleaseCapture();
    g_track.rect = nullptr;
    g_track.window = nullptr;  // the drag loop reads this and returns
    g_track.handle = 0;
    g_track.idle = 1;
    g_track.status = 1;
    if (ended.preview && *ended.preview) {
        DeleteObject(*ended.preview);
        *ended.preview = nullptr;
    }
    g_track.preview = nullptr;
    if (!ended.completion)
        return;
    if (ended.dialogName)
        ResDialogBoxParam(ended.window, ended.completion, ended.dialogName, 0);
    else
        ended.completion(ended.window, WM_NULL, 0, 0);
}

int MouseDown(int x, int y) {
    if (!g_track.preview || !*g_track.preview)
        return 0;
    g_track.idle = 0;
    EraseFrame(*g_track.rect);
    DrawPreview();
    const int handle = HitTestHandle(PaintRectOf(*g_track.rect), x, y);
    if (handle == 0) {
        EndTracking();
        return 1;
    }
    SetCapture(g_track.window);
    g_track.handle = g_track.moveOnly ? 9 : handle;
    g_track.last = {x, y};
    return 1;
}

int MouseMove(int x, int y) {
    if (g_track.handle == 0) {
        const int handle = HitTestHandle(PaintRectOf(*g_track.rect), x, y);
        SetCursor(g_track.moveOnly && handle != 0 ? MoveCursor() : HandleCursor(handle));
        return handle != 0;
    }
    const RECT old = *g_track.rect;
    *g_track.rect = RectOf(ResizeRectByHandle(PaintRectOf(old), g_track.handle, x - g_track.last.x, y - g_track.last.y));
    g_track.last = {x, y};
    EraseFrame(old);
    DrawPreview();
    return 1;
}

int MouseUp() {
    if (g_track.handle == 0)
        return 0;
    g_track.handle = 0;
    ReleaseCapture();
    g_track.idle = 1;
    return 1;
}

}  // namespace

int BeginObjectResizeTracking(RECT* rect, HBITMAP* preview, TrackCompletion completion, const char* dialogName,
                              int moveOnly) {
    if (!rect || g_track.rect || !PushMouseHook(TrackResizeCallback)) {
        g_track.status = 0;
        return 0;
    }
    g_track = TrackState{rect, preview, completion, dialogName, moveOnly, 0, {}, 1, 1, GetCardWindow()};
    DrawPreview();
    return 1;
}

int TrackResizeCallback(unsigned message, HWND__*, int x, int y) {
    if (!g_track.rect)
        return 0;
    switch (message) {
    case WM_MOUSEMOVE: return MouseMove(x, y);
    case WM_LBUTTONDOWN: return MouseDown(x, y);
    case WM_LBUTTONUP: return MouseUp();
    default: return 0;
    }
}

int NudgeTrackedRect(WPARAM key, bool shiftLatch) {
    int dx = 0, dy = 0;
    if (!g_track.rect || !ArrowKeyDelta(static_cast<unsigned>(key), shiftLatch, &dx, &dy))
        return 0;
    const RECT old = *g_track.rect;
    PaintRect moved = ResizeRectByHandle(PaintRectOf(old), 9, dx, dy);
    SnapHandleToGrid(9, &moved);
    *g_track.rect = RectOf(moved);
    EraseFrame(old);
    DrawPreview();
    return 1;
}

int ReadTrackState(RECT* rect, POINT* point, int* handle, int* status) {
    if (rect) {
        if (g_track.rect)
            *rect = *g_track.rect;
        else
            SetRectEmpty(rect);
    }
    if (point)
        *point = g_track.last;
    if (handle)
        *handle = g_track.handle;
    if (status)
        *status = g_track.status;
    return g_track.idle;
}

void SetTrackState(const int* idle, const RECT* rect, const POINT* point, const int* handle, const int* status) {
    if (idle)
        g_track.idle = *idle;
    if (rect && g_track.rect)
        *g_track.rect = *rect;
    if (point)
        g_track.last = *point;
    if (handle)
        g_track.handle = *handle;
    if (status)
        g_track.status = *status;
}

const TrackState& CurrentTrackState() { return g_track; }

int GetTrackState(RECT* rect, POINT* point, int* value, HWND* window) {
    ReadTrackState(rect, point, value, nullptr);
    if (window)
        *window = g_track.rect ? g_track.window : nullptr;
    return g_track.rect != nullptr;
}
