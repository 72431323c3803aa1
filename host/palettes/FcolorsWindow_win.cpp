// The floating colours palette window.
#include <windowsx.h>

#include <utility>

#include "core/events/EditorGuard.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/PaletteCaption.h"
#include "core/ui/Resources.h"
#include "core/ui/ToolNumbers.h"
#include "cardview/colors/ColorChooser.h"
#include "cardview/colors/Fcolors.h"
#include "cardview/colors/FcolorsLayout.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/FillPatterns.h"
#include "host/palettes/FcolorsWindow.h"
#include "host/palettes/ToolPalette.h"
#include "paint/PaintTools.h"
#include "resources/colors_ids.h"

namespace {

constexpr DWORD kWindowStyle = 0x90800000;  // popup, visible, border
constexpr int kSwatchTop = 6;
constexpr int kSwatchBottom = 26;
constexpr int kDefaultFillIcon = 6;

struct FcolorsState {
    HWND window = nullptr;
    bool registered = false;
    RECT saved{};           // position and width
    bool tracking = false;
    int16_t selection = 0;
    bool busy = false;      // the colour chooser runs from a double click
    bool tabEnabled = false;
    uint32_t fillIcon = 0;  // the fill panel's last icon; none yet
};
FcolorsState g_fcolors;

FcolorsLayout CurrentLayout() { return MakeFcolorsLayout(IsAdvancedUser(), static_cast<int>(GetCurrentTool())); }

char CurrentLetter() { return ToolColorLetter(static_cast<int>(GetCurrentTool())); }

// The window's outer size for a client area of the layout's size.
SIZE OuterSize(const FcolorsLayout& layout) {
    RECT r{0, 0, layout.width, layout.height};
    AdjustWindowRectEx(&r, kWindowStyle, FALSE, WS_EX_TOOLWINDOW);
    return {r.right - r.left, r.bottom - r.top};
}

void FrameValueOn(HDC dc, const FcolorsLayout& layout, int16_t value) {
    if (value >= 0) {
        ColorGridOpOn(dc, 0, 0, layout.width, layout.gridBottom, kGridFrame, 0, 0, layout.gridSide, layout.gridSide,
                      value, TRUE);
        return;
    }
    if (!layout.patterns || value < -16)
        return;
    const CellBox c = PatternCellBox(layout, -value);
    SelectedObject brush(dc, GetStockObject(HOLLOW_BRUSH));
    SelectedObject pen(dc, GetStockObject(BLACK_PEN));
    const int mix = SetROP2(dc, R2_NOT);
    Rectangle(dc, c.left, c.top, c.right + 1, c.bottom + 1);
    SetROP2(dc, mix);
}

// A pattern tiled into the box from its top left.
void TileInto(HDC dc, HBITMAP pattern, const RECT& box) {
    BITMAP info{};
    if (!pattern || !GetObject(pattern, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return;
    MemoryDC source(dc);
    SelectedObject chosen(source.get(), pattern);
    for (int y = box.top; y < box.bottom; y += info.bmHeight)
        for (int x = box.left; x < box.right; x += info.bmWidth)
            BitBlt(dc, x, y, std::min<int>(info.bmWidth, box.right - x), std::min<int>(info.bmHeight, box.bottom - y),
                   source.get(), 0, 0, SRCCOPY);
}

void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void DrawPatterns(HDC dc, const FcolorsLayout& layout) {
    for (int k = 1; k <= 16; ++k) {
        const CellBox c = PatternCellBox(layout, k);
        TileInto(dc, GetFillPattern(k), {c.left, c.top, c.right, c.bottom});
        SelectedObject brush(dc, GetStockObject(HOLLOW_BRUSH));
        SelectedObject pen(dc, GetStockObject(WHITE_PEN));
        Rectangle(dc, c.left, c.top, c.right + 1, c.bottom + 1);
    }
    SelectedObject pen(dc, GetStockObject(BLACK_PEN));
    Line(dc, 0, layout.patternTop - 1, layout.width, layout.patternTop - 1);
    Line(dc, 0, layout.patternBottom + 1, layout.width, layout.patternBottom + 1);
}

// The tool's bitmap over the panel's grey: its white pixels and its outer border let it show.
void DrawIcon(HDC dc, uint32_t tool, int panelTop) {
    HBITMAP bitmap = nullptr;
    GetToolBitmap(tool, &bitmap);
    BITMAP info{};
    if (!bitmap || !GetObject(bitmap, sizeof info, &info))
        return;
    const int offset = (kPanelHeight - info.bmHeight) / 2;
    MemoryDC source(dc);
    SelectedObject chosen(source.get(), bitmap);
    for (int y = 1; y < info.bmHeight - 1; ++y)
        for (int x = 1; x < info.bmWidth - 1; ++x) {
            const COLORREF c = GetPixel(source.get(), x, y);
            if ((c & 0x00FFFFFF) != RGB(255, 255, 255))
                SetPixel(dc, offset + x, panelTop + offset + y, c);
        }
}

uint32_t FillIconFor(uint32_t tool) {
    switch (tool) {
    case kRectangleTool: case kOvalTool: case kRoundRectTool: case kFreehandTool: case kLineTool: case kPenTool:
    case kBrushTool: case kPaintBucketTool: case kSprayTool: case kEyedropperTool: g_fcolors.fillIcon = tool; break;
    default:
        if (!g_fcolors.fillIcon)
            g_fcolors.fillIcon = kDefaultFillIcon;
        break;
    }
    return g_fcolors.fillIcon;
}

RECT SwatchRect(const FcolorsLayout& layout, int panel) {
    const int top = layout.panelTop + panel * kPanelHeight;
    return {layout.swatchLeft, top + kSwatchTop, layout.swatchRight, top + kSwatchBottom};
}

void DrawSwatch(HDC dc, const FcolorsLayout& layout, char letter) {
    const RECT r = SwatchRect(layout, PanelOfLetter(letter));
    const int16_t value = GetToolColor(letter);
    SelectedPalette palette(dc, GetAppPalette(), SelectedPalette::kIfIndexed);
    SelectedObject pen(dc, GetStockObject(BLACK_PEN));
    if (value >= 0) {
        OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(PaletteIndexToColor(value)));
        SelectedObject chosen(dc, brush.get());
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        return;
    }
    TileInto(dc, GetFillPattern(-value), r);
    SelectedObject hollow(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

void DrawPanel(HDC dc, const FcolorsLayout& layout, int panel) {
    const int top = layout.panelTop + panel * kPanelHeight;
    const int bottom = top + kPanelHeight;
    const RECT r{0, top, layout.width, bottom};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    {
        SelectedObject pen(dc, GetStockObject(WHITE_PEN));
        Line(dc, 2, top + 2, 2, bottom - 3);
        Line(dc, 2, top + 2, layout.width - 3, top + 2);
    }
    SelectedObject pen(dc, GetStockObject(BLACK_PEN));
    Line(dc, 2, bottom - 3, layout.width - 2, bottom - 3);
    Line(dc, layout.width - 3, top + 2, layout.width - 3, bottom - 2);
    static constexpr char kLetters[] = {'f', 'e', 't'};
    const uint32_t icons[] = {FillIconFor(GetCurrentTool()), kEraserTool, kPaintTextTool};
    DrawIcon(dc, icons[panel], top);
    DrawSwatch(dc, layout, kLetters[panel]);
}

void Paint(HWND window, HDC dc) {
    const FcolorsLayout layout = CurrentLayout();
    SelectedPalette palette(dc, GetAppPalette(), SelectedPalette::kIfIndexed);
    ColorGridOpOn(dc, 0, 0, layout.width, layout.gridBottom, kGridDraw, 0, 0, layout.gridSide, layout.gridSide, 0,
                  TRUE);
    {
        SelectedObject pen(dc, GetStockObject(BLACK_PEN));
        Line(dc, 0, layout.gridLine, layout.width, layout.gridLine);
        Line(dc, 0, layout.panelTop - 1, layout.width, layout.panelTop - 1);
    }
    if (layout.patterns)
        DrawPatterns(dc, layout);
    FrameValueOn(dc, layout, GetToolColor(CurrentLetter()));
    for (int panel = 0; panel < 3; ++panel)
        DrawPanel(dc, layout, panel);
    DrawPaletteCaptionOn(dc, layout.width, GetActiveWindow() == window);
}

// The cell under a point: a palette index in the grid, -k in pattern cell k; nothing elsewhere.
bool ValueAt(const FcolorsLayout& layout, int x, int y, int16_t* value) {
    if (y < layout.gridBottom) {
        const int index = ColorGridOpOn(nullptr, 0, 0, layout.width, layout.gridBottom, kGridHitTest, x, y,
                                        layout.gridSide, layout.gridSide, 0, TRUE);
        if (index == kNoGridCell)
            return false;
        *value = static_cast<int16_t>(index);
        return true;
    }
    const int pattern = PatternAtPoint(layout, x, y);
    if (!pattern)
        return false;
    *value = static_cast<int16_t>(-pattern);
    return true;
}

void TrackTo(HWND window, int x, int y) {
    const FcolorsLayout layout = CurrentLayout();
    int16_t value = 0;
    if (!ValueAt(layout, x, y, &value) || value == g_fcolors.selection)
        return;
    WindowDC dc(window);
    FrameValueOn(dc.get(), layout, g_fcolors.selection);
    FrameValueOn(dc.get(), layout, value);
    g_fcolors.selection = value;
}

void OnButtonDown(HWND window, int x, int y) {
    const FcolorsLayout layout = CurrentLayout();
    if (g_fcolors.busy || y >= (layout.patterns ? layout.patternBottom : layout.gridBottom))
        return;
    g_fcolors.tracking = true;
    g_fcolors.selection = GetToolColor(CurrentLetter());
    SetCapture(window);
    TrackTo(window, x, y);
}

void OnButtonUp(HWND window, int x, int y) {
    if (!g_fcolors.tracking)
        return;
    TrackTo(window, x, y);
    g_fcolors.tracking = false;
    ReleaseCapture();
    ApplyPickedColor(g_fcolors.selection);
    RedrawFcolorsSwatch(CurrentLetter());
}

void OnDoubleClick(HWND window, int x, int y) {
    const FcolorsLayout layout = CurrentLayout();
    if (g_fcolors.busy || y >= layout.gridBottom)
        return;
    int16_t value = 0;
    if (!ValueAt(layout, x, y, &value))
        return;
    if (IsAdvancedUser()) {
        g_fcolors.busy = true;
        EditPaletteEntry(value);
        g_fcolors.busy = false;
    }
    ApplyPickedColor(value);
    InvalidateRect(window, nullptr, TRUE);
}

void OnKey(UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_fcolors.busy)
        return;
    if (wParam == VK_SHIFT)
        g_fcolors.tabEnabled = message == WM_KEYDOWN;
    if (GetFatbitsZoom() != 1)
        if (HWND card = GetMainWindow())
            PostMessage(card, message, wParam, lParam);
}

void OnChar(WPARAM character) {
    if (g_fcolors.busy || character != '\t' || GetFatbitsZoom() != 1 || !g_fcolors.tabEnabled)
        return;
    SelectTool(GetCurrentTool() == static_cast<uint32_t>(kBrowseTool) ? 20 : kBrowseTool);
}

bool RealizeAppPalette(HWND window) {
    HPALETTE palette = GetAppPalette();
    if (!palette)
        return false;
    WindowDC dc(window);
    SelectedPalette chosen(dc.get(), palette, SelectedPalette::kAlways);
    if (RealizePalette(dc.get()))
        InvalidateRect(window, nullptr, FALSE);
    return true;
}

void OnCreate(HWND window) {
    g_fcolors.window = window;
    SetFcolorsWindow(window);
    g_fcolors.tabEnabled = true;
    g_fcolors.tracking = false;
    g_fcolors.busy = false;
    FcolorsLayout layout = CurrentLayout();
    const int savedWidth = g_fcolors.saved.right - g_fcolors.saved.left;
    if (!IsRectEmpty(&g_fcolors.saved) && savedWidth > 0)
        layout.width = savedWidth;
    RECT r{};
    GetWindowRect(window, &r);
    const SIZE outer = OuterSize(layout);
    SetWindowPos(window, nullptr, r.left, r.top, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Under an editor the colours are not offered: a pick would recolour the object selected under
// it. The palette can still be moved.
bool PickHeld(UINT message) {
    const bool pick = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_KEYDOWN ||
                      message == WM_KEYUP || message == WM_CHAR;
    return pick && EditorRuns();
}

LRESULT CALLBACK FcolorsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (PickHeld(message))
        return 0;
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_DESTROY:
        GetWindowRect(window, &g_fcolors.saved);
        g_fcolors.window = nullptr;
        g_fcolors.tracking = false;
        SetFcolorsWindow(nullptr);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        Paint(window, dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN: OnButtonDown(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MOUSEMOVE:
        if (g_fcolors.tracking && !g_fcolors.busy)
            TrackTo(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (!g_fcolors.busy)
            OnButtonUp(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: OnKey(message, wParam, lParam); return 0;
    case WM_CHAR: OnChar(wParam); return 0;
    case WM_NCHITTEST:
        if (PtInPaletteCaption(window, static_cast<DWORD>(lParam), FALSE))
            return HTCAPTION;
        break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (g_fcolors.busy)
            return 0;
        if (PtInPaletteCaption(window, static_cast<DWORD>(lParam), TRUE)) {
            PostMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if (g_fcolors.busy && (wParam & 0xFFF0) == SC_CLOSE)
            return 0;
        break;
    case WM_ACTIVATE:
        DrawPaletteCaption(window);
        return 0;
    case WM_QUERYNEWPALETTE: return RealizeAppPalette(window);
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != window)
            RealizeAppPalette(window);
        return 0;
    default: break;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

bool RegisterFcolorsClass(const char* name) {
    if (g_fcolors.registered)
        return true;
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    wc.lpfnWndProc = FcolorsProc;
    wc.hInstance = GetAppInstance();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = name;
    g_fcolors.registered = RegisterClassA(&wc) != 0;
    if (!g_fcolors.registered) {
        char text[128] = {};
        LoadResString(IDS_REGISTER_CLASS_FAILED, text, sizeof text);
        lstrcatA(text, name);
        ShowErrorBox(text);
    }
    return g_fcolors.registered;
}

}  // namespace

bool CreateFcolorsWindow(HWND parent, const POINT* position) {
    if (g_fcolors.window)
        return true;
    char name[64] = {};
    LoadResString(IDS_FCOLORS_CLASS, name, sizeof name);
    if (!RegisterFcolorsClass(name))
        return false;
    POINT at{g_fcolors.saved.left, g_fcolors.saved.top};
    if (position) {
        SetRectEmpty(&g_fcolors.saved);
        at = *position;
    }
    const SIZE outer = OuterSize(CurrentLayout());
    CreateWindowExA(WS_EX_TOOLWINDOW, name, "", kWindowStyle, at.x, at.y, outer.cx, outer.cy, parent, nullptr,
                    GetAppInstance(), nullptr);
    return g_fcolors.window != nullptr;
}

void FitFcolorsWindowToTool() {
    if (!g_fcolors.window)
        return;
    const SIZE outer = OuterSize(CurrentLayout());
    SetWindowPos(g_fcolors.window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(g_fcolors.window, nullptr, TRUE);
}

void LayoutFcolorsWindow(uint32_t /*tool*/) {
    if (!g_fcolors.window)
        return;
    RECT client{};
    GetClientRect(g_fcolors.window, &client);
    const FcolorsLayout layout = CurrentLayout();
    if (client.bottom != layout.height || client.right != layout.width)
        FitFcolorsWindowToTool();
    else
        InvalidateRect(g_fcolors.window, nullptr, FALSE);
}

void ShowFcolorsWindow() {
    if (g_fcolors.window)
        ShowWindow(g_fcolors.window, SW_SHOWNA);
}

void HideFcolorsWindow() {
    if (g_fcolors.window)
        ShowWindow(g_fcolors.window, SW_HIDE);
}

void DestroyFcolorsWindow() {
    if (g_fcolors.window)
        DestroyWindow(g_fcolors.window);
    char name[64] = {};
    if (g_fcolors.registered && LoadResString(IDS_FCOLORS_CLASS, name, sizeof name))
        UnregisterClassA(name, GetAppInstance());
    g_fcolors.registered = false;
}

void ToggleFcolorsFrame(int16_t value) {
    if (!g_fcolors.window)
        return;
    WindowDC dc(g_fcolors.window);
    FrameValueOn(dc.get(), CurrentLayout(), value);
}

void RedrawFcolorsSwatch(char letter) {
    if (!g_fcolors.window)
        return;
    WindowDC dc(g_fcolors.window);
    DrawSwatch(dc.get(), CurrentLayout(), letter);
}
