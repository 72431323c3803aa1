// The spare button record: a new or edited button is made in it, then written to the card
// record and its layer (Buttons.h).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "actions/ActionBlock.h"
#include "actions/ActionRecord.h"
#include "actions/ActionsDialog.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "layers/LayerList.h"
#include "graphics/masks/Masks.h"
#include "graphics/palette/AppPalette.h"
#include "media/MediaManager.h"
#include "objects/IconChooser.h"
#include "objects/buttons/Buttons.h"
#include "objects/text/CurrentTextStyle_win.h"
#include "objects/fonts/FontTable.h"
#include "objects/text/TextFields.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/cards/UndoObjects.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

enum : uint32_t { kStringNewButton = 4000 };
constexpr uint16_t kButtonMaskTag = 130;

Handle g_spare = 0;
ButtonDefaults g_defaults;
bool g_pending = false;
bool g_tipShown = false;         // "NOVICE1" since start-up

// Deletes what the spare owns: icon data, mask, outline, region.
void ReleaseSpareParts(SpareButton* s) {
    DisposeHandleAndClear(&s->layer.icon);
    for (HBITMAP* bitmap : {&s->layer.freehandMask, &s->layer.freehandOutline})
        if (*bitmap) {
            DeleteObject(*bitmap);
            *bitmap = nullptr;
        }
    if (s->layer.common.region)
        DeleteObject(s->layer.common.region);
    s->layer.common.region = nullptr;
    DisposeActionBlockData(&s->actions);
}

HBITMAP CopyBitmap(HBITMAP bitmap) {
    return bitmap ? static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0)) : nullptr;
}

Handle CopyOf(Handle h) {
    Handle copy = h;
    return h && HandToHand(&copy) == 0 ? copy : 0;
}

uint16_t FontNumberOf(const LOGFONTA& font) {
    if (!font.lfFaceName[0])
        return 0;
    return FontNumberForFace(font.lfFaceName, font.lfCharSet, font.lfPitchAndFamily,
                             static_cast<int16_t>(PixelsToPoints(font.lfHeight)));
}

// The record a button of the card goes into: a background button of a card that shares its
// background goes into the background's record.
Handle TargetRecord(uint16_t flags) {
    Handle card = GetCurrentCardRecord();
    if ((flags & kObjectBackground) && GetCardKind(card) == kCardKindShared)
        if (Handle background = FindCardById(GetHandleWord(card, kCardBackgroundId)))
            return background;
    return card;
}

// The fixed part's fields the layer decides, over the bytes the record keeps.
// keepFont: the record's font words stay as they are.
void FillFixedPart(std::span<uint8_t> r, const ButtonLayer& b, uint16_t iconId, uint16_t cursorId, bool keepFont) {
    SetU16(r, kObjectKind, kObjectButton);
    SetU16(r, kObjectId, b.common.id);
    const RECT& rect = b.common.bounds;
    SetU16(r, kObjectRect, static_cast<uint16_t>(rect.left));
    SetU16(r, kObjectRect + 2, static_cast<uint16_t>(rect.top));
    SetU16(r, kObjectRect + 4, static_cast<uint16_t>(rect.right));
    SetU16(r, kObjectRect + 6, static_cast<uint16_t>(rect.bottom));
    SetU16(r, kObjectFlags, b.flags);
    std::fill_n(r.begin() + kButtonName, kButtonNameBytes, uint8_t{0});
    const size_t length = std::min<size_t>({b.nameLength, std::strlen(b.name), kButtonNameBytes - 1});
    r[kButtonName] = static_cast<uint8_t>(length);
    std::memcpy(r.data() + kButtonName + 1, b.name, length);
    SetU16(r, kButtonShape, static_cast<uint16_t>(b.shape));
    uint16_t options = GetU16(r, kButtonOptions) & ~(kButtonNoHilite | kButtonShowName | kButtonShowIcon);
    if (b.styleHas8)
        options |= kButtonShowName;
    if (b.showIcon)
        options |= kButtonShowIcon;
    if (!b.styleLacks4)
        options |= kButtonNoHilite;
    SetU16(r, kButtonOptions, options);
    SetU16(r, kButtonNameColor, static_cast<uint16_t>(b.colorIndex + 1));
    SetU16(r, kButtonFillColor, static_cast<uint16_t>(b.secondColorIndex + 1));
    SetU16(r, kButtonIconId, iconId);
    SetU16(r, kButtonCursorId, cursorId);
    if (keepFont)
        return;
    SetU16(r, kButtonFontNumber, FontNumberOf(b.font));
    SetU16(r, kButtonFontSize, static_cast<uint16_t>(PixelsToPoints(b.font.lfHeight)));
    const uint16_t style = (b.font.lfWeight >= FW_BOLD ? kButtonBold : 0) | (b.font.lfItalic ? kButtonItalic : 0) |
                           (b.font.lfUnderline ? kButtonUnderline : 0);
    SetU16(r, kButtonStyle, style);
}

