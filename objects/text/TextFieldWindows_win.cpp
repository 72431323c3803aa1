// The "LMText" class over RichEdit 2.0 and the field windows of the card's text objects.
#include <richedit.h>
#include <shellapi.h>

#include "core/system/PluginModule.h"
#include "core/text/StringRuns.h"
#include "core/ui/CursorCache.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/ToolNumbers.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "layers/LayerList.h"
#include "layers/PaintGeometry_win.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/text/TextFields.h"
#include "format/StackFile.h"

namespace {

constexpr int kMaxFieldWalk = 4096;  // a damaged list cannot hold the walk

TextFieldWindowsHeld* g_held = nullptr;  // the innermost hold, while one lasts

// RichEdit and the class made over it.
struct FieldClass {
    HMODULE richEdit = nullptr;
    UINT richTextFormat = 0;
    WNDPROC richEditProc = nullptr;
    int richEditExtra = 0;
    bool registered = false;
} g_class;

struct FieldFacts {
    RECT bounds = {};
    uint16_t id = 0, options = 0, objectFlags = 0, colorIndex = 0, cursorId = 0;
    int16_t alignment = 0;
    HWND window = nullptr;
};

bool ReadFacts(LayerHandle layer, FieldFacts* facts) {
    LayerLock<FieldLayer> field(layer);
    if (!field || field->common.kind != kObjectText)
        return false;
    *facts = {field->common.bounds, field->common.id, field->options, field->objectFlags, field->colorIndex,
              field->cursorId, field->alignment, field->window};
    return true;
}

DWORD FieldStyle(uint16_t options) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | ES_SAVESEL | ES_MULTILINE;
    if (!(options & kTextNotScrollable)) {
        style |= ES_AUTOVSCROLL;
        if (options & kTextScrollBar)
            style |= WS_VSCROLL | ES_DISABLENOSCROLL;
    }
    if (options & kTextFrame)
        style |= WS_BORDER;
    if (options & kTextReadOnly)
        style |= ES_READONLY;
    return style;
}

void RecomputeFrame(HWND window) {
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitFieldTextArea(window);
}

void ChangeStyleBits(HWND window, int index, LONG bits, bool on) {
    const LONG old = GetWindowLongA(window, index);
    const LONG now = on ? (old | bits) : (old & ~bits);
    if (now != old)
        SetWindowLongA(window, index, now);
}

// The scroll bar and the border without the frame recomputed: a new window has both set, then
// its frame (which lays its text out) recomputed once.
void ShowFieldScrollBar(HWND window, bool scrollBar, bool scrollable) {
    if (scrollable && scrollBar) {
        ShowScrollBar(window, SB_VERT, TRUE);
        EnableScrollBar(window, SB_VERT, ESB_ENABLE_BOTH);
    } else if (scrollBar) {
        ShowScrollBar(window, SB_VERT, TRUE);
        EnableScrollBar(window, SB_VERT, ESB_DISABLE_BOTH);
    } else {
        ShowScrollBar(window, SB_VERT, FALSE);
    }
}

void SetBorderBits(HWND window, bool on) {
    ChangeStyleBits(window, GWL_STYLE, WS_BORDER, on);
    ChangeStyleBits(window, GWL_EXSTYLE, WS_EX_CLIENTEDGE, false);
}

// The region given only when it differs from the window's (null: none, the whole window): each
// SetWindowRgn redraws the window. The function owns the region; false when it was kept.
bool SetFieldRegion(HWND window, HRGN region) {
    HRGN current = CreateRectRgn(0, 0, 0, 0);
    const bool has = current && GetWindowRgn(window, current) != ERROR;
    const bool same = region ? has && EqualRgn(current, region) : !has;
    if (current)
        DeleteObject(current);
    if (same) {
        if (region)
            DeleteObject(region);
        return false;
    }
    SetWindowRgn(window, region, TRUE);
    return true;
}

bool Intersect(const RECT& a, const RECT& b) {
    RECT both;
    return IntersectRect(&both, &a, &b) != 0;
}

