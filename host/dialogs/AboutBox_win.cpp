// The about box and its scrolling credits.
#include "host/dialogs/AboutBox.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/text/StringRuns.h"
#include "core/text/TextBlock.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "graphics/dib/BmpFile.h"
#include "graphics/pixels/DibPalette.h"
#include "resources/about_ids.h"

namespace {

// The title picture as a packed DIB: header and colour table, then the bits.
struct TitlePicture {
    const uint8_t* dib = nullptr;  // behind the file header
    size_t dibSize = 0;
    const uint8_t* bits = nullptr;
    int width = 0, height = 0, bitCount = 0;
};

bool LoadTitlePicture(TitlePicture* title) {
    uint32_t size = 0;
    const auto* data = static_cast<const uint8_t*>(LoadResData("TITLE", "DIB", &size));
    if (!data || size < kBmpFileHeaderBytes + sizeof(BITMAPINFOHEADER))
        return false;
    const std::span<const uint8_t> bytes(data, size);
    const uint32_t bitsOffset = GetU32(bytes, 10);
    title->dib = data + kBmpFileHeaderBytes;
    title->dibSize = size - kBmpFileHeaderBytes;
    const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(title->dib);
    title->width = info->biWidth;
    title->height = info->biHeight;
    title->bitCount = info->biBitCount;
    const size_t rowBytes = (static_cast<size_t>(title->width) * title->bitCount + 31) / 32 * 4;
    if (title->width <= 0 || title->height <= 0 || bitsOffset > size ||
        (size - bitsOffset) / rowBytes < static_cast<size_t>(title->height))
        return false;
    title->bits = data + bitsOffset;
    return true;
}

Handle ScrollerOf(HWND dialog) { return static_cast<Handle>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// Runs fn on the locked scroller record; nothing without one.
template <class Fn>
void WithScroller(HWND dialog, Fn fn) {
    const Handle scroller = ScrollerOf(dialog);
    HandleLock lock(scroller);
    if (lock && GetHandleSize(scroller) >= sizeof(TextBlockRecord))
        fn(*reinterpret_cast<TextBlockRecord*>(lock.get()));
}

BYTE AboutCharset() { return IsHebrewLanguage() ? HEBREW_CHARSET : ANSI_CHARSET; }

HFONT MakeArial(int height, int weight) {
    return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, AboutCharset(), OUT_TT_ONLY_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
}

Handle MakeScroller(Handle text) {
    const Handle scroller = NewHandle(sizeof(TextBlockRecord));
    HandleLock lock(scroller);
    if (!lock)
        return scroller;
    auto* record = reinterpret_cast<TextBlockRecord*>(lock.get());
    std::memset(record, 0, sizeof *record);
    record->font = MakeArial(12, FW_NORMAL);
    record->text = text;
    return scroller;
}

// Everything the box made: fonts, palette, timer 2, the scroller. Safe to run twice.
void ReleaseAbout(HWND dialog) {
    KillTimer(dialog, kCreditsTimer);
    WithScroller(dialog, [](TextBlockRecord& r) {
        if (r.font)
            DeleteObject(r.font);
        if (r.palette)
            DeleteObject(r.palette);
        r.font = nullptr;
        r.palette = nullptr;
    });
    Handle scroller = ScrollerOf(dialog);
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    DisposeHandleAndClear(&scroller);
}

void DrawNoticeLine(HDC dc, HWND dialog) {
    char text[257] = {};
    const int length = LoadResString(IDS_ABOUT_NOTICE, text, sizeof text);
    if (length <= 0)
        return;
    OwnedGdiObject<HFONT> font(MakeArial(16, FW_BOLD));
    SelectedObject selected(dc, font.get());
    RECT client{};
    GetClientRect(dialog, &client);
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, length, &extent);
    const int x = (client.right - extent.cx) / 2;
    const int y = client.bottom - 2 - extent.cy;
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, x, y, text, length);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, x - 1, y - 1, text, length);
}