// The mask packed as chunk 130 of the record in the handle.
void PutMaskChunk(Handle record, HBITMAP mask) {
    RemoveObjectChunk(record, 0, kButtonMaskTag, 0);
    if (!mask)
        return;
    uint32_t size = 0;
    HGLOBAL block = nullptr;
    MaskToPackedBits(mask, 0, 0, &size, &block);
    if (!block)
        return;
    std::vector<uint8_t> bytes(size);
    if (const void* p = GlobalLock(block)) {
        std::memcpy(bytes.data(), p, std::min<size_t>(size, GlobalSize(block)));
        GlobalUnlock(block);
    }
    GlobalFree(block);
    Handle packed = NewHandleFromBytes(bytes);
    if (packed)
        PutButtonMaskChunk(record, packed);
    DisposeHandle(packed);
}

void ClearPlacedAndLink() {
    if (HWND card = GetCardWindow())
        CancelPlacedButton(card);
    ClearLayerEditLink();
}

// A spare from an earlier handle table (a run without its shut-down) is not ours any more:
// only a handle of the spare's size is taken for it.
bool HaveSpare() { return g_spare && IsValidHandle(g_spare) && GetHandleSize(g_spare) == sizeof(SpareButton); }

}  // namespace

void InitSpareButtonRecord() {
    g_spare = NewHandle(sizeof(SpareButton));
    if (SpareLock lock(g_spare); lock)
        std::memset(lock.get(), 0, sizeof(SpareButton));
    g_pending = false;
}

void FreeSpareButtonRecord() {
    if (HaveSpare()) {
        if (SpareLock lock(g_spare); lock)
            ReleaseSpareParts(lock.get());
        DisposeHandle(g_spare);
    }
    g_spare = 0;
    g_pending = false;
    g_defaults = {};
    g_tipShown = false;
}

Handle GetSpareButton() { return g_spare; }
ButtonDefaults& CurrentButtonDefaults() { return g_defaults; }
bool IsButtonEditPending() { return g_pending; }

