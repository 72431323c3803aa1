// The procedure of "QTWndClass" windows: the element's idle time, QuickTime events for its
// controller, and the mouse passed on to the card where card objects lie over a clipped movie.
#include "media/support/MediaWindows.h"

#include <windowsx.h>

#include "media/support/MediaElement.h"
#include "objects/buttons/Buttons.h"
#include "quicktime/QtCalls.h"

namespace {

MediaToolCursorHook g_toolCursor = nullptr;
// Idle may draw, and drawing sends messages back here; those nested messages skip it.
bool g_inIdle = false;

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK; }

// Where the message happened, in the window: a mouse message carries it, others take the cursor.
POINT MessagePoint(HWND window, UINT message, LPARAM lParam) {
    POINT p{};
    if (IsMouseMessage(message)) {
        p = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    } else {
        GetCursorPos(&p);
        ScreenToClient(window, &p);
    }
    return p;
}

POINT ToCard(HWND window, HWND card, POINT p) {
    MapWindowPoints(window, card, &p, 1);
    return p;
}

void RunIdle(QTElement* element) {
    if (g_inIdle || (element->state & kMediaStateDone))
        return;
    g_inIdle = true;
    element->Idle();
    g_inIdle = false;
}

// The controller's share of the message; true when it went to the card instead (answer 1).
bool PassToController(HWND window, QTElement* element, UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT at = MessagePoint(window, message, lParam);
    MSG msg{window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), at};
    ClientToScreen(window, &msg.pt);
    QtEventRecord event{};
    WinEventToMacEvent(&msg, &event);
    if (element->mode == kQTModeMovie && element->clip && IsMouseMessage(message)) {
        if (PtInRgn(QtPoint{static_cast<int16_t>(at.y), static_cast<int16_t>(at.x)}, element->clip)) {
            // On the visible movie: the current tool's cursor, unless the movie brings its own.
            if (!(element->state & kMediaStateControllerType) && g_toolCursor)
                SetCursor(g_toolCursor());
        } else {
            // Over a card object lying on the movie: the object's, through the card window.
            HWND card = GetParent(window);
            const POINT p = ToCard(window, card, at);
            SendMessageA(card, message, wParam, MAKELPARAM(p.x, p.y));
            SetCursor(reinterpret_cast<HCURSOR>(GetClassLongPtrA(card, GCLP_HCURSOR)));
            return true;
        }
    }
    MCIsPlayerEvent(element->controller, &event);
    return false;
}

}  // namespace

void SetMediaToolCursorHook(MediaToolCursorHook hook) { g_toolCursor = hook; }

LRESULT CALLBACK QTWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* element = reinterpret_cast<QTElement*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (element && element->controller) {
        RunIdle(element);
        if (element->mode == kQTModeSound) {
            MCIdle(element->controller);
            return DefWindowProcA(window, message, wParam, lParam);
        }
    }
    if (element && element->controller && GetNativeWindowPort(window)) {
        if (PassToController(window, element, message, wParam, lParam))
            return 1;
    }
    switch (message) {
    case WM_MOUSEMOVE: {
        if (!element || (element->flags & kMediaFlagOverObjects)) {
            ResetRolloverButton();
            return 0;
        }
        // The buttons under the movie follow the mouse as on the card itself; the card window
        // performs what a rollover starts.
        HWND card = GetParent(window);
        const POINT p = ToCard(window, card, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        SendMessageA(card, kButtonsUnderMovieMessage, 0, MAKELPARAM(p.x, p.y));
        return 0;
    }
    case WM_LBUTTONDOWN: {
        if (!element || (element->flags & kMediaFlagOverObjects))
            return 0;
        HWND card = GetParent(window);
        const POINT p = ToCard(window, card, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return SendMessageA(card, WM_LBUTTONDOWN, wParam, MAKELPARAM(p.x, p.y));
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_CREATE:
        CreatePortAssociation(window, nullptr, 1);
        return 0;
    case WM_DESTROY:
        DestroyPortAssociation(GetNativeWindowPort(window));
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
