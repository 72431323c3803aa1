// The Text Appearance dialog and what it makes and changes (NewTextObject.h).
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "actions/ActionsDialog.h"
#include "core/events/CardLeaveGuard.h"
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

// The cursor chosen in the features is stored for the stack; the choice is then used up.
uint16_t MappedCursorId(const TextAppearance& s, uint16_t oldId) {
    const uint16_t id = MapButtonIconId(oldId, s.cursorId);
    ClearIconSelection();
    return id;
}

void WriteRecordName(std::span<uint8_t> object, std::string_view name) {
    if (object.size() < kTextName + kTextNameBytes)
        return;
    // The name keeps to its 16 bytes: the base style and action id follow it.
    const size_t length = std::min(name.size(), kNameMax);
    std::fill_n(object.begin() + kTextName, kTextNameBytes, uint8_t{0});
    object[kTextName] = static_cast<uint8_t>(length);
    std::copy_n(name.begin(), length, object.begin() + kTextName + 1);
}

void CreateTextObjectFromInfo(HWND dialog) {
    const TextAppearance& s = StateOf(dialog);
    SelectToolNumber(kBrowseTool);
    Handle card = GetCurrentCardRecord();
    if (!IsValidHandle(card))
        return;
    const RECT& r = s.rect;
    const NewTextObject fields{.id = s.objectId,
                               .left = static_cast<int16_t>(r.left),
                               .top = static_cast<int16_t>(r.top),
                               .right = static_cast<int16_t>(r.right),
                               .bottom = static_cast<int16_t>(r.bottom),
                               .options = s.options,
                               .flags = s.objectFlags,
                               .colorPlusOne = static_cast<uint16_t>(s.backColor + 1),
                               .alignment = static_cast<int16_t>(s.alignment),
                               .actionId = s.actionId,
                               .cursorId = MappedCursorId(s, 0)};
    const std::vector<uint8_t> record = BuildTextObjectRecord(fields, s.name, {}, GetCardId(card), {});
    LayerHandle layer = NewFieldLayer(record, kLayerAtEnd, kFieldWindowShown);
    HWND window = FieldWindow(layer);
    if (!layer || !window)
        return;
    LayerLock<FieldLayer>(layer)->textColor = s.textColor;
    HWND preview = GetDlgItem(dialog, kPreviewBox);
    if (!(s.fileLoaded && CopyFieldRichText(preview, window))) {
        TextApplyCurrentStyle(window, AppearanceStyle(s));
        TextSetAlignment(window, s.alignment);
    }
    MarkFieldModified(layer);
    if (!(s.objectFlags & kTextTransparent))
        TextSetBackColor(window, ColorOf(s.backColor));
    // A field that cannot scroll gets no bar, whatever Draw scroll bar says.
    if (s.options & kTextNotScrollable)
        ShowScrollBar(window, SB_VERT, FALSE);
    NewTextObjectRecord(layer, s.name, s.file.c_str());
    MarkCardChanged();
    const CardView view = GetCardView();
    const bool hidden = s.objectFlags & kObjectHidden;
    if (hidden && !view.hiddenTextsShown) {
        SyncCardFromLayers();
        RemoveLayer(layer);
        return;
    }
    if (!view.objectsShown)
        ShowWindow(window, SW_HIDE);
    if (!(s.options & kTextReadOnly) && !(s.objectFlags & kObjectHasPath) && !hidden && view.objectsShown) {
        SetFocus(window);
        SetActiveTextField(layer);
    }
}