bool StartNewButton(HWND window, bool reset) {
    if (!HaveSpare())
        InitSpareButtonRecord();
    if (reset) {
        if (g_defaults.nameColor < 0 || g_defaults.fillColor < 0) {
            g_defaults.nameColor = FindPaletteIndexOfColor(GetAppPalette(), RGB(0, 0, 0));
            g_defaults.fillColor = FindPaletteIndexOfColor(GetAppPalette(), RGB(255, 255, 255));
        }
        SpareLock lock(g_spare);
        if (!lock)
            return false;
        SpareButton* s = lock.get();
        ReleaseSpareParts(s);
        std::memset(s, 0, sizeof *s);
        ButtonLayer& b = s->layer;
        b.common.kind = kObjectButton;
        b.colorIndex = static_cast<uint16_t>(g_defaults.nameColor);
        b.secondColorIndex = static_cast<uint16_t>(g_defaults.fillColor);
        b.shape = static_cast<int16_t>(g_defaults.shape);
        GetCurrentLogFont(&b.font);
        b.font.lfHeight = -std::abs(b.font.lfHeight);
        s->showNameChoice = IsFramedButtonShape(b.shape) ? -1 : 0;
        s->highlightChoice = -1;
        const std::string name = ResText(kStringNewButton);
        lstrcpynA(b.name, name.c_str(), sizeof b.name);
        b.nameLength = static_cast<uint8_t>(std::strlen(b.name));
        // A videodisc's live video is a child window over the card: it would cover the button
        // being placed or drawn and take the presses meant for it.
        CloseCaptureWindow();
        b.common.id = NewUniqueObjectId();
        // Made on this card of this stack, and written only there (kind 0: no layer yet).
        s->subject = NameOfObject(0, b.common.id);
        s->actions.soundParameter = kNewButtonSoundParameter;
        s->actions.objectId = b.common.id;
        g_pending = true;
    }
    return RunButtonDialog(window, g_spare);
}

bool EditButtonAppearance(HWND window, LayerHandle layer, bool actionsOnly) {
    if (!HaveSpare())
        InitSpareButtonRecord();
    uint16_t id = 0;
    {
        LayerLock<ButtonLayer> source(layer);
        SpareLock lock(g_spare);
        if (!source || !lock || source->common.kind != kObjectButton)
            return false;
        SpareButton* s = lock.get();
        ReleaseSpareParts(s);
        std::memset(s, 0, sizeof *s);
        s->layer = *source.get();
        s->layer.common.next = nullptr;
        s->layer.common.region = nullptr;
        s->layer.beingEdited = 0;
        s->layer.icon = CopyOf(source->icon);
        s->layer.freehandMask = CopyBitmap(source->freehandMask);
        s->layer.freehandOutline = CopyBitmap(source->freehandOutline);
        s->showNameChoice = source->styleHas8;
        s->highlightChoice = source->styleLacks4;
        s->editedLayer = 1;
        s->shapeDrawn = 1;
        s->subject = NameOfObject(kObjectButton, source->common.id);
        source->beingEdited = 1;
        g_defaults.shape = source->shape;
        id = source->common.id;
        if (window)
            InvalidateRect(window, &source->common.bounds, FALSE);
    }
    g_pending = true;
    Handle card = 0;
    uint32_t at = 0;
    if (SpareLock lock(g_spare); lock && FindObject(kObjectButton, id, &card, &at))
        LoadActionBlock(card, at, &lock->actions);
    if (actionsOnly) {
        // Done wrote the actions into the record; the appearance was not edited, so the layer
        // and the rest of the record stay as they are.
        const int result = RunSpareButtonActions(g_spare, false);
        if (g_pending)
            CommitButtonDialog(g_spare, false, IDOK);
        return result == kActionsDialogOk;
    }
    return RunButtonDialog(window, g_spare);
}

bool RunButtonDialog(HWND window, Handle spare) {
    bool editing = false, drawn = false;
    uint16_t id = 0;
    {
        SpareLock lock(spare);
        if (!lock)
            return false;
        editing = lock->editedLayer != 0;
        id = lock->layer.common.id;
    }
    const int result = RunButtonAppearanceDialog(window, spare);
    if (result == IDCANCEL) {
        ClearIconSelection();
        if (!editing)
            ReturnUniqueObjectId(id);
        return false;
    }
    if (SpareLock lock(spare); lock)
        drawn = lock->shapeDrawn != 0;
    if (result == kButtonDialogActions) {
        const int actions = RunSpareButtonActions(spare, false);
        if (g_pending)
            CommitButtonDialog(spare, actions == kActionsDialogOk, IDOK);
    } else if (result == IDOK && !editing && drawn && g_pending) {
        const int actions = RunSpareButtonActions(spare, true);
        // The actions dialog commits or cancels the button; what it left open is ended here.
        if (g_pending)
            CommitButtonDialog(spare, actions == kActionsDialogOk, IDOK);
    }
    return true;
}

