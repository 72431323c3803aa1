// UpdateMenus: the enabled state, check marks and texts of one menu before it is shown.
#include <cstring>
#include <string>

#include "core/events/EditorGuard.h"
#include "core/ui/Resources.h"
#include "core/system/PluginModule.h"
#include "host/actions/ActionChoices.h"
#include "host/actions/ActionMenu.h"
#include "host/actions/ActionsEditor.h"
#include "host/medialibrary/MediaBrowser.h"
#include "host/menus/MenuCommandRules.h"
#include "host/menus/MenuCommands.h"
#include "host/menus/MenuSubjects.h"
#include "host/state/DeferredCommands.h"
#include "host/state/MenuOptions.h"
#include "objects/ObjectServices.h"
#include "objects/text/FormatMenus_win.h"
#include "stack/clipboard/Clipboard.h"
#include "authoring/cards/ClipboardPaste.h"
#include "authoring/cards/UndoMenu.h"
#include "stack/undo/Undo.h"

namespace {

constexpr int kEditObjectPosition = 13;
constexpr UINT kAppearanceItem = 300;
constexpr UINT kPresentationItem = 61488;

void SetText(HMENU menu, UINT item, const std::string& text) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(text.c_str());
    SetMenuItemInfoA(menu, item, FALSE, &info);
}

void Enable(HMENU menu, UINT item, bool enabled) {
    EnableMenuItem(menu, item, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void Check(HMENU menu, UINT item, bool checked) {
    CheckMenuItem(menu, item, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// The selected object's actions after a separator.
void AppendObjectActions(HMENU popup) {
    if (const LayerHandle layer = GetSelectedObject())
        AppendObjectActionItems(popup, layer);
}

// The selected object's item is a sub-menu under its kind's title ("Edit this Button", ...):
// Appearance..., Actions..., then the object's own actions.
void UpdateObjectItem(HMENU menu, const MenuSubjects& s) {
    const std::string title = s.objectItemText.empty() ? std::string("Appearance...") : s.objectItemText;
    if (!s.objectSelected) {
        ModifyMenuA(menu, kEditObjectPosition, MF_BYPOSITION | MF_STRING | MF_GRAYED, kAppearanceItem,
                    title.c_str());
        return;
    }
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, kAppearanceItem, "Appearance...");
    AppendMenuA(popup, MF_STRING, kCommandActions, (ResText(4182) + "...").c_str());
    AppendObjectActions(popup);
    ModifyMenuA(menu, kEditObjectPosition, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                title.c_str());
}

void UpdateEditMenu(HMENU menu, const MenuSubjects& s) {
    char undo[128] = {};
    const bool canUndo = GetUndoMenuText(undo, sizeof undo, true);
    SetText(menu, 150, undo);
    Enable(menu, 150, canUndo);
    if (s.paintSelection || s.selectionNoun.empty()) {
        SetText(menu, 151, ResText(4014));
        SetText(menu, 152, ResText(4015));
        SetText(menu, 154, ResText(4016));
        for (UINT item : {151u, 152u, 154u})
            Enable(menu, item, s.paintSelection);
    } else {
        SetText(menu, 151, ResText(4017) + s.selectionNoun + "\tCtrl+X");
        SetText(menu, 152, ResText(4018) + s.selectionNoun + "\tCtrl+C");
        SetText(menu, 154, ResText(4019) + s.selectionNoun + "\tDel");
        for (UINT item : {151u, 152u, 154u})
            Enable(menu, item, true);
    }
    if (GetMenuItemCount(menu) > kEditObjectPosition)
        UpdateObjectItem(menu, s);
    char noun[80] = {};
    if (UpdatePasteMenuItem(noun, sizeof noun)) {
        SetText(menu, 153, noun[0] ? ResText(4021) + noun + "\tCtrl+V" : ResText(4020));
        Enable(menu, 153, true);
    } else {
        SetText(menu, 153, ResText(4020));
        Enable(menu, 153, false);
    }
    SetText(menu, 162, ResText(4158));
    for (UINT flip : {160u, 161u})
        Enable(menu, flip, s.flippableGraphic);
}

// Items whose commands are not built yet stay grey, wherever they sit.
void GreyDeferredItems(HMENU menu) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (const UINT id = GetMenuItemID(menu, i);
            id != 0 && id != static_cast<UINT>(-1) && IsDeferredMenuCommand(NormalizeMenuCommand(static_cast<int>(id))))
            EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_GRAYED);
        else if (HMENU sub = GetSubMenu(menu, i))
            GreyDeferredItems(sub);
}

// Under an editor the menu bar offers only what waits for it to end on its stack; nothing while
// the card walk shows another stack, which closes when the walk goes back.
void GreyUnderEditor(HMENU menu, bool nothing) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (HMENU sub = GetSubMenu(menu, i))
            GreyUnderEditor(sub, nothing);
        else if (id != 0 && id != static_cast<UINT>(-1) &&
                 (nothing || !NeedsOnlyTheStack(NormalizeMenuCommand(static_cast<int>(id)))))
            EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_GRAYED);
    }
}

}  // namespace

void UpdateMenus(HWND window, int menuIndex, HMENU menu, bool systemMenu) {
    if (!menu)
        return;
    const MenuSubjects s = GetMenuSubjects();
    if (systemMenu) {
        SetText(menu, kPresentationItem, ResText(4186));
        Enable(menu, kPresentationItem, !(window && IsIconic(window)));
        Check(menu, kPresentationItem, s.presentationMode);
        return;
    }
    if (GetMenuState(menu, kMediaLibCommand, MF_BYCOMMAND) != static_cast<UINT>(-1))
        UpdateMediaLibMenuItem(menu);
    switch (menuIndex) {
    case 0:
        SetText(menu, 108, ResText(s.activeField || s.objectActive ? 2026 : 2025));
        SetText(menu, 104, ResText(s.activeField ? 4301 : 4300));
        SetText(menu, 105, ResText(s.activeField ? 4303 : 4302));
        break;
    case 1: UpdateEditMenu(menu, s); break;
    case 2: Enable(menu, 201, s.homeStackKnown); break;
    case 4:
        Enable(menu, 304, s.objectSelected);
        Enable(menu, 305, s.objectSelected);
        break;
    case 6: Enable(menu, 701, s.objectSelected); break;
    case 7:
        SetText(menu, 364, ResText(ObjectsShown() ? 4023 : 4024));
        Check(menu, 352, IsDrawFilled());
        Check(menu, 353, IsDrawMultiple());
        Check(menu, 354, IsDrawCentered());
        break;
    case 8: SyncTextStyleFromSelection(menu); break;
    default: break;  // the filters follow their own subsystem
    }
    GreyDeferredItems(menu);
    if (EditorRuns())
        GreyUnderEditor(menu, IsWalkAwayFromItsStack());
}