void DrawAboutText(HDC dc, HWND dialog) {
    const int saved = SaveDC(dc);
    OwnedGdiObject<HFONT> font(MakeArial(13, FW_NORMAL));
    SelectObject(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    if (IsHebrewLanguage())
        SetTextAlign(dc, GetTextAlign(dc) | TA_RTLREADING);
    FillRect(dc, &kCreditsPanel, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    bool hasText = false;
    WithScroller(dialog, [&](TextBlockRecord& r) {
        if (IsRectEmpty(&r.rect)) {
            r.rect = kCreditsArea;
            r.offset = kCreditsArea.bottom - kCreditsArea.top;
        }
        hasText = r.text != 0;
    });
    DrawNoticeLine(dc, dialog);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawAboutVersionLine(dc, kVersionLinePlace.x, kVersionLinePlace.y);
    if (hasText)
        DrawTextBlock(dc, ScrollerOf(dialog));
    RestoreDC(dc, saved);
}

void DrawAbout(HDC dc, HWND dialog, const RECT& painted) {
    TitlePicture title;
    if (!LoadTitlePicture(&title))
        return;
    HPALETTE palette = nullptr;
    bool kept = false;
    WithScroller(dialog, [&](TextBlockRecord& r) {
        if (!r.palette)
            r.palette = CreatePaletteFromDib(title.dib, title.dibSize);
        palette = r.palette;
        kept = true;
    });
    OwnedGdiObject<HPALETTE> own(kept ? nullptr : CreatePaletteFromDib(title.dib, title.dibSize));
    if (!kept)
        palette = own.get();
    if (!palette && title.bitCount <= 8)
        return;
    HPALETTE previous = palette ? SelectPalette(dc, palette, FALSE) : nullptr;
    if (palette)
        RealizePalette(dc);
    StretchDIBits(dc, 0, 0, title.width, title.height, 0, 0, title.width, title.height, title.bits,
                  reinterpret_cast<const BITMAPINFO*>(title.dib), DIB_RGB_COLORS, SRCCOPY);
    DrawAboutText(dc, dialog);
    if (previous)
        SelectPalette(dc, previous, FALSE);
    WithScroller(dialog, [&](TextBlockRecord& r) {
        if (!(r.flags & kCreditsRunning) && r.palette)
            UnionRect(&r.pausedRect, &r.pausedRect, &painted);
    });
}

void ScrollCredits(HWND dialog) {
    bool moved = false;
    WithScroller(dialog, [&](TextBlockRecord& r) {
        if (!(r.flags & kCreditsRunning) || !r.text)
            return;
        if (--r.offset < r.lowerBound)
            r.offset = kCreditsArea.bottom - kCreditsArea.top;
        moved = true;
    });
    if (!moved)
        return;
    WindowDC dc(dialog);
    HPALETTE palette = nullptr;
    WithScroller(dialog, [&](TextBlockRecord& r) { palette = r.palette; });
    HPALETTE previous = palette ? SelectPalette(dc.get(), palette, FALSE) : nullptr;
    if (palette)
        RealizePalette(dc.get());
    DrawTextBlock(dc.get(), ScrollerOf(dialog));
    if (previous)
        SelectPalette(dc.get(), previous, FALSE);
}

void OnActivate(HWND dialog, WORD state) {
    RECT repaint{};
    WithScroller(dialog, [&](TextBlockRecord& r) {
        if (state == WA_INACTIVE) {
            r.flags &= ~kCreditsRunning;
            return;
        }
        r.flags |= kCreditsRunning;
        if (state == WA_CLICKACTIVE)
            r.flags |= kCreditsActivatingClick;
        repaint = r.pausedRect;
        SetRectEmpty(&r.pausedRect);
    });
    if (!IsRectEmpty(&repaint))
        InvalidateRect(dialog, &repaint, FALSE);
}

void OnClick(HWND dialog) {
    bool swallow = false;
    WithScroller(dialog, [&](TextBlockRecord& r) {
        swallow = (r.flags & kCreditsActivatingClick) != 0;
        r.flags &= ~kCreditsActivatingClick;
    });
    if (swallow)
        return;
    ReleaseAbout(dialog);
    ShowWindow(dialog, SW_HIDE);
    if (const HWND owner = GetWindow(dialog, GW_OWNER)) {
        BringWindowToTop(owner);
        InvalidateRect(owner, nullptr, TRUE);
    }
    EndDialog(dialog, 0);
}

BOOL OnInit(HWND dialog, Handle text) {
    const SIZE size = GetDibResourceSize("TITLE");
    if (size.cx <= 0 || size.cy <= 0) {
        EndDialog(dialog, 2);
        return TRUE;
    }
    // The scroller also holds the click flags, so it is made without credits too.
    SetWindowLongPtrA(dialog, DWLP_USER, static_cast<LONG_PTR>(MakeScroller(text)));
    if (text && !SetTimer(dialog, kCreditsTimer, kCreditsTimerMs, nullptr)) {
        WithScroller(dialog, [](TextBlockRecord& r) { r.text = 0; });  // shown still, not scrolling
    }
    // A plain one-pixel border: the template's caption (which names the box) and the edges the
    // dialog manager adds are taken off.
    SetWindowLongA(dialog, GWL_STYLE, (GetWindowLongA(dialog, GWL_STYLE) & ~WS_DLGFRAME) | WS_BORDER);
    const LONG edges = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;
    SetWindowLongA(dialog, GWL_EXSTYLE, GetWindowLongA(dialog, GWL_EXSTYLE) & ~edges);
    const int bx = GetSystemMetrics(SM_CXBORDER), by = GetSystemMetrics(SM_CYBORDER);
    SetWindowPos(dialog, nullptr, 0, 0, size.cx + 2 * bx, size.cy + 2 * by, SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    CenterWindowOnParent(dialog);
    ShowWindow(dialog, SW_SHOW);
    return TRUE;
}

}  // namespace

void ShowAboutBox(HWND owner) {
    uint32_t size = 0;
    const auto* credits = static_cast<const uint8_t*>(LoadResData("ABOUT_STR", "TEXT", &size));
    Handle text = credits && size ? NewHandleFromBytes({credits, size}) : 0;
    ResDialogBoxParam(owner, AboutDlgProc, "ABOUT", static_cast<LPARAM>(text));
    DisposeHandleAndClear(&text);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInit(dialog, static_cast<Handle>(lParam));
    case WM_ACTIVATE:
        OnActivate(dialog, LOWORD(wParam));
        return FALSE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(dialog, &paint);
        if (dc)
            DrawAbout(dc, dialog, paint.rcPaint);
        EndPaint(dialog, &paint);
        return TRUE;
    }
    case WM_TIMER:
        if (wParam == kCreditsTimer)
            ScrollCredits(dialog);
        return TRUE;
    case WM_LBUTTONUP:
        OnClick(dialog);
        return TRUE;
    case WM_QUERYNEWPALETTE: {
        HPALETTE palette = nullptr;
        WithScroller(dialog, [&](TextBlockRecord& r) { palette = r.palette; });
        if (!palette)
            return FALSE;
        WindowDC dc(dialog);
        HPALETTE previous = SelectPalette(dc.get(), palette, FALSE);
        if (RealizePalette(dc.get()) > 0)
            InvalidateRect(dialog, nullptr, FALSE);
        SelectPalette(dc.get(), previous, FALSE);
        return TRUE;
    }
    case WM_DESTROY:
        ReleaseAbout(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

std::string AboutVersionLine() {
    char label[256] = {};
    if (LoadResString(IDS_ABOUT_VERSION, label, sizeof label) <= 0)
        return {};
    char path[MAX_PATH] = {};
    if (!GetModuleFileNameA(GetAppInstance(), path, sizeof path))
        return {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return {};
    std::vector<uint8_t> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data()))
        return {};
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) || length < 4)
        return {};
    const auto* pair = static_cast<const WORD*>(value);
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\FileVersion", pair[0], pair[1]);
    if (!VerQueryValueA(block.data(), query, &value, &length) || !value)
        return {};
    const char* version = static_cast<const char*>(value);
    const std::string text(version, strnlen(version, std::min<UINT>(length, 31)));
    return std::string(label) + " " + text + " ";
}

void DrawAboutVersionLine(HDC dc, int x, int y) {
    const std::string line = AboutVersionLine();
    if (!line.empty())
        TextOutA(dc, x, y, line.c_str(), static_cast<int>(line.size()));
}