int RunSpareButtonActions(Handle spare, bool isNew) {
    // Locked for the dialog's time: the dialog edits the spare's own block in place.
    SpareLock lock(spare);
    if (!lock)
        return kActionsDialogCancelled;
    return isNew ? NewButtonActions(spare, lock->actions) : EditButtonActions(spare, lock->actions);
}

int CommitButtonDialog(Handle spare, bool apply, int result) {
    int written = 0;
    HWND card = GetCardWindow();
    if (result == IDOK) {
        bool editing = false;
        ButtonLayer copy{};
        bool iconChanged = false;
        LayerName subject{};
        uint16_t iconInStack = 0;
        ActionBlock actions{};
        {
            SpareLock lock(spare);
            if (lock) {
                const SpareButton* s = lock.get();
                editing = s->editedLayer != 0;
                copy = s->layer;
                iconChanged = s->iconChanged != 0;
                subject = s->subject;
                iconInStack = static_cast<uint16_t>(s->iconInStack);
                actions = s->actions;  // still the spare's handles, released with it below
            }
        }
        if (apply && editing) {
            // A button no longer shown, or another stack's of the same id, takes nothing.
            written = FindNamedLayerOrSay(subject, card) && ApplyButtonToLayer(spare) ? 1 : 0;
        } else if (apply && !IsNamedCardCurrent(subject)) {
            // The card or stack it was made on has gone (another opened under its dialogs): it is
            // written nowhere else.
            ShowAlertOn(card, kAlertEditDropped);
        } else if (apply) {
            // The new button's actions are the block the actions dialog just edited for it.
            const ActionBlock* edited = actions.objectId == copy.common.id ? &actions : nullptr;
            written = ButtonLayerToRecord(copy, true, iconChanged, edited, iconInStack) ? 1 : 0;
        }
        if (card)
            InvalidateRect(card, nullptr, FALSE);
    }
    g_pending = false;
    if (SpareLock lock(spare); lock) {
        SpareButton* s = lock.get();
        // A new button not written gives its id back.
        if (!s->editedLayer && !written)
            ReturnUniqueObjectId(s->layer.common.id);
        ReleaseSpareParts(s);
    }
    ClearPlacedAndLink();
    // A cursor or icon chosen for this button and not written goes with the edit: left
    // pending, the next object saved would take it.
    ClearIconSelection();
    if (GetCardView().objectsShown)
        ShowTextFieldWindows(true);
    return written;
}

// The layer's font is the one the record names: the record keeps its own font words (a
// record naming no font would otherwise name the program's font by a new entry).
bool SameAsRecordFont(std::span<const uint8_t> record, const LOGFONTA& font) {
    LOGFONTA stored{};
    ReadButtonFont(record, &stored);
    return lstrcmpiA(stored.lfFaceName, font.lfFaceName) == 0 && stored.lfHeight == font.lfHeight &&
           (stored.lfWeight >= FW_BOLD) == (font.lfWeight >= FW_BOLD) && !stored.lfItalic == !font.lfItalic &&
           !stored.lfUnderline == !font.lfUnderline;
}

