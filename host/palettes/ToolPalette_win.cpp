#include "host/palettes/ToolPalette.h"

#include <array>
#include <cstring>
#include <utility>

#include "actions/ActionServices.h"
#include "actions/TimerButtons.h"
#include "core/events/EditorGuard.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/PaletteCaption.h"
#include "core/ui/Resources.h"
#include "cardview/colors/ColorChooser.h"
#include "layers/CardFlush.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "host/palettes/CurrentTool.h"
#include "host/palettes/FcolorsWindow.h"
#include "host/player/CardNavigation.h"
#include "host/player/EditsInProgress.h"
#include "host/state/DeferredCommands.h"
#include "host/state/MenuOptions.h"
#include "media/MediaManager.h"
#include "media/animation/AnimPlayback.h"
#include "objects/ObjectServices.h"
#include "authoring/text/TextStyleDialog_win.h"
#include "objects/text/ActiveTextField.h"
#include "paint/PaintTextRedraw.h"
#include "paint/PaintTools.h"
#include "stack/cards/CardList.h"
#include "stack/cards/ObjectScan.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/text/NewTextObject.h"
#include "format/StackFile.h"

namespace {

constexpr uint32_t kFloatingClassString = 1011;
constexpr uint32_t kMenuCopyClassString = 1008;
constexpr int kDefaultCellSize = 24;

constexpr std::array<const char*, kToolCellCount> kCellBitmapNames{
    "TOOLHAND", "TOOLARROW", "TOOLBBUTTON", "TOOLGBUTTON", "TOOLTEXTBLK", "TOOLSELECTOR", "TOOLCIRCSEL",
    "TOOLLASSO", "TOOLBRUSH", "TOOLSPRAY", "TOOLPCAN", "TOOLERASER", "TOOLLINE", "TOOLPEN",
    "TOOLRECT", "TOOLCIRCLE", "TOOLRNDRECT", "TOOLTEXT", "TOOLMGLASS", "TOOLEYEDROP",
};

enum Extra { kFilledRect, kFilledRoundRect, kFilledOval, kFilledFreehand, kFilledPolygon, kExtraCount };
constexpr std::array<const char*, kExtraCount> kExtraBitmapNames{
    "TOOLFRECT", "TOOLFRNDRECT", "TOOLFCIRCLE", "TOOLFFHAND", "TOOLFPOLY",
};

enum CursorSlot { kCross, kCaret, kPen, kErasePen, kPaintCan, kEraser, kLasso, kGlass, kEyedrop, kHand, kCursorCount };
constexpr std::array<const char*, kCursorCount> kCursorNames{
    "CROSS", "LMCARET", "PEN", "ERASEPEN", "PCAN", "ERASER", "LASSO", "MGLASS", "EYEDROP", "HAND",
};

struct PaletteState {
    std::array<HBITMAP, kToolCellCount> cells{};
    std::array<HBITMAP, kExtraCount> extras{};
    std::array<HCURSOR, kCursorCount> cursors{};
    HWND floating = nullptr;
    HWND menuCopy = nullptr;
    ATOM floatingClass = 0;
    ATOM menuCopyClass = 0;
    POINT place{0, 0};
    bool objectToolMode = false;
    EditTargets targets{};
    bool paletteClick = false;
};

PaletteState g_palette;

SIZE CellSize() {
    SIZE size{};
    if (BitmapSize(g_palette.cells[0], &size))
        return size;
    return {kDefaultCellSize, kDefaultCellSize};
}

int CaptionOf(HWND palette) { return palette == g_palette.floating ? PaletteCaptionHeight() : 0; }

// A cell's rectangle in client coordinates of a palette whose cells start at top.
RECT CellRect(int cell, SIZE size, int top) {
    const int band = size.cy / 4;
    if (cell < 2) {
        const int half = (3 * size.cx) / 2;
        return {cell * half, top, cell == 0 ? half : 3 * size.cx, top + size.cy};
    }
    const int row = (cell + 1) / 3;
    const int column = (cell + 1) % 3;
    const int y = top + row * size.cy + (row >= 2 ? band : 0);
    return {column * size.cx, y, (column + 1) * size.cx, y + size.cy};
}

HBITMAP CellBitmap(int cell) {
    HBITMAP bitmap = g_palette.cells[cell];
    GetToolBitmap(kToolCells[cell], &bitmap);
    return bitmap;
}

void PaintPalette(HWND palette, HDC dc) {
    RECT client{};
    GetClientRect(palette, &client);
    const int top = CaptionOf(palette);
    const SIZE size = CellSize();
    RECT body{0, top, client.right, client.bottom};
    FillRect(dc, &body, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT band{0, top + 2 * size.cy, client.right, top + 2 * size.cy + size.cy / 4};
    FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    MemoryDC source(dc);
    for (int cell = 0; cell < kToolCellCount; ++cell) {
        const RECT r = CellRect(cell, size, top);
        if (HBITMAP bitmap = CellBitmap(cell)) {
            SelectedObject chosen(source.get(), bitmap);
            const int x = r.left + (r.right - r.left - size.cx) / 2;
            BitBlt(dc, x, r.top, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
        }
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    }
    const int current = ToolCellOf(GetCurrentTool());
    if (current >= 0) {
        const RECT r = CellRect(current, size, top);
        InvertRect(dc, &r);
    }
    if (top)
        DrawPaletteCaptionOn(dc, client.right, GetActiveWindow() == palette);
}

bool RealizePalette(HWND palette) {
    HPALETTE appPalette = GetAppPalette();
    if (!appPalette)
        return false;
    WindowDC dc(palette);
    SelectedPalette chosen(dc.get(), appPalette, SelectedPalette::kAlways);
    if (RealizePalette(dc.get()))
        InvalidateRect(palette, nullptr, FALSE);
    return true;
}

bool ClicksBlocked() {
    // An authoring loop has no dialog to count (the path editor, the recorder): the guard tells.
    if (IsStackLocked() || CountBlockingDialogs() > 0 || EditorRuns())
        return true;
    return FinishPendingPlacement() != 0;
}

LRESULT CALLBACK PaletteProc(HWND palette, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        if (palette == g_palette.floating) {
            RECT r{};
            GetWindowRect(palette, &r);
            g_palette.place = {r.left, r.top};
            g_palette.floating = nullptr;
        }
        if (palette == g_palette.menuCopy)
            g_palette.menuCopy = nullptr;
        return 0;
    case WM_ACTIVATE:
        if (palette == g_palette.floating)
            DrawPaletteCaption(palette);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(palette, &ps);
        PaintPalette(palette, dc);
        EndPaint(palette, &ps);
        return 0;
    }
    case WM_NCHITTEST:
        if (palette == g_palette.floating && PtInPaletteCaption(palette, static_cast<DWORD>(lParam), FALSE))
            return HTCAPTION;
        break;
    case WM_NCLBUTTONDOWN:
        if (palette == g_palette.floating && PtInPaletteCaption(palette, static_cast<DWORD>(lParam), TRUE)) {
            PostMessage(palette, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        }
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (HWND card = GetMainWindow())
            PostMessage(card, message, wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (palette == g_palette.floating && !ClicksBlocked())
            OnPaletteClick(palette, lParam, message == WM_LBUTTONDBLCLK);
        return 0;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
        if (message == WM_PALETTECHANGED && reinterpret_cast<HWND>(wParam) == palette)
            return 0;
        return RealizePalette(palette);
    default:
        break;
    }
    return DefWindowProc(palette, message, wParam, lParam);
}

ATOM RegisterPaletteClass(uint32_t nameString, char* name, int size) {
    LoadResString(nameString, name, size);
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = PaletteProc;
    wc.hInstance = GetAppInstance();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
}

SIZE PaletteWindowSize(bool withCaption) {
    const SIZE size = CellSize();
    const int caption = withCaption ? PaletteCaptionHeight() : 0;
    return {3 * size.cx + 2, 7 * size.cy + size.cy / 4 + caption + 3};
}

void InvalidatePalettes() {
    if (g_palette.floating)
        InvalidateRect(g_palette.floating, nullptr, FALSE);
    if (g_palette.menuCopy)
        InvalidateRect(g_palette.menuCopy, nullptr, FALSE);
}

// Hidden objects look different to the object tools: the card is built again for them.

bool CardHasToolDependentObject() {
    Handle card = GetCurrentCardRecord();
    if (!card)
        return false;
    ObjectScan scan;
    BeginObjectScan(scan, card, false);
    ScannedObject object;
    bool found = false;
    while (!found && NextObjectInScan(scan, &object, true))
        found = (object.kind == kObjectGraphic || object.kind == kObjectButton || object.kind == kObjectText) &&
                (object.flags & kObjectHidden);
    EndObjectScan(scan);
    return found;
}

void RunToolOption(uint32_t tool) {
    switch (tool) {
    case kRectangleTool: case kOvalTool: case kRoundRectTool: case kFreehandTool: case kPolygonTool: ToggleDrawFilled(); RepaintToolPalette(); break;
    case kPaintTextTool:  // the text style dialog, which paint text being typed takes at once
        RunTextStyleCommand(GetMainWindow());
        if (GetPaintTextActive())
            RedrawPaintText();
        break;
    case kLineTool: RunDeferredCommand(350); break;   // line size dialog
    case kBrushTool: RunDeferredCommand(351); break;   // brush shape dialog
    case kEraserTool: OpenEraseDialog(GetMainWindow()); break;
    // The magnification step and selecting the whole card belong to the paint tools; recorded
    // as the negative tool number until they come.
    case kPenTool: case kLassoTool: case kRectSelectTool: case kOvalSelectTool: RunDeferredCommand(-static_cast<int>(tool)); break;
    default: break;
    }
}

BOOL CALLBACK CountDialog(HWND window, LPARAM count) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") != 0 && std::strcmp(name, "LogoEditor") != 0)
        return TRUE;
    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    if (std::strcmp(title, "Shortcuts") != 0 && std::strcmp(title, "Navigation") != 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

}  // namespace

void ToolChanged(uint32_t oldTool, uint32_t newTool) {
    InvalidatePalettes();
    OnToolChanged(oldTool, newTool);
}

int CountBlockingDialogs() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountDialog, reinterpret_cast<LPARAM>(&count));
    if (GetTrackState(nullptr, nullptr, nullptr, nullptr))
        ++count;
    return count;
}

void LoadToolBitmaps() {
    HINSTANCE module = GetAppInstance();
    for (int i = 0; i < kToolCellCount; ++i)
        g_palette.cells[i] = LoadBitmapA(module, kCellBitmapNames[i]);
    for (int i = 0; i < kExtraCount; ++i)
        g_palette.extras[i] = LoadBitmapA(module, kExtraBitmapNames[i]);
    for (int i = 0; i < kCursorCount; ++i)
        g_palette.cursors[i] = LoadCursorA(module, kCursorNames[i]);
}

void FreeToolResources() {
    if (g_palette.floating)
        DestroyWindow(g_palette.floating);
    if (g_palette.menuCopy)
        DestroyWindow(g_palette.menuCopy);
    char name[64];
    if (g_palette.floatingClass && LoadResString(kFloatingClassString, name, sizeof name))
        UnregisterClassA(name, GetAppInstance());
    if (g_palette.menuCopyClass && LoadResString(kMenuCopyClassString, name, sizeof name))
        UnregisterClassA(name, GetAppInstance());
    g_palette.floatingClass = g_palette.menuCopyClass = 0;
    for (HBITMAP& bitmap : g_palette.cells)
        if (bitmap)
            DeleteObject(std::exchange(bitmap, nullptr));
    for (HBITMAP& bitmap : g_palette.extras)
        if (bitmap)
            DeleteObject(std::exchange(bitmap, nullptr));
    for (HCURSOR& cursor : g_palette.cursors)
        if (cursor)
            DestroyCursor(std::exchange(cursor, nullptr));
}

void EndToolWork() {
    HWND card = GetMainWindow();
    EndPaintText();
    ClearActiveTextField();
    CommitPaintSelection(card);
    CancelPlacedButton(card);
    CommitMaskSelection(card);
    DeselectObject(card);
    CancelPlacedTextField(card);
}

void SelectTool(uint32_t tool) {
    EndToolWork();
    SelectToolNumber(tool);
}

void SelectToolByIndex(int position) {
    if (position >= 0 && position < kToolCellCount)
        SelectToolNumber(kToolCells[position]);
}

// The object editors' mode word joins these rules when its subsystem comes.
void OnToolChanged(uint32_t oldTool, uint32_t newTool) {
    if (oldTool == newTool)
        return;
    LayoutFcolorsWindow(newTool);
    HWND card = GetMainWindow();
    const bool objectMode = IsObjectTool(newTool);
    if (objectMode != g_palette.objectToolMode) {
        g_palette.objectToolMode = objectMode;
        if (card)
            InvalidateSpecialButtons(card);
    }
    ShowTextFieldWindows(newTool == static_cast<uint32_t>(kBrowseTool));
    const EditTargets targets = EditTargetsFor(newTool);
    const bool targetsChanged = targets != g_palette.targets;
    g_palette.targets = targets;
    if ((newTool == 22 || newTool == 19 || targetsChanged) && card && CardHasToolDependentObject()) {
        FlushCardEdits();
        RefreshCurrentCard(0);
    }
    if (newTool != static_cast<uint32_t>(kBrowseTool)) {
        MediaRemoveFinished(1, 1);
        ReleaseAnimPlayback();
        StopAllSounds(1);
        ClearTimerTable();
        if (newTool < static_cast<uint32_t>(kBrowseTool))
            return;
    }
    if (GetFatbitsZoom() != 1)
        SetFatbitsZoom(kNormalView);
}

HCURSOR GetToolCursor() {
    auto slot = [](CursorSlot s) {
        HCURSOR cursor = g_palette.cursors[s];
        return cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
    };
    switch (GetCurrentTool()) {
    case kRectangleTool: case kOvalTool: case kRoundRectTool: case kFreehandTool: case kLineTool: case kPolygonTool:
    case kRectSelectTool: case kOvalSelectTool: return slot(kCross);
    case kPaintTextTool: return slot(kCaret);
    case kPenTool: return slot(kPen);
    case kBrushTool: case kSprayTool: return slot(kCross);  // the brush and spray cursors come with the paint tools
    case kPaintBucketTool: return slot(kPaintCan);
    case kEraserTool: return slot(kEraser);
    case kLassoTool: return slot(kLasso);
    case kMagnifierTool: return slot(kGlass);
    case kEyedropperTool: return slot(kEyedrop);
    case kBrowseTool: return slot(kHand);
    default: return LoadCursor(nullptr, IDC_ARROW);
    }
}

void GetToolBitmap(uint32_t tool, HBITMAP* bitmap) {
    const bool filled = IsDrawFilled();
    HBITMAP found = nullptr;
    switch (tool) {
    case 1: found = filled ? g_palette.extras[kFilledRect] : nullptr; break;
    case 4: found = filled ? g_palette.extras[kFilledRoundRect] : nullptr; break;
    case 2: found = filled ? g_palette.extras[kFilledOval] : nullptr; break;
    case 5: found = g_palette.extras[kFilledFreehand]; break;
    case 9: found = g_palette.extras[kFilledPolygon]; break;
    default: break;
    }
    if (!found) {
        const int cell = ToolCellOf(tool);
        if (cell >= 0)
            found = g_palette.cells[cell];
    }
    if (found)
        *bitmap = found;
}

bool IsObjectToolMode() { return g_palette.objectToolMode; }
bool ButtonsEditable() { return g_palette.targets.buttons; }
bool GraphicsEditable() { return g_palette.targets.graphics; }
bool TextsEditable() { return g_palette.targets.texts; }
bool TakePaletteClickFlag() { return std::exchange(g_palette.paletteClick, false); }

HWND GetToolPaletteWindow() { return g_palette.floating; }
HWND GetToolsMenuPaletteWindow() { return g_palette.menuCopy; }

void ShowToolPalette() {
    if (g_palette.floating)
        ShowWindow(g_palette.floating, SW_SHOWNA);
}

void HideToolPalette() {
    if (g_palette.floating)
        ShowWindow(g_palette.floating, SW_HIDE);
}

void RepaintToolPalette() { InvalidatePalettes(); }

bool OpenToolPalette(HWND owner, const POINT* point) {
    char name[64];
    if (!g_palette.floatingClass)
        g_palette.floatingClass = RegisterPaletteClass(kFloatingClassString, name, sizeof name);
    if (!g_palette.floatingClass)
        return false;
    if (!g_palette.floating) {
        LoadResString(kFloatingClassString, name, sizeof name);
        const POINT at = point ? *point : g_palette.place;
        const SIZE size = PaletteWindowSize(true);
        g_palette.floating = CreateWindowExA(WS_EX_TOOLWINDOW, name, "", WS_POPUP | WS_BORDER, at.x, at.y,
                                             size.cx, size.cy, owner, nullptr, GetAppInstance(), nullptr);
    } else if (point) {
        SetWindowPos(g_palette.floating, nullptr, point->x, point->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    if (!g_palette.floating)
        return false;
    ShowWindow(g_palette.floating, SW_SHOW);
    return true;
}

void OpenToolsMenuPalette(HWND owner, const POINT* point) {
    char name[64];
    if (!g_palette.menuCopyClass)
        g_palette.menuCopyClass = RegisterPaletteClass(kMenuCopyClassString, name, sizeof name);
    if (!g_palette.menuCopyClass)
        return;
    POINT at{0, 0};
    if (point) {
        at = *point;
    } else if (HWND card = GetMainWindow() ? GetMainWindow() : owner) {
        ClientToScreen(card, &at);
    }
    const SIZE size = PaletteWindowSize(false);
    if (!g_palette.menuCopy) {
        LoadResString(kMenuCopyClassString, name, sizeof name);
        g_palette.menuCopy = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, name, "", WS_POPUP | WS_BORDER,
                                             at.x, at.y, size.cx, size.cy, owner, nullptr, GetAppInstance(), nullptr);
    } else {
        SetWindowPos(g_palette.menuCopy, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!g_palette.menuCopy)
        return;
    ShowWindow(g_palette.menuCopy, SW_SHOWNOACTIVATE);
    g_palette.paletteClick = true;
}

void OnPaletteClick(HWND palette, LPARAM lParam, bool doubleClick) {
    const SIZE size = CellSize();
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam)) - CaptionOf(palette);
    const int cell = ToolCellAt(x, y, size.cx, size.cy);
    if (cell < 0)
        return;
    const uint32_t oldTool = GetCurrentTool();
    const uint32_t newTool = kToolCells[cell];
    if (newTool >= static_cast<uint32_t>(kBrowseTool) && GetFatbitsZoom() != 1)
        SetFatbitsZoom(kNormalView);
    // Clicking paint text again keeps the text being typed.
    if (!(newTool == 3 && oldTool == 3))
        EndToolWork();
    SelectToolNumber(newTool);
    UpdateWindow(palette);
    if (doubleClick)
        RunToolOption(newTool);
}
