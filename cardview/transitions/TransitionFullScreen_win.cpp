// Transition 28: the whole screen fades (8-bit displays) or dissolves (deeper ones) to the new
// card, in a full-screen "SlideShowWindowClass" window laid over the display.
#include <windows.h>

#include "core/system/PluginModule.h"
#include "core/system/Ticks.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "cardview/transitions/CardTransitions.h"
#include "cardview/transitions/TransitionContext.h"
#include "cardview/transitions/TransitionTiming.h"

namespace {

constexpr char kSlideShowClass[] = "SlideShowWindowClass";

void DrawBitmap(HDC dc, HBITMAP bitmap, int width, int height) {
    MemoryDC memory(dc);
    SelectedObject selected(memory.get(), bitmap);
    if (selected)
        BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

// One second (60 ticks) that Esc ends early.
void PauseUnlessEscape() {
    const uint32_t start = GetTicks();
    while (GetTicks() - start < 60) {
        if (GetAsyncKeyState(VK_ESCAPE) & 0x8000)
            break;
        TransitionMediaIdle();
    }
}

// The screen dissolves to black, pauses, and dissolves to the new screen (the context's source).
void FullScreenDissolve(const TransitionContext& screen) {
    {
        MemoryDC blackDC(screen.dc);
        OwnedGdiObject<HBITMAP> black(CreateCompatibleBitmap(screen.dc, screen.rect.right, screen.rect.bottom));
        SelectedObject selected(blackDC.get(), black.get());
        if (selected) {
            PatBlt(blackDC.get(), 0, 0, screen.rect.right, screen.rect.bottom, BLACKNESS);
            TransitionContext toBlack = screen;
            toBlack.source = black.get();
            toBlack.sourceDC = blackDC.get();
            DissolveOnto(toBlack);
        }
    }
    PauseUnlessEscape();
    if (!DissolveOnto(screen))
        BitBlt(screen.dc, 0, 0, screen.rect.right, screen.rect.bottom, screen.sourceDC, 0, 0, SRCCOPY);
}

}  // namespace

HWND CreateSlideShowWindow(int width, int height) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNWINDOW;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetAppInstance();
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = kSlideShowClass;
        registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
        if (!registered)
            return nullptr;
    }
    return CreateWindowExA(0, kSlideShowClass, "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                           GetAppInstance(), nullptr);
}

HBITMAP CaptureScreen(HDC dc, bool remap) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    WindowDC screen(nullptr);
    MemoryDC memory(dc);
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
    if (!screen || !memory || !bitmap)
        return nullptr;
    {
        SelectedObject selected(memory.get(), bitmap.get());
        SelectedPalette palette(memory.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        if (!selected)
            return nullptr;
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
    }
    if (remap)
        RemapBitmapTopColors(dc, bitmap.get());
    return bitmap.release();
}

HBITMAP ComposeScreenWithCard(HDC dc, HBITMAP screen, HBITMAP card, const RECT& screenRect, const RECT& cardRect) {
    BITMAP info = {};
    if (!GetObjectA(screen, sizeof info, &info))
        return nullptr;
    OwnedGdiObject<HBITMAP> composed(CreateCompatibleBitmap(dc, info.bmWidth, info.bmHeight));
    MemoryDC target(dc), source(dc);
    SelectedObject selectedTarget(target.get(), composed.get());
    if (!selectedTarget)
        return nullptr;
    {
        SelectedObject selectedSource(source.get(), screen);
        BitBlt(target.get(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
    }
    {
        SelectedObject selectedSource(source.get(), card);
        BitBlt(target.get(), screenRect.left, screenRect.top, screenRect.right - screenRect.left,
               screenRect.bottom - screenRect.top, source.get(), cardRect.left, cardRect.top, SRCCOPY);
    }
    return composed.release();
}

void RunFullScreenTransition(const TransitionContext& card) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const bool fade = GetDisplayBitsPerPixel() <= 8;
    HWND window = CreateSlideShowWindow(width, height);
    if (!window)
        return;
    {
        WindowDC dc(window);
        OwnedGdiObject<HBITMAP> capture(CaptureScreen(dc.get(), fade));
        if (dc && capture) {
            SelectedPalette palette(dc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
            SetWindowPos(window, HWND_TOPMOST, 0, 0, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
            DrawBitmap(dc.get(), capture.get(), width, height);
            // The card's rectangle in the full-screen window's coordinates (the source holds no
            // more than the card).
            RECT placed = card.rect;
            MapWindowPoints(card.window, window, reinterpret_cast<POINT*>(&placed), 2);
            OwnedGdiObject<HBITMAP> newScreen(
                ComposeScreenWithCard(dc.get(), capture.get(), card.source, placed, card.rect));
            MemoryDC newScreenDC(dc.get());
            SelectedObject selected(newScreenDC.get(), newScreen.get());
            SelectedPalette newPalette(newScreenDC.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
            TransitionContext whole = card;
            whole.dc = dc.get();
            whole.rect = {0, 0, width, height};
            whole.source = newScreen.get();
            whole.sourceDC = newScreenDC.get();
            if (selected) {
                if (!fade)
                    FullScreenDissolve(whole);
                else if (!FadeThroughColor(whole, RGB(0, 0, 0)))
                    RunFastest(whole);
            }
        }
    }
    // The card window shows the new card before the full-screen window goes.
    BlitTransitionRect(card, card.rect, card.source);
    DestroyWindow(window);
}
