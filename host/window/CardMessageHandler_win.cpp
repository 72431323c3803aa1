// Pre-dispatch and the message table of the card window.
#include "host/window/CardMessageHandler.h"

#include <shellapi.h>
#include <windowsx.h>

#include "actions/ActionServices.h"
#include "actions/NbaModules.h"
#include "core/events/EditorInput.h"
#include "core/events/MouseHooks.h"
#include "core/ui/Alerts.h"
#include "core/ui/CursorCache.h"
#include "core/ui/ToolNumbers.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "core/ui/WindowUtils.h"
#include "layers/ObjectLayer.h"
#include "graphics/palette/AppPalette.h"
#include "host/menus/MenuCommands.h"
#include "host/player/ButtonCycleKeys.h"
#include "host/state/CardHandlerState.h"
#include "host/state/MenuOptions.h"
#include "host/window/ContextMenu.h"
#include "host/window/DroppedFiles.h"
#include "host/window/PeriodicTick.h"
#include "host/window/TextFieldProc.h"
#include "host/window/WindowServices.h"
#include "logo/Logo.h"
#include "media/MediaManager.h"
#include "media/animation/AnimPlayback.h"
#include "media/support/MediaWindows.h"
#include "objects/ObjectServices.h"
#include "paint/PaintTools.h"

namespace {

constexpr UINT kTextLinkNotify = 1803;
constexpr UINT kMediaNotify = 1224;
constexpr LPARAM kMciWndNotifyCode = 525;
constexpr UINT kNotifyMessage = 78;

LRESULT OnNotify(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->code != kTextLinkNotify)
        return 0;
    // The link notification carries the mouse message that struck the link.
    struct LinkNotify {
        NMHDR header;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    const auto* link = reinterpret_cast<const LinkNotify*>(lParam);
    if (link->msg == WM_LBUTTONUP)
        OpenDetectedUrl(header->hwndFrom, lParam);
    return 0;
}

// A browser that shows our main menu in its page's bar tells the card when one of its menus
// opens, with its place in the bar; any other menu (the card's own context menu) is not ours
// to update here.
LRESULT OnInitMenuPopup(HWND window, WPARAM wParam, LPARAM lParam) {
    const auto menu = reinterpret_cast<HMENU>(wParam);
    const int position = LOWORD(lParam);
    const HWND page = GetAncestor(window, GA_ROOT);
    const HMENU bar = page && page != window ? GetMenu(page) : nullptr;
    if (!HIWORD(lParam) && bar && GetSubMenu(bar, position) == menu)
        UpdateMenus(window, position, menu, false);
    return 0;
}

LRESULT OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HPALETTE previous = nullptr;
    if (dc && GetAppPalette() && (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)) {
        previous = SelectPalette(dc, GetAppPalette(), FALSE);
        RealizePalette(dc);
    }
    RedrawCardFrame(window, paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right, paint.rcPaint.bottom);
    if (previous)
        SelectPalette(dc, previous, FALSE);
    EndPaint(window, &paint);
    // The card was drawn without the animated objects that play over it: they go back on it.
    if (AnimWorld* world = GetAnimWorld())
        RedrawAllSprites(world);
    DrawWindowEdge(window);
    return 0;
}

bool LogoTakes(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return IsBrowseMode() && LogoCardEvent(window, static_cast<int>(GetCurrentTool()), message, wParam, lParam) != 0;
}

}  // namespace