void ApplyTextInfoToField(HWND dialog) {
    const TextAppearance& s = StateOf(dialog);
    LayerHandle layer = s.field;
    SyncCardFromLayers();
    Handle record = 0;
    uint32_t at = 0;
    if (!layer || !FindObject(kObjectText, s.objectId, &record, &at))
        return;
    RecordObjectEditUndo(layer);
    uint16_t oldOptions = 0, oldFlags = 0, oldCursor = 0;
    HWND window = nullptr;
    RECT bounds{};
    {
        LayerLock<FieldLayer> field(layer);
        if (!field)
            return;
        oldOptions = field->options;
        oldFlags = field->objectFlags;
        oldCursor = field->cursorId;
        window = field->window;
        bounds = field->common.bounds;
    }
    const uint16_t cursor = MappedCursorId(s, oldCursor);
    std::vector<uint8_t> copy;
    {
        HandleLock lock(record);
        std::span<uint8_t> object = lock.bytes().subspan(at);
        SetU16(object, kTextOptions, s.options);
        SetU16(object, kObjectFlags, s.objectFlags);
        SetU16(object, kTextColor, static_cast<uint16_t>(s.backColor + 1));
        SetU16(object, kTextAction, s.actionId);
        SetU16(object, kTextAlignment, static_cast<uint16_t>(s.alignment));
        SetU16(object, kTextCursor, cursor);
        WriteRecordName(object, s.name);
        const uint32_t length = std::min<uint32_t>(GetU32(object, kObjectLength), static_cast<uint32_t>(object.size()));
        copy.assign(object.begin(), object.begin() + length);
    }
    if (LayerLock<FieldLayer> field(layer); field) {
        field->options = s.options;
        field->alignment = static_cast<int16_t>(s.alignment);
        field->colorIndex = s.backColor;
        field->objectFlags = s.objectFlags;
        field->actionId = s.actionId;
        field->textColor = s.textColor;
        field->cursorId = cursor;
    }
    HWND preview = GetDlgItem(dialog, kPreviewBox);
    const bool hadText = window && TextGetLength(window) > 0;
    if (((oldFlags ^ s.objectFlags) & kTextTransparent) || oldOptions != s.options) {
        // The window's kind of scrolling and its transparency are fixed when it is made.
        if (LayerLock<FieldLayer> field(layer); field)
            DestroyFieldWindow(field.get());
        InitFieldWindow(copy, layer, GetCurrentTool() == static_cast<uint32_t>(kBrowseTool));
        window = FieldWindow(layer);
    } else if (window) {
        SetFieldReadOnlyStyle(window, s.options & kTextReadOnly);
        SendMessageA(window, EM_SETREADONLY, (s.options & kTextReadOnly) != 0, 0);
        SetFieldBorder(window, s.options & kTextFrame);
    }
    if (window) {
        if (!(s.objectFlags & kTextTransparent))
            TextSetBackColor(window, ColorOf(s.backColor));
        TextSetAlignment(window, s.alignment);
        if (s.styleChanged) {
            if (!(hadText && CopyFieldRichText(preview, window))) {
                TextApplyCurrentStyle(window, AppearanceStyle(s));
                TextSetAlignment(window, s.alignment);
            }
        } else if (s.textColorChanged) {
            TextSetColor(window, ColorOf(s.textColor), TextScope::All);
        }
    }
    MarkFieldModified(layer);
    InflateRect(&bounds, 2, 2);
    if (HWND card = window ? GetParent(window) : nullptr)
        InvalidateRect(card, &bounds, FALSE);
    // A group object lives in the record that holds the background, a card object in the card.
    UpdateObjectLayer(kObjectText, s.objectId, GetCurrentCardRecord());
    SyncCardFromLayers();
    MarkCardChanged();
}

// The style of the appearance given to the field, its layer and its record.
void ApplyTextObjectStyle(LayerHandle field, const TextAppearance& s) {
    HWND window = nullptr;
    RECT bounds{};
    uint16_t id = 0;
    {
        LayerLock<FieldLayer> lock(field);
        if (!lock)
            return;
        lock->alignment = static_cast<int16_t>(s.alignment);
        lock->colorIndex = s.backColor;
        lock->textColor = s.textColor;
        window = lock->window;
        bounds = lock->common.bounds;
        id = lock->common.id;
    }
    SetObjectRecordWord(kObjectText, id, kTextAlignment, static_cast<uint16_t>(s.alignment));
    SetObjectRecordWord(kObjectText, id, kTextColor, static_cast<uint16_t>(s.backColor + 1));
    MarkFieldModified(field);
    SyncCardFromLayers();
    if (window) {
        TextApplyCurrentStyle(window, AppearanceStyle(s));
        TextSetAlignment(window, s.alignment);
        InflateRect(&bounds, 2, 2);
        InvalidateRect(GetParent(window), &bounds, FALSE);
    }
    MarkCardChanged();
}

