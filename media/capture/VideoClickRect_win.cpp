// The live video click rectangle: a press over the live video is passed on to the card once.
#include <windows.h>

#include "media/MediaManager.h"
#include "media/capture/Capture.h"

namespace {

RECT g_clickRect{};

}  // namespace

void SetVideoClickRect(const RECT& rect) { g_clickRect = rect; }

RECT VideoClickRect() { return g_clickRect; }

int IsInVideoClickRect(uint32_t mediaFlags, HWND window, UINT message, int x, int y) {
    if (message != WM_LBUTTONDOWN || !(mediaFlags & kMediaCaptureDriver) || IsRectEmpty(&g_clickRect))
        return 0;
    // The press posted goes to the window itself, which no child tells of again: every press
    // at the live video is posted once, the second at the same pixel as well.
    const POINT point{x, y};
    if (!PtInRect(&g_clickRect, point))
        return 0;
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    return 1;
}
