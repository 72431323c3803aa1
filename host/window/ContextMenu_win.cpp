// The card's context menu (ContextMenu.h).
#include "host/window/ContextMenu.h"

#include <string>

#include "actions/ActionServices.h"
#include "actions/NbaMenu.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/MenuBar.h"
#include "core/ui/Resources.h"
#include "core/ui/ToolNumbers.h"
#include "host/actions/ActionChoices.h"
#include "host/menus/MenuCommandRules.h"
#include "host/menus/MenuCommands.h"
#include "host/menus/MenuSubjects.h"
#include "host/state/DeferredCommands.h"
#include "host/window/CardMessageHandler.h"
#include "host/window/ContextMenuText.h"
#include "objects/ObjectServices.h"
#include "objects/text/ActiveTextField.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/Clipboard.h"
#include "authoring/cards/ClipboardPaste.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/text/NewTextObject.h"
#include "authoring/cards/UndoMenu.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/undo/Undo.h"

namespace {

// Strings of the items.
constexpr uint32_t kStringCardTitle = 15625;
constexpr uint32_t kStringImportBackground = 15626;
constexpr uint32_t kStringAddClipArt = 15627;
constexpr uint32_t kStringAboutCard = 15628;
constexpr uint32_t kStringAboutStack = 15629;
constexpr uint32_t kStringButtonTitle = 15550;
constexpr uint32_t kStringGraphicTitle = 15575;
constexpr uint32_t kStringTextTitle = 15600;
constexpr uint32_t kStringStyle = 15867;
constexpr uint32_t kStringIcons = 15868;
constexpr uint32_t kStringEffects = 15951;
constexpr uint32_t kStringAppearance = 4304;
constexpr uint32_t kStringActions = 15901;
constexpr uint32_t kStringFeatures = 15869;
constexpr uint32_t kStringCut = 4017;
constexpr uint32_t kStringCopy = 4018;
constexpr uint32_t kStringClear = 4019;
constexpr uint32_t kStringPaste = 4021;
constexpr uint32_t kStringTextSuffix = 4046;
constexpr uint32_t kStringActionKinds = 4182;

constexpr size_t kItemBuffer = kMaxContextItemText + 1;

bool LoadItemString(uint32_t id, std::string* text) {
    char buffer[kItemBuffer] = {};
    if (LoadResString(id, buffer, sizeof buffer) <= 0)
        return false;
    *text = buffer;
    return true;
}

bool AppendText(HMENU menu, UINT flags, UINT_PTR id, const std::string& text) {
    return AppendMenuA(menu, MF_STRING | flags, id, text.c_str()) != 0;
}

bool AppendString(HMENU menu, uint32_t stringId, UINT_PTR id, UINT flags = 0) {
    std::string text;
    return LoadItemString(stringId, &text) && AppendText(menu, flags, id, text);
}

bool AppendSeparator(HMENU menu) { return AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) != 0; }

bool AppendTitle(HMENU menu, uint32_t patternId, UINT id, const std::string& name) {
    std::string pattern;
    return LoadItemString(patternId, &pattern) && AppendText(menu, 0, id, FillItemName(pattern, name));
}

// Appends a copy of the sub-menu as a pop-up under the title; the copy belongs to the menu
// once appended.
bool AppendCopiedMenu(HMENU menu, HMENU source, const std::string& title) {
    HMENU copy = source ? CopyMenuTree(source) : nullptr;
    if (!copy)
        return false;
    if (!AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(copy), title.c_str())) {
        DestroyMenu(copy);
        return false;
    }
    return true;
}

std::string MenuItemText(HMENU menu, int position) {
    char buffer[kItemBuffer] = {};
    GetMenuStringA(menu, position, buffer, sizeof buffer, MF_BYPOSITION);
    return buffer;
}