bool ButtonLayerToRecord(const ButtonLayer& b, bool isNew, bool iconChanged, const ActionBlock* actions, uint16_t iconInStack) {
    if (isNew)
        MarkCardChanged();
    Handle card = 0;
    uint32_t at = 0;
    std::vector<uint8_t> bytes(kButtonHeaderBytes, 0);
    uint16_t iconId = 0, cursorId = 0;
    if (!isNew) {
        if (!FindObject(kObjectButton, b.common.id, &card, &at))
            return false;
        HandleLock lock(card);
        const std::span<const uint8_t> all = lock.bytes();
        const uint32_t length = GetU32(all.subspan(at), kObjectLength);
        if (length < kButtonHeaderBytes || length > all.size() - at)
            return false;
        bytes.assign(all.begin() + at, all.begin() + at + length);
        iconId = GetU16(bytes, kButtonIconId);
        cursorId = GetU16(bytes, kButtonCursorId);
    } else {
        SetU32(bytes, kObjectLength, kButtonHeaderBytes);
    }
    if (b.showIcon && iconChanged && b.icon) {
        IconSelection* selection = GetIconSelection();
        if (iconInStack) {
            iconId = iconInStack;
            if (selection->mode)
                ClearIconSelection();
        } else if (selection->mode) {
            if (const uint16_t stored = StoreIconResource(b.icon))
                iconId = stored;
            // The icon is stored: what is left pending now is no cursor choice.
            ClearIconSelection();
        } else {
            // A cursor was chosen after the icon: the icon goes in as a new 'Icon', the cursor
            // choice stays for the cursor id.
            const IconSelection cursor = *selection;
            *selection = {.mode = 1, .fromStack = 0, .id = 0, .data = cursor.data};
            if (const uint16_t stored = StoreIconResource(b.icon))
                iconId = stored;
            *selection = cursor;
        }
    }
    cursorId = MapButtonIconId(cursorId, b.cursorId);
    ClearIconSelection();
    const std::vector<uint8_t> old = bytes;
    FillFixedPart(bytes, b, iconId, cursorId, !isNew && SameAsRecordFont(old, b.font));
    Handle record = NewHandleFromBytes(bytes);
    if (!record)
        return false;
    if (actions)
        SaveActionBlock(record, 0, b.common.id, *actions);
    if (IsMaskedButtonShape(b.shape))
        PutMaskChunk(record, b.freehandMask);
    else
        RemoveObjectChunk(record, 0, kButtonMaskTag, 0);
    bytes = HandleToBytes(record);
    DisposeHandle(record);
    SetU32(bytes, kObjectLength, static_cast<uint32_t>(bytes.size()));
    if (isNew) {
        Handle target = TargetRecord(b.flags);
        if (!IsValidHandle(target) || InsertObjectBytes(target, CardObjectsEnd(target), bytes) != 0)
            return false;
        const CardView view = GetCardView();
        if (!(b.flags & kObjectHidden) || view.hiddenButtonsShown)
            NewButtonLayer(bytes, kLayerAtEnd);
        return true;
    }
    // A record that comes out as it was leaves the card unchanged.
    if (bytes == old)
        return true;
    MarkCardChanged();
    if (RemoveObjectRecord(card, at) != 0 || InsertObjectBytes(card, at, bytes) != 0)
        return false;
    UpdateObjectLayer(kObjectButton, b.common.id, GetCurrentCardRecord());
    if (LayerLock<ButtonLayer> layer(FindLayer(kObjectButton, b.common.id)); layer)
        layer->cursorId = cursorId;
    return true;
}

