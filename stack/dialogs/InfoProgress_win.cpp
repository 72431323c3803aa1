// INF_PROGRESS: the modeless window of a size and colour change, a bar under its text filled as
// the cards are converted; and the memory test the change makes first.
#include <windows.h>

#include <algorithm>

#include "core/ui/GdiGuards.h"
#include "resources/info_ids.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "stack/dialogs/InfoDialogsRecord.h"
#include "stack/dialogs/StackSizeDialogs.h"

namespace {

HWND g_window = nullptr;
int g_done = 0;
int g_total = 0;

// The bar in client pixels, from the text control's place in dialog units.
BarRect BarInClient(HWND dialog) {
    RECT text{};
    const HWND control = GetDlgItem(dialog, INF_PROGRESS_TEXT);
    GetWindowRect(control, &text);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&text), 2);
    return ProgressBarRect(text.left, text.top, text.right, text.bottom);
}

void PaintBar(HWND dialog, HDC dc) {
    const BarRect bar = BarInClient(dialog);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Rectangle(dc, bar.left, bar.top, bar.right, bar.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    const BarRect fill = ProgressFillRect(bar, g_done, g_total);
    if (g_done > 0 && fill.right > fill.left) {
        const OwnedGdiObject grey(CreateSolidBrush(RGB(0x80, 0x80, 0x80)));
        const RECT r{fill.left, fill.top, fill.right, fill.bottom};
        FillRect(dc, &r, static_cast<HBRUSH>(grey.get()));
    }
}

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        RECT r{};
        GetWindowRect(dialog, &r);
        SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(dialog, &ps);
        PaintBar(dialog, dc);
        EndPaint(dialog, &ps);
        return TRUE;
    }
    default: return FALSE;
    }
}

}  // namespace

void OpenProgressWindow(HINSTANCE instance, HWND parent) {
    CloseProgressWindow();
    g_done = 0;
    g_total = 2 * std::max(1, GetCardCount());
    // Only a window of this thread can own it: another thread's may not answer while we convert.
    if (parent && GetWindowThreadProcessId(parent, nullptr) != GetCurrentThreadId())
        parent = nullptr;
    g_window = CreateDialogParamA(instance, "INF_PROGRESS", parent, ProgressProc, 0);
    if (!g_window)
        return;
    ShowWindow(g_window, SW_SHOWNOACTIVATE);
    UpdateWindow(g_window);
}

void AdvanceProgress() {
    ++g_done;
    if (!g_window)
        return;
    const WindowDC dc(g_window);
    if (dc)
        PaintBar(g_window, dc.get());
}

void CloseProgressWindow() {
    if (g_window)
        DestroyWindow(g_window);
    g_window = nullptr;
}

HWND GetProgressWindow() { return g_window; }
int GetProgressDone() { return g_done; }

bool CanAllocateMemory(uint32_t size) {
    if (size == 0)
        return true;
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return false;
    GlobalFree(block);
    return true;
}
