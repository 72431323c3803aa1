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
#include "graphics/palette/AppPalette.h"
#include "objects/ObjectInfo.h"
#include "objects/buttons/ButtonIcons.h"
#include "objects/text/ApplyTextStyle_win.h"
#include "objects/text/CurrentTextStyle_win.h"
#include "objects/text/TextStyleDialog_win.h"
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

namespace {

// The dialog's items.
enum : int {
    kTextGrid = 50, kBackGrid = 51, kStyleButton = 52, kPreviewBox = 53, kNameEdit = 54, kScrollBarBox = 55,
    kScrollableBox = 56, kDiskBasedBox = 57, kReadOnlyBox = 58, kFrameBox = 59, kGetFileButton = 60,
    kFeaturesButton = 61, kActionsButton = 63,
};
constexpr int kTextObjectActionsVariant = 5;
constexpr size_t kNameMax = kTextNameBytes - 1;
constexpr DWORD kNewPreviewStyle = 0x50A0A044;
constexpr DWORD kHebrewPreviewExStyle = WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;

TextAppearance g_state;
bool g_styleTaken = false;  // the background comes from the current style after the first object

// The dialog's own state across the reopenings after Actions..., handed to each opening.
struct DialogPass {
    bool reopened = false;
    bool actionsCancelled = false;
    HGLOBAL keptText = nullptr;  // the preview's rich text while the actions dialog runs
    std::string droppedFile;     // a text file dropped for a new object
    LayerName subject = {};      // an existing object, found again after each dialog over this one
};

DialogPass& PassOf(HWND dialog) { return *reinterpret_cast<DialogPass*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void Check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

COLORREF ColorOf(uint16_t index) { return PaletteIndexToColorPlain(index) & 0x00FFFFFF; }

HWND FieldWindow(LayerHandle field) {
    LayerLock<FieldLayer> lock(field);
    return lock ? lock->window : nullptr;
}

bool IsNewObject() { return g_state.field == nullptr; }

void TakeCurrentStyle() {
    const CurrentStyleInfo style = GetCurrentStyleInfo();
    g_state.face = style.face;
    g_state.size = style.size;
    g_state.fontType = style.fontType;
    g_state.styleBits = style.styleBits;
    g_state.textColor = style.textColor;
    g_state.alignment = style.alignment;
}

void FreePendingActions() {
    if (g_state.pendingActions)
        DisposeHandleAndClear(&g_state.pendingActions);
}

std::string ReadName(HWND dialog) {
    char text[kNameMax + 1] = {};
    GetDlgItemTextA(dialog, kNameEdit, text, sizeof text);
    return text;
}

uint16_t OptionsFromBoxes(HWND dialog) {
    uint16_t options = 0;
    if (Checked(dialog, kFrameBox))
        options |= kTextFrame;
    if (Checked(dialog, kScrollBarBox))
        options |= kTextScrollBar;
    if (Checked(dialog, kReadOnlyBox))
        options |= kTextReadOnly;
    if (!Checked(dialog, kScrollableBox))
        options |= kTextNotScrollable;
    return options;
}

// Name, disk based and options as the boxes hold them.
void ReadBoxes(HWND dialog) {
    g_state.name = ReadName(dialog);
    if (IsNewObject()) {
        g_state.objectFlags = static_cast<uint16_t>(g_state.objectFlags & ~kObjectHasPath);
        if (Checked(dialog, kDiskBasedBox))
            g_state.objectFlags |= kObjectHasPath;
    }
    g_state.options = OptionsFromBoxes(dialog);
}

void ShowSampleInPreview(HWND preview) {
    TextSetText(preview, GetSampleText().c_str());
    TextApplyCurrentStyle(preview, GetAppearanceStyle());
    TextSetAlignment(preview, g_state.alignment);
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
    HWND preview = GetDlgItem(dialog, kPreviewBox);
    SendMessageA(preview, EM_SETEVENTMASK, 0, 0);
    if (HWND field = FieldWindow(g_state.field)) {
        const DWORD style = static_cast<DWORD>(GetWindowLongA(field, GWL_STYLE));
        SetWindowLongA(preview, GWL_STYLE, static_cast<LONG>((style | WS_CHILD | WS_VISIBLE | ES_READONLY) & ~WS_CLIPSIBLINGS));
        SetWindowLongA(preview, GWL_EXSTYLE, GetWindowLongA(field, GWL_EXSTYLE));
        SendMessageA(preview, EM_SETREADONLY, TRUE, 0);
        if (pass.keptText || TextGetLength(field) == 0 || !CopyFieldRichText(field, preview))
            ShowSampleInPreview(preview);
        if (GetDisplayBitsPerPixel() <= 8)
            TextSetColor(preview, ColorOf(g_state.textColor), TextScope::All);
    } else {
        SetWindowLongA(preview, GWL_STYLE, static_cast<LONG>(kNewPreviewStyle));
        if (IsHebrewLanguage())
            SetWindowLongA(preview, GWL_EXSTYLE, GetWindowLongA(preview, GWL_EXSTYLE) | kHebrewPreviewExStyle);
        ShowSampleInPreview(preview);
    }
    if (pass.keptText) {
        TextStreamInBlock(preview, pass.keptText, true, false);
        GlobalFree(pass.keptText);
        pass.keptText = nullptr;
    }
    TextSetBackColor(preview, ColorOf(g_state.backColor));
    SetFieldScrollBar(preview, g_state.options & kTextScrollBar, !(g_state.options & kTextNotScrollable));
    if (!pass.reopened && IsNewObject() && !pass.droppedFile.empty() &&
        LoadFileIntoPreview(preview, pass.droppedFile.c_str())) {
        g_state.fileLoaded = true;
        g_state.file = pass.droppedFile;
    }
    EnableWindow(GetDlgItem(dialog, kDiskBasedBox), g_state.fileLoaded);
    EnableWindow(preview, !(g_state.objectFlags & kTextTransparent));
}

void InitDialog(HWND dialog) {
    Check(dialog, kScrollBarBox, g_state.options & kTextScrollBar);
    Check(dialog, kScrollableBox, !(g_state.options & kTextNotScrollable));
    Check(dialog, kDiskBasedBox, g_state.objectFlags & kObjectHasPath);
    Check(dialog, kReadOnlyBox, g_state.options & kTextReadOnly);
    Check(dialog, kFrameBox, g_state.options & kTextFrame);
    SendDlgItemMessageA(dialog, kNameEdit, EM_LIMITTEXT, kNameMax, 0);
    SetDlgItemTextA(dialog, kNameEdit, g_state.name.empty() ? ResText(kStringUntitled).c_str() : g_state.name.c_str());
    if (!IsAdvancedUser())
        ShowWindow(GetDlgItem(dialog, kFeaturesButton), SW_HIDE);
    if (!IsNewObject())
        ShowWindow(GetDlgItem(dialog, kGetFileButton), SW_HIDE);
    const DialogPass& pass = PassOf(dialog);
    if (!pass.reopened) {
        g_state.textColorChanged = g_state.backColorChanged = g_state.styleChanged = g_state.actionsChanged = false;
        FreePendingActions();
        g_state.pendingActions = LoadActionResource(g_state.actionId);
    } else if (!pass.actionsCancelled) {
        g_state.actionsChanged = true;
    }
    SetUpPreview(dialog);
    HWND name = GetDlgItem(dialog, kNameEdit);
    SendMessageA(name, EM_SETSEL, 0, -1);
    SetFocus(name);
}

void RunStyle(HWND dialog) {
    HWND preview = GetDlgItem(dialog, kPreviewBox);
    SyncStyleFromField(preview, true, g_state.backColor);
    SetStyleColorsAndAlignment(g_state.textColor, g_state.backColor, g_state.alignment);
    if (RunChooseFontForField(dialog) != 1)
        return;
    g_state.styleChanged = true;
    const CurrentStyleInfo style = GetCurrentStyleInfo();
    TakeCurrentStyle();
    g_state.backColor = style.backColor;
    TextApplyCurrentStyle(preview, GetAppearanceStyle());
    TextSetAlignment(preview, g_state.alignment);
    TextSetBackColor(preview, ColorOf(g_state.backColor));
    InvalidateRect(GetDlgItem(dialog, kTextGrid), nullptr, FALSE);
    InvalidateRect(GetDlgItem(dialog, kBackGrid), nullptr, FALSE);
}

void RunGetFile(HWND dialog) {
    char path[MAX_PATH] = {};
    if (!AskTextFileToImport(dialog, path, sizeof path))
        return;
    if (LoadFileIntoPreview(GetDlgItem(dialog, kPreviewBox), path)) {
        g_state.fileLoaded = true;
        g_state.file = path;
        EnableWindow(GetDlgItem(dialog, kDiskBasedBox), TRUE);
    }
}

void EndWithActions(HWND dialog) {
    ReadBoxes(dialog);
    PassOf(dialog).keptText = TextStreamOutRtf(GetDlgItem(dialog, kPreviewBox), true);
    EndDialog(dialog, kActionsButton);
}

void CreateTextObjectFromInfo(HWND dialog);
void ApplyTextInfoToField(HWND dialog);

void Cancel(HWND dialog);

// After a dialog over this one: an existing object's layer found again, or a new one's card
// still the current one; otherwise a word that the edit is dropped.
bool FoundAgain(const LayerName& subject, HWND owner) {
    if (!IsNewObject())
        return (g_state.field = FindNamedLayerOrSay(subject, owner)) != nullptr;
    if (IsNamedCardCurrent(subject))
        return true;
    ShowAlertOn(owner, kAlertEditDropped);
    return false;
}

void Finish(HWND dialog) {
    // Features... and its cursor chooser are dialogs: the card may have been left under them.
    if (!FoundAgain(PassOf(dialog).subject, dialog)) {
        Cancel(dialog);
        return;
    }
    if (g_state.backColorChanged) {
        // Only the background: the next new text keeps the style's colour and alignment.
        const CurrentStyleInfo style = GetCurrentStyleInfo();
        SetStyleColorsAndAlignment(style.textColor, g_state.backColor, style.alignment);
    }
    {
        WaitCursor wait;
        if (g_state.actionsChanged && g_state.pendingActions)
            StoreActionResource(&g_state.actionId, g_state.pendingActions);
        FreePendingActions();
    }
    ReadBoxes(dialog);
    EndDialog(dialog, IDOK);
    if (IsNewObject())
        CreateTextObjectFromInfo(dialog);
    else
        ApplyTextInfoToField(dialog);
    ShowTextFieldWindows(true);
}

// Features...: the flags and cursor are kept until OK; a transparent object's preview shows
// through and takes no typing.
void RunFeatures(HWND dialog) {
    uint16_t flags = g_state.objectFlags, cursor = g_state.cursorId;
    if (ShowItemInfo(dialog, kObjectText, g_state.objectId, &flags, &cursor, g_state.field) != IDOK)
        return;
    g_state.objectFlags = flags;
    g_state.cursorId = cursor;
    HWND preview = GetDlgItem(dialog, kPreviewBox);
    const bool transparent = (flags & kTextTransparent) != 0;
    const LONG ex = GetWindowLongA(preview, GWL_EXSTYLE);
    SetWindowLongA(preview, GWL_EXSTYLE, transparent ? (ex | WS_EX_TRANSPARENT) : (ex & ~WS_EX_TRANSPARENT));
    EnableWindow(preview, !transparent);
    InvalidateRect(preview, nullptr, TRUE);
}

void Cancel(HWND dialog) {
    ClearIconSelection();  // a cursor chosen in the features goes with the dialog
    FreePendingActions();
    EndDialog(dialog, IDCANCEL);
    ShowTextFieldWindows(true);
}

INT_PTR CALLBACK TextInfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!KeptDialogState<DialogPass>(dialog, message, lParam))
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: InitDialog(dialog); return FALSE;
    case WM_DRAWITEM: {
        if (wParam != kTextGrid && wParam != kBackGrid)
            return FALSE;
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        DrawColorGridItem(item.hwndItem, item.hDC, 8, 8, wParam == kTextGrid ? g_state.textColor : g_state.backColor);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const BOOL more = message == WM_LBUTTONDBLCLK;
        const DWORD point = static_cast<DWORD>(lParam);
        HWND preview = GetDlgItem(dialog, kPreviewBox);
        if (TrackColorPopup(dialog, point, kTextGrid, &g_state.textColor, more)) {
            TextSetColor(preview, ColorOf(g_state.textColor), TextScope::All);
            g_state.textColorChanged = true;
            return TRUE;
        }
        if (TrackColorPopup(dialog, point, kBackGrid, &g_state.backColor, more)) {
            TextSetBackColor(preview, ColorOf(g_state.backColor));
            g_state.backColorChanged = true;
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
            SetFieldScrollBar(preview, Checked(dialog, kScrollBarBox), Checked(dialog, kScrollableBox));
            return TRUE;
        case kFrameBox: SetFieldBorder(preview, Checked(dialog, kFrameBox)); return TRUE;
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
uint16_t MappedCursorId(uint16_t oldId) {
    const uint16_t id = MapButtonIconId(oldId, g_state.cursorId);
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
    SelectToolNumber(kBrowseTool);
    Handle card = GetCurrentCardRecord();
    if (!IsValidHandle(card))
        return;
    const RECT& r = g_state.rect;
    const NewTextObject fields{.id = g_state.objectId,
                               .left = static_cast<int16_t>(r.left),
                               .top = static_cast<int16_t>(r.top),
                               .right = static_cast<int16_t>(r.right),
                               .bottom = static_cast<int16_t>(r.bottom),
                               .options = g_state.options,
                               .flags = g_state.objectFlags,
                               .colorPlusOne = static_cast<uint16_t>(g_state.backColor + 1),
                               .alignment = static_cast<int16_t>(g_state.alignment),
                               .actionId = g_state.actionId,
                               .cursorId = MappedCursorId(0)};
    const std::vector<uint8_t> record = BuildTextObjectRecord(fields, g_state.name, {}, GetCardId(card), {});
    LayerHandle layer = NewFieldLayer(record, kLayerAtEnd, kFieldWindowShown);
    HWND window = FieldWindow(layer);
    if (!layer || !window)
        return;
    LayerLock<FieldLayer>(layer)->textColor = g_state.textColor;
    HWND preview = GetDlgItem(dialog, kPreviewBox);
    if (!(g_state.fileLoaded && CopyFieldRichText(preview, window))) {
        TextApplyCurrentStyle(window, GetAppearanceStyle());
        TextSetAlignment(window, g_state.alignment);
    }
    MarkFieldModified(layer);
    if (!(g_state.objectFlags & kTextTransparent))
        TextSetBackColor(window, ColorOf(g_state.backColor));
    // A field that cannot scroll gets no bar, whatever Draw scroll bar says.
    if (g_state.options & kTextNotScrollable)
        ShowScrollBar(window, SB_VERT, FALSE);
    NewTextObjectRecord(layer, g_state.name, g_state.file.c_str());
    MarkCardChanged();
    const CardView view = GetCardView();
    const bool hidden = g_state.objectFlags & kObjectHidden;
    if (hidden && !view.hiddenTextsShown) {
        SyncCardFromLayers();
        RemoveLayer(layer);
        return;
    }
    if (!view.objectsShown)
        ShowWindow(window, SW_HIDE);
    if (!(g_state.options & kTextReadOnly) && !(g_state.objectFlags & kObjectHasPath) && !hidden && view.objectsShown) {
        SetFocus(window);
        SetActiveTextField(layer);
    }
}

void ApplyTextInfoToField(HWND dialog) {
    LayerHandle layer = g_state.field;
    SyncCardFromLayers();
    Handle record = 0;
    uint32_t at = 0;
    if (!layer || !FindObject(kObjectText, g_state.objectId, &record, &at))
        return;
    RecordObjectEditUndo(layer);
    uint16_t oldOptions = 0, oldFlags = 0, oldCursor = 0;
    HWND window = nullptr;
    RECT bounds{};
    {
        LayerLock<FieldLayer> field(layer);
        oldOptions = field->options;
        oldFlags = field->objectFlags;
        oldCursor = field->cursorId;
        window = field->window;
        bounds = field->common.bounds;
    }
    const uint16_t cursor = MappedCursorId(oldCursor);
    std::vector<uint8_t> copy;
    {
        HandleLock lock(record);
        std::span<uint8_t> object = lock.bytes().subspan(at);
        SetU16(object, kTextOptions, g_state.options);
        SetU16(object, kObjectFlags, g_state.objectFlags);
        SetU16(object, kTextColor, static_cast<uint16_t>(g_state.backColor + 1));
        SetU16(object, kTextAction, g_state.actionId);
        SetU16(object, kTextAlignment, static_cast<uint16_t>(g_state.alignment));
        SetU16(object, kTextCursor, cursor);
        WriteRecordName(object, g_state.name);
        const uint32_t length = std::min<uint32_t>(GetU32(object, kObjectLength), static_cast<uint32_t>(object.size()));
        copy.assign(object.begin(), object.begin() + length);
    }
    {
        LayerLock<FieldLayer> field(layer);
        field->options = g_state.options;
        field->alignment = static_cast<int16_t>(g_state.alignment);
        field->colorIndex = g_state.backColor;
        field->objectFlags = g_state.objectFlags;
        field->actionId = g_state.actionId;
        field->textColor = g_state.textColor;
        field->cursorId = cursor;
    }
    HWND preview = GetDlgItem(dialog, kPreviewBox);
    const bool hadText = window && TextGetLength(window) > 0;
    if (((oldFlags ^ g_state.objectFlags) & kTextTransparent) || oldOptions != g_state.options) {
        // The window's kind of scrolling and its transparency are fixed when it is made.
        {
            LayerLock<FieldLayer> field(layer);
            DestroyFieldWindow(field.get());
        }
        InitFieldWindow(copy, layer, GetCurrentTool() == static_cast<uint32_t>(kBrowseTool));
        window = FieldWindow(layer);
    } else if (window) {
        SetFieldReadOnlyStyle(window, g_state.options & kTextReadOnly);
        SendMessageA(window, EM_SETREADONLY, (g_state.options & kTextReadOnly) != 0, 0);
        SetFieldBorder(window, g_state.options & kTextFrame);
    }
    if (window) {
        if (!(g_state.objectFlags & kTextTransparent))
            TextSetBackColor(window, ColorOf(g_state.backColor));
        TextSetAlignment(window, g_state.alignment);
        if (g_state.styleChanged) {
            if (!(hadText && CopyFieldRichText(preview, window))) {
                TextApplyCurrentStyle(window, GetAppearanceStyle());
                TextSetAlignment(window, g_state.alignment);
            }
        } else if (g_state.textColorChanged) {
            TextSetColor(window, ColorOf(g_state.textColor), TextScope::All);
        }
    }
    MarkFieldModified(layer);
    InflateRect(&bounds, 2, 2);
    if (HWND card = window ? GetParent(window) : nullptr)
        InvalidateRect(card, &bounds, FALSE);
    // A group object lives in the record that holds the background, a card object in the card.
    UpdateObjectLayer(kObjectText, g_state.objectId, GetCurrentCardRecord());
    SyncCardFromLayers();
    MarkCardChanged();
}

}  // namespace

TextAppearance& CurrentTextAppearance() { return g_state; }

void SetAppearanceForNewObject(const RECT& rect) {
    const uint16_t cursor = g_state.cursorId;
    FreePendingActions();
    g_state = TextAppearance{};
    g_state.cursorId = cursor;
    g_state.objectId = NewUniqueObjectId();
    TakeCurrentStyle();
    g_state.backColor = g_styleTaken ? GetCurrentStyleInfo().backColor : uint16_t{1};
    g_styleTaken = true;
    g_state.rect = rect;
}

void ForgetStackTextCursor() {
    if (g_state.cursorId < kFirstBuiltInIcon || g_state.cursorId > kLastBuiltInIcon)
        g_state.cursorId = 0;
}

int EditTextObjectAppearance(HWND window, LayerHandle field) {
    Handle record = 0;
    uint32_t at = 0;
    {
        LayerLock<FieldLayer> lock(field);
        if (!lock || lock->common.kind != kObjectText)
            return IDCANCEL;
        FreePendingActions();
        const uint16_t cursor = g_state.cursorId;
        g_state = TextAppearance{};
        g_state.cursorId = cursor;
        TakeCurrentStyle();
        g_state.options = lock->options;
        g_state.objectFlags = lock->objectFlags;
        g_state.actionId = lock->actionId;
        g_state.objectId = lock->common.id;
        g_state.backColor = lock->colorIndex;
        g_state.textColor = lock->textColor;
        g_state.cursorId = lock->cursorId;
        g_state.alignment = lock->alignment;
        g_state.rect = lock->common.bounds;
        g_state.field = field;
    }
    if (FindObject(kObjectText, g_state.objectId, &record, &at)) {
        HandleLock lock(record);
        const std::string name = FieldRecordName(lock.bytes().subspan(at));
        g_state.name = name.empty() ? std::string() : name.substr(1, kNameMax);
    }
    return RunTextInfoDialog(window, nullptr);
}

int RunTextInfoDialog(HWND window, const char* droppedFile) {
    const CardLeaveGuard guard;
    LoadLibraryA("riched20.dll");  // the preview's class
    DialogPass pass;
    pass.droppedFile = droppedFile ? droppedFile : "";
    INT_PTR result = IDCANCEL;
    // An existing object by its name; a new one by the card it is placed on (kind 0).
    const LayerName name = g_state.field ? NameOfLayer(g_state.field) : NameOfObject(0, 0);
    pass.subject = name;
    const StackResourceMark resources = MarkStackResources();
    for (;;) {
        result = ResDialogBoxParam(window, TextInfoProc, "TEXTINFO", reinterpret_cast<LPARAM>(&pass));
        if (result != kActionsButton)
            break;
        pass.actionsCancelled =
            EditObjectActions(g_state.pendingActions, 0, kTextObjectActionsVariant) != kActionsDialogOk;
        pass.reopened = true;
        // "Another card..." comes back with new layers; an object no longer there is not
        // edited (nor taken for a new one).
        if (!FoundAgain(name, window)) {
            ClearIconSelection();
            FreePendingActions();
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
        if (name.kind == 0 && IsNewObject())
            ReturnUniqueObjectId(g_state.objectId);
    }
    return result == IDOK ? IDOK : IDCANCEL;
}

TextStyle GetAppearanceStyle() {
    return TextStyle{.face = g_state.face, .points = g_state.size, .bits = g_state.styleBits,
                     .color = ColorOf(g_state.textColor)};
}

int EditTextObjectStyle(HWND window, LayerHandle field) {
    HWND text = nullptr;
    {
        LayerLock<FieldLayer> lock(field);
        if (!lock)
            return 0;
        g_state.backColor = lock->colorIndex;
        g_state.textColor = lock->textColor;
        g_state.alignment = lock->alignment;
        text = lock->window;
    }
    SetStyleColorsAndAlignment(g_state.textColor, g_state.backColor, g_state.alignment);
    if (text)
        SyncStyleFromField(text, true, g_state.backColor);
    const LayerName name = NameOfLayer(field);
    if (RunChooseFontForField(window) != 1 || !(field = FindNamedLayerOrSay(name, window)))
        return 0;
    g_state.styleChanged = true;
    TakeCurrentStyle();
    g_state.backColor = GetCurrentStyleInfo().backColor;
    ApplyTextObjectStyle(field);
    return 1;
}

void ApplyTextObjectStyle(LayerHandle field) {
    HWND window = nullptr;
    RECT bounds{};
    uint16_t id = 0;
    {
        LayerLock<FieldLayer> lock(field);
        if (!lock)
            return;
        lock->alignment = static_cast<int16_t>(g_state.alignment);
        lock->colorIndex = g_state.backColor;
        lock->textColor = g_state.textColor;
        window = lock->window;
        bounds = lock->common.bounds;
        id = lock->common.id;
    }
    SetObjectRecordWord(kObjectText, id, kTextAlignment, static_cast<uint16_t>(g_state.alignment));
    SetObjectRecordWord(kObjectText, id, kTextColor, static_cast<uint16_t>(g_state.backColor + 1));
    MarkFieldModified(field);
    SyncCardFromLayers();
    if (window) {
        TextApplyCurrentStyle(window, GetAppearanceStyle());
        TextSetAlignment(window, g_state.alignment);
        InflateRect(&bounds, 2, 2);
        InvalidateRect(GetParent(window), &bounds, FALSE);
    }
    MarkCardChanged();
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
    const bool done = EditObjectActions(loaded, 0, kTextObjectActionsVariant) == kActionsDialogOk;
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