bool ApplyButtonToLayer(Handle spare) {
    SpareButton s{};
    {
        SpareLock lock(spare);
        if (!lock)
            return false;
        s = *lock.get();
    }
    LayerHandle layer = FindNamedLayer(s.subject);
    if (!layer)
        return false;
    RecordObjectEditUndo(layer);
    HWND card = GetCardWindow();
    ButtonLayer written{};
    {
        LayerLock<ButtonLayer> b(layer);
        if (!b)
            return false;
        b->common.bounds = s.layer.common.bounds;
        b->shape = s.layer.shape;
        b->colorIndex = s.layer.colorIndex;
        b->secondColorIndex = s.layer.secondColorIndex;
        b->styleHas8 = s.layer.styleHas8;
        b->styleLacks4 = s.layer.styleLacks4;
        b->showIcon = s.layer.showIcon;
        b->cursorId = s.layer.cursorId;
        b->font = s.layer.font;
        b->flags = s.layer.flags;
        if (b->icon != s.layer.icon)
            DisposeHandle(b->icon);
        b->icon = s.layer.icon;
        if (b->freehandMask && b->freehandMask != s.layer.freehandMask)
            DeleteObject(b->freehandMask);
        b->freehandMask = s.layer.freehandMask;
        if (b->freehandOutline)
            DeleteObject(b->freehandOutline);
        b->freehandOutline = nullptr;
        if (s.layer.freehandOutline)
            DeleteObject(s.layer.freehandOutline);
        if (!IsMaskedButtonShape(b->shape) && b->freehandMask) {
            DeleteObject(b->freehandMask);
            b->freehandMask = nullptr;
        }
        if (b->freehandMask)
            b->freehandOutline = MaskOutline(b->freehandMask, 1);
        std::memcpy(b->name, s.layer.name, sizeof b->name);
        b->nameLength = s.layer.nameLength;
        if (b->common.region)
            DeleteObject(b->common.region);
        b->common.region = MakeButtonRegion(card, b.get());
        written = *b.get();
    }
    // The layer owns the icon and mask now.
    if (SpareLock lock(spare); lock) {
        SpareButton* kept = lock.get();
        kept->layer.icon = 0;
        kept->layer.freehandMask = nullptr;
        kept->layer.freehandOutline = nullptr;
    }
    CreateClipRegion();
    // The actions are the record's: "Done" in the actions dialog wrote them there.
    ButtonLayerToRecord(written, false, s.iconChanged != 0, nullptr, static_cast<uint16_t>(s.iconInStack));
    if (card)
        InvalidateRect(card, nullptr, FALSE);
    if (!g_tipShown) {
        g_tipShown = true;
        if (!IsAdvancedUser())
            ShowFirstButtonTip(card);
    }
    return true;
}

int ChooseButtonIcon(HWND window, LayerHandle layer) {
    const LayerName name = NameOfLayer(layer);
    if (name.kind != kObjectButton)
        return 0;
    uint16_t iconId = 0;
    Handle card = 0;
    uint32_t at = 0;
    if (FindObject(kObjectButton, name.id, &card, &at)) {
        HandleLock lock(card);
        if (lock && at < lock.bytes().size())
            iconId = GetU16(lock.bytes().subspan(at), kButtonIconId);
    }
    if (!RunIconChooser(window, true, iconId))
        return 0;
    // The chooser is a dialog: the card may have been left under it, and its layers freed.
    layer = FindNamedLayerOrSay(name, window);
    if (!layer) {
        ClearIconSelection();
        return 0;
    }
    ButtonLayer copy{};
    {
        LayerLock<ButtonLayer> b(layer);
        if (!b)
            return 0;
        DisposeHandle(b->icon);
        b->icon = TakeIconSelectionData();
        b->showIcon = 1;
        copy = *b.get();
    }
    // Only the icon changes: the record keeps its actions (a timer or a move chosen from the
    // object's menu since its last appearance edit).
    ButtonLayerToRecord(copy, false, true);
    if (window) {
        LayerLock<ButtonLayer> b(FindNamedLayer(name));
        if (HDC dc = GetDC(window)) {
            if (b) {
                if (b->common.region)
                    DeleteObject(b->common.region);
                b->common.region = MakeButtonRegion(window, b.get());
                DrawButton(dc, b.get(), window);
            }
            ReleaseDC(window, dc);
        }
    }
    return 1;
}

void ClearLayerEditLink() {
    SpareLock lock(g_spare);
    if (!lock)
        return;
    SpareButton* s = lock.get();
    // The layer may have gone with its card: the button is found again by its name. Left out
    // of the card's drawing while it was edited, it is drawn again however the edit ended.
    if (s->editedLayer)
        if (LayerLock<ButtonLayer> layer(FindNamedLayer(s->subject)); layer && layer->beingEdited) {
            layer->beingEdited = 0;
            RECT bounds = layer->common.bounds;
            InflateRect(&bounds, 2, 2);
            if (HWND card = GetCardWindow())
                InvalidateRect(card, &bounds, FALSE);
        }
    s->editedLayer = 0;
    s->subject = {};
}