// Beyond the card lies the page, which a field reaching past the card's edge leaves as it is: a
// field's window is not clipped by the card, and what it drew there would stay on the next card.
// The region (null: the whole window) is cut to the card, in the window's own coordinates.
HRGN ClippedToCard(HRGN region, const RECT& bounds, HWND window) {
    const RECT card = CardBoundsInWindow(GetCardWindow());
    RECT inside{};
    IntersectRect(&inside, &card, &bounds);
    if (IsRectEmpty(&card) || EqualRect(&inside, &bounds) || !window)
        return region;
    if (!region) {
        RECT client;
        GetClientRect(window, &client);
        region = CreateRectRgnIndirect(&client);
    }
    OffsetRect(&inside, -bounds.left, -bounds.top);
    HRGN onCard = CreateRectRgnIndirect(&inside);
    CombineRgn(region, region, onCard, RGN_AND);
    DeleteObject(onCard);
    return region;
}

// The card window's children of the field class, each once.
template <class Visit>
void ForEachFieldWindow(Visit visit) {
    HWND card = GetCardWindow();
    if (!card)
        return;
    HWND child = GetWindow(card, GW_CHILD);
    for (int steps = 0; child && steps < kMaxFieldWalk; ++steps) {
        HWND next = GetWindow(child, GW_HWNDNEXT);
        if (IsTextFieldWindow(child))
            visit(child);
        child = next;
    }
}

}  // namespace

bool RegisterTextFieldClass(WNDPROC procedure) {
    if (g_class.registered)
        return true;
    if (!g_class.richEdit)
        g_class.richEdit = LoadLibraryA("RICHED20.DLL");
    g_class.richTextFormat = RegisterClipboardFormatA("Rich Text Format");
    WNDCLASSEXA rich = {};
    rich.cbSize = sizeof rich;
    if (!GetClassInfoExA(nullptr, "RichEdit20A", &rich))
        return false;
    g_class.richEditProc = rich.lpfnWndProc;
    g_class.richEditExtra = rich.cbWndExtra;
    WNDCLASSEXA field = {};
    field.cbSize = sizeof field;
    field.style = rich.style | CS_PARENTDC;
    field.lpfnWndProc = procedure;
    field.cbWndExtra = rich.cbWndExtra + static_cast<int>(sizeof(LONG));
    field.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    field.hInstance = GetAppInstance();
    field.lpszClassName = kTextFieldClass;
    g_class.registered = RegisterClassExA(&field) != 0;
    return g_class.registered;
}

void UnregisterTextFieldClass() {
    if (g_class.registered && UnregisterClassA(kTextFieldClass, GetAppInstance()))
        g_class.registered = false;
}

bool IsTextFieldClassRegistered() { return g_class.registered; }

UINT GetRichTextClipboardFormat() { return g_class.richTextFormat; }

LRESULT CallRichEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!g_class.richEditProc)
        return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(g_class.richEditProc, window, message, wParam, lParam);
}

void FitFieldTextArea(HWND window) {
    RECT area{};
    if (!GetClientRect(window, &area) || area.right <= 2)
        return;
    // One pixel in from either side, as RichEdit's own text area is.
    InflateRect(&area, -1, 0);
    SendMessageA(window, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&area));
}

bool IsTextFieldWindow(HWND window) {
    char name[16] = {};
    return window && GetClassNameA(window, name, sizeof name) && lstrcmpiA(name, kTextFieldClass) == 0;
}

LayerHandle FieldLayerOfWindow(HWND window) {
    if (!g_class.registered || !IsTextFieldWindow(window))
        return nullptr;
    return reinterpret_cast<LayerHandle>(static_cast<LONG_PTR>(GetWindowLongA(window, g_class.richEditExtra)));
}

void SetFieldLayerOfWindow(HWND window, LayerHandle layer) {
    if (g_class.registered && IsTextFieldWindow(window))
        SetWindowLongA(window, g_class.richEditExtra, static_cast<LONG>(reinterpret_cast<LONG_PTR>(layer)));
}

void GiveFieldPalette(HWND window) {
    HPALETTE palette = GetPicturePalette();
    if (!palette)
        palette = GetAppPalette();
    if (palette)
        SendMessageA(window, EM_SETPALETTE, reinterpret_cast<WPARAM>(palette), 0);
}

bool FieldHidesCaret(const FieldLayer& field) {
    return (field.options & kTextReadOnly) || (field.objectFlags & kObjectHasPath);
}

