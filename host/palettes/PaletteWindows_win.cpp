// What the navigation and shortcuts palettes share: their place beside the card window, and
// bringing an open one up.
#include "host/palettes/PaletteWindows.h"

#include "core/events/ModelessDialogs.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"

void PlacePaletteWindow(HWND dialog, PalettePlace* place, bool rightOfCard) {
    RECT box{};
    GetWindowRect(dialog, &box);
    const int width = box.right - box.left, height = box.bottom - box.top;
    if (place->x == -1) {
        RECT card{};
        GetWindowRect(GetMainWindow(), &card);
        *place = {rightOfCard ? card.right : card.left - width, card.top};
    }
    *place = ClampPaletteToScreen(*place, width, height, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SetWindowPos(dialog, nullptr, place->x, place->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(dialog, SW_SHOW);
}

void RememberPalettePlace(HWND dialog, HWND shown, PalettePlace* place) {
    if (dialog != shown)
        return;
    RECT box{};
    GetWindowRect(dialog, &box);
    *place = {box.left, box.top};
}

HWND ShowPalette(HWND open, int templateId, DLGPROC proc) {
    if (open) {
        SetWindowPos(open, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetFocus(open);
        return nullptr;
    }
    const HWND dialog = ResCreateDialogParam(GetMainWindow(), proc, MAKEINTRESOURCEA(templateId), 0);
    if (dialog)
        AddModelessDialog(dialog);
    return dialog;
}

void FocusCardWindow() {
    const HWND card = GetMainWindow();
    if (card && IsWindow(card))
        SetFocus(card);
}