// The Style... command on the appearance kept from the last opening: the field's colours and
// alignment, then the chosen style.
int RestyleField(HWND window, LayerHandle field, TextAppearance& s) {
    HWND text = nullptr;
    {
        LayerLock<FieldLayer> lock(field);
        if (!lock)
            return 0;
        s.backColor = lock->colorIndex;
        s.textColor = lock->textColor;
        s.alignment = lock->alignment;
        text = lock->window;
    }
    SetStyleColorsAndAlignment(s.textColor, s.backColor, s.alignment);
    if (text)
        SyncStyleFromField(text, true, s.backColor);
    const LayerName name = NameOfLayer(field);
    if (RunChooseFontForField(window) != 1 || !(field = FindNamedLayerOrSay(name, window)))
        return 0;
    s.styleChanged = true;
    TakeCurrentStyle(s);
    s.backColor = GetCurrentStyleInfo().backColor;
    ApplyTextObjectStyle(field, s);
    return 1;
}

// The rich edit class of the preview, loaded with the first opening and kept.
void LoadRichEditClass() {
    static HMODULE module = nullptr;
    if (!module)
        module = LoadLibraryA("riched20.dll");
}

}  // namespace text_info

using namespace text_info;

const TextAppearance& LastTextAppearance() { return g_kept.last; }

TextAppearance NewObjectAppearance(const RECT& rect) {
    TextAppearance s;
    s.cursorId = g_kept.last.cursorId;
    s.objectId = NewUniqueObjectId();
    TakeCurrentStyle(s);
    s.backColor = g_kept.styleTaken ? GetCurrentStyleInfo().backColor : uint16_t{1};
    g_kept.styleTaken = true;
    s.rect = rect;
    return s;
}

void ForgetStackTextCursor() {
    ForgetOwnCursor(g_kept.last);
    ++g_kept.stacksClosed;
}

int EditTextObjectAppearance(HWND window, LayerHandle field) {
    TextAppearance s;
    {
        LayerLock<FieldLayer> lock(field);
        if (!lock || lock->common.kind != kObjectText)
            return IDCANCEL;
        TakeCurrentStyle(s);
        s.options = lock->options;
        s.objectFlags = lock->objectFlags;
        s.actionId = lock->actionId;
        s.objectId = lock->common.id;
        s.backColor = lock->colorIndex;
        s.textColor = lock->textColor;
        s.cursorId = lock->cursorId;
        s.alignment = lock->alignment;
        s.rect = lock->common.bounds;
        s.field = field;
    }
    Handle record = 0;
    uint32_t at = 0;
    if (FindObject(kObjectText, s.objectId, &record, &at)) {
        HandleLock lock(record);
        const std::string name = FieldRecordName(lock.bytes().subspan(at));
        s.name = name.empty() ? std::string() : name.substr(1, kNameMax);
    }
    return RunTextInfoDialog(window, s, nullptr);
}

int RunTextInfoDialog(HWND window, TextAppearance& state, const char* droppedFile) {
    const CardLeaveGuard guard;
    LoadRichEditClass();
    DialogPass pass{.state = state, .stacksClosed = g_kept.stacksClosed};
    pass.droppedFile = droppedFile ? droppedFile : "";
    INT_PTR result = IDCANCEL;
    // An existing object by its name; a new one by the card it is placed on (kind 0).
    const LayerName name = state.field ? NameOfLayer(state.field) : NameOfObject(0, 0);
    pass.subject = name;
    const StackResourceMark resources = MarkStackResources();
    for (;;) {
        result = ResDialogBoxParam(window, TextInfoProc, "TEXTINFO", reinterpret_cast<LPARAM>(&pass));
        if (result != kActionsButton)
            break;
        pass.actionsCancelled =
            EditObjectActions(state.pendingActions, 0, kActionsOfGraphicOrText) != kActionsDialogOk;
        pass.reopened = true;
        // "Another card..." comes back with new layers; an object no longer there is not
        // edited (nor taken for a new one).
        if (!FoundAgain(pass, window)) {
            ClearIconSelection();
            FreePendingActions(state);
            result = IDCANCEL;
            break;
        }
    }
    if (pass.keptText)
        GlobalFree(pass.keptText);
    if (result != IDOK) {
        // What the actions dialog stored on its way goes with the Cancel, and a new object gives
        // back the id it was given.
        ClearPendingRequests();
        DropStackResourcesSince(resources);
        if (name.kind == 0 && IsNewObject(state))
            ReturnUniqueObjectId(state.objectId);
    }
    FreePendingActions(state);  // left by a dialog that could not be made
    g_kept.last = state;
    return result == IDOK ? IDOK : IDCANCEL;
}

