// The shared geometry on the window's side (PaintGeometry_win.h).
#include "layers/PaintGeometry_win.h"

#include <algorithm>
#include <utility>

#include "core/system/PluginModule.h"
#include "layers/CardView.h"
#include "stack/StackOpenSession.h"
#include "stack/cards/CardList.h"

RECT NormalisedRect(RECT r) {
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

HCURSOR HandleCursor(int handle) {
    switch (handle) {
    case 1: case 5: return LoadCursorA(nullptr, IDC_SIZENWSE);
    case 2: case 6: return LoadCursorA(nullptr, IDC_SIZENS);
    case 3: case 7: return LoadCursorA(nullptr, IDC_SIZENESW);
    case 4: case 8: return LoadCursorA(nullptr, IDC_SIZEWE);
    default: return LoadCursorA(nullptr, IDC_ARROW);
    }
}

RECT CardBoundsInWindow(HWND window) {
    RECT client{};
    if (window)
        GetClientRect(window, &client);
    // Another window (the crop view) or the magnified card fills the window.
    if (window != GetCardWindow() || GetCardZoom() != 1)
        return client;
    uint16_t width = 0, height = 0;
    CurrentCardSize(&width, &height);
    return {0, 0, width, height};
}

RECT CardAreaInWindow(HWND window) {
    RECT client{}, shown{};
    if (window)
        GetClientRect(window, &client);
    const RECT card = CardBoundsInWindow(window);
    return IsStackOpen() && IntersectRect(&shown, &card, &client) ? shown : client;
}

RECT CentredOnCard(HWND window, int width, int height) {
    const RECT card = CardAreaInWindow(window);
    const int left = card.left + std::max(0, static_cast<int>(card.right - card.left - width) / 2);
    const int top = card.top + std::max(0, static_cast<int>(card.bottom - card.top - height) / 2);
    return {left, top, left + width, top + height};
}

void ClipToCard(HWND window, HDC dc) {
    const RECT card = CardBoundsInWindow(window);
    if (dc)
        IntersectClipRect(dc, card.left, card.top, card.right, card.bottom);
}

void DrawMarchingOutline(HDC dc, const RECT& r, int phase) {
    int n = 0;
    const auto dot = [&](int x, int y) {
        SetPixelV(dc, x, y, MarchingDashAt(n++, phase) ? RGB(0, 0, 0) : RGB(255, 255, 255));
    };
    for (int x = r.left; x < r.right; ++x)
        dot(x, r.top);
    for (int y = r.top; y < r.bottom; ++y)
        dot(r.right - 1, y);
    for (int x = r.right - 1; x >= r.left; --x)
        dot(x, r.bottom - 1);
    for (int y = r.bottom - 1; y >= r.top; --y)
        dot(r.left, y);
}
