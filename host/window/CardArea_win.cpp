// The card area: the offscreen's size and depth and the card window around it.
#include "host/window/CardArea.h"

#include <windows.h>

#include "core/system/PluginModule.h"
#include "graphics/pixels/CardOffscreen.h"

void ResizeCardArea(int width, int height, int depth) {
    InitDataBase(GetMainWindow(), width, height, depth, true);
    SizeWindowToCard(width, height);
}

void SizeWindowToCard(int width, int height) {
    HWND window = GetMainWindow();
    if (width <= 0 || height <= 0 || !IsWindow(window))
        return;
    RECT outer = {}, client = {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int borderX = ((outer.right - outer.left) - client.right) / 2;
    const int borderY = ((outer.bottom - outer.top) - client.bottom) / 2;
    SetWindowPos(window, nullptr, 0, 0, width + 2 * borderX, height + 2 * borderY,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame steps (fitting the frame around the card, centring in presentation mode) find
    // no frame window in the plug-in.
}
