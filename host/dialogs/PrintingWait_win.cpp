// Waiting in the slide show: on the message queue, paint, timer and posted messages dispatched,
// mouse input dropped, keys left to the show.
#include <algorithm>

#include "core/system/Ticks.h"
#include "host/dialogs/Printing.h"

namespace {

constexpr DWORD kMsPerTick = 17;
constexpr DWORD kLongestSleepMs = 100;

bool IsMouseInput(UINT message) {
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

int WaitForKeyOrTicks(uint32_t ticks, bool anyKey) {
    const uint32_t start = GetTicks();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return kWaitQuit;
            }
            if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
                const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
                if (msg.wParam == VK_ESCAPE && (down || msg.message == WM_CHAR))
                    return VK_ESCAPE;
                if (anyKey && down)
                    return static_cast<int>(msg.wParam);
                continue;
            }
            if (IsMouseInput(msg.message))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD sleep = kLongestSleepMs;
        if (ticks) {
            const uint32_t elapsed = GetTicks() - start;
            if (elapsed >= ticks)
                return kWaitTimedOut;
            sleep = std::clamp<DWORD>((ticks - elapsed) * kMsPerTick, 1, kLongestSleepMs);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, sleep, QS_ALLINPUT);
    }
}

bool WaitSecondsOrEscape(uint32_t seconds) {
    const uint32_t ticks = std::min<uint32_t>(seconds, 0x00FFFFFF) * 60;
    return ticks && WaitForKeyOrTicks(ticks, false) == VK_ESCAPE;
}
