// Presentation mode on the frame window: the frame covers the screen around the card, or is
// fitted to the card again. The plug-in has no frame window; its card window belongs to the
// browser and is never moved from here, so there only the settings change.
#include "host/dialogs/PreferencesDialogs.h"

#include "core/system/PluginModule.h"
#include "media/MediaLibrary.h"

namespace {

ScreenMetrics ReadScreenMetrics() {
    ScreenMetrics m;
    m.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    m.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    m.frameWidth = GetSystemMetrics(SM_CXDLGFRAME);
    m.frameHeight = GetSystemMetrics(SM_CYDLGFRAME);
    m.captionHeight = GetSystemMetrics(SM_CYCAPTION);
    m.menuHeight = GetSystemMetrics(SM_CYMENU);
    return m;
}

HWND OwnedFrame() {
    HWND frame = GetFrameWindow();
    return frame && IsWindow(frame) ? frame : nullptr;
}

// The card window only when it lies inside the frame; any other window is not ours to move.
HWND CardInFrame(HWND frame) {
    HWND card = GetMainWindow();
    return card && IsChild(frame, card) ? card : nullptr;
}

SIZE WindowSize(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void MoveTo(HWND window, const WindowBox& box) {
    MoveWindow(window, box.x, box.y, box.width, box.height, TRUE);
}

void CoverScreen(HWND frame, bool showTitle) {
    MoveTo(frame, FullScreenFrameBox(ReadScreenMetrics(), showTitle));
    if (HWND card = CardInFrame(frame)) {
        RECT client{};
        GetClientRect(frame, &client);
        const SIZE size = WindowSize(card);
        MoveTo(card, CentredCardBox(client.right, client.bottom, size.cx, size.cy));
        ShowWindow(card, SW_SHOW);
    }
    HWND library = GetMediaLibWindow();
    if (library && IsWindowVisible(library))
        SetWindowPos(library, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

void ApplyScreenMode(Presentation* current, const Presentation& next) {
    if (!current)
        return;
    if (HWND frame = OwnedFrame()) {
        const ScreenModeSteps steps = PlanScreenMode(*current, next);
        if (steps.fitToCard)
            FitFrameToCard();
        if (steps.coverScreen)
            CoverScreen(frame, (next.options & kPresentationShowTitle) != 0);
        if (steps.redrawFrame)
            InvalidateRect(frame, nullptr, TRUE);
    }
    *current = next;
}

void FitFrameToCard() {
    HWND frame = OwnedFrame();
    if (!frame)
        return;
    HWND card = CardInFrame(frame);
    if (!card)
        return;
    const SIZE size = WindowSize(card);
    MoveTo(frame, FrameAroundCardBox(ReadScreenMetrics(), size.cx, size.cy, GetMenu(frame) != nullptr));
    ShowWindow(frame, SW_SHOW);
    MoveWindow(card, 0, 0, size.cx, size.cy, TRUE);
    ShowWindow(card, SW_SHOW);
}
