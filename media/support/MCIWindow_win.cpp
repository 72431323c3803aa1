#include "media/support/MediaWindows.h"

#include "core/system/PluginModule.h"
#include "media/support/MediaElement.h"
#include "media/support/MediaRects.h"
#include "quicktime/VfwCalls.h"

MCIWindow::MCIWindow(const MediaElement& element, const Window& parent) {
    rect = element.rect;
    const DWORD style = (element.flags & kMediaFlagController) ? kMCIWindowStyle : kMCIWindowStyleNoPlayBar;
    // Video for Windows is loaded at start-up; without it there is no MCIWnd and no window.
    HMODULE vfw = GetModuleHandleA("msvfw32.dll");
    window = vfw ? CallMCIWndCreate(vfw, parent.window, GetAppInstance(), style, nullptr) : nullptr;
    if (window && !IsRectZero(rect))
        MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

MCIWindow::~MCIWindow() {
    if (window)
        SendMessageA(window, WM_CLOSE, 0, 0);
    window = nullptr;
}
