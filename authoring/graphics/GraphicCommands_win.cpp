// The appearance of the object at a point or of the selection, and a graphic's actions and
// features (see GraphicCommands.h).
#include "authoring/graphics/GraphicCommands.h"

#include <vector>

#include "actions/ActionsDialog.h"
#include "core/events/EditorGuard.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "layers/LayerList.h"
#include "objects/buttons/ButtonIcons.h"
#include "objects/ObjectInfo.h"
#include "objects/ObjectServices.h"
#include "objects/text/ApplyTextStyle_win.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/text/NewTextObject.h"
#include "authoring/graphics/GraphicAppearance.h"
#include "format/StackFile.h"

namespace {

uint16_t LayerKind(LayerHandle layer) {
    LayerLock<> common(layer);
    return common ? common->kind : 0;
}

void EditByKind(HWND window, LayerHandle layer, bool actionsOnly) {
    const EditorGuard guard;
    switch (LayerKind(layer)) {
    case kObjectGraphic: EditGraphicAppearance(window, layer); break;
    case kObjectButton: EditButtonAppearance(window, layer, actionsOnly); break;
    case kObjectText: EditTextObjectAppearance(window, layer); break;
    default: break;
    }
}

// The layer's place in the list, counted from 1; 0 when it is not in it.
int LayerPosition(LayerHandle layer) {
    int position = 1;
    for (LayerHandle at = GetLayerListHead(); at; ++position) {
        if (at == layer)
            return position;
        at = LayerLock<>(at)->next;
    }
    return 0;
}

}  // namespace

void RebuildGraphicLayer(HWND window, LayerHandle layer, uint16_t id) {
    const int position = LayerPosition(layer);
    if (position == 0)
        return;
    RECT bounds = LayerLock<>(layer)->bounds;
    const bool selected = GetSelectedObject() == layer;
    if (selected)
        DeselectObject(window);
    SyncCardFromLayers();
    RemoveLayer(layer);
    Handle card = 0;
    uint32_t offset = 0;
    LayerHandle made = nullptr;
    if (FindObject(kObjectGraphic, id, &card, &offset)) {
        ScopedHandle copy(CopyObjectRecord(card, offset));
        const std::vector<uint8_t> record = HandleToBytes(copy.get());
        if (!record.empty())
            made = NewGraphicLayer(record, position, ClipRemake::kByCaller);
    }
    CreateClipRegion();
    if (made && selected)
        SelectObjectLayer(made);
    InflateRect(&bounds, 2, 2);
    if (window)
        InvalidateRect(window, &bounds, FALSE);
}

bool EditGraphicActions(LayerHandle layer) {
    uint16_t actionId = 0;
    const LayerName name = NameOfLayer(layer);
    if (name.kind != kObjectGraphic)
        return false;
    const uint16_t id = name.id;
    // The record holds the id the actions menu stored last.
    ReadObjectRecord(kObjectGraphic, id, kGraphicAction + 2, [&](std::span<const uint8_t> r) { actionId = GetU16(r, kGraphicAction); });
    Handle loaded = LoadActionResource(actionId);
    if (!loaded)
        return false;
    const std::vector<uint8_t> before = HandleToBytes(loaded);
    bool changed = false;
    // "Another card..." leaves the card and comes back with new layers.
    const bool done = EditObjectActions(loaded, 0, kActionsOfGraphicOrText) == kActionsDialogOk;
    const LayerHandle now = done ? FindNamedLayerOrSay(name, GetCardWindow()) : nullptr;
    if (done && now && HandleToBytes(loaded) != before && StoreActionResource(&actionId, loaded)) {
        SetObjectRecordWord(kObjectGraphic, id, kGraphicAction, actionId);
        LayerLock<GraphicLayer>(now)->objectWord = actionId;
        MarkCardChanged();
        changed = true;
    }
    DisposeHandle(loaded);
    return changed;
}

bool EditGraphicFeatures(HWND window, LayerHandle layer) {
    const LayerName name = NameOfLayer(layer);
    if (name.kind != kObjectGraphic)
        return false;
    const uint16_t id = name.id;
    uint16_t flags = 0, cursor = 0;
    const bool read = ReadObjectRecord(kObjectGraphic, id, kGraphicHeaderBytes, [&](std::span<const uint8_t> r) {
        flags = GetU16(r, kObjectFlags);
        cursor = GetU16(r, kGraphicCursor);
    });
    if (!read)
        return false;
    uint16_t newFlags = flags, newCursor = cursor;
    const bool ok = ShowItemInfo(window, kObjectGraphic, id, &newFlags, &newCursor, layer) == IDOK;
    const IconSelection* selection = GetIconSelection();
    const bool chosen = selection->data != 0 && selection->mode == 0;
    layer = ok ? FindNamedLayerOrSay(name, window) : nullptr;
    if (!ok || !layer || (newFlags == flags && newCursor == cursor && !chosen)) {
        ClearIconSelection();  // a choice left pending would land on the next object saved
        return false;
    }
    // A cursor chosen in the features becomes the stack's own resource.
    if (newCursor != 0)
        newCursor = MapButtonIconId(cursor, newCursor);
    ClearIconSelection();
    SetObjectRecordWord(kObjectGraphic, id, kObjectFlags, newFlags);
    SetObjectRecordWord(kObjectGraphic, id, kGraphicCursor, newCursor);
    LayerLock<GraphicLayer>(layer)->cursorId = newCursor;
    // A group object lives with the background, a card object with the card, as Graphic
    // Appearance leaves them.
    if ((newFlags ^ flags) & kObjectBackground) {
        SyncCardFromLayers();
        UpdateObjectLayer(kObjectGraphic, id, GetCurrentCardRecord());
    }
    if ((newFlags ^ flags) & kObjectHidden)
        RebuildGraphicLayer(window, layer, id);
    MarkCardChanged();
    return true;
}

void EditObjectAtPoint(HWND window, int x, int y, bool ctrl) {
    const LayerHandle hit = HitTestObjectAtPoint(window, x, y, nullptr, nullptr);
    if (!hit)
        return;
    if (GetSelectedObject() != hit)
        SelectObjectLayer(hit);
    EditByKind(window, hit, ctrl);
}

void EditSelectedObject(HWND window) {
    if (const LayerHandle selected = GetSelectedObject())
        EditByKind(window, selected, false);
}

void EditSelectedObjectFeatures(HWND window) {
    const LayerHandle selected = GetSelectedObject();
    switch (LayerKind(selected)) {
    case kObjectGraphic: EditGraphicFeatures(window, selected); break;
    case kObjectText: EditTextObjectFeatures(window, selected); break;
    default: break;
    }
}