int EditTextObjectStyle(HWND window, LayerHandle field) {
    TextAppearance s = g_kept.last;
    const int changed = RestyleField(window, field, s);
    g_kept.last = s;
    return changed;
}

int EditTextObjectActions(LayerHandle field) {
    const LayerName name = NameOfLayer(field);
    if (name.kind != kObjectText)
        return 0;
    const uint16_t id = name.id;
    uint16_t actionId = LayerLock<FieldLayer>(field)->actionId;
    Handle loaded = LoadActionResource(actionId);
    if (!loaded)
        return 0;
    const std::vector<uint8_t> before = HandleToBytes(loaded);
    int changed = 0;
    // "Another card..." leaves the card and comes back with new layers.
    const bool done = EditObjectActions(loaded, 0, kActionsOfGraphicOrText) == kActionsDialogOk;
    const LayerHandle now = done ? FindNamedLayerOrSay(name, GetCardWindow()) : nullptr;
    if (done && now && HandleToBytes(loaded) != before && StoreActionResource(&actionId, loaded)) {
        SetObjectRecordWord(kObjectText, id, kTextAction, actionId);
        LayerLock<FieldLayer>(now)->actionId = actionId;
        MarkCardChanged();
        changed = 1;
    }
    DisposeHandle(loaded);
    return changed;
}

int EditTextObjectFeatures(HWND window, LayerHandle field) {
    uint16_t id = 0, oldFlags = 0, oldCursor = 0;
    HWND text = nullptr;
    RECT bounds{};
    {
        LayerLock<FieldLayer> lock(field);
        if (!lock)
            return 0;
        id = lock->common.id;
        oldFlags = lock->objectFlags;
        oldCursor = lock->cursorId;
        text = lock->window;
        bounds = lock->common.bounds;
    }
    uint16_t flags = oldFlags, cursor = oldCursor;
    const LayerName name = NameOfLayer(field);
    const bool ok = ShowItemInfo(window, kObjectText, id, &flags, &cursor, field) == IDOK;
    const bool chosen = GetIconSelection()->data != 0;
    field = ok ? FindNamedLayerOrSay(name, window) : nullptr;
    if (!ok || !field || (flags == oldFlags && cursor == oldCursor && !chosen)) {
        ClearIconSelection();
        return 0;
    }
    {
        LayerLock<FieldLayer> lock(field);
        text = lock ? lock->window : nullptr;
    }
    cursor = MapButtonIconId(oldCursor, cursor);
    ClearIconSelection();
    SetObjectRecordWord(kObjectText, id, kObjectFlags, flags);
    SetObjectRecordWord(kObjectText, id, kTextCursor, cursor);
    {
        LayerLock<FieldLayer> lock(field);
        if (lock) {
            lock->objectFlags = flags;
            lock->cursorId = cursor;
        }
    }
    if ((flags ^ oldFlags) & kObjectBackground) {
        SyncCardFromLayers();
        UpdateObjectLayer(kObjectText, id, GetCurrentCardRecord());
    }
    if (((flags ^ oldFlags) & kTextTransparent) && text) {
        const LONG ex = GetWindowLongA(text, GWL_EXSTYLE);
        SetWindowLongA(text, GWL_EXSTYLE, (flags & kTextTransparent) ? (ex | WS_EX_TRANSPARENT) : (ex & ~WS_EX_TRANSPARENT));
        InflateRect(&bounds, 2, 2);
        InvalidateRect(GetParent(text), &bounds, FALSE);
    }
    MarkCardChanged();
    return 1;
}
