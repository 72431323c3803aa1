// The Text Appearance dialog itself (NewTextObject.h); what it writes is TextInfoWrite_win.cpp, the
// commands that run it TextInfoCommands_win.cpp.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "actions/ActionsDialog.h"
#include "core/events/EditorGuard.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/text/StringRuns.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/Resources.h"
#include "core/ui/ToolNumbers.h"
#include "core/ui/WaitCursor.h"
#include "actions/ActionBlock.h"
#include "core/ui/WindowUtils.h"
#include "layers/LayerList.h"
#include "cardview/colors/ColorChooser.h"
#include "graphics/palette/AppPalette.h"
#include "objects/ObjectInfo.h"
#include "objects/buttons/ButtonIcons.h"
#include "objects/text/ApplyTextStyle_win.h"
#include "objects/text/CurrentTextStyle_win.h"
#include "authoring/text/TextStyleDialog_win.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/FieldContents_win.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/cards/FieldText.h"
#include "authoring/text/NewTextObject.h"
#include "authoring/cards/UndoObjects.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/open/StackOpen.h"

#include "authoring/text/TextInfoParts_win.h"

namespace text_info {

// A new object's preview: a bordered, multi-line rich edit with a vertical bar that stays.
constexpr DWORD kNewPreviewStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_SAVESEL | ES_DISABLENOSCROLL |
                                   ES_AUTOVSCROLL | ES_MULTILINE;
static_assert(kNewPreviewStyle == 0x50A0A044);
constexpr DWORD kHebrewPreviewExStyle = WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;

KeptAppearance g_kept;

DialogPass& PassOf(HWND dialog) { return *DialogStateOf<DialogPass>(dialog); }
TextAppearance& StateOf(HWND dialog) { return PassOf(dialog).state; }


COLORREF ColorOf(uint16_t index) { return PaletteIndexToColorPlain(index) & 0x00FFFFFF; }

HWND FieldWindow(LayerHandle field) {
    LayerLock<FieldLayer> lock(field);
    return lock ? lock->window : nullptr;
}

bool IsNewObject(const TextAppearance& s) { return s.field == nullptr; }

void TakeCurrentStyle(TextAppearance& s) {
    const CurrentStyleInfo style = GetCurrentStyleInfo();
    s.face = style.face;
    s.size = style.size;
    s.fontType = style.fontType;
    s.styleBits = style.styleBits;
    s.textColor = style.textColor;
    s.alignment = style.alignment;
}

void FreePendingActions(TextAppearance& s) {
    if (s.pendingActions)
        DisposeHandleAndClear(&s.pendingActions);
}

std::string ReadName(HWND dialog) {
    char text[kNameMax + 1] = {};
    GetDlgItemTextA(dialog, kNameEdit, text, sizeof text);
    return text;
}

uint16_t OptionsFromBoxes(HWND dialog) {
    uint16_t options = 0;
    if (IsItemChecked(dialog, kFrameBox))
        options |= kTextFrame;
    if (IsItemChecked(dialog, kScrollBarBox))
        options |= kTextScrollBar;
    if (IsItemChecked(dialog, kReadOnlyBox))
        options |= kTextReadOnly;
    if (!IsItemChecked(dialog, kScrollableBox))
        options |= kTextNotScrollable;
    return options;
}

// Name, disk based and options as the boxes hold them.
void ReadBoxes(HWND dialog) {
    TextAppearance& s = StateOf(dialog);
    s.name = ReadName(dialog);
    if (IsNewObject(s)) {
        s.objectFlags = static_cast<uint16_t>(s.objectFlags & ~kObjectHasPath);
        if (IsItemChecked(dialog, kDiskBasedBox))
            s.objectFlags |= kObjectHasPath;
    }
    s.options = OptionsFromBoxes(dialog);
}

// The appearance's face, size, text colour and style bits as fields take them.
TextStyle AppearanceStyle(const TextAppearance& s) {
    return TextStyle{.face = s.face, .points = s.size, .bits = s.styleBits, .color = ColorOf(s.textColor)};
}

void ShowSampleInPreview(HWND preview, const TextAppearance& s) {
    TextSetText(preview, GetSampleText().c_str());
    TextApplyCurrentStyle(preview, AppearanceStyle(s));
    TextSetAlignment(preview, s.alignment);
}

bool LoadFileIntoPreview(HWND preview, const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = IsRtfFile(file) ? TextStreamInRtfFile(preview, file) : TextStreamInPlainFile(preview, file);
    CloseHandle(file);
    return ok;
}

void SetUpPreview(HWND dialog) {
    DialogPass& pass = PassOf(dialog);
    TextAppearance& s = pass.state;
    HWND preview = GetDlgItem(dialog, kPreviewBox);
    SendMessageA(preview, EM_SETEVENTMASK, 0, 0);
    if (HWND field = FieldWindow(s.field)) {
        const DWORD style = static_cast<DWORD>(GetWindowLongA(field, GWL_STYLE));
        SetWindowLongA(preview, GWL_STYLE, static_cast<LONG>((style | WS_CHILD | WS_VISIBLE | ES_READONLY) & ~WS_CLIPSIBLINGS));
        SetWindowLongA(preview, GWL_EXSTYLE, GetWindowLongA(field, GWL_EXSTYLE));
        SendMessageA(preview, EM_SETREADONLY, TRUE, 0);
        if (pass.keptText || TextGetLength(field) == 0 || !CopyFieldRichText(field, preview))
            ShowSampleInPreview(preview, s);
        if (GetDisplayBitsPerPixel() <= 8)
            TextSetColor(preview, ColorOf(s.textColor), TextScope::All);
    } else {
        SetWindowLongA(preview, GWL_STYLE, static_cast<LONG>(kNewPreviewStyle));
        if (IsHebrewLanguage())
            SetWindowLongA(preview, GWL_EXSTYLE, GetWindowLongA(preview, GWL_EXSTYLE) | kHebrewPreviewExStyle);
        ShowSampleInPreview(preview, s);
    }
    if (pass.keptText) {
        TextStreamInBlock(preview, pass.keptText, true, false);
        GlobalFree(pass.keptText);
        pass.keptText = nullptr;
    }
    TextSetBackColor(preview, ColorOf(s.backColor));
    SetFieldScrollBar(preview, s.options & kTextScrollBar, !(s.options & kTextNotScrollable));
    if (!pass.reopened && IsNewObject(s) && !pass.droppedFile.empty() &&
        LoadFileIntoPreview(preview, pass.droppedFile.c_str())) {
        s.fileLoaded = true;
        s.file = pass.droppedFile;
    }
    EnableWindow(GetDlgItem(dialog, kDiskBasedBox), s.fileLoaded);
    EnableWindow(preview, !(s.objectFlags & kTextTransparent));
}

void InitDialog(HWND dialog) {
    TextAppearance& s = StateOf(dialog);
    SetItemChecked(dialog, kScrollBarBox, s.options & kTextScrollBar);
    SetItemChecked(dialog, kScrollableBox, !(s.options & kTextNotScrollable));
    SetItemChecked(dialog, kDiskBasedBox, s.objectFlags & kObjectHasPath);
    SetItemChecked(dialog, kReadOnlyBox, s.options & kTextReadOnly);
    SetItemChecked(dialog, kFrameBox, s.options & kTextFrame);
    SendDlgItemMessageA(dialog, kNameEdit, EM_LIMITTEXT, kNameMax, 0);
    SetDlgItemTextA(dialog, kNameEdit, s.name.empty() ? ResText(kStringUntitled).c_str() : s.name.c_str());
    if (!IsAdvancedUser())
        ShowWindow(GetDlgItem(dialog, kFeaturesButton), SW_HIDE);
    if (!IsNewObject(s))
        ShowWindow(GetDlgItem(dialog, kGetFileButton), SW_HIDE);
    const DialogPass& pass = PassOf(dialog);
    if (!pass.reopened) {
        s.textColorChanged = s.backColorChanged = s.styleChanged = s.actionsChanged = false;
        FreePendingActions(s);
        s.pendingActions = LoadActionResource(s.actionId);
    } else if (!pass.actionsCancelled) {
        s.actionsChanged = true;
    }
    SetUpPreview(dialog);
    HWND name = GetDlgItem(dialog, kNameEdit);
    SendMessageA(name, EM_SETSEL, 0, -1);
    SetFocus(name);
}

void RunStyle(HWND dialog) {
    TextAppearance& s = StateOf(dialog);
    HWND preview = GetDlgItem(dialog, kPreviewBox);
    SyncStyleFromField(preview, true, s.backColor);
    SetStyleColorsAndAlignment(s.textColor, s.backColor, s.alignment);
    if (RunChooseFontForField(dialog) != 1)
        return;
    s.styleChanged = true;
    const CurrentStyleInfo style = GetCurrentStyleInfo();
    TakeCurrentStyle(s);
    s.backColor = style.backColor;
    TextApplyCurrentStyle(preview, AppearanceStyle(s));
    TextSetAlignment(preview, s.alignment);
    TextSetBackColor(preview, ColorOf(s.backColor));
    InvalidateRect(GetDlgItem(dialog, kTextGrid), nullptr, FALSE);
    InvalidateRect(GetDlgItem(dialog, kBackGrid), nullptr, FALSE);
}

void RunGetFile(HWND dialog) {
    char path[MAX_PATH] = {};
    if (!AskTextFileToImport(dialog, path, sizeof path))
        return;
    if (LoadFileIntoPreview(GetDlgItem(dialog, kPreviewBox), path)) {
        TextAppearance& s = StateOf(dialog);
        s.fileLoaded = true;
        s.file = path;
        EnableWindow(GetDlgItem(dialog, kDiskBasedBox), TRUE);
    }
}

void EndWithActions(HWND dialog) {
    ReadBoxes(dialog);
    PassOf(dialog).keptText = TextStreamOutRtf(GetDlgItem(dialog, kPreviewBox), true);
    EndDialog(dialog, kActionsButton);
}

void ForgetOwnCursor(TextAppearance& s) {
    if (s.cursorId < kFirstBuiltInIcon || s.cursorId > kLastBuiltInIcon)
        s.cursorId = 0;
}

// After a dialog over this one: an existing object's layer found again, or a new one's card
// still the current one; otherwise a word that the edit is dropped. A stack closed meanwhile
// (a card walk opens others) took its own cursor with it.
bool FoundAgain(DialogPass& pass, HWND owner) {
    TextAppearance& s = pass.state;
    if (pass.stacksClosed != g_kept.stacksClosed)
        ForgetOwnCursor(s);
    if (!IsNewObject(s))
        return (s.field = FindNamedLayerOrSay(pass.subject, owner)) != nullptr;
    if (IsNamedCardCurrent(pass.subject))
        return true;
    ShowAlertOn(owner, kAlertEditDropped);
    return false;
}

void Finish(HWND dialog) {
    // Features... and its cursor chooser are dialogs: the card may have been left under them.
    if (!FoundAgain(PassOf(dialog), dialog)) {
        Cancel(dialog);
        return;
    }
    TextAppearance& s = StateOf(dialog);
    if (s.backColorChanged) {
        // Only the background: the next new text keeps the style's colour and alignment.
        const CurrentStyleInfo style = GetCurrentStyleInfo();
        SetStyleColorsAndAlignment(style.textColor, s.backColor, style.alignment);
    }
    {
        WaitCursor wait;
        if (s.actionsChanged && s.pendingActions)
            StoreActionResource(&s.actionId, s.pendingActions);
        FreePendingActions(s);
    }
    ReadBoxes(dialog);
    EndDialog(dialog, IDOK);
    if (IsNewObject(s))
        CreateTextObjectFromInfo(dialog);
    else
        ApplyTextInfoToField(dialog);
    ShowTextFieldWindows(true);
}

// Features...: the flags and cursor are kept until OK; a transparent object's preview shows
// through and takes no typing.
void RunFeatures(HWND dialog) {
    TextAppearance& s = StateOf(dialog);
    uint16_t flags = s.objectFlags, cursor = s.cursorId;
    if (ShowItemInfo(dialog, kObjectText, s.objectId, &flags, &cursor, s.field) != IDOK)
        return;
    s.objectFlags = flags;
    s.cursorId = cursor;
    HWND preview = GetDlgItem(dialog, kPreviewBox);
    const bool transparent = (flags & kTextTransparent) != 0;
    const LONG ex = GetWindowLongA(preview, GWL_EXSTYLE);
    SetWindowLongA(preview, GWL_EXSTYLE, transparent ? (ex | WS_EX_TRANSPARENT) : (ex & ~WS_EX_TRANSPARENT));
    EnableWindow(preview, !transparent);
    InvalidateRect(preview, nullptr, TRUE);
}

void Cancel(HWND dialog) {
    ClearIconSelection();  // a cursor chosen in the features goes with the dialog
    FreePendingActions(StateOf(dialog));
    EndDialog(dialog, IDCANCEL);
    ShowTextFieldWindows(true);
}

INT_PTR CALLBACK TextInfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogPass* pass = KeptDialogState<DialogPass>(dialog, message, lParam);
    if (!pass)
        return FALSE;
    TextAppearance& s = pass->state;
    switch (message) {
    case WM_INITDIALOG: InitDialog(dialog); return FALSE;
    case WM_DRAWITEM: {
        if (wParam != kTextGrid && wParam != kBackGrid)
            return FALSE;
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        DrawColorGridItem(item.hwndItem, item.hDC, 8, 8, wParam == kTextGrid ? s.textColor : s.backColor);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const BOOL more = message == WM_LBUTTONDBLCLK;
        const DWORD point = static_cast<DWORD>(lParam);
        HWND preview = GetDlgItem(dialog, kPreviewBox);
        if (TrackColorPopup(dialog, point, kTextGrid, &s.textColor, more)) {
            TextSetColor(preview, ColorOf(s.textColor), TextScope::All);
            s.textColorChanged = true;
            return TRUE;
        }
        if (TrackColorPopup(dialog, point, kBackGrid, &s.backColor, more)) {
            TextSetBackColor(preview, ColorOf(s.backColor));
            s.backColorChanged = true;
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        HWND preview = GetDlgItem(dialog, kPreviewBox);
        switch (id) {
        case kScrollBarBox:
        case kScrollableBox:
            SetFieldScrollBar(preview, IsItemChecked(dialog, kScrollBarBox), IsItemChecked(dialog, kScrollableBox));
            return TRUE;
        case kFrameBox: SetFieldBorder(preview, IsItemChecked(dialog, kFrameBox)); return TRUE;
        case kStyleButton: RunStyle(dialog); return TRUE;
        case kGetFileButton: RunGetFile(dialog); return TRUE;
        case kActionsButton: EndWithActions(dialog); return TRUE;
        case kFeaturesButton: RunFeatures(dialog); return TRUE;
        case IDOK: Finish(dialog); return TRUE;
        case IDCANCEL: Cancel(dialog); return TRUE;
        default: return FALSE;
        }
    }
    default: return FALSE;
    }
}

}  // namespace text_info
