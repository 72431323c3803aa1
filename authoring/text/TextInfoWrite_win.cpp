// What the Text Appearance dialog writes: a new text object's record, an existing field's record,
// layer and window, and the Style... command's restyling (TextInfoParts_win.h).
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
