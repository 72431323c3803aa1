// A field drawn into the card when its window is not live, and the field's client printed into
// a device context (WM_PRINTCLIENT) through RichEdit's formatting.
#include <richedit.h>

#include "core/text/StringRuns.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/text/TextFields.h"
#include "format/StackFile.h"

namespace {

struct DrawFacts {
    RECT bounds = {};
    uint16_t options = 0, objectFlags = 0, colorIndex = 0;
    HWND window = nullptr;
};

bool ReadDrawFacts(LayerHandle layer, DrawFacts* facts) {
    LayerLock<FieldLayer> field(layer);
    if (!field || field->common.kind != kObjectText)
        return false;
    *facts = {field->common.bounds, field->options, field->objectFlags, field->colorIndex, field->window};
    return true;
}

int TwipsX(HDC dc, int pixels) { return MulDiv(pixels, kTwipsPerInch, GetDeviceCaps(dc, LOGPIXELSX)); }
int TwipsY(HDC dc, int pixels) { return MulDiv(pixels, kTwipsPerInch, GetDeviceCaps(dc, LOGPIXELSY)); }

// The font of the first character, for its metrics.
TEXTMETRICA FirstCharMetrics(HWND window, HDC dc) {
    CHARFORMAT2A format = {};
    TEXTMETRICA metrics = {};
    TextFirstCharFormat(window, &format);
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(format.yHeight, GetDeviceCaps(dc, LOGPIXELSY), kTwipsPerInch);
    lstrcpynA(font.lfFaceName, format.szFaceName, LF_FACESIZE);
    font.lfWeight = (format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (format.dwEffects & CFE_ITALIC) ? 1 : 0;
    font.lfUnderline = (format.dwEffects & CFE_UNDERLINE) ? 1 : 0;
    font.lfCharSet = format.bCharSet;
    OwnedGdiObject<HFONT> made(CreateFontIndirectA(&font));
    SelectedObject selected(dc, made.get());
    GetTextMetricsA(dc, &metrics);
    return metrics;
}

}  // namespace

void PrintRichEditClient(HWND window, HDC dc, int x, int y, bool keyed) {
    RECT client;
    GetClientRect(window, &client);
    if (!keyed) {
        POINT previous;
        OffsetViewportOrgEx(dc, x, y, &previous);
        CallRichEdit(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
        return;
    }
    // A transparent field never had its background set: RichEdit's is the window colour,
    // which is keyed out over what the context holds.
    const COLORREF key = GetSysColor(COLOR_WINDOW);
    MemoryDC memory(dc);
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    SelectedObject selected(memory.get(), bitmap.get());
    if (!selected)
        return;
    OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(key));
    FillRect(memory.get(), &client, brush.get());
    CallRichEdit(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
    TransparentBlt(dc, x, y, client.right, client.bottom, memory.get(), 0, 0, client.right, client.bottom, key);
}

bool PaintTransparentField(HWND window, HDC dc) {
    DrawFacts facts;
    if (!dc || !ReadDrawFacts(FieldLayerOfWindow(window), &facts) || !(facts.objectFlags & kTextTransparent))
        return false;
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    MapWindowPoints(window, GetCardWindow(), &origin, 1);
    MemoryDC memory(dc);
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    SelectedObject selected(memory.get(), bitmap.get());
    if (!selected)
        return false;
    if (HDC offscreen = AcquireOffscreenDC(dc)) {
        BitBlt(memory.get(), 0, 0, client.right, client.bottom, offscreen, origin.x, origin.y, SRCCOPY);
        ReleaseOffscreenDC(offscreen);
    }
    PrintRichEditClient(window, memory.get(), 0, 0, true);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    return true;
}

void RenderFieldInto(HWND window, HDC dc) {
    DrawFacts facts;
    if (!dc || !ReadDrawFacts(FieldLayerOfWindow(window), &facts))
        return;
    RECT client;
    GetClientRect(window, &client);
    if (!(facts.objectFlags & kTextTransparent)) {
        OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(PaletteIndexToColorPlain(facts.colorIndex)));
        FillRect(dc, &client, brush.get());
    }
    const TEXTMETRICA metrics = FirstCharMetrics(window, dc);
    const bool frame = (facts.options & kTextFrame) != 0;
    RECT area = {TwipsX(dc, client.left), TwipsY(dc, client.top), 0, 0};
    if (IsHebrewLanguage() && (facts.options & kTextScrollBar))
        area.left += TwipsX(dc, GetSystemMetrics(SM_CXVSCROLL));
    if (frame) {
        area.left += TwipsX(dc, GetSystemMetrics(SM_CXBORDER));
        area.top += TwipsY(dc, GetSystemMetrics(SM_CYBORDER)) + 10;
        if (metrics.tmAscent > 10 && metrics.tmInternalLeading > 0)
            area.top += 20;
    }
    if (metrics.tmAscent >= 9)
        area.left += 10;
    area.right = TwipsX(dc, client.right - 2);
    area.bottom = TwipsY(dc, client.bottom * 2);

    FORMATRANGE range = {};
    range.hdc = dc;
    range.hdcTarget = dc;
    range.rc = area;
    range.rcPage = area;
    const LONG firstLine = static_cast<LONG>(SendMessageA(window, EM_GETFIRSTVISIBLELINE, 0, 0));
    range.chrg.cpMin = static_cast<LONG>(SendMessageA(window, EM_LINEINDEX, firstLine, 0));
    range.chrg.cpMax = -1;
    const int mode = SetBkMode(dc, TRANSPARENT);
    const LRESULT formatted = SendMessageA(window, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    SendMessageA(window, EM_FORMATRANGE, FALSE, 0);
    SetBkMode(dc, mode);
    // Some RichEdits format nothing into a memory context: RichEdit paints its client itself.
    if (formatted <= range.chrg.cpMin && TextGetLength(window) > range.chrg.cpMin) {
        // It paints in client coordinates; the context starts at the window's corner.
        RECT outer;
        POINT origin = {0, 0};
        GetWindowRect(window, &outer);
        ClientToScreen(window, &origin);
        PrintRichEditClient(window, dc, origin.x - outer.left, origin.y - outer.top,
                            (facts.objectFlags & kTextTransparent) != 0);
    }
}

void PrintFieldScrollBar(HWND window, HDC dc) {
    if (!(GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL))
        return;
    // The non-client printing draws the frame only: the bar, in the window's coordinates, is
    // drawn here as a bar without a thumb.
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&client, origin.x - outer.left, origin.y - outer.top);
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    const RECT bar = {client.right, client.top, client.right + GetSystemMetrics(SM_CXVSCROLL), client.bottom};
    if (bar.bottom - bar.top < 2 * arrow)
        return;
    FillRect(dc, &bar, GetSysColorBrush(COLOR_SCROLLBAR));
    RECT up = {bar.left, bar.top, bar.right, bar.top + arrow};
    RECT down = {bar.left, bar.bottom - arrow, bar.right, bar.bottom};
    DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP);
    DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN);
}

