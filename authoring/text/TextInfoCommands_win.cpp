// The commands of a text object that run the Text Appearance dialog or its parts: a new object's
// appearance, editing one, its Style..., Actions... and Features... (NewTextObject.h).
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

using namespace text_info;

const TextAppearance& LastTextAppearance() { return g_kept.last; }

TextAppearance NewObjectAppearance(const RECT& rect) {
    TextAppearance s;
    s.cursorId = g_kept.last.cursorId;
    s.objectId = NewUniqueObjectId();
    TakeCurrentStyle(s);
    // The first new object is white, as the stack's own palette has it (the card's palette is
    // the application palette once the card is shown); later ones take the current style's.
    s.backColor = g_kept.styleTaken ? GetCurrentStyleInfo().backColor
                                    : FindPaletteIndexOfColor(GetAppPalette(), RGB(255, 255, 255));
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
    const EditorGuard guard;
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
