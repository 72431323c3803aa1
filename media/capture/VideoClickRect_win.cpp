// The live video click rectangle: a press over the live video is passed on to the card once.
#include <windows.h>

#include <optional>

#include "media/MediaManager.h"
#include "media/capture/Capture.h"

namespace {

RECT g_clickRect{};
// A press IsInVideoClickRect posted back: it passes once and is not posted again.
std::optional<POINT> g_reposted;

}  // namespace

void SetVideoClickRect(const RECT& rect) { g_clickRect = rect; }

RECT VideoClickRect() { return g_clickRect; }

int IsInVideoClickRect(uint32_t mediaFlags, HWND window, UINT message, int x, int y) {
    if (message != WM_LBUTTONDOWN || !(mediaFlags & kMediaCaptureDriver) || IsRectEmpty(&g_clickRect))
        return 0;
    const POINT point{x, y};
    if (g_reposted && g_reposted->x == x && g_reposted->y == y) {
        g_reposted.reset();
        return 0;
    }
    if (!PtInRect(&g_clickRect, point))
        return 0;
    g_reposted = point;
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    return 1;
}