void PrintFieldFrame(HWND window, HDC dc) {
    if (!(GetWindowLongA(window, GWL_STYLE) & WS_BORDER))
        return;
    RECT frame;
    GetWindowRect(window, &frame);
    OffsetRect(&frame, -frame.left, -frame.top);
    // The colour the context can show as it is: on a palette display a colour it lacks is
    // dithered, and a one-pixel line of it shows as dots.
    OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(GetNearestColor(dc, GetSysColor(COLOR_WINDOWFRAME))));
    FrameRect(dc, &frame, brush.get());
}

void DrawFieldLayer(HDC cardDC, LayerHandle layer) {
    DrawFacts facts;
    if (!cardDC || !ReadDrawFacts(layer, &facts) || !facts.window || !IsWindow(facts.window))
        return;
    const bool shown = GetCardView().objectsShown;
    if (IsWindowVisible(facts.window) && shown) {
        InvalidateRect(facts.window, nullptr, TRUE);
        if (!(facts.objectFlags & kObjectHidden) && (facts.options & (kTextScrollBar | kTextFrame)))
            SendMessageA(facts.window, WM_NCPAINT, 1, 0);
        UpdateWindow(facts.window);
        return;
    }
    if ((facts.objectFlags & kObjectHidden) && !shown)
        return;
    const RECT& r = facts.bounds;
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return;
    MemoryDC memory(cardDC);
    SelectedPalette palette(memory.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(cardDC, width, height));
    SelectedObject selected(memory.get(), bitmap.get());
    if (!selected)
        return;
    if (facts.objectFlags & kTextTransparent) {
        BitBlt(memory.get(), 0, 0, width, height, cardDC, r.left, r.top, SRCCOPY);
    } else {
        // What the printing leaves (the client's last row, the frame's corners) is the field's
        // own colour, not the new bitmap's black.
        const RECT all = {0, 0, width, height};
        OwnedGdiObject<HBRUSH> back(CreateSolidBrush(PaletteIndexToColorPlain(facts.colorIndex)));
        FillRect(memory.get(), &all, back.get());
    }
    SendMessageA(facts.window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
    SendMessageA(facts.window, WM_PRINT, reinterpret_cast<WPARAM>(memory.get()), PRF_NONCLIENT);
    BitBlt(cardDC, r.left, r.top, width, height, memory.get(), 0, 0, SRCCOPY);
}
