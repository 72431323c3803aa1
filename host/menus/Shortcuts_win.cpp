// The shortcuts palette.
#include "host/menus/Shortcuts.h"

#include "core/events/ModelessDialogs.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "host/palettes/IconButtons.h"
#include "host/palettes/PaletteWindows.h"
#include "host/palettes/ToolPalette.h"
#include "resources/favorites_ids.h"

namespace {

struct ShortcutButton {
    int command;  // menu command; 0: an operation of its own
    int icon;     // base id of three state icons; negative: one fixed icon
};
// Buttons 1000-1010. Cut, Copy and Paste have one icon each, so they are fixed icons.
constexpr ShortcutButton kButtons[] = {
    {155, 141}, {306, 138}, {307, 144}, {106, 129}, {308, 150}, {311, 132},
    {0, 135},   {0, 147},   {151, -153}, {152, -154}, {153, -155},
};
constexpr int kAddMovieButton = 1006, kAddSoundButton = 1007;

struct ShortcutsState {
    HWND window = nullptr;
    PalettePlace place{-1, 0};
};
ShortcutsState g_shortcuts;

void OpenPalette(HWND dialog) {
    g_shortcuts.window = dialog;
    PlacePaletteWindow(dialog, &g_shortcuts.place, true);
    for (int id = IDC_SHORTCUT_FIRST; id <= IDC_SHORTCUT_LAST; ++id)
        MakeButtonOwnerDrawn(GetDlgItem(dialog, id), false);
    if (const HICON icon = LoadIconA(GetAppInstance(), "AALM"))
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void RunButton(int id) {
    // Another dialog, a LoomLogo editor or a drag in progress holds the card: clicks wait.
    if (CountBlockingDialogs() > 0)
        return;
    const HWND card = GetMainWindow();
    if (id == kAddMovieButton)
        AddMovieToCard();
    else if (id == kAddSoundButton)
        AddSoundToCard();
    else if (card)
        SendMessageA(card, WM_COMMAND, kButtons[id - IDC_SHORTCUT_FIRST].command, 0);
    FocusCardWindow();
}

}  // namespace

void ShowShortcutsPalette() {
    ShowPalette(g_shortcuts.window, IDD_SHORTCUTS, ShortcutsDlgProc);
}

INT_PTR CALLBACK ShortcutsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OpenPalette(dialog); return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_SHORTCUT_FIRST && id <= IDC_SHORTCUT_LAST && HIWORD(wParam) == BN_CLICKED) {
            RunButton(id);
            return TRUE;
        }
        return FALSE;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (!item || item->CtlID < IDC_SHORTCUT_FIRST || item->CtlID > IDC_SHORTCUT_LAST)
            return FALSE;
        DrawIconButton(dialog, item, kButtons[item->CtlID - IDC_SHORTCUT_FIRST].icon);
        return TRUE;
    }
    case WM_MOVE:
        RememberPalettePlace(dialog, g_shortcuts.window, &g_shortcuts.place);
        return FALSE;
    case WM_CLOSE:
        CloseShortcutsPalette();
        return TRUE;
    case WM_DESTROY:
        // Destroyed from outside (the owner went): forget it all the same.
        if (g_shortcuts.window == dialog) {
            RemoveModelessDialog(dialog);
            g_shortcuts.window = nullptr;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

HWND GetShortcutsWindow() { return g_shortcuts.window; }

void CloseShortcutsPalette() {
    const HWND window = g_shortcuts.window;
    if (!window)
        return;
    RemoveModelessDialog(window);
    g_shortcuts.window = nullptr;
    DestroyWindow(window);
}
