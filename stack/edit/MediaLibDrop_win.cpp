// MINIMAL until the media library is built: nothing is written.
#include "stack/edit/MediaLibDrop.h"

#include "core/system/PluginModule.h"

bool DropObjectToMediaLib(LayerHandle, POINT) { return false; }

bool RectOverlapsCardWindow(const RECT& rect) {
    RECT client{};
    HWND window = GetMainWindow();
    if (!window || !GetClientRect(window, &client)) return true;
    RECT overlap;
    return IntersectRect(&overlap, &client, &rect) != 0;
}