HWND CreateTextFieldWindow(HWND parent, LayerHandle layer) {
    FieldFacts facts;
    if (!g_class.registered || !ReadFacts(layer, &facts))
        return nullptr;
    DWORD extended = WS_EX_ACCEPTFILES;
    if (facts.objectFlags & kTextTransparent)
        extended |= WS_EX_TRANSPARENT;
    if (IsHebrewLanguage())
        extended |= WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;
    const RECT& r = facts.bounds;
    HWND window = CreateWindowExA(extended, kTextFieldClass, "", FieldStyle(facts.options), r.left, r.top,
                                  r.right - r.left, r.bottom - r.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(facts.id)), GetAppInstance(), nullptr);
    if (!window)
        return nullptr;
    // Made with its scroll bar and border: its frame is recomputed (a layout of its text) only
    // when showing them changed a style bit.
    const LONG made = GetWindowLongA(window, GWL_STYLE), madeExtended = GetWindowLongA(window, GWL_EXSTYLE);
    ShowFieldScrollBar(window, facts.options & kTextScrollBar, !(facts.options & kTextNotScrollable));
    SetBorderBits(window, facts.options & kTextFrame);
    if (GetWindowLongA(window, GWL_STYLE) != made || GetWindowLongA(window, GWL_EXSTYLE) != madeExtended)
        RecomputeFrame(window);
    else
        FitFieldTextArea(window);
    InvalidateRect(window, nullptr, TRUE);
    SetFieldLayerOfWindow(window, layer);
    if (HRGN region = ClippedToCard(nullptr, r, window))
        SetWindowRgn(window, region, FALSE);
    GiveFieldPalette(window);
    UpdateWindow(window);
    if (FieldHidesCaret({.options = facts.options, .objectFlags = facts.objectFlags}))
        HideCaret(window);
    DragAcceptFiles(window, TRUE);
    return window;
}

void InitFieldWindow(std::span<const uint8_t> record, LayerHandle layer, bool show) {
    HWND window = CreateTextFieldWindow(GetCardWindow(), layer);
    {
        LayerLock<FieldLayer> field(layer);
        if (!field)
            return;
        field->window = window;
    }
    if (!window)
        return;
    FieldFacts facts;
    ReadFacts(layer, &facts);
    FillFieldFromRecord(window, record);
    TextSetAlignment(window, facts.alignment);
    if (!(facts.objectFlags & kTextTransparent))
        TextSetBackColor(window, PaletteIndexToColorPlain(facts.colorIndex) & 0x00FFFFFF);
    SendMessageA(window, EM_SETMODIFY, 0, 0);
    const COLORREF first = TextGetColor(window, TextScope::Selection);
    {
        LayerLock<FieldLayer> field(layer);
        field->modified = 0;
        HPALETTE palette = GetPicturePalette() ? GetPicturePalette() : GetAppPalette();
        field->textColor = FindPaletteIndexOfColor(palette, first);
    }
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (show && GetCurrentTool() == static_cast<uint32_t>(kBrowseTool)) {
        // a card reached from a dialog (the card walk) leaves it the keys
        if (g_held) {
            g_held->Keep(window, !DialogRuns());
        } else {
            ShowWindow(window, SW_SHOW);
            if (!DialogRuns())
                SetFocus(window);
        }
    }
    TextSetSel(window, 0, 0, true);
}

