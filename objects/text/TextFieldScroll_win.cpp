// The smooth scroll of one field at a time (host request SCROLLFIELD): the text drawn shifted
// through an offscreen, upward line by line or sideways as a marquee.
#include <richedit.h>

#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/BitmapCopy.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/text/TextFields.h"
#include "format/StackFile.h"

namespace {

enum ScrollMode { kScrollStep = 0, kScrollBegin = 2 };

struct FieldScroll {
    int32_t vertical = 0;
    HWND window = nullptr;
    int32_t limit = 0;
    int32_t position = 0;
    int32_t step = 0;
};
FieldScroll g_scroll;

int ScreenDpiY() {
    WindowDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return dpi > 0 ? dpi : 96;
}

int PixelsToTwips(int pixels) { return pixels * 72 / ScreenDpiY() * 20; }

POINT CharPosition(HWND window, LONG index) {
    POINTL at = {};
    SendMessageA(window, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), index);
    return {at.x, at.y};
}

int ClientBottom(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    return client.bottom;
}

bool VerticalEnd() { return g_scroll.limit - ClientBottom(g_scroll.window) <= g_scroll.position; }

bool BeginVertical(HWND window) {
    g_scroll = {1, window, 0, 0, 0};
    SCROLLINFO info = {sizeof info, SIF_POS | SIF_RANGE};
    if ((GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL) && GetScrollInfo(window, SB_VERT, &info)) {
        g_scroll.position = info.nPos;
        g_scroll.limit = info.nMax;
    } else {
        const LONG first = static_cast<LONG>(SendMessageA(window, EM_GETFIRSTVISIBLELINE, 0, 0));
        const LONG firstChar = static_cast<LONG>(SendMessageA(window, EM_LINEINDEX, first, 0));
        const LONG nextChar = static_cast<LONG>(SendMessageA(window, EM_LINEINDEX, first + 1, 0));
        const POINT top = CharPosition(window, firstChar);
        const int lineHeight = nextChar >= 0 ? CharPosition(window, nextChar).y - top.y + 1 : 0;
        g_scroll.position = first * lineHeight;
        const POINT end = CharPosition(window, TextGetLength(window));
        CHARFORMAT2A format = {};
        format.cbSize = sizeof format;
        format.dwMask = CFM_SIZE;
        SendMessageA(window, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        const int height = PointsToPixels(format.yHeight / 20);
        g_scroll.limit = end.y + height + top.y;
    }
    return VerticalEnd();
}

bool BeginHorizontal(HWND window, bool byHalfCharacter) {
    RECT client;
    GetClientRect(window, &client);
    g_scroll = {0, window, 0, client.right, 0};
    if (byHalfCharacter) {
        WindowDC dc(window);
        TEXTMETRICA metrics = {};
        if (dc && GetTextMetricsA(dc.get(), &metrics))
            g_scroll.step = (metrics.tmAveCharWidth + metrics.tmMaxCharWidth) / 2;
    }
    return false;
}

// The text shifted by (dx, dy) through an offscreen of the client's size; false when the
// offscreen cannot be had.
bool DrawShifted(HWND window, int dx, int dy) {
    LayerHandle layer = FieldLayerOfWindow(window);
    RECT bounds = {};
    bool transparent = false;
    {
        LayerLock<FieldLayer> field(layer);
        if (!field)
            return false;
        bounds = field->common.bounds;
        transparent = (field->objectFlags & kTextTransparent) != 0;
    }
    RECT client;
    GetClientRect(window, &client);
    WindowDC screen(window);
    MemoryDC memory(screen.get());
    OwnedGdiObject<HBITMAP> bitmap(screen ? CreateCompatibleBitmap(screen.get(), client.right, client.bottom) : nullptr);
    SelectedObject selected(memory.get(), bitmap.get());
    if (!selected)
        return false;
    SelectedPalette palette(memory.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    if (transparent) {
        RECT under = {bounds.left, bounds.top, bounds.left + client.right, bounds.top + client.bottom};
        OwnedGdiObject<HBITMAP> cut(CutOutBitmap(GetOffscreenBitmap(), under));
        MemoryDC source(screen.get());
        SelectedObject chosen(source.get(), cut.get());
        if (chosen)
            BitBlt(memory.get(), 0, 0, client.right, client.bottom, source.get(), 0, 0, SRCCOPY);
    } else {
        // RichEdit answers its background colour when it is set again.
        const COLORREF back = static_cast<COLORREF>(SendMessageA(window, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_WINDOW)));
        SendMessageA(window, EM_SETBKGNDCOLOR, 0, back);
        OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(back));
        FillRect(memory.get(), &client, brush.get());
    }
    FORMATRANGE range = {};
    range.hdc = range.hdcTarget = memory.get();
    range.rc = {PixelsToTwips(dx), PixelsToTwips(dy), PixelsToTwips(client.right + (dx > 0 ? dx : 0)),
                PixelsToTwips(client.bottom - dy)};
    range.rcPage = range.rc;
    range.chrg = {0, -1};
    SetBkMode(memory.get(), TRANSPARENT);
    const LRESULT formatted = SendMessageA(window, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    SendMessageA(window, EM_FORMATRANGE, FALSE, 0);
    if (formatted <= 0 && TextGetLength(window) > 0) {
        // RichEdit formats nothing here: it paints its client itself, shifted.
        PrintRichEditClient(window, memory.get(), dx, dy, transparent);
    }
    BitBlt(screen.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    ValidateRect(window, nullptr);
    return true;
}

bool Step(int delta) {
    if (!g_scroll.window)
        return true;
    if (g_scroll.vertical) {
        g_scroll.position += delta;
        if (GetWindowLongA(g_scroll.window, GWL_STYLE) & WS_VSCROLL)
            SetScrollPos(g_scroll.window, SB_VERT, g_scroll.position, TRUE);
        if (!DrawShifted(g_scroll.window, 0, -g_scroll.position))
            return true;
        return VerticalEnd();
    }
    g_scroll.position -= g_scroll.step >= 1 ? g_scroll.step : delta;
    if (g_scroll.position < g_scroll.limit)
        g_scroll.position = g_scroll.limit;
    if (!DrawShifted(g_scroll.window, g_scroll.position, 0))
        return true;
    return g_scroll.position <= g_scroll.limit;
}

bool End() {
    if (g_scroll.window) {
        if (g_scroll.vertical) {
            SendMessageA(g_scroll.window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, g_scroll.position), 0);
        } else {
            InvalidateRect(g_scroll.window, nullptr, TRUE);
            UpdateWindow(g_scroll.window);
        }
    }
    g_scroll = {};
    return true;
}

}  // namespace

bool ScrollTextField(HWND window, int delta, int mode, bool vertical, bool byHalfCharacter) {
    if (!IsWindow(window))
        return true;
    if (!IsWindowVisible(window))
        ShowWindow(window, SW_SHOWNA);
    switch (mode) {
    case kScrollBegin: return vertical ? BeginVertical(window) : BeginHorizontal(window, byHalfCharacter);
    case kScrollStep: return Step(delta);
    default: return End();
    }
}

bool ScrollFieldLineDown(HWND window, bool go) {
    if (!go || !IsWindow(window))
        return true;
    ShowWindow(window, SW_SHOWNA);
    SendMessageA(window, EM_SCROLL, SB_LINEDOWN, 0);
    UpdateWindow(window);
    RECT client;
    GetClientRect(window, &client);
    POINTL bottomLeft = {0, client.bottom - 1};
    const LONG index = static_cast<LONG>(SendMessageA(window, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&bottomLeft)));
    const LONG line = static_cast<LONG>(SendMessageA(window, EM_EXLINEFROMCHAR, 0, index));
    const LONG count = static_cast<LONG>(SendMessageA(window, EM_GETLINECOUNT, 0, 0));
    return line >= count - 1;
}
