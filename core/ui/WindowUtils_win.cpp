// Placing windows.
#include "core/ui/WindowUtils.h"

#include "core/memory/ShortRect.h"
#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"

void CenterWindowOnScreen(HWND window) {
    RECT r;
    if (!window || !GetWindowRect(window, &r))
        return;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    MoveWindow(window, x, y, width, height, TRUE);
}

void CenterWindowOnParent(HWND window) {
    RECT own, over;
    if (!window || !GetWindowRect(window, &own))
        return;
    HWND parent = GetParent(window);
    if (!parent || !GetWindowRect(parent, &over))
        GetWindowRect(GetDesktopWindow(), &over);

    RECT placed;
    CenterRectInRect(own, over, &placed);
    // Over a parent smaller than itself near the screen's edge it would hang off the screen:
    // it stays inside the work area of the monitor it is placed on.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromRect(&placed, MONITOR_DEFAULTTONEAREST), &monitor))
        MoveRectInside(&placed, monitor.rcWork);
    POINT topLeft = {placed.left, placed.top};
    // A child window is placed in its parent's client coordinates.
    if (parent && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
        ScreenToClient(parent, &topLeft);
    SetWindowPos(window, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ScreenRectToClient(HWND window, RECT* rect) {
    if (!rect)
        return;
    POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    ScreenToClient(window, &corners[0]);
    ScreenToClient(window, &corners[1]);
    *rect = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

RECT DialogItemRect(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void DrawWindowEdge(HWND window) {
    if (GetWindowLongA(window, GWL_STYLE) & WS_DLGFRAME)
        return;
    // Without a menu bar the box has no height and would draw nothing: no window DC for it (a
    // page's card window has none, and every card entered comes here).
    const int menuHeight = GetMenu(window) ? GetSystemMetrics(SM_CYMENU) : 0;
    if (menuHeight <= 0)
        return;
    HDC dc = GetWindowDC(window);
    if (!dc)
        return;
    RECT outer = {};
    GetWindowRect(window, &outer);
    SelectedObject pen(dc, GetStockObject(BLACK_PEN));
    SelectedObject brush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, outer.right - outer.left, menuHeight);
    ReleaseDC(window, dc);
}

LRESULT PassToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND card = GetMainWindow();
    return card ? SendMessageA(card, message, wParam, lParam) : 0;
}