LRESULT DefaultChildProcessing(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

POINT CardPointFromLParam(HWND window, LPARAM lParam, bool unmagnify, POINT* raw) {
    const CardPoint p = LongToPoint(static_cast<uint32_t>(lParam));
    POINT point = {p.x, p.y};
    if (HDC dc = GetDC(window)) {
        DPtoLP(dc, &point, 1);
        ReleaseDC(window, dc);
    }
    if (raw)
        *raw = point;
    if (unmagnify)
        ScreenToZoomed(&point);
    return point;
}

LRESULT CardMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsBrowseMode())
        StepAnimations();
    // Under an editor the card takes only the editor's own input, however it comes (a module
    // dispatching one, a message posted): nothing there may start another edit.
    if (CardInputHeld(message, wParam)) {
        if (message == WM_DROPFILES)
            EndDrop(wParam, lParam);
        return 0;
    }
    // The built-in button cycle is the first module to see the keys.
    if (ButtonCycleKey(window, message, wParam) || ForwardMessageToNBAs(window, message, static_cast<uint16_t>(wParam), lParam))
        return 0;
    CardHandlerState& state = HandlerState();
    switch (message) {
    case WM_CREATE:
        return AppInitWindow(window);
    case WM_DESTROY:
        return 0;  // the window is the browser's: its procedure is back before it goes
    case WM_SIZE:
        return DefaultChildProcessing(window, message, wParam, lParam);
    case WM_ENABLE:
        // Hidden and disabled by the browser: the page goes away under a menu or dialog.
        SetPageLeaving(!wParam && !IsWindowVisible(window));
        return 0;
    case WM_SETFOCUS:
        ShowPaintTextCaret(window);
        return 0;
    case WM_KILLFOCUS:
        state.shiftLatch = false;
        state.ctrlLatch = false;
        DestroyPaintTextCaret();
        return 0;
    case WM_PAINT:
        return OnPaint(window);
    case WM_QUERYENDSESSION:
        return DefaultChildProcessing(window, message, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;
    case kNotifyMessage:
        return OnNotify(lParam);
    case WM_DISPLAYCHANGE:
        if (NoteDisplayDepth(state, static_cast<int>(wParam)))
            ShowAlert(kAlertDisplayModeChanged);
        return 0;
    case WM_NCPAINT:
        return IsMenuBarSwapping() ? 0 : DefaultChildProcessing(window, message, wParam, lParam);
    case WM_NCLBUTTONDOWN:
        if (GetTrackState(nullptr, nullptr, nullptr, nullptr))
            return 0;
        state.nonClientClick = true;
        return DefaultChildProcessing(window, message, wParam, lParam);
    case WM_COMMAND:
        if (lParam != 0)
            return 0;
        if (MediaIsPlaying())
            StopAllSounds(1);
        // The plug-in has no frame window of its own: menu and accelerator commands sent to
        // the card window are run here (an accelerator's as from the keyboard).
        DoMenuCommand(window, LOWORD(wParam), HIWORD(wParam) == 1 ? 1 : 0);
        return 0;
    case WM_INITMENUPOPUP:
        return OnInitMenuPopup(window, wParam, lParam);
    case WM_TIMER:
        if (!OnCardTimer(window, wParam, lParam))
            DefaultChildProcessing(window, message, wParam, lParam);
        return 0;
    case WM_PARENTNOTIFY:
        // The child's own event and its point in this window.
        if (IsInVideoClickRect(GetAvailabilityMask(), window, LOWORD(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
            return 0;
        return DefaultChildProcessing(window, message, wParam, lParam);
    case WM_DROPFILES:
        return OnDropFiles(window, state.handScrollMode, ObjectsShown(), 0, wParam, lParam);
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != window)
            return RealizeAppPalette(window, GetAppPalette()) ? 1 : 0;
        return 0;
    case kMediaNotify:
        if (lParam == kMciWndNotifyCode)
            MediaOnMCIWndNotify(reinterpret_cast<HWND>(wParam));
        return 0;
    case kButtonsUnderMovieMessage:
        TrackButtonsAt(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_KEYDOWN:
        return OnCardKeyDown(window, wParam, lParam);
    case WM_KEYUP:
        return OnCardKeyUp(window, wParam, lParam);
    case WM_CHAR:
        return OnCardChar(window, wParam, lParam);
    case WM_MOUSEMOVE:
        if (LogoTakes(window, message, wParam, lParam))
            return 0;
        if (GetCursorHideMode() == 2)
            ShowCursorHiddenByTyping();
        return DispatchCardMouseMove(window, wParam, lParam);
    case WM_LBUTTONDOWN:
        return OnCardLeftButtonDown(window, wParam, lParam);
    case WM_LBUTTONUP:
        if (!LogoTakes(window, message, wParam, lParam))
            DispatchCardButtonUp(window, wParam, lParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        return OnCardDoubleClick(window, wParam, lParam);
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        LogoTakes(window, message, wParam, lParam);
        return 0;
    case WM_RBUTTONUP:
        if (LogoTakes(window, message, wParam, lParam))
            return 0;
        return ShowCardContextMenu(window, wParam, lParam, state.handScrollMode, ObjectsShown());
    default:
        return 0;
    }
}