// The frame's own bar when it has one, else a bar loaded from the module for the copy.
class MenuBarSource {
public:
    MenuBarSource() {
        HWND frame = GetFrameWindow();
        HMENU frameBar = frame && IsWindow(frame) ? GetMenu(frame) : nullptr;
        if (frameBar && GetMenuItemCount(frameBar) > kFormatMenuPosition) {
            bar_ = frameBar;
        } else {
            bar_ = ResLoadMenu("LM");
            owned_ = bar_ != nullptr;
            AddNbaMenuItems(bar_);
        }
    }
    ~MenuBarSource() {
        if (owned_)
            DestroyMenu(bar_);
    }
    MenuBarSource(const MenuBarSource&) = delete;
    MenuBarSource& operator=(const MenuBarSource&) = delete;

    // The bar's menu at the position, brought up to date as it would be before showing.
    HMENU Menu(int position) const {
        HMENU menu = bar_ ? GetSubMenu(bar_, position) : nullptr;
        if (menu && GetMainWindow())
            UpdateMenus(GetMainWindow(), position, menu, false);
        return menu;
    }
    std::string Title(int position) const { return bar_ ? MenuItemText(bar_, position) : std::string(); }

private:
    HMENU bar_ = nullptr;
    bool owned_ = false;
};

std::string WithoutMnemonics(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '&')
            out += c;
    return out;
}

bool AppendFormatMenu(HMENU menu) {
    MenuBarSource bar;
    return AppendCopiedMenu(menu, bar.Menu(kFormatMenuPosition), bar.Title(kFormatMenuPosition));
}

bool AppendEffectsMenu(HMENU menu) {
    std::string title;
    if (!LoadItemString(kStringEffects, &title))
        return false;
    MenuBarSource bar;
    HMENU edit = bar.Menu(kEditMenuPosition);
    if (!edit)
        return false;
    const int count = GetMenuItemCount(edit);
    for (int i = 0; i < count; ++i) {
        HMENU sub = GetSubMenu(edit, i);
        if (sub && WithoutMnemonics(MenuItemText(edit, i)) == title)
            return AppendCopiedMenu(menu, sub, title);
    }
    return false;
}

// A length-prefixed name field of an object record of the current card (or any card).
std::string RecordName(uint16_t kind, uint16_t id, uint32_t nameOffset, uint32_t nameBytes) {
    Handle record = 0;
    uint32_t offset = 0;
    if (!FindObject(kind, id, &record, &offset))
        return {};
    const uint32_t size = GetHandleSize(record);
    if (offset > size || size - offset < nameOffset + nameBytes)
        return {};
    HandleLock lock(record);
    if (!lock)
        return {};
    return NameFromField(std::span<const uint8_t>(lock.get() + offset + nameOffset, nameBytes));
}

std::string CardName() {
    Handle record = GetCurrentCardRecord();
    std::string name;
    if (record && GetHandleSize(record) >= kCardName + kCardNameBytes) {
        HandleLock lock(record);
        if (lock)
            name = NameFromField(std::span<const uint8_t>(lock.get() + kCardName, kCardNameBytes));
    }
    if (name.empty())
        name = std::to_string(record ? GetCardId(record) : GetCurrentCardId());
    return name;
}

bool AppendCardTitle(HMENU menu) {
    return AppendTitle(menu, kStringCardTitle, kCommandCardInfo, CardName()) && AppendSeparator(menu) &&
           AppendString(menu, kStringImportBackground, kCommandImportBackgroundItem) &&
           AppendString(menu, kStringAddClipArt, kCommandAddClipArt) &&
           AppendString(menu, kStringAboutCard, kCommandCardInfo) &&
           AppendString(menu, kStringAboutStack, kCommandStackInfo) && AppendSeparator(menu);
}