void MoveFieldWindow(LayerHandle layer) {
    FieldFacts facts;
    if (!ReadFacts(layer, &facts) || !facts.window)
        return;
    const RECT& r = facts.bounds;
    MoveWindow(facts.window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    SetWindowRgn(facts.window, MakeFieldWindowRegion(layer), TRUE);
}

void DestroyFieldWindow(FieldLayer* layer) {
    if (!layer)
        return;
    HWND window = layer->window;
    layer->window = nullptr;
    if (window && IsWindow(window)) {
        SetFieldLayerOfWindow(window, nullptr);
        DestroyWindow(window);
    }
}

void ShowTextFieldWindows(bool show) {
    const CardView view = GetCardView();
    const bool wanted = show && (view.tool == kBrowseTool || view.tool == kPaintTextTool) && view.objectsShown;
    ForEachFieldWindow([&](HWND window) {
        if ((IsWindowVisible(window) != 0) == wanted)
            return;
        if (!wanted) {
            ShowWindow(window, SW_HIDE);
            return;
        }
        LayerHandle layer = FieldLayerOfWindow(window);
        FieldFacts facts;
        if (!ReadFacts(layer, &facts) || (facts.objectFlags & kObjectHidden))
            return;
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
        SetFieldRegion(window, MakeFieldWindowRegion(layer));
    });
}

TextFieldWindowsHeld::TextFieldWindowsHeld(const RECT& area) : outer_(g_held) {
    RECT screen = area;
    MapWindowPoints(GetCardWindow(), nullptr, reinterpret_cast<POINT*>(&screen), 2);
    const HWND focus = GetFocus();
    ForEachFieldWindow([&](HWND window) {
        RECT at;
        if (!IsWindowVisible(window) || !GetWindowRect(window, &at) || !Intersect(at, screen))
            return;
        if (window == focus)
            focus_ = window;
        // Without a redraw: what shows there stays until the transition draws over it.
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        windows_.push_back(window);
    });
    g_held = this;
}

TextFieldWindowsHeld::~TextFieldWindowsHeld() {
    g_held = outer_;
    for (HWND window : windows_) {
        if (IsWindow(window) && FieldLayerOfWindow(window))
            SetWindowPos(window, nullptr, 0, 0, 0, 0,
                         SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (focus_ && IsWindow(focus_) && IsWindowVisible(focus_) && !DialogRuns())
        SetFocus(focus_);
}

void TextFieldWindowsHeld::Keep(HWND window, bool focus) {
    windows_.push_back(window);
    if (focus)
        focus_ = window;
}

void ClipTextFieldWindows(const RECT& rect) {
    HWND card = GetCardWindow();
    RECT screen = rect;
    MapWindowPoints(card, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    ForEachFieldWindow([&](HWND window) {
        RECT at;
        if (!GetWindowRect(window, &at) || !Intersect(at, screen))
            return;
        // A see-through field shows what changed beneath it even where its region stays.
        if (!SetFieldRegion(window, MakeFieldWindowRegion(FieldLayerOfWindow(window))) &&
            (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT))
            InvalidateRect(window, nullptr, TRUE);
    });
}

HRGN MakeFieldWindowRegion(LayerHandle layer) {
    FieldFacts facts;
    if (!ReadFacts(layer, &facts) || !facts.window)
        return nullptr;
    HRGN region = nullptr;
    bool above = false;
    LayerHandle at = GetLayerListHead();
    for (int steps = 0; at && steps < kMaxFieldWalk; ++steps) {
        LayerLock<ObjectLayer> lock(at);
        if (!lock)
            break;
        LayerHandle next = lock->next;
        if (at == layer) {
            above = true;
        } else if (above && lock->kind != kObjectText && lock->region && Intersect(lock->bounds, facts.bounds)) {
            if (!region) {
                RECT client;
                GetClientRect(facts.window, &client);
                region = CreateRectRgnIndirect(&client);
            }
            // The layer's region is in card coordinates; the window's in its own.
            HRGN cut = CreateRectRgn(0, 0, 0, 0);
            CombineRgn(cut, lock->region, nullptr, RGN_COPY);
            OffsetRgn(cut, -facts.bounds.left, -facts.bounds.top);
            CombineRgn(region, region, cut, RGN_DIFF);
            DeleteObject(cut);
        }
        at = next;
    }
    return ClippedToCard(region, facts.bounds, facts.window);
}

HCURSOR GetFieldCursor(HWND window) {
    FieldFacts facts;
    if (!ReadFacts(FieldLayerOfWindow(window), &facts))
        return nullptr;
    if (facts.options & kTextReadOnly)
        return reinterpret_cast<HCURSOR>(GetClassLongPtrA(GetCardWindow(), GCLP_HCURSOR));
    return facts.cursorId ? GetCursorById(facts.cursorId) : nullptr;
}

void SetFieldScrollBar(HWND window, bool scrollBar, bool scrollable) {
    ShowFieldScrollBar(window, scrollBar, scrollable);
    RecomputeFrame(window);
    InvalidateRect(window, nullptr, TRUE);
}

void SetFieldBorder(HWND window, bool on) {
    SetBorderBits(window, on);
    RecomputeFrame(window);
}

void SetFieldTransparent(HWND window, bool on) {
    ChangeStyleBits(window, GWL_EXSTYLE, WS_EX_TRANSPARENT, on);
    RecomputeFrame(window);
}

void SetFieldReadOnlyStyle(HWND window, bool on) { ChangeStyleBits(window, GWL_STYLE, ES_READONLY, on); }

void RefreshFieldPalette(HWND window) {
    if (GetDisplayBitsPerPixel() == 8)
        GiveFieldPalette(window);
}
