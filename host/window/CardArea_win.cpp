// The card area: the offscreen's size and depth and the card window around it.
#include <windows.h>

#include <span>

#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/browser/WindowAttach.h"

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

SIZE GetDibResourceSize(const char* name) {
    SIZE size = {0, 0};
    HINSTANCE module = GetAppInstance();
    HRSRC found = name ? FindResourceA(module, name, "DIB") : nullptr;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!data)
        return size;
    const std::span<const uint8_t> bytes(data, SizeofResource(module, found));
    ByteReader reader(bytes, 18);
    const uint32_t width = reader.U32LE();
    const uint32_t height = reader.U32LE();
    if (reader.ok()) {
        size.cx = static_cast<LONG>(width);
        size.cy = static_cast<LONG>(height);
    }
    return size;
}