bool AppendObjectTitle(HMENU menu, LayerHandle selected) {
    uint16_t kind = 0;
    uint16_t id = 0;
    std::string name;
    {
        LayerLock<ObjectLayer> layer(selected);
        if (!layer)
            return false;
        kind = layer->kind;
        id = layer->id;
        if (kind == kObjectButton) {
            const auto* button = reinterpret_cast<const ButtonLayer*>(layer.get());
            name = NameFromField(std::span<const uint8_t>(&button->nameLength, sizeof button->name));
        }
    }
    switch (kind) {
    case kObjectButton:
        return AppendTitle(menu, kStringButtonTitle, kCommandObjectInfo, name) && AppendSeparator(menu) &&
               AppendString(menu, kStringIcons, kCommandIcons) && AppendFormatMenu(menu) && AppendSeparator(menu);
    case kObjectGraphic:
        name = RecordName(kObjectGraphic, id, kGraphicName, kGraphicNameBytes);
        return AppendTitle(menu, kStringGraphicTitle, kCommandObjectInfo, name) && AppendSeparator(menu) &&
               AppendEffectsMenu(menu) && AppendSeparator(menu);
    case kObjectText:
        name = RecordName(kObjectText, id, kTextName, kTextNameBytes);
        return AppendTitle(menu, kStringTextTitle, kCommandObjectInfo, name) && AppendSeparator(menu) &&
               AppendString(menu, kStringStyle, kCommandStyle) && AppendFormatMenu(menu) && AppendSeparator(menu);
    default:
        return false;
    }
}

bool AppendEditItem(HMENU menu, uint32_t stringId, UINT id, const std::string& suffix) {
    std::string text;
    return LoadItemString(stringId, &text) && AppendText(menu, 0, id, AppendItemSuffix(text, suffix));
}

bool AppendPasteItem(HMENU menu) {
    std::string text;
    if (!LoadItemString(kStringPaste, &text))
        return false;
    char noun[80] = {};
    const bool canPaste = UpdatePasteMenuItem(noun, sizeof noun);
    noun[sizeof noun - 1] = 0;
    return AppendText(menu, canPaste ? 0 : MF_GRAYED, kCommandPaste, AppendItemSuffix(text, noun));
}

bool AppendEditSection(HMENU menu, bool objectSelected) {
    const UINT objectFlags = objectSelected ? 0 : MF_GRAYED;
    if (!AppendString(menu, kStringAppearance, kCommandObjectInfo, objectFlags) ||
        !AppendString(menu, kStringActions, kCommandActions, objectFlags) ||
        !AppendString(menu, kStringFeatures, kCommandFeatures, objectFlags) || !AppendSeparator(menu))
        return false;
    char undo[kItemBuffer] = {};
    const bool canUndo = GetUndoMenuText(undo, sizeof undo, false);
    undo[sizeof undo - 1] = 0;
    if (!AppendText(menu, canUndo && undo[0] ? 0 : MF_GRAYED, kCommandUndo, undo) || !AppendSeparator(menu))
        return false;
    if (objectSelected)
        return AppendEditItem(menu, kStringCut, kCommandCut, "") && AppendEditItem(menu, kStringCopy, kCommandCopy, "") &&
               AppendPasteItem(menu) && AppendEditItem(menu, kStringClear, kCommandClear, "");
    const bool textSelection = ActiveFieldHasSelection() != 0;
    if (textSelection || IsRectSelectionActive() || HasFloatingSelection()) {
        std::string suffix;
        if (textSelection && !LoadItemString(kStringTextSuffix, &suffix))
            return false;
        return AppendEditItem(menu, kStringCut, kCommandCut, suffix) &&
               AppendEditItem(menu, kStringCopy, kCommandCopy, suffix) && AppendPasteItem(menu) &&
               AppendEditItem(menu, kStringClear, kCommandClear, suffix);
    }
    return AppendEditItem(menu, kStringCut, kCommandCutCard, "") &&
           AppendEditItem(menu, kStringCopy, kCommandCopyCard, "") && AppendPasteItem(menu) &&
           AppendEditItem(menu, kStringClear, kCommandClear, "");
}

// The object's current actions, then every kind of action in a sub-menu; what is chosen comes
// back as an action choice.
bool AppendActionsSection(HMENU menu, LayerHandle selected) {
    std::string title;
    return AppendObjectActionItems(menu, selected) && AppendSeparator(menu) &&
           LoadItemString(kStringActionKinds, &title) && AppendActionKindsMenu(menu, title.c_str());
}

bool MenuAllowed() {
    return !IsBrowseMode() && !IsPlacedButtonShown() && !IsPlacedTextFieldShown() && !IsPlacedGraphicShown();
}

}  // namespace

HMENU CopyMenuTree(HMENU source) {
    if (!source)
        return nullptr;
    HMENU copy = CreatePopupMenu();
    if (!copy)
        return nullptr;
    const int count = GetMenuItemCount(source);
    for (int i = 0; i < count; ++i) {
        char text[kItemBuffer] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        bool appended = false;
        if (GetMenuItemInfoA(source, static_cast<UINT>(i), TRUE, &info)) {
            if (info.fType & MFT_SEPARATOR) {
                appended = AppendSeparator(copy);
            } else if ((info.fType & (MFT_OWNERDRAW | MFT_BITMAP)) == 0 && text[0]) {
                UINT flags = info.fState & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT);
                if (!info.hSubMenu && IsDeferredMenuCommand(NormalizeMenuCommand(static_cast<int>(info.wID))))
                    flags |= MF_GRAYED;  // its owner is not built
                if (!info.hSubMenu && (info.wID == 160 || info.wID == 161) && !GetMenuSubjects().flippableGraphic)
                    flags |= MF_GRAYED;  // the flips work on a picture the stack holds
                if (info.hSubMenu) {
                    HMENU sub = CopyMenuTree(info.hSubMenu);
                    appended = sub && AppendMenuA(copy, MF_POPUP | MF_STRING | flags, reinterpret_cast<UINT_PTR>(sub), text);
                    if (sub && !appended)
                        DestroyMenu(sub);
                } else {
                    appended = AppendMenuA(copy, MF_STRING | flags, info.wID, text) != 0;
                }
            }
        }
        if (!appended) {
            DestroyMenu(copy);
            return nullptr;
        }
    }
    return copy;
}

HMENU BuildContextMenu(HINSTANCE, LayerHandle selectedObject) {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return nullptr;
    const bool built = (selectedObject ? AppendObjectTitle(menu, selectedObject) : AppendCardTitle(menu)) &&
                       AppendEditSection(menu, selectedObject != nullptr) &&
                       (!selectedObject || AppendActionsSection(menu, selectedObject));
    if (!built) {
        DestroyMenu(menu);
        return nullptr;
    }
    return menu;
}

LRESULT ShowCardContextMenu(HWND window, WPARAM keyState, LPARAM lParam, bool, bool) {
    // Clip art being placed is kept by a right click beside it too; the menu is then the one of
    // what lies under the click.
    const POINT at = CardPointFromLParam(window, lParam, true);
    EndClipArtPlacingOutside(window, at.x, at.y);
    const bool allowed = MenuAllowed();
    DispatchCardMouseUp(window, keyState, lParam, WM_RBUTTONUP);
    if (!allowed || !IsAdvancedUser())
        return DefaultChildProcessing(window, WM_RBUTTONUP, keyState, lParam);
    HMENU menu = BuildContextMenu(GetAppInstance(), GetSelectedObject());
    if (!menu)
        return 0;
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(window, &point);
    // The choice comes back here and runs as the menu bar's would; the card window's own
    // command message passes menu choices on without running them.
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, point.x, point.y, 0, window, nullptr));
    if (IsMenu(menu))
        DestroyMenu(menu);
    if (command != 0)
        DoMenuCommand(window, static_cast<int>(command));
    return 0;
}
